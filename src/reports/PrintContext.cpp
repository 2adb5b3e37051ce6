#include "reports/PrintContext.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "ui/Grid.h"

#include <QDir>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QStandardPaths>

PrintContext::PrintContext(Grid* grid, const PrintRequest& request, QObject* parent)
    : QObject(parent), m_grid(grid), m_guard(grid), m_request(request) {
    PrintSetup probe;
    m_job = std::make_unique<GridPrintJob>(grid, probe, request.title);
    m_job->setKeptColumns(request.chosenColumns);
    m_job->setTotals(request.totals);
    double total = 0;
    for (const auto& c : m_job->printedColumns())
        total += c.width;
    const double portraitWidth = QPageSize(QPageSize::A4).size(QPageSize::Point).width() -
                                 (DefaultMarginLeft + DefaultMarginRight) * 72;
    m_defaultOrientation = total > portraitWidth ? OrientLandscape : OrientPortrait;
    reload();
}

PrintContext::~PrintContext() = default;

void PrintContext::reload() {
    m_job->setSetup(ApplyPrintSetup(grid(), m_request.section, m_request.title, m_request.leftText,
                                    m_request.centreText, m_defaultOrientation, DefaultMarginLeft,
                                    DefaultMarginRight, DefaultMarginTop, DefaultMarginBottom, true,
                                    m_request.remark, DefaultTitleSize));
    emit changed();
}

QString PrintContext::proposedPdfPath() const {
    // The list's title and the day, in the person's documents folder.
    QString name = m_request.title.simplified();
    static const QRegularExpression unsafe(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]"));
    name.replace(unsafe, QStringLiteral("_"));
    if (name.isEmpty() || name.startsWith(u'.')) name.prepend(QStringLiteral("목록"));
    name += u'_' + Clock::today().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".pdf");
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty()) dir = QDir::homePath();
    return QDir(dir).filePath(name);
}

bool PrintContext::saveAsPdf(int from, int to) {
    QString file = prompt().saveFileName(QStringLiteral("PDF 파일로 저장"), proposedPdfPath(),
                                         QStringLiteral("PDF (*.pdf)"));
    if (file.isEmpty()) return false;
    if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) file += QStringLiteral(".pdf");
    if (!m_job->printToPdf(file, from, to)) {
        MsgWarning(QStringLiteral("PDF 파일을 만들지 못했습니다.") + u'\n' +
                   QDir::toNativeSeparators(file));
        return false;
    }
    return true;
}

bool PrintContext::printPages(int from, int to) {
    const QString stored = PrinterForDocument(QStringLiteral("A4일반"));
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    if (stored == PdfPrinterName || installed.isEmpty()) return saveAsPdf(from, to);
    QPrinterInfo info = QPrinterInfo::printerInfo(stored);
    if (stored.isEmpty() || info.isNull()) info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return saveAsPdf(from, to);
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(m_request.title);
    if (!m_job->print(printer, from, to)) {
        MsgWarning(QStringLiteral("인쇄를 시작하지 못했습니다.") + u'\n' + info.printerName());
        return false;
    }
    return true;
}
