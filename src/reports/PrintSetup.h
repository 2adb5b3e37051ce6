#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class Grid;

// Print settings of the lists: application name = application title + "_PritSetUp",
// section = the list's name; every value a string. A key not stored, or stored with a
// value that cannot be used, takes the default the printing list passes.
namespace PrintKey {
inline const QString MarginTop = QStringLiteral("PrintMarginTop");
inline const QString MarginBottom = QStringLiteral("PrintMarginBottom");
inline const QString MarginLeft = QStringLiteral("PrintMarginLeft");
inline const QString MarginRight = QStringLiteral("PrintMarginRight");
inline const QString Orientation = QStringLiteral("PrintOrientation");
inline const QString Zoom = QStringLiteral("PrintZoomType");
inline const QString Header = QStringLiteral("PrintHeader");
inline const QString Footer = QStringLiteral("PrintFooter");
QString CheckBox(int index); // "CheckBox_" + index
} // namespace PrintKey

// The print options, by their stored index.
enum PrintOption {
    OptColHeaders = 0,
    OptRowHeaders,
    OptGridLines,
    OptBorder,
    OptDataOnly,
    OptColour,
    OptShadows,
    OptFitToPage,
    OptFooter,
    PrintOptionCount
};
using PrintOptions = std::array<bool, PrintOptionCount>;
const QStringList& PrintOptionCaptions(); // "열 헤더" ... "꼬릿말"
PrintOptions DefaultPrintOptions();

// Page orientation values: 1 portrait, 2 landscape.
enum PrintOrientation { OrientPortrait = 1, OrientLandscape = 2 };

// Zoom choices of the page setup and the preview, by index.
enum ZoomChoice {
    Zoom200 = 0,
    Zoom150,
    Zoom100,
    Zoom75,
    Zoom50,
    Zoom25,
    Zoom10,
    ZoomPageWidth,
    ZoomPageHeight,
    ZoomWholePage,
    ZoomTwoPages,
    ZoomThreePages,
    ZoomFourPages,
    ZoomSixPages,
    ZoomChoiceCount
};
const QStringList& ZoomChoices();
// The same choices in the preview's own Korean words ("쪽 전체" for "Whole Page").
const QStringList& PreviewZoomChoices();
inline constexpr int DefaultZoom = ZoomWholePage;

// Margins are inches, 0 to MaxMargin.
inline constexpr double MaxMargin = 3.0;

// The application name of the print settings; set by the print service's set-up.
void SetPrintAppTitle(const QString& appTitle);
QString PrintAppTitle();
QString PrintAppName();

// Readers of stored texts: nullopt for a value that cannot be used.
std::optional<double> ParseMargin(const QString& text);
std::optional<int> ParseOrientation(const QString& text);
std::optional<int> ParseZoom(const QString& text);
std::optional<bool> ParseOption(const QString& text);
QString MarginText(double inches); // "0.00"

struct PrintSettings {
    double marginLeft = 0.4;
    double marginRight = 0.4;
    double marginTop = 0.5;
    double marginBottom = 0.5;
    int orientation = OrientPortrait;
    int zoom = DefaultZoom;
    PrintOptions options = DefaultPrintOptions();
    QString header; // a saved header code text; empty: the standard header
    QString footer; // likewise
};

// The stored settings of a list, each missing or unusable key taken from `defaults`.
PrintSettings ReadPrintSettings(const QString& section, const PrintSettings& defaults);
void StorePageSetup(const QString& section, const PrintSettings& s); // margins, orientation, zoom
void StorePrintOption(const QString& section, int index, bool on);

// What printing needs of a list: margins in twips, orientation, the header and footer
// code texts and the options in effect.
struct PrintSetup {
    int marginLeft = 0;
    int marginRight = 0;
    int marginTop = 0;
    int marginBottom = 0;
    int orientation = OrientPortrait;
    int zoom = DefaultZoom;
    QString header;
    QString footer;
    PrintOptions options = DefaultPrintOptions();
    bool fitAllowed = false;
};

// The standard font table: fonts 1 to 5 of the header and footer.
QString StandardFontTable(int titleSize);

// Prepares the printing of `grid` as the list `section`. Texts print exactly as given;
// the orientation and margins (inches) are the defaults for keys not stored.
PrintSetup ApplyPrintSetup(const Grid* grid, const QString& section, const QString& title,
                           const QString& leftText, const QString& centreText, int orientation,
                           double marginLeft, double marginRight, double marginTop,
                           double marginBottom, bool showPageAndDate, const QString& remark,
                           int titleSize);

// Printer per document type (section "Config" of the application title):
// key type + "_Printer", value the printer's name, empty for the default printer.
const QStringList& DocumentTypes();
QString PrinterForDocument(const QString& type);
void StorePrinterForDocument(const QString& type, const QString& printer);
// The name standing for output to a PDF file in the printer lists.
inline const QString PdfPrinterName = QStringLiteral("PDF 파일");
