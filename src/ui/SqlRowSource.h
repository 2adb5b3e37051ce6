#pragma once

#include "db/SqlPart.h"
#include "ui/GridRowSource.h"

#include <QList>
#include <QString>
#include <QVariantList>

#include <functional>

class DbRow;
class Recordset;

// A query read a block at a time in the order of its keys, each block continuing after
// the key of the last row read (keyset paging). A row another PC adds or deletes meanwhile
// can neither bring back a row already shown nor push one out unseen, as counting rows
// from the start (OFFSET) would; and a block late in a long list costs what the first does.
//
// `select` is the statement up to and including its WHERE conditions, without ORDER BY:
// the condition of the next block is added with AND. `keys` are the ORDER BY terms: an
// expression, never null, with the name of the result column that holds its value; the
// last key is unique (the record code). `format` turns one block of result rows into grid
// rows (it may leave out rows that a rule outside the statement filters); a RowFormatter
// does the same one row at a time.
class SqlRowSource : public GridRowSource {
public:
    struct Key {
        QString expr;
        QString field;
        bool descending = false;
    };
    // The block's rows, its cursor free to move.
    using Formatter = std::function<void(Recordset& rows, QVector<QStringList>& out)>;

    // One row as the engine hands it over, formatted straight into `out` (no kept copy of
    // the block in between).
    using RowFormatter = std::function<void(const DbRow& row, QVector<QStringList>& out)>;

    SqlRowSource(SqlPart select, QList<Key> keys, Formatter format);
    SqlRowSource(SqlPart select, QList<Key> keys, RowFormatter format);

    bool fetch(int count, QVector<QStringList>& out) override;
    bool atEnd() const override { return m_end; }
    std::unique_ptr<GridRowSource> clone() const override { return std::make_unique<SqlRowSource>(*this); }
    // The statement of the next block of `count` rows.
    SqlPart nextBlock(int count) const;

private:
    SqlPart m_select;
    QList<Key> m_keys;
    Formatter m_format;
    RowFormatter m_formatRow;
    QVariantList m_last; // key values of the last row read; empty before the first block
    bool m_end = false;
};
