#pragma once

#include <QList>
#include <QMap>
#include <QString>

class Grid;
class QWidget;

// Layout files: one INI file per window, <data>/FormIni/<window name>.ini, remembering
// the window's position and size and its grids' column widths, font size, row height and
// report columns. A window's name is its objectName. A grid's sections are named after
// Grid::layoutName() ("spList", or "spList_2" in an array of grids):
//
//   [FormPosition]        Left, Top, Width, Height, WindowState (0 normal, 2 maximised)
//   [<grid>_ColsWidth]    1, 2, ... : column widths in pixels
//   [<grid>_General]      FontSize (0 = default font), RowHeight
//   [<grid>_RPTCOL]       1, 2, ... : "1" printed in reports, "0" not; missing = "1"
//
// Missing, empty, damaged or non-numeric entries leave the design value.

QString FormIniPath(const QString& windowName);

// Applies the layout file of `window` (its MDI frame when it has one): Left/Top when
// numeric and not negative, Width/Height when numeric and positive and keepSize is off,
// WindowState 0 or 2; then every Grid inside the window. True when the file placed the
// window (Left and Top applied).
bool LoadFormIni(QWidget* window, bool keepSize);
// Saves the window's position on closing: WindowState unless minimised; Left, Top, Width
// and Height only when neither maximised nor minimised. Skipped after a layout reset.
void SaveFormIni(QWidget* window);
// Saves one grid's column widths, FontSize and RowHeight.
void SaveSpreadIni_Gn(const QString& windowName, const Grid* grid);
// Saves one column width (the user dragged the column border).
void SaveSpreadColWidth(const QString& windowName, const Grid* grid, int col);
// Applies the grid sections of the layout file to one grid.
void LoadSpreadIni(const QString& windowName, Grid* grid);
// Deletes the layout file. The window named keeps its design layout until it is opened
// again: its position is not saved when it closes. False when the file stays.
bool DelFormIni(const QString& windowName);

// The design layout of a grid (column widths, font size, row height), recorded the first
// time a layout is applied or the grid menu is attached, and put back by a reset.
void RememberDesignLayout(Grid* grid);
void RestoreDesignLayout(Grid* grid);

// Report columns. Columns without an entry are printed.
QMap<int, bool> ReadSpreadRPTCol(const QString& windowName, const Grid* grid);
bool SaveSpreadRPTCol(const QString& windowName, const Grid* grid,
                      const QMap<int, bool>& printed);
// Hides, on the grid itself, every visible column not printed in reports and returns the
// columns it hid, for RestoreSpreadRPTCol after printing.
QList<int> SetSpreadRPTCol(const QString& windowName, Grid* grid);
void RestoreSpreadRPTCol(Grid* grid, const QList<int>& hidden);
// Columns ticked and saved in the report-column window (not merely never unticked).
QList<int> ChosenSpreadRPTCol(const QString& windowName, const Grid* grid);
// Prints `grid` with its report-column choice applied (the print entry point of the grid).
void PrintGridForReport(const QString& windowName, Grid* grid, const QString& title);
