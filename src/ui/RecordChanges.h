#pragma once

#include "ui/CellChanges.h"

#include <QString>
#include <QStringList>
#include <QVariantHash>

// The edit-mode save of one stored record that writes only what the user changed and
// never overwrites another PC's change unasked. take() notes the values the inputs stand
// for (column → value, as stored) when a record is shown, and reads the stored columns;
// save() compares the inputs with what was shown, writes only the changed columns (plus
// the stamp columns), and when the stored row changed since it was read asks to
// overwrite (only the own changes are written), reload, or go on editing.
class RecordChanges {
public:
    enum class Outcome {
        Unchanged,   // no input changed: nothing written
        Written,     // the changed columns were written
        Failed,      // the read or write failed (the engine's cause is known to the caller)
        Reload,      // the user chose to see the other change: the caller shows the record
        KeepEditing, // the user chose to go on editing
        Gone,        // another PC deleted the row (the message was shown)
    };

    // Notes `shown` for record `code` of `table` and reads the stored columns (those of
    // `shown` and `stampColumns`).
    void take(const QString& table, int code, const QVariantHash& shown,
              const QStringList& stampColumns = {});
    void clear();
    bool active() const { return !m_table.isEmpty(); }
    int code() const { return m_code; }

    // Saves `now` (the inputs' values) with `stamp` (e.g. the last-change day); rows written
    // in `*rows`. `parents` are rows the record refers to: when one of them is gone (checked
    // under the write lock) nothing is written, the message is shown and Gone returned.
    Outcome save(const QVariantHash& now, const QVariantHash& stamp = {}, int* rows = nullptr,
                 const QList<RowRef>& parents = {});

private:
    QString m_table;
    int m_code = 0;
    QVariantHash m_shown;  // the inputs' values as the record was shown
    QVariantHash m_loaded; // the stored columns as the record was read
};
