#include "ui/GridPrint.h"

#include "ui/Grid.h"

#include <QHeaderView>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

#include <memory>

// The document is HTML: a title line, then one table with the header row(s) and the
// visible data rows; hidden columns and rows are left out, column order is the view's.
QTextDocument* BuildGridDocument(const Grid* grid, const QString& title)
{
    QList<int> cols;
    const QHeaderView* header = grid->horizontalHeader();
    for (int v = 0; v < grid->maxCols(); ++v) {
        const int col = header->logicalIndex(v) + 1;
        if (!grid->colHidden(col))
            cols.append(col);
    }
    QString html;
    html += QStringLiteral("<html><body><h3 align=\"center\">") + title.toHtmlEscaped()
            + QStringLiteral("</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\">");
    for (int h = 1; h <= grid->headerRows(); ++h) {
        html += QStringLiteral("<tr>");
        for (int c : cols)
            html += QStringLiteral("<th>") + grid->headerText(c, h).toHtmlEscaped() + QStringLiteral("</th>");
        html += QStringLiteral("</tr>");
    }
    const int last = grid->dataRowCnt();
    for (int r = 1; r <= last; ++r) {
        if (grid->rowHidden(r))
            continue;
        html += QStringLiteral("<tr>");
        for (int c : cols) {
            QString text = grid->text(c, r);
            if (grid->colType(c) == CellType::CheckBox)
                text = text == QLatin1String("1") ? QStringLiteral("V") : QString();
            const Qt::Alignment a = grid->colAlignment(c);
            const char* align = (a & Qt::AlignRight) ? "right" : (a & Qt::AlignHCenter) ? "center" : "left";
            html += QStringLiteral("<td align=\"%1\">").arg(QLatin1String(align)) + text.toHtmlEscaped()
                    + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table></body></html>");
    auto* doc = new QTextDocument;
    doc->setDefaultFont(grid->font());
    doc->setHtml(html);
    return doc;
}

void PrintGrid(Grid* grid, const QString& title)
{
    if (!grid)
        return;
    std::unique_ptr<QTextDocument> doc(BuildGridDocument(grid, title));
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    QPrintPreviewDialog preview(&printer, grid->window());
    preview.setWindowTitle(title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&doc](QPrinter* p) { doc->print(p); });
    preview.exec();
}
