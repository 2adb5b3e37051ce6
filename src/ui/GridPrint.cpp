#include "ui/GridPrint.h"

#include "ui/Grid.h"
#include "ui/cFpPreview.h"

QString ListTotalsText(const Grid* grid) {
    if (!grid) return {};
    // The nearest enclosing window part that holds a totals grid beside the list.
    const Grid* sum = nullptr;
    for (const QWidget* w = grid->parentWidget(); w && !sum; w = w->parentWidget()) {
        for (const Grid* g : w->findChildren<const Grid*>(QStringLiteral("spSum")))
            if (g != grid) sum = g;
        if (w->isWindow() || w->inherits("QMdiSubWindow")) break;
    }
    if (!sum) return {};
    QStringList parts;
    for (int c = 1; c <= sum->maxCols(); ++c) {
        const QString value = sum->text(c, 1).trimmed();
        if (sum->colHidden(c) || value.isEmpty()) continue;
        QString head = sum->headerText(c).simplified();
        parts << (head.isEmpty() ? value : head + u' ' + value);
    }
    return parts.isEmpty() ? QString()
                           : QStringLiteral("[합 계]  ") + parts.join(QStringLiteral("   "));
}

void PrintGrid(Grid* grid, const QString& title, const QString& windowName,
               const QList<int>& chosenColumns) {
    PrintRequest request;
    request.section = PrintSection(grid, windowName);
    request.title = title;
    request.chosenColumns = chosenColumns;
    request.totals = ListTotalsText(grid);
    ShowPrintPreview(grid, request);
}
