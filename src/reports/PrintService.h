#pragma once

#include <QString>

class Grid;
class FrmSPPrint_Preview;
struct PrintRequest;

// Installs the print service the grid windows print through, set up with the
// application title.
void InstallPrintService(const QString& appTitle);

// Opens the preview of a grid (what the service's show operation does).
FrmSPPrint_Preview* OpenPrintPreview(Grid* grid, const PrintRequest& request);

// Opens the printer choice of a document type.
void OpenPrinterChoice(const QString& documentType);
