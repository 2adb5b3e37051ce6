#pragma once

#include <QStringList>
#include <QVector>

// Rows a grid reads a block at a time, as the person scrolls down or an operation needs
// every row (find, export, print, tick all). The grid owns its source until the last row
// has been read or the grid is filled anew.
class GridRowSource {
public:
    virtual ~GridRowSource() = default;
    // Appends up to `count` further rows to `out`, each as the cell texts of columns 1..n.
    // False when the read failed; the source is then dropped as if read to the end.
    virtual bool fetch(int count, QVector<QStringList>& out) = 0;
    // True once the last row has been read.
    virtual bool atEnd() const = 0;
};
