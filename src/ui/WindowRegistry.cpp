#include "ui/WindowRegistry.h"
#include "ui/FormIni.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QEvent>
#include <QHash>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace {

QPointer<QMdiArea>& explicitArea() {
    static QPointer<QMdiArea> area;
    return area;
}

// Insertion order kept so that "close all" closes in the order windows were opened.
QList<QPair<QString, QPointer<QWidget>>>& registry() {
    static QList<QPair<QString, QPointer<QWidget>>> list;
    return list;
}

void prune() {
    auto& r = registry();
    for (qsizetype i = r.size() - 1; i >= 0; --i)
        if (r[i].second.isNull()) r.removeAt(i);
}

// Saves the window's position whenever it is closed (a refused close saves too, which is
// harmless: the window is still where the user left it).
class LayoutKeeper : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            if (auto* w = qobject_cast<QWidget*>(watched)) SaveFormIni(w);
        }
        return false;
    }
};

const char* kShownOnce = "formFocusShownOnce";

} // namespace

void WindowRegistry::setMdiArea(QMdiArea* area) { explicitArea() = area; }

QMdiArea* WindowRegistry::mdiArea() {
    if (explicitArea()) return explicitArea();
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget* w : tops) {
        if (auto* mw = qobject_cast<QMainWindow*>(w))
            if (auto* area = qobject_cast<QMdiArea*>(mw->centralWidget())) return area;
    }
    return nullptr;
}

QWidget* WindowRegistry::find(const QString& name) {
    prune();
    for (const auto& e : registry())
        if (e.first == name) return e.second;
    return nullptr;
}

void WindowRegistry::add(QWidget* window, const QString& name) {
    prune();
    if (window->objectName().isEmpty()) window->setObjectName(name);
    window->setAttribute(Qt::WA_DeleteOnClose);
    registry().append({name, QPointer<QWidget>(window)});
    window->installEventFilter(new LayoutKeeper(window));
    if (QMdiArea* area = mdiArea()) {
        QMdiSubWindow* sub = area->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        // A window that closes itself takes its frame along. Queued: when the frame itself
        // is being deleted, the pending call goes with it.
        QObject::connect(window, &QObject::destroyed, sub, [sub] { sub->close(); },
                         Qt::QueuedConnection);
    }
}

QList<QWidget*> WindowRegistry::windows() {
    prune();
    QList<QWidget*> out;
    for (const auto& e : registry()) out << e.second.data();
    return out;
}

QMdiSubWindow* WindowRegistry::subWindowOf(const QWidget* window) {
    return window ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
}

// Gives the keyboard to the input the window last had focused, or else to its first
// input in tab order, so the user can type at once.
static void focusFirstInput(QWidget* window) {
    if (QWidget* last = window->focusWidget(); last && last != window && last->isVisible()) {
        last->setFocus();
        return;
    }
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        if (!window->isAncestorOf(w)) break;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    window->setFocus();
}

void KeepInsideArea(QWidget* frame) {
    if (!frame) return;
    QRect area;
    auto* sub = qobject_cast<QMdiSubWindow*>(frame);
    if (sub && sub->mdiArea()) {
        area = QRect(QPoint(0, 0), sub->mdiArea()->viewport()->size());
    } else {
        const QScreen* screen = frame->screen() ? frame->screen() : QGuiApplication::primaryScreen();
        if (screen) area = screen->availableGeometry();
    }
    if (!area.isValid() || (frame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))) return;
    QRect r = frame->isWindow() ? frame->frameGeometry() : frame->geometry();
    const QSize margin = r.size() - frame->size(); // window-manager frame of a top-level window
    if (r.width() > area.width() || r.height() > area.height()) {
        frame->resize(frame->size().boundedTo(area.size() - margin));
        r.setSize(r.size().boundedTo(area.size()));
    }
    QPoint to = r.topLeft();
    to.setX(qBound(area.left(), to.x(), area.right() - r.width() + 1));
    to.setY(qBound(area.top(), to.y(), area.bottom() - r.height() + 1));
    if (to != r.topLeft()) frame->move(to);
}

void PlaceOver(QWidget* popup, QWidget* owner) {
    if (!popup) return;
    QWidget* ownerWindow = owner ? owner->window() : nullptr;
    QRect target;
    if (ownerWindow && ownerWindow->isVisible()) {
        target = QRect(ownerWindow->mapToGlobal(QPoint(0, 0)), ownerWindow->size());
        // Inside the frame, centre on the child window the owner sits in.
        if (owner)
            for (QWidget* w = owner; w; w = w->parentWidget())
                if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
                    target = QRect(sub->mapToGlobal(QPoint(0, 0)), sub->size());
                    break;
                }
    } else if (const QScreen* s = QGuiApplication::primaryScreen()) {
        target = s->availableGeometry();
    }
    if (!target.isValid()) return;
    const QSize size = popup->isVisible() ? popup->frameGeometry().size() : popup->size();
    popup->move(target.center() - QPoint(size.width() / 2, size.height() / 2));
    KeepInsideArea(popup);
}

void FormFocus(QWidget* window) {
    if (!window) return;
    QMdiSubWindow* sub = WindowRegistry::subWindowOf(window);
    QWidget* frame = sub ? static_cast<QWidget*>(sub) : window;
    const bool first = !window->property(kShownOnce).toBool();
    if (first) {
        window->setProperty(kShownOnce, true);
        if (sub) sub->adjustSize();
        const bool placed = LoadFormIni(window, window->property("formIniKeepSize").toBool());
        if (!placed && sub && sub->mdiArea()) {
            // A window never starts larger than the frame's working area.
            const QSize area = sub->mdiArea()->viewport()->size();
            if (area.isValid() && (sub->width() > area.width() || sub->height() > area.height()))
                sub->resize(sub->size().boundedTo(area));
            sub->move(qMax(0, (area.width() - sub->width()) / 2),
                      qMax(0, (area.height() - sub->height()) / 2));
        }
    }
    // Every opening, not only the first: the frame may have shrunk since.
    KeepInsideArea(frame);
    if (frame->isMinimized()) frame->showNormal();
    else frame->show();
    window->show();
    if (sub && sub->mdiArea()) {
        // Raise explicitly: activation alone leaves a new window behind the active one
        // while the frame itself is not the active application window.
        sub->raise();
        sub->mdiArea()->setActiveSubWindow(sub);
        focusFirstInput(window);
    }
    else {
        window->raise();
        window->activateWindow();
    }
}

bool CloseWindow(QWidget* window) {
    if (!window) return true;
    if (QMdiSubWindow* sub = WindowRegistry::subWindowOf(window)) return sub->close();
    return window->close();
}

bool CloseAllChildren() {
    bool all = true;
    for (QWidget* w : WindowRegistry::windows())
        if (w && !CloseWindow(w)) all = false;
    // Sub-windows opened without the registry are closed too.
    if (QMdiArea* area = WindowRegistry::mdiArea()) {
        for (QMdiSubWindow* sub : area->subWindowList())
            if (!sub->close()) all = false;
    }
    return all;
}
