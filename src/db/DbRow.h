#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>

// One row of a statement read by ReadRows; it is valid only during the call that gets it.
// Values read as Recordset's do: null as "" and 0, a text without a leading number as 0.
// A column position out of range reads as null. The values come straight from the
// engine's own types (a text as its UTF-8 bytes), with no copy of the row in between.
class DbRow {
public:
    virtual int columnCount() const = 0;
    // Position of the result column `name` (case-insensitive); -1 when there is none.
    // Look a column up once, on the first row, and read every row by its position.
    virtual int columnIndex(const QString& name) const = 0;
    virtual bool isNull(int col) const = 0;
    // The value as text into `into`, reusing its buffer: a list read this way converts
    // each cell without allocating.
    virtual void text(int col, QString& into) const = 0;
    QString text(int col) const
    {
        QString s;
        text(col, s);
        return s;
    }
    virtual double number(int col) const = 0;
    // Whole numbers as stored, past 32 bits; a fraction is rounded.
    virtual qint64 integer(int col) const = 0;
    // As Recordset::value reads it (for keys handed back into a statement).
    virtual QVariant value(int col) const = 0;

protected:
    ~DbRow() = default;
};

// Hands each row of the result to `onRow` as it is read instead of keeping the rows: for a
// long list that goes straight into a grid. The row count, or -1 after showing the error as
// OpenRecordset does; a statement failing after some rows were handed out (a damaged page)
// also gives -1, and the caller throws away what it got.
int ReadRows(const QString& sql, const QVariantList& params,
             const std::function<void(const DbRow&)>& onRow);
