#pragma once

#include <QList>
#include <QString>

class Grid;

// Opens the print preview of the grid's visible rows and columns under a title, with the
// print settings of the list (the window `windowName`, or the grid's own window).
// `chosenColumns` print even when empty. The totals grid "spSum" of the same window, when
// there is one, prints as a totals line under the list.
void PrintGrid(Grid* grid, const QString& title, const QString& windowName = {},
               const QList<int>& chosenColumns = {});

// The totals line of the window holding `grid`: each filled cell of its "spSum" grid as
// header + " " + value, "" when the window has none.
QString ListTotalsText(const Grid* grid);
