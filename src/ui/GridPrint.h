#pragma once

#include <QString>

class Grid;
class QTextDocument;

// Shows a print preview of the grid's visible rows and columns under a title.
void PrintGrid(Grid* grid, const QString& title);

// The document PrintGrid prints: the title, then a table of the visible header and data
// rows. The caller owns the result.
QTextDocument* BuildGridDocument(const Grid* grid, const QString& title);
