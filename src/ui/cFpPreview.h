#pragma once

#include <QList>
#include <QString>

#include <memory>

class Grid;

// What a list hands to printing besides its grid.
struct PrintRequest {
    QString section;    // settings section: the list's window name (+ "_" + grid name)
    QString title;      // printed centred on the first header line
    QString leftText;   // second header line, left
    QString centreText; // second header line, centre
    QString remark;     // footer lines above the page number line
    QList<int> chosenColumns; // columns printed even when every printed cell is empty
    QString totals;           // the list's totals, printed in bold under its last row
};

// The process-wide print service. The grid windows reach printing only through it; the
// implementation lives in the reports library and is installed at start-up, which also
// hands it the application title.
class cFpPreview {
public:
    virtual ~cFpPreview() = default;
    // The print settings are kept under the application name appTitle + "_PritSetUp".
    virtual void SetUp(const QString& appTitle) = 0;
    virtual bool IsSetUp() const = 0;
    // Opens the print preview of the grid.
    virtual void Show(Grid* grid, const PrintRequest& request) = 0;

    static cFpPreview* instance();
    static void install(std::unique_ptr<cFpPreview> service); // nullptr removes it
};

// Opens the preview through the installed service; without a set-up service it says
// "사용 프로그램이 설정되지 않았습니다.".
void ShowPrintPreview(Grid* grid, const PrintRequest& request);

// Whether the list may be scaled down to the page width (print option "페이지 맞춤");
// every list may, unless it turns it off.
void SetFitToPageAllowed(Grid* grid, bool allowed);
bool FitToPageAllowed(const Grid* grid);

// A column of ticks that only picks rows for an action (select, delete): never printed.
void MarkTickColumn(Grid* grid, int col);
bool IsTickColumn(const Grid* grid, int col);

// The settings section of a grid printed from the window `windowName` (empty: the grid's
// window): the window's name, plus "_" + the grid's layout name where the window holds
// several grids.
QString PrintSection(const Grid* grid, const QString& windowName = {});
