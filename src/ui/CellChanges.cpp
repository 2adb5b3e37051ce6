#include "ui/CellChanges.h"

#include "core/Prompt.h"
#include "db/Database.h"

#include <QStringList>

#include <optional>

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

bool isNumberType(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isNumber(const QVariant& v, double* out) {
    if (isNumberType(v)) {
        *out = v.toDouble();
        return true;
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

// True for a reference that must be checked: not "none" and not a table's fixed row.
bool mustExist(const RowRef& p) {
    return !p.table.isEmpty() && p.code > 0 && !(p.code == 1 && hasFixedRow(p.table));
}

bool isBlank(const QVariant& v) { return v.isNull() || v.toString().trimmed().isEmpty(); }

// The key column of a table: `code`, except the schedules' counter `seq`.
QString keyColumn(const QString& table) {
    return table == QLatin1String("schedules") ? QStringLiteral("seq") : QStringLiteral("code");
}

// Appends to `where` a condition that holds only when `column` still holds `shown` under
// SameCellValue's rule. It may miss equal values written another way ('' for 0, a number
// stored as text, blanks around a text); such a row is then settled by the careful path.
// False when `shown` is of a kind not compared in SQL here.
bool appendStillShown(const QString& column, const QVariant& shown, QStringList* where,
                      QVariantList* params) {
    if (isNumberType(shown)) {
        // A row that never set a number column holds NULL, which a grid shows as 0.
        *where << (shown.toDouble() == 0 ? u'(' + column + QStringLiteral(" = ? OR ") + column +
                                               QStringLiteral(" IS NULL)")
                                         : column + QStringLiteral(" = ?"));
        *params << shown;
        return true;
    }
    if (shown.typeId() != QMetaType::QString && shown.typeId() != QMetaType::UnknownType)
        return false;
    if (isBlank(shown)) {
        // Compared as a parameter, '' matches no number column on either engine.
        *where << u'(' + column + QStringLiteral(" IS NULL OR ") + column + QStringLiteral(" = ?)");
        *params << QString();
    } else {
        *where << column + QStringLiteral(" = ?");
        *params << shown.toString();
    }
    return true;
}

// The usual save as one statement: the row is written only when every shown column still
// holds what was shown and every row it refers to still exists, checked by the engine in
// the same step as the write (on the server the rows referred to are locked against a
// delete under way). Written, or nullopt when the careful path must settle it (a changed
// or missing row, a value stored another way) or when `Failed` was already said.
std::optional<CellSave> saveWhereStillShown(const QString& table, int code,
                                            const QVariantHash& shown,
                                            const QVariantHash& values,
                                            const QList<RowRef>& parents, int* rows) {
    // Only a save that changes a shown value: a value equal to the shown one may already
    // be stored, which the careful path answers with Unchanged without writing.
    bool changes = false;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (!shown.contains(it.key())) return std::nullopt;
        changes = changes || !SameCellValue(shown.value(it.key()), it.value());
    }
    if (!changes) return std::nullopt;

    QStringList where;
    QVariantList params;
    QStringList shownColumns = shown.keys();
    shownColumns.sort();
    for (const QString& c : shownColumns)
        if (!appendStillShown(c, shown.value(c), &where, &params)) return std::nullopt;
    const QString lock = ServerDatabase() ? QStringLiteral(" FOR SHARE") : QString();
    for (const RowRef& p : parents) {
        if (!mustExist(p)) continue;
        where << QStringLiteral("EXISTS (SELECT 1 FROM ") + p.table + QStringLiteral(" WHERE ") +
                     keyColumn(p.table) + QStringLiteral(" = ?") + lock + u')';
        params << p.code;
    }
    const int n = UpdateRecord(table, code, values, keyColumn(table),
                               where.join(QStringLiteral(" AND ")), params);
    if (n > 0) {
        if (rows) *rows = n;
        return CellSave::Written;
    }
    if (LastStatementFailed()) {
        // Another PC's lock past the wait, a read-only or full disk: the careful path would
        // only wait and fail again. Anything else it meets and says itself.
        const QString cause = DbFailureCause(LastDbErrorCode());
        if (!cause.isEmpty()) {
            MsgInfo(cause);
            return CellSave::Failed;
        }
    }
    return std::nullopt;
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
        if (!mustExist(p)) continue;
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
    if (const auto saved = saveWhereStillShown(table, code, shown, values, parents, rows))
        return *saved;
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
            // Locked on the server until the commit, so that no one-statement save from
            // another PC slips in between this check and the write.
            const auto stored = ReadRecord(table, code, columns, keyColumn(table), true);
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
