#include "ui/PickOrAdd.h"
#include "ui/TextRules.h"

#include "db/Database.h"
#include "ui/FrmSearch.h"
#include "core/Prompt.h"

#include <QHash>

namespace {
int g_lastPicked = 0;
int g_lastService = 0;
PickChooser g_chooser;

QHash<QString, PickEditor>& editors()
{
    static QHash<QString, PickEditor> map;
    return map;
}

QHash<QString, PickHandler>& handlers()
{
    static QHash<QString, PickHandler> map;
    return map;
}
} // namespace

int LastPickedCode() { return g_lastPicked; }
void SetLastPickedCode(int code) { g_lastPicked = code; }
int LastPickedServiceCode() { return g_lastService; }
void SetLastPickedServiceCode(int code) { g_lastService = code; }

void SetPickChooser(PickChooser chooser) { g_chooser = std::move(chooser); }
void RegisterPickEditor(const QString& kind, PickEditor editor) { editors().insert(kind, std::move(editor)); }
void RegisterPickKind(const QString& kind, PickHandler handler) { handlers().insert(kind, std::move(handler)); }

PickEditor PickEditorFor(const QString& kind)
{
    return editors().value(kind);
}

bool IsListPickKind(const QString& kind)
{
    return kind == QStringLiteral("tblfriend") || kind == QStringLiteral("tblusename")
           || kind == QStringLiteral("ACIn") || kind == QStringLiteral("ACOut") || kind == QStringLiteral("Card");
}

PickKindTexts PickTexts(const QString& kind)
{
    if (kind == QStringLiteral("tblfriend"))
        return {QStringLiteral("회원검색"), QStringLiteral("]은(는) 등록된 회원명이 아닙니다."),
                QStringLiteral("입력하신 회원명을 추가하시겠습니까?"), QStringLiteral("등록된 회원명이 없습니다.")};
    if (kind == QStringLiteral("tblusename"))
        return {QStringLiteral("사용처검색"), QStringLiteral("]은(는) 등록된 사용처가 아닙니다."),
                QStringLiteral("입력하신 사용처를 추가하시겠습니까?"), QStringLiteral("등록된 사용처가 없습니다.")};
    if (kind == QStringLiteral("ACIn") || kind == QStringLiteral("ACOut"))
        return {kind == QStringLiteral("ACIn") ? QStringLiteral("입금통장검색") : QStringLiteral("출금통장검색"),
                QStringLiteral("]은(는) 등록된 통장이 아닙니다."), QStringLiteral("입력하신 통장을 추가하시겠습니까?"),
                QStringLiteral("등록된 통장정보가 없습니다.")};
    if (kind == QStringLiteral("Card"))
        return {QStringLiteral("신용카드검색"), QStringLiteral("]은(는) 등록된 신용카드명이 아닙니다."),
                QStringLiteral("입력하신 신용카드을 추가하시겠습니까?"), QStringLiteral("등록된 신용카드가 없습니다.")};
    if (kind == QStringLiteral("tblservice"))
        return {QStringLiteral("거래내용선택"), QStringLiteral("]은(는) 등록된 거래명이 아닙니다."),
                QStringLiteral("입력하신 거래명을 추가하시겠습니까?"), QStringLiteral("등록된 거래내용이 없습니다.")};
    if (kind == QStringLiteral("tblitem") || kind == QStringLiteral("tblaffairsnote"))
        return {QStringLiteral("항목선택"), QStringLiteral("]은(는) 등록된 항목이 아닙니다."),
                QStringLiteral("입력하신 항목을 검색목록에 추가하시겠습니까?"), QStringLiteral("등록된 항목이 없습니다.")};
    return {};
}

QString PickAddQuestion(const QString& kind, const QString& text)
{
    const PickKindTexts t = PickTexts(kind);
    return QStringLiteral("[") + text + t.notRegistered + QLatin1Char('\n') + t.addQuestion;
}

// The digits after the area code of a text made of digits and dashes with more than four
// digits; empty for anything else.
static QString PhoneLocalDigits(const QString& text)
{
    QString digits;
    for (QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits += c;
        else if (c != u'-')
            return {};
    }
    if (digits.size() <= 4 || text.size() < 6)
        return {};
    const QString formatted = FormatTelephone(digits);
    const qsizetype dash = formatted.indexOf(u'-');
    QString local = formatted.count(u'-') == 2 ? formatted.mid(dash + 1) : formatted;
    return local.remove(u'-');
}

SqlPart PickListSql(const QString& kind, const QString& text)
{
    const QString pattern = LikeContains(text);
    const QString like = QStringLiteral(" LIKE ?") + LikeEscape();
    if (kind == QStringLiteral("tblfriend")) {
        SqlPart part{QStringLiteral("SELECT code, sname AS accountname FROM tblfriend WHERE hidden = 0 AND (sname") + like, {pattern}};
        for (const char* column : {"hpline", "hline1", "hline2", "hline3", "codeno"}) {
            part.sql += QStringLiteral(" OR ") + QString::fromLatin1(column) + like;
            part.params << pattern;
        }
        // A telephone number (a caller's raw digits, too) finds members by the digits of its
        // local part at the end of any telephone column, stored with or without dashes.
        const QString local = PhoneLocalDigits(text);
        if (!local.isEmpty())
            for (const char* column : {"hpline", "hline1", "hline2", "hline3", "finalline", "keyline"}) {
                part.sql += QStringLiteral(" OR REPLACE(") + QString::fromLatin1(column) + QStringLiteral(", '-', '') LIKE ?");
                part.params << QStringLiteral("%") + local;
            }
        part.sql += QStringLiteral(") AND code <> 1 ORDER BY code");
        return part;
    }
    if (kind == QStringLiteral("tblusename"))
        return {QStringLiteral("SELECT code, sname AS accountname FROM tblusename WHERE code <> 1 AND sname") + like
                    + QStringLiteral(" ORDER BY code"),
                {pattern}};
    if (kind == QStringLiteral("ACIn") || kind == QStringLiteral("ACOut") || kind == QStringLiteral("Card")) {
        const QString cls = kind == QStringLiteral("Card") ? QStringLiteral("2") : QStringLiteral("1");
        return {QStringLiteral("SELECT code, accountname FROM tblgrouping WHERE accountclass = '") + cls
                    + QStringLiteral("' AND accountname") + like + QStringLiteral(" ORDER BY accountname"),
                {pattern}};
    }
    return {};
}

QList<PickRow> PickListRows(const QString& kind, const QString& text)
{
    QList<PickRow> rows;
    const SqlPart part = PickListSql(kind, text);
    if (part.sql.isEmpty())
        return rows;
    Recordset rs;
    if (OpenRecordset(rs, part.sql, part.params) <= 0)
        return rows;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        rows.append({rs.integer(QStringLiteral("code")), rs.text(QStringLiteral("accountname"))});
    return rows;
}

static QString take(const PickRow& row)
{
    SetLastPickedCode(row.code);
    return row.name;
}

static QString addThroughEditor(const QString& kind, const QString& name)
{
    const PickEditor editor = PickEditorFor(kind);
    if (!editor)
        return {};
    const std::optional<PickRow> added = editor(kind, name);
    return added ? take(*added) : QString();
}

QString PickOrAdd(const QString& kind, const QString& text, const QString& itemClass)
{
    SetLastPickedCode(0);
    if (!IsListPickKind(kind)) {
        const PickHandler handler = handlers().value(kind);
        return handler ? handler(text, itemClass) : QString();
    }
    const QList<PickRow> rows = PickListRows(kind, text);
    if (rows.size() == 1)
        return take(rows.first());
    if (rows.size() > 1) {
        const std::optional<PickRow> chosen = g_chooser ? g_chooser(kind, text) : FrmSearch::choose(kind, text);
        return chosen ? take(*chosen) : QString();
    }
    const PickKindTexts texts = PickTexts(kind);
    if (!text.isEmpty()) {
        if (!AskYesNo(PickAddQuestion(kind, text)))
            return {};
        if (kind == QStringLiteral("tblusename")) {
            if (ExecSQL(QStringLiteral("INSERT INTO tblusename (sname) VALUES (?)"), {text}) <= 0)
                return {};
            return take({LastIdentity(), text});
        }
        return addThroughEditor(kind, text);
    }
    MsgInfo(texts.noneRegistered);
    if (kind == QStringLiteral("tblusename"))
        return {};
    return addThroughEditor(kind, QString());
}

bool DeleteUsagePlace(int code, const QString& name)
{
    if (code <= 1) {
        MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
        return false;
    }
    const int uses = CountRows(QStringLiteral("tbljangbu"), QStringLiteral("ctblusename = ?"), {code});
    if (uses < 0) // the failed check was reported; nothing is deleted
        return false;
    if (uses > 0) {
        MsgInfo(QStringLiteral("[") + name + QStringLiteral("] 가 다른곳에 사용되고 있어 삭제할수 없습니다."));
        return false;
    }
    if (!AskYesNo(QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"), QStringLiteral("삭제"), false))
        return false;
    if (ExecSQL(QStringLiteral("DELETE FROM tblusename WHERE code = ?"), {code}) > 0)
        return true;
    MsgWarning(QStringLiteral("코드[") + QString::number(code) + QStringLiteral("]에 해당하는 자료를 삭제할 수 없습니다."));
    return false;
}
