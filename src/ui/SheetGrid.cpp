#include "ui/SheetGrid.h"

#include "ui/Grid.h"
#include "ui/SheetReader.h"

void FillGridWithSheet(Grid* grid, const SheetData& sheet,
                       const std::function<void(int, int)>& progress) {
    const int total = int(sheet.rows.size());
    grid->setMaxCols(sheet.cols);
    QStringList headers;
    headers.reserve(sheet.cols);
    for (int c = 0; c < sheet.cols; ++c)
        headers << WorkbookReader::columnName(c);
    grid->setHeaderTexts(headers);
    grid->beginFill(total);
    for (int r = 0; r < total; ++r) {
        grid->appendRow(sheet.rows.at(r));
        if (progress && (r + 1) % 1000 == 0) progress(r + 1, total);
    }
    grid->endFill();
    if (progress) progress(total, total);
}
