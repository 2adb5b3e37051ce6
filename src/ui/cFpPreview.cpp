#include "ui/cFpPreview.h"

#include "core/Prompt.h"
#include "ui/Grid.h"

#include <QWidget>

namespace {
std::unique_ptr<cFpPreview>& service() {
    static std::unique_ptr<cFpPreview> s;
    return s;
}
constexpr const char* kFitProperty = "md_fitToPageAllowed";
constexpr const char* kTickProperty = "md_tickColumns";
} // namespace

cFpPreview* cFpPreview::instance() {
    return service().get();
}

void cFpPreview::install(std::unique_ptr<cFpPreview> s) {
    service() = std::move(s);
}

void ShowPrintPreview(Grid* grid, const PrintRequest& request) {
    cFpPreview* s = cFpPreview::instance();
    if (!s || !s->IsSetUp()) {
        MsgInfo(QStringLiteral("사용 프로그램이 설정되지 않았습니다."));
        return;
    }
    if (grid) s->Show(grid, request);
}

void SetFitToPageAllowed(Grid* grid, bool allowed) {
    if (grid) grid->setProperty(kFitProperty, allowed);
}

bool FitToPageAllowed(const Grid* grid) {
    if (!grid) return false;
    const QVariant v = grid->property(kFitProperty);
    return !v.isValid() || v.toBool();
}

void MarkTickColumn(Grid* grid, int col) {
    if (!grid) return;
    QList<QVariant> cols = grid->property(kTickProperty).toList();
    if (!cols.contains(col)) cols << col;
    grid->setProperty(kTickProperty, cols);
}

bool IsTickColumn(const Grid* grid, int col) {
    return grid && grid->property(kTickProperty).toList().contains(col);
}

QString PrintSection(const Grid* grid, const QString& windowName) {
    if (!grid) return windowName;
    // The window: the nearest ancestor carrying windowName, else the top of the grid's
    // own window (a child window inside the frame counts as a window).
    QWidget* window = nullptr;
    for (QWidget* w = grid->parentWidget(); w; w = w->parentWidget()) {
        if (!windowName.isEmpty() && w->objectName() == windowName) {
            window = w;
            break;
        }
        if (windowName.isEmpty() && !w->objectName().isEmpty() &&
            !w->objectName().startsWith(QStringLiteral("qt_")))
            window = w;
        if (w->isWindow() || w->inherits("QMdiSubWindow")) break;
    }
    QString name = windowName;
    if (name.isEmpty()) name = window ? window->objectName() : grid->layoutName();
    if (window && window->findChildren<Grid*>().size() > 1) name += u'_' + grid->layoutName();
    return name;
}
