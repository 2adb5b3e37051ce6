#include "reports/PrintSetup.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Settings.h"
#include "reports/HeaderFooterCode.h"
#include "ui/cFpPreview.h"

#include <cmath>

namespace {
QString& appTitle() {
    static QString t;
    return t;
}
} // namespace

QString PrintKey::CheckBox(int index) {
    return QStringLiteral("CheckBox_") + QString::number(index);
}

const QStringList& PrintOptionCaptions() {
    static const QStringList c = {"열 헤더", "행 헤더", "그리드 라인", "테두리", "데이터셀만",
                                  "색상",    "그림자",  "페이지 맞춤", "꼬릿말"};
    return c;
}

PrintOptions DefaultPrintOptions() {
    // Column headers, grid lines, border, data only, shadows, fit and footer on.
    return {true, false, true, true, true, false, true, true, true};
}

const QStringList& ZoomChoices() {
    static const QStringList z = {"200%",        "150%",       "100%",      "75%",
                                  "50%",         "25%",        "10%",       "Page Width",
                                  "Page Height", "Whole Page", "Two Pages", "Three Pages",
                                  "Four Pages",  "Six Pages"};
    return z;
}

const QStringList& PreviewZoomChoices() {
    static const QStringList z = {"200%",     "150%",     "100%",     "75%",     "50%",
                                  "25%",      "10%",      "쪽 너비",  "쪽 높이", "쪽 전체",
                                  "2쪽 보기", "3쪽 보기", "4쪽 보기", "6쪽 보기"};
    return z;
}

void SetPrintAppTitle(const QString& t) {
    appTitle() = t;
}

QString PrintAppTitle() {
    return appTitle().isEmpty() ? App().appTitle : appTitle();
}

QString PrintAppName() {
    return PrintAppTitle() + QStringLiteral("_PritSetUp");
}

std::optional<double> ParseMargin(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < 0 || v > MaxMargin) return std::nullopt;
    return v;
}

std::optional<int> ParseOrientation(const QString& text) {
    const QString t = text.trimmed();
    if (t == u"1") return OrientPortrait;
    if (t == u"2") return OrientLandscape;
    return std::nullopt;
}

std::optional<int> ParseZoom(const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < 0 || v >= ZoomChoiceCount) return std::nullopt;
    return v;
}

std::optional<bool> ParseOption(const QString& text) {
    const QString t = text.trimmed();
    if (t == u"1") return true;
    if (t == u"0") return false;
    return std::nullopt;
}

QString MarginText(double inches) {
    return QString::number(inches, 'f', 2);
}

PrintSettings ReadPrintSettings(const QString& section, const PrintSettings& d) {
    const QString app = PrintAppName();
    const auto get = [&](const QString& key) {
        return Settings::getIn(app, section, key, QString());
    };
    PrintSettings s = d;
    s.marginLeft = ParseMargin(get(PrintKey::MarginLeft)).value_or(d.marginLeft);
    s.marginRight = ParseMargin(get(PrintKey::MarginRight)).value_or(d.marginRight);
    s.marginTop = ParseMargin(get(PrintKey::MarginTop)).value_or(d.marginTop);
    s.marginBottom = ParseMargin(get(PrintKey::MarginBottom)).value_or(d.marginBottom);
    s.orientation = ParseOrientation(get(PrintKey::Orientation)).value_or(d.orientation);
    s.zoom = ParseZoom(get(PrintKey::Zoom)).value_or(d.zoom);
    for (int i = 0; i < PrintOptionCount; ++i)
        s.options[i] = ParseOption(get(PrintKey::CheckBox(i))).value_or(d.options[i]);
    s.header = get(PrintKey::Header);
    s.footer = get(PrintKey::Footer);
    return s;
}

void StorePageSetup(const QString& section, const PrintSettings& s) {
    const QString app = PrintAppName();
    Settings::set(app, section, PrintKey::MarginTop, MarginText(s.marginTop));
    Settings::set(app, section, PrintKey::MarginBottom, MarginText(s.marginBottom));
    Settings::set(app, section, PrintKey::MarginLeft, MarginText(s.marginLeft));
    Settings::set(app, section, PrintKey::MarginRight, MarginText(s.marginRight));
    Settings::set(app, section, PrintKey::Orientation, QString::number(s.orientation));
    Settings::set(app, section, PrintKey::Zoom, QString::number(s.zoom));
}

void StorePrintOption(const QString& section, int index, bool on) {
    Settings::set(PrintAppName(), section, PrintKey::CheckBox(index),
                  on ? QStringLiteral("1") : QStringLiteral("0"));
}

QString StandardFontTable(int titleSize) {
    const QString font = QStringLiteral("/fn\"굴림체\"/fz\"");
    return font + QString::number(titleSize) + QStringLiteral("\"/fb1/fu0/fs1") + font +
           QStringLiteral("10\"/fb1/fu0/fs2") + font + QStringLiteral("10\"/fb0/fu0/fs3") + font +
           QStringLiteral("10\"/fb1/fu0/fs4") + font + QStringLiteral("9\"/fb0/fu0/fs5");
}

PrintSetup ApplyPrintSetup(const Grid* grid, const QString& section, const QString& title,
                           const QString& leftText, const QString& centreText, int orientation,
                           double marginLeft, double marginRight, double marginTop,
                           double marginBottom, bool showPageAndDate, const QString& remark,
                           int titleSize) {
    PrintSettings d;
    d.orientation = ParseOrientation(QString::number(orientation)).value_or(OrientPortrait);
    d.marginLeft = ParseMargin(QString::number(marginLeft)).value_or(d.marginLeft);
    d.marginRight = ParseMargin(QString::number(marginRight)).value_or(d.marginRight);
    d.marginTop = ParseMargin(QString::number(marginTop)).value_or(d.marginTop);
    d.marginBottom = ParseMargin(QString::number(marginBottom)).value_or(d.marginBottom);
    const PrintSettings s = ReadPrintSettings(section, d);

    PrintSetup out;
    out.marginLeft = int(std::lround(s.marginLeft * 1440));
    out.marginRight = int(std::lround(s.marginRight * 1440));
    out.marginTop = int(std::lround(s.marginTop * 1440));
    out.marginBottom = int(std::lround(s.marginBottom * 1440));
    out.orientation = s.orientation;
    out.zoom = s.zoom;
    out.fitAllowed = FitToPageAllowed(grid);
    out.options = s.options;
    if (!out.fitAllowed) out.options[OptFitToPage] = false;

    if (titleSize < 1 || titleSize > 400) titleSize = 16;
    // Every text is printed as given: its slashes are doubled before it joins the codes.
    out.header = StandardFontTable(titleSize) + QStringLiteral("/f1/c") + EscapeHfText(title) +
                 QStringLiteral("/n/n/f2/l") + EscapeHfText(leftText) + QStringLiteral("/f4/c") +
                 EscapeHfText(centreText) + QStringLiteral("/n");
    QString footer;
    if (!remark.isEmpty()) {
        QString r = EscapeHfText(remark);
        r.replace(QStringLiteral("\r\n"), QStringLiteral("/n"));
        r.replace(u'\r', QStringLiteral("/n"));
        r.replace(u'\n', QStringLiteral("/n"));
        footer = r;
    }
    if (showPageAndDate)
        footer += QStringLiteral("/n/f3/lPage: /p///pc/f5/c출력일:") +
                  Clock::today().toString(QStringLiteral("yyyy.MM.dd"));
    out.footer = footer;
    // A header or footer saved for this list replaces the standard one.
    if (!s.header.isEmpty()) out.header = StandardFontTable(titleSize) + s.header;
    if (!s.footer.isEmpty()) out.footer = s.footer;
    if (!out.options[OptFooter]) out.footer.clear();
    return out;
}

const QStringList& DocumentTypes() {
    static const QStringList t = {"세금계산서", "거래명세표", "DM",        "A4일반",
                                  "영수증",     "대체전표",   "바코드라벨"};
    return t;
}

QString PrinterForDocument(const QString& type) {
    return Settings::getIn(PrintAppTitle(), QStringLiteral("Config"),
                         type + QStringLiteral("_Printer"), QString());
}

void StorePrinterForDocument(const QString& type, const QString& printer) {
    Settings::set(PrintAppTitle(), QStringLiteral("Config"), type + QStringLiteral("_Printer"),
                  printer);
}
