#pragma once

#include "reports/GridPrintJob.h"
#include "ui/cFpPreview.h"

#include <QObject>
#include <QPointer>

#include <memory>

class Grid;

// One list being printed: the grid, what the list asked for and the laid-out job. The
// preview, the print dialog, the page setup and the header/footer editor share it;
// reload() reads the list's settings again after one of them stored a change.
class PrintContext : public QObject {
    Q_OBJECT
public:
    PrintContext(Grid* grid, const PrintRequest& request, QObject* parent = nullptr);
    ~PrintContext() override;

    Grid* grid() const { return m_guard ? m_grid : nullptr; }
    const PrintRequest& request() const { return m_request; }
    const QString& section() const { return m_request.section; }
    GridPrintJob& job() { return *m_job; }
    const GridPrintJob& job() const { return *m_job; }

    // The orientation used when none is stored: landscape when the printed columns are
    // wider than a portrait page.
    int defaultOrientation() const { return m_defaultOrientation; }

    void reload();

    // Prints pages from..to on the printer stored for "A4일반" (a PDF file chosen through
    // the prompt service when that is the PDF entry or no printer is installed).
    bool printPages(int from, int to);
    // Asks for a file name and writes pages from..to as PDF. False when cancelled or failed.
    bool saveAsPdf(int from, int to);
    // The file the PDF chooser proposes: "<title>_<yyyy-MM-dd>.pdf" in the documents folder.
    QString proposedPdfPath() const;

signals:
    void changed();

private:
    Grid* m_grid = nullptr;
    QPointer<QObject> m_guard;
    PrintRequest m_request;
    std::unique_ptr<GridPrintJob> m_job;
    int m_defaultOrientation = OrientPortrait;
};

// Standard margins (inches) of a list printed for the first time.
inline constexpr double DefaultMarginLeft = 0.4;
inline constexpr double DefaultMarginRight = 0.4;
inline constexpr double DefaultMarginTop = 0.5;
inline constexpr double DefaultMarginBottom = 0.5;
inline constexpr int DefaultTitleSize = 16;
