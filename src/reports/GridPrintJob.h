#pragma once

#include "reports/HeaderFooterCode.h"
#include "reports/PrintSetup.h"
#include "ui/GridTypes.h"

#include <QList>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QStringList>

class Grid;
class QPainter;
class QPrinter;

// Lays a grid out on A4 pages and paints them with QPainter. Units are points; the
// painter handed to paintPage() is scaled so that one unit is one point, with the page's
// top-left corner at the origin.
//
// The printed columns are the grid's visible columns in view order, taken when the job
// is made (a list hides its report-excluded columns only while it hands the grid over),
// less its tick column and the columns empty in every printed row (unless kept). A column
// prints as wide as on the screen, a number column at least as wide as its widest printed
// text, and columns under one shared caption at least as wide together as that caption.
// Rows are read from the grid when a page is painted. Rows are never split: every row and
// header row has one height, and a page holds whole rows. Columns wider than the page
// are cut to the page width; columns that do not fit side by side go on further pages
// (all rows of the first columns, then all rows of the next ones), each repeating the
// key columns (the first one or two, when narrow) so a row can be told on every page.
// Fitting to the page scales the grid down to the page width, but never below
// MinFitFont points of text; a list wider than that still continues on further pages.
// A totals line, when given, is one more bold row under the last row. Header and footer
// take at most a third of the printable height each; lines beyond that are left out.
class GridPrintJob {
public:
    struct Column {
        int col = 0;
        double width = 0; // points before fitting
        Qt::Alignment align;
        CellType type = CellType::Text;
        QStringList headers; // one per header row
    };

    static constexpr double MinFitFont = 6.0;

    GridPrintJob(Grid* grid, const PrintSetup& setup, const QString& title);

    const PrintSetup& setup() const { return m_setup; }
    void setSetup(const PrintSetup& setup);
    const QString& title() const { return m_title; }
    // Print only the selected cells of the grid (rows and columns of the selection).
    void setSelectionOnly(bool on);
    bool selectionOnly() const { return m_selectionOnly; }
    // Columns printed even when they hold nothing (chosen in the report-column window).
    void setKeptColumns(const QList<int>& cols);
    // The list's totals, printed under its last row.
    void setTotals(const QString& text);
    bool gridAlive() const { return !m_guard.isNull(); }

    int pageCount() const { return m_pageCount; }
    QSizeF pageSize() const { return m_pageSize; }
    int rowsPerPage() const { return m_rowsPerPage; }
    int printedRowCount() const { return int(m_rows.size()); }
    const QList<Column>& columns() const { return m_columns; }
    // The columns that print, after leaving out the empty ones.
    const QList<Column>& printedColumns() const { return m_printCols; }
    // Printed columns on page `page` (grid column numbers, left to right).
    QList<int> pageColumns(int page) const;
    double scale() const { return m_scale; }

    // page is 1-based.
    void paintPage(QPainter& painter, int page) const;
    // Prints pages from..to (1-based, inclusive) on the printer or PDF file the printer
    // is set to. False when the printer could not be started.
    bool print(QPrinter& printer, int from, int to) const;
    // Writes pages from..to into a PDF file.
    bool printToPdf(const QString& file, int from, int to) const;

private:
    void paginate();
    void paintGrid(QPainter& p, int band, int chunk) const;

    // The grid, or nullptr once it is gone.
    Grid* grid() const { return m_guard ? m_gridPtr : nullptr; }
    Grid* m_gridPtr = nullptr;
    QPointer<QObject> m_guard;
    PrintSetup m_setup;
    QString m_title;
    QList<Column> m_columns;
    bool m_selectionOnly = false;
    QList<int> m_kept;
    QString m_totals;

    // Pagination
    HfDocument m_header;
    HfDocument m_footer;
    QSizeF m_pageSize;
    QRectF m_printable;
    double m_headerHeight = 0;
    double m_footerHeight = 0;
    double m_scale = 1;
    double m_rowHeight = 0;
    double m_rowHeaderWidth = 0;
    int m_fontSize = 9;
    QList<int> m_rows;         // printed grid rows, in order
    QList<QList<int>> m_bands; // indexes into m_printCols per band
    QList<Column> m_printCols; // the columns printed (all, or the selected ones)
    int m_rowsPerPage = 1;
    int m_chunks = 1;
    int m_pageCount = 1;
};
