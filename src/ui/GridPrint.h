#pragma once

#include <QString>

class Grid;

// Opens the print preview of the grid's visible rows and columns under a title, with the
// print settings of the list (the window `windowName`, or the grid's own window).
void PrintGrid(Grid* grid, const QString& title, const QString& windowName = {});
