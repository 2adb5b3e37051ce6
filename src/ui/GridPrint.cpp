#include "ui/GridPrint.h"

#include "ui/cFpPreview.h"

void PrintGrid(Grid* grid, const QString& title, const QString& windowName) {
    PrintRequest request;
    request.section = PrintSection(grid, windowName);
    request.title = title;
    ShowPrintPreview(grid, request);
}
