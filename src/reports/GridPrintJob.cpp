#include "reports/GridPrintJob.h"

#include "reports/HfPainter.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/cFpPreview.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {
// Grid widths are screen pixels at 96 per inch.
constexpr double kPxToPt = 72.0 / 96.0;
constexpr double kCellPad = 2.0;
const QColor kShadow(224, 224, 224);
const QColor kLine(128, 128, 128);

// Neighbouring columns with the same caption in the first of two header rows and one of
// their own in the second print the first caption once across them, whole.
bool SharedCaption(const GridPrintJob::Column& a, const GridPrintJob::Column& b) {
    return GridModel::SharesTopCaption(a.headers.value(0), a.headers.value(1), b.headers.value(0),
                                       b.headers.value(1));
}

QFont cellFont(int size, bool bold) {
    QFont f(PrintFamily(QStringLiteral("굴림체")));
    f.setPixelSize(std::max(1, size));
    f.setBold(bold);
    return f;
}
} // namespace

GridPrintJob::GridPrintJob(Grid* grid, const PrintSetup& setup, const QString& title)
    : m_gridPtr(grid), m_guard(grid), m_setup(setup), m_title(title) {
    if (grid) {
        grid->fetchAll(); // pages for every row of the list, also those never scrolled to
        const QHeaderView* header = grid->horizontalHeader();
        for (int v = 0; v < grid->maxCols(); ++v) {
            const int col = header->logicalIndex(v) + 1;
            if (col < 1 || grid->colHidden(col) || grid->colWidth(col) <= 0 ||
                IsTickColumn(grid, col))
                continue;
            Column c;
            c.col = col;
            c.width = grid->colWidth(col) * kPxToPt;
            c.align = grid->colAlignment(col);
            c.type = grid->colType(col);
            for (int h = 1; h <= grid->headerRows(); ++h)
                c.headers << grid->headerText(col, h);
            m_columns << c;
        }
        if (grid->fontSize() > 0) m_fontSize = grid->fontSize();
    }
    paginate();
}

void GridPrintJob::setSetup(const PrintSetup& setup) {
    m_setup = setup;
    paginate();
}

void GridPrintJob::setSelectionOnly(bool on) {
    m_selectionOnly = on;
    paginate();
}

void GridPrintJob::setKeptColumns(const QList<int>& cols) {
    m_kept = cols;
    paginate();
}

void GridPrintJob::setTotals(const QString& text) {
    m_totals = text;
    paginate();
}

QList<int> GridPrintJob::pageColumns(int page) const {
    QList<int> out;
    const int index = std::clamp(page, 1, m_pageCount) - 1;
    for (int i : m_bands.value(index / m_chunks))
        out << m_printCols[i].col;
    return out;
}

void GridPrintJob::paginate() {
    const bool landscape = m_setup.orientation == OrientLandscape;
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Point);
    m_pageSize = landscape ? a4.transposed() : a4;
    const double ml = m_setup.marginLeft / 20.0, mr = m_setup.marginRight / 20.0;
    const double mt = m_setup.marginTop / 20.0, mb = m_setup.marginBottom / 20.0;
    // Margins too wide for the page leave at least an inch to print on.
    const double w = std::max(72.0, m_pageSize.width() - ml - mr);
    const double h = std::max(72.0, m_pageSize.height() - mt - mb);
    m_printable =
        QRectF(std::min(ml, m_pageSize.width() - w), std::min(mt, m_pageSize.height() - h), w, h);

    m_header = ParseHfCode(m_setup.header);
    m_footer = ParseHfCode(m_setup.footer, m_header.fonts);
    m_headerHeight = HfHeight(m_header, h / 3);
    m_footerHeight = HfHeight(m_footer, h / 3);

    const PrintOptions& o = m_setup.options;
    int rowHeightPx = 0;
    int headerRows = 1;
    m_rows.clear();
    QSet<int> selRows, selCols;
    if (grid()) {
        rowHeightPx = grid()->rowHeight();
        headerRows = grid()->headerRows();
        if (m_selectionOnly && grid()->selectionModel()) {
            for (const QModelIndex& i : grid()->selectionModel()->selectedIndexes()) {
                selRows.insert(i.row() + 1);
                selCols.insert(i.column() + 1);
            }
        }
        const int last = o[OptDataOnly] ? grid()->dataRowCnt() : grid()->maxRows();
        m_rows.reserve(last);
        for (int r = 1; r <= last; ++r) {
            if (grid()->rowHidden(r)) continue;
            if (m_selectionOnly && !selRows.contains(r)) continue;
            m_rows << r;
        }
    }
    m_printCols.clear();
    // A column with nothing in it only takes room, unless the person chose it. The rows are
    // looked through one after another, each for the columns still found empty: a long
    // list keeps its rows in blocks that are read best in their order.
    QList<Column> candidates;
    QList<bool> filled;
    for (const Column& c : m_columns) {
        if (m_selectionOnly && !selCols.contains(c.col)) continue;
        candidates << c;
        filled << (m_kept.contains(c.col) || m_rows.isEmpty());
    }
    qsizetype open = std::count(filled.cbegin(), filled.cend(), false);
    for (qsizetype k = 0; open > 0 && k < m_rows.size(); ++k) {
        for (qsizetype i = 0; i < candidates.size(); ++i) {
            if (filled[i] || grid()->text(candidates[i].col, m_rows[k]).trimmed().isEmpty()) continue;
            filled[i] = true;
            --open;
        }
    }
    for (qsizetype i = 0; i < candidates.size(); ++i)
        if (filled[i]) m_printCols << candidates[i];

    m_rowHeight = std::max(rowHeightPx * kPxToPt, m_fontSize * 1.6);
    m_rowHeaderWidth = 0;
    if (o[OptRowHeaders]) {
        const int lastRow = m_rows.isEmpty() ? 1 : m_rows.last();
        m_rowHeaderWidth =
            QFontMetricsF(cellFont(m_fontSize, false)).horizontalAdvance(QString::number(lastRow)) +
            4 * kCellPad;
    }
    // An amount cut short on paper reads as another amount: a number column is made as
    // wide as its widest printed text (bold, as marked rows print), whatever its width on
    // the screen. Text columns keep their width and end in "…".
    // Rows are read in their order, as the grid keeps them.
    if (grid()) {
        const QFontMetricsF fm(cellFont(m_fontSize, true));
        QList<qsizetype> numbers;
        for (qsizetype i = 0; i < m_printCols.size(); ++i)
            if (m_printCols[i].type == CellType::Number || (m_printCols[i].align & Qt::AlignRight))
                numbers << i;
        QList<double> widest(m_printCols.size(), 0.0);
        for (qsizetype k = 0; !numbers.isEmpty() && k < m_rows.size(); ++k)
            for (qsizetype i : numbers)
                widest[i] = std::max(
                    widest[i], fm.horizontalAdvance(grid()->text(m_printCols[i].col, m_rows[k])));
        for (qsizetype i : numbers)
            m_printCols[i].width =
                std::max(m_printCols[i].width, std::ceil(widest[i] + 2 * kCellPad + 1));
    }
    // So is a caption over several columns: those printed share its width.
    if (o[OptColHeaders] && headerRows == 2) {
        const QFontMetricsF fm(cellFont(m_fontSize, true));
        for (qsizetype k = 0; k < m_printCols.size(); ++k) {
            if (m_printCols[k].headers.value(1).isEmpty()) continue;
            double w = m_printCols[k].width;
            const qsizetype start = k;
            while (k + 1 < m_printCols.size() && SharedCaption(m_printCols[k], m_printCols[k + 1]))
                w += m_printCols[++k].width;
            const double need =
                std::ceil(fm.horizontalAdvance(m_printCols[start].headers.value(0)) + 2 * kCellPad + 1);
            if (w < need) m_printCols[k].width += need - w;
        }
    }
    double total = m_rowHeaderWidth;
    for (const Column& c : m_printCols)
        total += c.width;
    m_scale = 1;
    if (o[OptFitToPage] && m_setup.fitAllowed && total > w)
        m_scale = std::max(w / total, std::min(1.0, MinFitFont / m_fontSize));

    // In grid units (before scaling)
    const double availW = w / m_scale;
    const double availH = (h - m_headerHeight - m_footerHeight) / m_scale;
    const double room = std::max(10.0, availW - m_rowHeaderWidth);
    m_bands.clear();
    for (Column& c : m_printCols)
        c.width = std::min(c.width, room);
    // Key columns: the first one or two printed columns, when together they leave most of
    // the page to the others.
    QList<int> keys;
    double keyWidth = 0;
    for (int i = 0; i < std::min<int>(2, int(m_printCols.size()) - 1); ++i) {
        if (keyWidth + m_printCols[i].width > room * 0.4) break;
        keys << i;
        keyWidth += m_printCols[i].width;
    }
    QList<int> band;
    qsizetype repeated = 0; // key columns at the start of this band
    double used = 0;
    for (qsizetype i = 0; i < m_printCols.size(); ++i) {
        const double cw = m_printCols[i].width;
        if (band.size() > repeated && used + cw > room + 0.001) {
            m_bands << band;
            band = keys;
            repeated = keys.size();
            used = keyWidth;
            // A column too wide to stand beside the keys gets a page of its own.
            if (used + cw > room + 0.001) {
                band.clear();
                repeated = 0;
                used = 0;
            }
        }
        band << int(i);
        used += cw;
    }
    if (!band.isEmpty() || m_bands.isEmpty()) m_bands << band;

    const double headH = o[OptColHeaders] ? headerRows * m_rowHeight : 0;
    m_rowsPerPage = std::max(1, int(std::floor((availH - headH) / m_rowHeight + 1e-6)));
    const int lines = int(m_rows.size()) + (m_totals.isEmpty() ? 0 : 1);
    m_chunks = std::max(1, (lines + m_rowsPerPage - 1) / m_rowsPerPage);
    m_pageCount = int(m_bands.size()) * m_chunks;
}

void GridPrintJob::paintPage(QPainter& p, int page) const {
    p.save();
    p.fillRect(QRectF(QPointF(0, 0), m_pageSize), Qt::white);
    const int index = std::clamp(page, 1, m_pageCount) - 1;
    const QRectF& a = m_printable;
    PaintHf(p, m_header, QRectF(a.left(), a.top(), a.width(), m_headerHeight), index + 1,
            m_pageCount);
    PaintHf(p, m_footer, QRectF(a.left(), a.bottom() - m_footerHeight, a.width(), m_footerHeight),
            index + 1, m_pageCount);
    p.translate(a.left(), a.top() + m_headerHeight);
    p.scale(m_scale, m_scale);
    paintGrid(p, index / m_chunks, index % m_chunks);
    p.restore();
}

void GridPrintJob::paintGrid(QPainter& p, int band, int chunk) const {
    const PrintOptions& o = m_setup.options;
    const QList<int>& cols = m_bands.value(band);
    const int headerRows = grid() ? grid()->headerRows() : 1;
    const double rh = m_rowHeight;
    double width = m_rowHeaderWidth;
    for (int i : cols)
        width += m_printCols[i].width;
    const QFont plain = cellFont(m_fontSize, false);
    const QFont bold = cellFont(m_fontSize, true);
    const QFontMetricsF fmPlain(plain), fmBold(bold);

    const auto sharesCaption = [&](qsizetype k) {
        return headerRows == 2 && k + 1 < cols.size() &&
               SharedCaption(m_printCols[cols[k]], m_printCols[cols[k + 1]]);
    };
    const auto drawText = [&](const QRectF& cell, const QString& text, Qt::Alignment align,
                              bool isBold) {
        if (text.isEmpty()) return;
        const QFontMetricsF& fm = isBold ? fmBold : fmPlain;
        p.setFont(isBold ? bold : plain);
        const QRectF inner = cell.adjusted(kCellPad, 0, -kCellPad, 0);
        QString t = text;
        t.replace(u'\n', u' ');
        t = fm.elidedText(t, Qt::ElideRight, inner.width());
        p.drawText(inner,
                   int((align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter) | Qt::TextSingleLine,
                   t);
    };

    double y = 0;
    if (o[OptColHeaders]) {
        for (int hr = 0; hr < headerRows; ++hr) {
            double x = 0;
            if (m_rowHeaderWidth > 0) {
                if (o[OptShadows]) p.fillRect(QRectF(x, y, m_rowHeaderWidth, rh), kShadow);
                x += m_rowHeaderWidth;
            }
            for (qsizetype k = 0; k < cols.size(); ++k) {
                const Column& c = m_printCols[cols[k]];
                double w = c.width;
                while (hr == 0 && sharesCaption(k)) w += m_printCols[cols[++k]].width;
                const QRectF cell(x, y, w, rh);
                if (o[OptShadows]) p.fillRect(cell, kShadow);
                p.setPen(Qt::black);
                drawText(cell, c.headers.value(hr), Qt::AlignHCenter, true);
                x += w;
            }
            y += rh;
        }
    }
    const double bodyTop = y;
    const int first = chunk * m_rowsPerPage;
    const int last = std::min<int>(int(m_rows.size()), first + m_rowsPerPage);
    const GridModel* model = grid() ? grid()->gridModel() : nullptr;
    for (int k = first; k < last && grid(); ++k) {
        const int r = m_rows[k];
        const bool marked = !grid()->rowMark(r).isEmpty() || r == grid()->totalsRow();
        double x = 0;
        if (m_rowHeaderWidth > 0) {
            const QRectF cell(x, y, m_rowHeaderWidth, rh);
            if (o[OptShadows]) p.fillRect(cell, kShadow);
            p.setPen(Qt::black);
            drawText(cell, QString::number(r), Qt::AlignHCenter, false);
            x += m_rowHeaderWidth;
        }
        for (int i : cols) {
            const Column& c = m_printCols[i];
            const QRectF cell(x, y, c.width, rh);
            x += c.width;
            QColor fore = Qt::black;
            bool isBold = marked;
            if (model) {
                const QModelIndex mi = model->index(r - 1, c.col - 1);
                if (o[OptColour]) {
                    const QVariant back = model->data(mi, Qt::BackgroundRole);
                    if (back.canConvert<QColor>() && back.value<QColor>().isValid())
                        p.fillRect(cell, back.value<QColor>());
                    const QVariant f = model->data(mi, Qt::ForegroundRole);
                    if (f.canConvert<QColor>() && f.value<QColor>().isValid())
                        fore = f.value<QColor>();
                }
                const QVariant font = model->data(mi, Qt::FontRole);
                if (font.canConvert<QFont>() && font.value<QFont>().bold()) isBold = true;
            }
            const QString text = grid()->text(c.col, r);
            p.setPen(fore);
            if (c.type == CellType::CheckBox) {
                const double box = std::min(rh - 4, double(m_fontSize));
                const QRectF b(cell.center().x() - box / 2, cell.center().y() - box / 2, box, box);
                p.setPen(QPen(fore, 0.6));
                p.setBrush(Qt::NoBrush);
                p.drawRect(b);
                if (text == QLatin1String("1")) {
                    p.setPen(QPen(fore, 1.2));
                    p.drawLine(QPointF(b.left() + box * 0.2, b.center().y()),
                               QPointF(b.left() + box * 0.45, b.bottom() - box * 0.2));
                    p.drawLine(QPointF(b.left() + box * 0.45, b.bottom() - box * 0.2),
                               QPointF(b.right() - box * 0.15, b.top() + box * 0.2));
                }
                continue;
            }
            drawText(cell, text, c.align, isBold);
        }
        y += rh;
    }
    const double rowsBottom = y;
    if (!m_totals.isEmpty() && first + m_rowsPerPage > m_rows.size()) {
        // The totals line under the last row, across the whole width.
        const QRectF line(0, y, width, rh);
        if (o[OptShadows]) p.fillRect(line, kShadow);
        p.setPen(Qt::black);
        // The text may run on past a narrow list, to the printable width.
        drawText(QRectF(0, y, std::max(width, m_printable.width() / m_scale), rh), m_totals,
                 Qt::AlignLeft, true);
        y += rh;
    }
    const double bottom = y;
    if (o[OptGridLines]) {
        p.setPen(QPen(kLine, 0.5));
        for (double ly = o[OptColHeaders] ? 0 : bodyTop; ly <= bottom + 0.01; ly += rh)
            p.drawLine(QPointF(0, ly), QPointF(width, ly));
        double x = 0;
        p.drawLine(QPointF(x, 0), QPointF(x, bottom));
        x += m_rowHeaderWidth;
        if (m_rowHeaderWidth > 0) p.drawLine(QPointF(x, 0), QPointF(x, rowsBottom));
        for (qsizetype k = 0; k < cols.size(); ++k) {
            x += m_printCols[cols[k]].width;
            // The last line closes the totals too; the others stop above it.
            const double top = o[OptColHeaders] && sharesCaption(k) ? rh : 0;
            p.drawLine(QPointF(x, top), QPointF(x, k + 1 == cols.size() ? bottom : rowsBottom));
        }
    }
    if (o[OptBorder] && bottom > 0) {
        p.setPen(QPen(Qt::black, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(0, 0, width, bottom));
    }
}

bool GridPrintJob::print(QPrinter& printer, int from, int to) const {
    from = std::clamp(from, 1, m_pageCount);
    to = std::clamp(to, from, m_pageCount);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4),
        m_setup.orientation == OrientLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(0, 0, 0, 0)));
    if (printer.docName().isEmpty()) printer.setDocName(m_title);
    QPainter p;
    if (!p.begin(&printer)) return false;
    const double s = printer.resolution() / 72.0;
    for (int page = from; page <= to; ++page) {
        if (page > from && !printer.newPage()) return false;
        p.save();
        p.scale(s, s);
        paintPage(p, page);
        p.restore();
    }
    return p.end();
}

bool GridPrintJob::printToPdf(const QString& file, int from, int to) const {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setDocName(m_title);
    return print(printer, from, to);
}
