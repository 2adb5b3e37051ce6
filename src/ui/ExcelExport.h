#pragma once

#include <QString>

class Grid;

// Writes the grid's visible columns as one worksheet of a new .xlsx file in
// DataPath("ExpExcel") named "Exp" + yyMMdd_HHmmss + ".xlsx", with the column headers
// as bold centred first rows, and appends a line to LOG.TXT there. See the .cpp for the
// rules. True when the file was written.
bool ExportToExcelFile(Grid* grid, const QString& sheetName = QStringLiteral("Sheet1"),
                       bool ask = true, bool openAfterwards = true, bool tidy = true);
