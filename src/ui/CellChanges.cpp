#include "ui/CellChanges.h"

#include "core/Prompt.h"
#include "db/Database.h"

#include <QStringList>

namespace {

// What a row of each table is called in a message.
QString rowNoun(const QString& table) {
    static const QHash<QString, QString> nouns = {
        {QStringLiteral("tbltrade"), QStringLiteral("거래")},
        {QStringLiteral("tbltradesub"), QStringLiteral("거래내용")},
        {QStringLiteral("tblfriend"), QStringLiteral("회원")},
        {QStringLiteral("tblservice"), QStringLiteral("서비스")},
        {QStringLiteral("tblcard"), QStringLiteral("카드사")},
        {QStringLiteral("tbljangbu"), QStringLiteral("자금 내역")},
        {QStringLiteral("tblgroup"), QStringLiteral("그룹")},
        {QStringLiteral("tblgroupmon"), QStringLiteral("그룹자금 자료")},
        {QStringLiteral("tblsubdata"), QStringLiteral("세부 자료")},
        {QStringLiteral("tblaffairsnote"), QStringLiteral("항목")},
        {QStringLiteral("tblitem"), QStringLiteral("항목")},
        {QStringLiteral("tblusename"), QStringLiteral("사용처")},
        {QStringLiteral("tblgrouping"), QStringLiteral("계좌")},
        {QStringLiteral("tbluserfieldlist"), QStringLiteral("사용자 항목")},
        {QStringLiteral("schedules"), QStringLiteral("스케줄")},
    };
    return nouns.value(table, QStringLiteral("자료"));
}

// 은 after a closing consonant, 는 after a vowel (and after anything not Hangul).
QString topicParticle(const QString& word) {
    if (word.isEmpty()) return QStringLiteral("는");
    const char16_t c = word.back().unicode();
    if (c >= 0xAC00 && c <= 0xD7A3 && (c - 0xAC00) % 28 != 0) return QStringLiteral("은");
    return QStringLiteral("는");
}

bool isNumber(const QVariant& v, double* out) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        *out = v.toDouble();
        return true;
    default:
        break;
    }
    bool ok = false;
    QString text = v.toString().trimmed();
    text.remove(u',');
    *out = text.toDouble(&ok);
    return ok;
}

// Tables whose row with code 1 is the fixed "none" row (trades, lines, ledger entries and
// the like have none: their code 1 is a real row that can be deleted).
bool hasFixedRow(const QString& table) {
    static const QStringList tables = {
        QStringLiteral("tblgroup"),   QStringLiteral("tblfriend"),      QStringLiteral("tblservice"),
        QStringLiteral("tblcard"),    QStringLiteral("tblitem"),        QStringLiteral("tblaffairsnote"),
        QStringLiteral("tblusename"), QStringLiteral("tblgrouping"),
    };
    return tables.contains(table);
}

bool isBlank(const QVariant& v) { return v.isNull() || v.toString().trimmed().isEmpty(); }

// The key column of a table: `code`, except the schedules' counter `seq`.
QString keyColumn(const QString& table) {
    return table == QLatin1String("schedules") ? QStringLiteral("seq") : QStringLiteral("code");
}

} // namespace

bool SameCellValue(const QVariant& stored, const QVariant& shown) {
    double a = 0, b = 0;
    const bool an = isNumber(stored, &a), bn = isNumber(shown, &b);
    if (an && bn) return a == b;
    // A column never set holds '' or 0; a cell showing it may show either as empty.
    if ((an && a == 0 && isBlank(shown)) || (bn && b == 0 && isBlank(stored))) return true;
    return stored.toString().trimmed() == shown.toString().trimmed();
}

QString RowGoneMessage(const QString& table) {
    const QString noun = rowNoun(table);
    return QStringLiteral("이 ") + noun + topicParticle(noun) +
           QStringLiteral(" 다른 곳에서 삭제되어 저장할 수 없습니다.") + u'\n' +
           QStringLiteral("목록을 다시 불러옵니다.");
}

QString MissingRow(const QList<RowRef>& parents, bool* failed) {
    if (failed) *failed = false;
    for (const RowRef& p : parents) {
        if (p.table.isEmpty() || p.code <= 0 || (p.code == 1 && hasFixedRow(p.table))) continue;
        const auto row = ReadRecord(p.table, p.code, {keyColumn(p.table)}, keyColumn(p.table));
        if (!row) { // the engine's message was shown
            if (failed) *failed = true;
            return p.table;
        }
        if (row->isEmpty()) return p.table;
    }
    return {};
}

bool ParentsExist(const QList<RowRef>& parents) {
    bool failed = false;
    const QString gone = MissingRow(parents, &failed);
    if (gone.isEmpty()) return true;
    if (!failed) MsgInfo(RowGoneMessage(gone));
    return false;
}

CellSave SaveCell(const QString& table, int code, const QVariantHash& shown,
                  const QVariantHash& values, const QList<RowRef>& parents, int* rows) {
    if (rows) *rows = 0;
    if (values.isEmpty()) return CellSave::Unchanged;
    QStringList columns = values.keys();
    for (auto it = shown.cbegin(); it != shown.cend(); ++it)
        if (!columns.contains(it.key())) columns << it.key();
    columns.sort();
    QVariantHash expected = shown; // what the stored columns must still hold
    for (;;) {
        QVariantHash changedByOthers;
        QString gone;        // a row found missing: said once the write lock is let go
        bool failed = false; // the write failed: said once the write lock is let go
        {
            Transaction t;
            if (!t.ok()) {
                MsgInfo(DbFailureCause(LastDbErrorCode()));
                return CellSave::Failed;
            }
            const auto stored = ReadRecord(table, code, columns, keyColumn(table));
            if (!stored) return CellSave::Failed;
            bool checkFailed = false;
            gone = stored->isEmpty() ? table : MissingRow(parents, &checkFailed);
            if (checkFailed) return CellSave::Failed;
            if (gone.isEmpty()) {
                for (auto it = expected.cbegin(); it != expected.cend(); ++it)
                    if (!SameCellValue(stored->value(it.key()), it.value()))
                        changedByOthers.insert(it.key(), stored->value(it.key()));
                // Already stored as typed (perhaps by the other PC): nothing to write or ask.
                bool same = true;
                for (auto it = values.cbegin(); it != values.cend() && same; ++it)
                    same = SameCellValue(stored->value(it.key()), it.value());
                if (same) return CellSave::Unchanged;
                if (changedByOthers.isEmpty()) {
                    const int n = UpdateRecord(table, code, values, keyColumn(table));
                    if (n > 0 && t.commit()) {
                        if (rows) *rows = n;
                        return CellSave::Written;
                    }
                    failed = true;
                }
            }
        } // the write lock is let go before saying or asking anything
        if (failed) {
            MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
            return CellSave::Failed;
        }
        if (!gone.isEmpty()) {
            MsgInfo(RowGoneMessage(gone));
            return CellSave::Gone;
        }
        const bool overwrite = AskYesNo(
            QStringLiteral("이 자료를 불러온 뒤 다른 곳에서 자료가 수정되었습니다.") +
                QStringLiteral("\n\n") + QStringLiteral("예: 내가 입력한 값으로 덮어씁니다.") +
                u'\n' + QStringLiteral("아니오: 저장하지 않고 수정된 자료를 다시 불러옵니다."),
            QStringLiteral("다른 곳에서 수정됨"), false);
        if (!overwrite) return CellSave::Reload;
        // The other change is seen now; only a further change is asked about again.
        for (auto it = changedByOthers.cbegin(); it != changedByOthers.cend(); ++it)
            expected.insert(it.key(), it.value());
    }
}
