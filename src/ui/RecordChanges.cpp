#include "ui/RecordChanges.h"

#include "core/Prompt.h"
#include "db/Database.h"

void RecordChanges::take(const QString& table, int code, const QVariantHash& shown,
                         const QStringList& stampColumns) {
    clear();
    m_table = table;
    m_code = code;
    m_shown = shown;
    QStringList columns = shown.keys();
    for (const QString& c : stampColumns)
        if (!columns.contains(c)) columns << c;
    columns.sort();
    if (const auto row = ReadRecord(table, code, columns)) m_loaded = *row;
}

void RecordChanges::clear() {
    m_table.clear();
    m_code = 0;
    m_shown.clear();
    m_loaded.clear();
}

RecordChanges::Outcome RecordChanges::save(const QVariantHash& now, const QVariantHash& stamp,
                                           int* rows, const QList<RowRef>& parents) {
    if (rows) *rows = 0;
    QVariantHash changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (!m_shown.contains(it.key()) || m_shown.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    if (changed.isEmpty()) return Outcome::Unchanged;
    const QStringList columns = m_loaded.keys();
    for (;;) {
        // Compared outside any transaction, so that no lock is held while the user thinks.
        const auto stored = ReadRecord(m_table, m_code, columns);
        if (!stored) return Outcome::Failed;
        if (stored->isEmpty()) {
            MsgInfo(QStringLiteral("다른 컴퓨터에서 이 자료를 삭제하여 저장할 수 없습니다."));
            return Outcome::Gone;
        }
        if (*stored != m_loaded) {
            const Prompt::Answer a = AskYesNoCancel(
                QStringLiteral("이 자료를 불러온 뒤 다른 컴퓨터에서 자료가 수정되었습니다.") +
                    QStringLiteral("\n\n") + QStringLiteral("예: 내가 고친 항목만 덮어씁니다.") +
                    QStringLiteral("\n") +
                    QStringLiteral("아니오: 저장하지 않고 수정된 자료를 다시 불러옵니다.") +
                    QStringLiteral("\n") + QStringLiteral("취소: 저장하지 않고 계속 편집합니다."),
                QStringLiteral("다른 곳에서 수정됨"), Prompt::Answer::Cancel);
            if (a != Prompt::Answer::Yes)
                return a == Prompt::Answer::No ? Outcome::Reload : Outcome::KeepEditing;
            m_loaded = *stored; // the other change is seen; only ours is written over it
            continue;
        }
        // Checked again under the write lock, so no change slips in between.
        Transaction t;
        if (!t.ok()) return Outcome::Failed; // another PC kept the write lock
        const auto locked = ReadRecord(m_table, m_code, columns);
        if (!locked) return Outcome::Failed;
        if (*locked != m_loaded) continue;
        if (!ParentsExist(parents)) return Outcome::Gone;
        QVariantHash write = changed;
        for (auto it = stamp.cbegin(); it != stamp.cend(); ++it) write.insert(it.key(), it.value());
        const int n = UpdateRecord(m_table, m_code, write);
        if (n <= 0 || !t.commit()) return Outcome::Failed;
        if (const auto saved = ReadRecord(m_table, m_code, columns)) m_loaded = *saved;
        m_shown = now;
        if (rows) *rows = n;
        return Outcome::Written;
    }
}
