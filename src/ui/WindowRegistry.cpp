#include "ui/WindowRegistry.h"
#include "ui/FormIni.h"
#include "core/Prompt.h"
#include "ui/Grid.h"
#include "ui/HelpWindow.h"
#include "ui/RecordEditor.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QDialog>
#include <QKeyEvent>
#include <QLayout>
#include <QMetaMethod>
#include <QScreen>
#include <QScrollBar>
#include <QEvent>
#include <QHash>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStyle>
#include <QTimer>

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

// Where a window came from: the child window in front when it was opened and the control
// that had the keyboard there. When the window closes while it is in front, that window
// comes back to the front with the keyboard where it was.
struct Opener {
    QPointer<QMdiSubWindow> sub;
    QPointer<QWidget> focus;
    bool closingInFront = false;
};

QHash<const QWidget*, Opener>& openers() {
    static QHash<const QWidget*, Opener> map;
    return map;
}

int& frameCommandDepth() {
    static int depth = 0;
    return depth;
}

void giveBack(const Opener& o) {
    if (!o.sub || !o.sub->isVisible() || !o.sub->mdiArea()) return;
    if (o.sub->isMinimized()) o.sub->showNormal();
    o.sub->raise();
    o.sub->mdiArea()->setActiveSubWindow(o.sub);
    if (o.focus && o.focus->isVisible() && o.focus->isEnabled() && o.sub->isAncestorOf(o.focus))
        o.focus->setFocus(Qt::OtherFocusReason);
}

// A window that is no record editor but holds inputs tells through its invokable
// hasUnsavedInput() whether closing would lose what was typed.
bool hasUnsavedInput(QWidget* w) {
    bool unsaved = false;
    const int at = w->metaObject()->indexOfMethod("hasUnsavedInput()");
    if (at >= 0) w->metaObject()->method(at).invoke(w, Qt::DirectConnection, Q_RETURN_ARG(bool, unsaved));
    return unsaved;
}

// Per registered window: saves its position whenever it is closed (a refused close saves
// too, which is harmless: the window is still where the user left it), notes whether it
// was in front when closing, and closes it on Escape (the window asks first where typed
// data would be lost).
class LayoutKeeper : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w) return false;
        if (event->type() == QEvent::Close) {
            SaveFormIni(w);
            if (auto it = openers().find(w); it != openers().end()) {
                QMdiSubWindow* sub = WindowRegistry::subWindowOf(w);
                it->closingInFront = sub && sub->mdiArea() && sub->mdiArea()->activeSubWindow() == sub;
            }
        } else if (event->type() == QEvent::Hide && !event->spontaneous()) {
            // Hidden by an accepted close: the opener comes back at once, before the user's
            // next click or key (the window itself is deleted later).
            if (auto it = openers().find(w); it != openers().end() && it->closingInFront) {
                const Opener o = it.value();
                it->closingInFront = false;
                it->sub = nullptr;
                if (o.sub) QTimer::singleShot(0, o.sub, [o] { giveBack(o); });
            }
        } else if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
                OpenHelp(w->objectName()); // the guide's page of this window
                return true;
            }
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
                if (auto* editor = qobject_cast<RecordEditor*>(w)) editor->closeOnEscape();
                else if (!hasUnsavedInput(w) ||
                         AskYesNo(QStringLiteral("변경된 내용이 저장되지 않았습니다. 정말 닫으시겠습니까?"), {}, false))
                    CloseWindow(w);
                return true;
            }
        }
        return false;
    }
};

const char* kShownOnce = "formFocusShownOnce";


// The size a grid needs to show every visible column without a horizontal scroll bar,
// and, for a grid of a few fixed rows (a month of weeks, a totals row), all its rows.
QSize gridSizeWanted(const Grid* g) {
    int w = g->verticalHeader()->isVisible() ? g->verticalHeader()->width() : 0;
    for (int c = 1; c <= g->maxCols(); ++c)
        if (!g->colHidden(c)) w += g->colWidth(c);
    w += 2 * g->frameWidth() + g->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    int h = 0;
    if (g->maxRows() > 1 && g->maxRows() <= 8) {
        h = (g->horizontalHeader()->isVisible() ? g->horizontalHeader()->height() : 0) +
            g->maxRows() * g->rowHeight() + 2 * g->frameWidth() + 2;
    }
    return {w, h};
}

// First opening without a layout file: a window grows (within the frame's area) until
// each of its grids shows all its columns (and a grid of a few fixed rows all its rows).
void fitGridsOnFirstStart(QWidget* window, QWidget* frame, const QSize& area) {
    // Measured again after each growth: a grid beside other controls gets only its share
    // of what the window gains, so the next growth is scaled by that share.
    double shareW = 1.0, shareH = 1.0;
    for (int round = 0; round < 4; ++round) {
        for (QWidget* w : {frame, window})
            if (w->layout()) w->layout()->activate();
        QSize need(0, 0);
        QHash<Grid*, QSize> before;
        for (Grid* g : window->findChildren<Grid*>()) {
            if (!g->isVisibleTo(window)) continue;
            const QSize wanted = gridSizeWanted(g);
            need.setWidth(qMax(need.width(), wanted.width() - g->width()));
            if (wanted.height() > 0) need.setHeight(qMax(need.height(), wanted.height() - g->height()));
            before.insert(g, g->size());
        }
        if (need.width() <= 0 && need.height() <= 0) return;
        const QSize grow(need.width() > 0 ? int(need.width() * shareW) + 1 : 0,
                         need.height() > 0 ? int(need.height() * shareH) + 1 : 0);
        QSize size = frame->size() + grow;
        if (area.isValid()) size = size.boundedTo(area);
        if (size == frame->size()) return;
        frame->resize(size);
        for (QWidget* w : {frame, window})
            if (w->layout()) w->layout()->activate();
        // The smallest share any grid got of the growth decides the next round.
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            const QSize gained = it.key()->size() - it.value();
            if (grow.width() > 0 && gained.width() > 0)
                shareW = qMax(shareW, double(grow.width()) / gained.width());
            if (grow.height() > 0 && gained.height() > 0)
                shareH = qMax(shareH, double(grow.height()) / gained.height());
        }
    }
}

// Top-level windows other than the frame (pickers, modal editors, messages, dialogs): each
// opens centred on the window that had the keyboard, and when it closes the keyboard goes
// back to that control if nothing else has taken it.
class TopLevelTracker : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress) return closeOnEscape(watched, static_cast<QKeyEvent*>(event));
        if ((type != QEvent::Show && type != QEvent::Hide) || !watched->isWidgetType() ||
            event->spontaneous())
            return false;
        auto* w = static_cast<QWidget*>(watched);
        if (!w->isWindow() || qobject_cast<QMainWindow*>(w)) return false;
        const Qt::WindowType kind = w->windowType();
        if (kind != Qt::Window && kind != Qt::Dialog) return false;
        if (type == QEvent::Show) {
            QWidget* focus = QApplication::focusWidget();
            if (focus && focus->window() == w) return false;
            if (!m_back.contains(w))
                connect(w, &QObject::destroyed, this, [this, w] { m_back.remove(w); });
            Back& b = m_back[w];
            b.focus = focus;
            b.window = focus ? focus->window() : QApplication::activeWindow();
            // A window its opener placed itself (a date picker under its input) stays there.
            if (!w->property(kPlaced).toBool() && !w->testAttribute(Qt::WA_Moved)) {
                w->setProperty(kPlaced, true);
                if (w->windowState() & Qt::WindowMaximized)
                    w->setWindowState(w->windowState() & ~Qt::WindowMaximized);
                PlaceOver(w, focus ? focus : b.window.data());
            }
        } else if (auto it = m_back.find(w); it != m_back.end()) {
            const Back b = *it;
            m_back.erase(it);
            QTimer::singleShot(0, this, [b] {
                // Only when the keyboard was left nowhere: a window that put it somewhere on
                // purpose (an input with a wrong value) keeps that.
                if (QApplication::activeModalWidget() || !b.window || !b.window->isVisible()) return;
                QWidget* now = QApplication::focusWidget();
                if (now && now->isVisible()) return;
                b.window->activateWindow();
                if (b.focus && b.focus->isVisible() && b.focus->isEnabled()) {
                    if (QMdiSubWindow* sub = subWindowAround(b.focus))
                        if (sub->mdiArea()) sub->mdiArea()->setActiveSubWindow(sub);
                    b.focus->setFocus(Qt::OtherFocusReason);
                }
            });
        }
        return false;
    }

private:
    // Escape that no control took closes a top-level window of the program's own (a picker
    // or editor shown outside the frame); dialogs close themselves.
    static bool closeOnEscape(QObject* watched, QKeyEvent* key) {
        if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier || !watched->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(watched);
        if (!w->isWindow() || w->windowType() != Qt::Window || qobject_cast<QMainWindow*>(w) ||
            qobject_cast<QDialog*>(w) || WindowRegistry::subWindowOf(w))
            return false;
        if (auto* editor = qobject_cast<RecordEditor*>(w)) editor->closeOnEscape();
        else w->close();
        return true;
    }
    struct Back {
        QPointer<QWidget> window;
        QPointer<QWidget> focus;
    };
    static QMdiSubWindow* subWindowAround(QWidget* w) {
        for (; w; w = w->parentWidget())
            if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) return sub;
        return nullptr;
    }
    static constexpr const char* kPlaced = "placedOverOwner";
    QHash<QWidget*, Back> m_back;
};

} // namespace

void InstallWindowPlacement() {
    static QPointer<TopLevelTracker> tracker;
    if (tracker || !qApp) return;
    tracker = new TopLevelTracker(qApp);
    qApp->installEventFilter(tracker);
}

FrameCommandScope::FrameCommandScope() { ++frameCommandDepth(); }
FrameCommandScope::~FrameCommandScope() { --frameCommandDepth(); }

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
    QObject::connect(window, &QObject::destroyed, [window] { openers().remove(window); });
    if (QMdiArea* area = mdiArea()) {
        // A window in front is never maximised just because the one behind it is; a window
        // opened from the menu over a maximised one is maximised by FormFocus instead.
        area->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
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
    QMdiArea* area = sub ? sub->mdiArea() : nullptr;
    QMdiSubWindow* before = area ? area->activeSubWindow() : nullptr;
    if (before == sub || (before && !before->isVisible())) before = nullptr;
    // Opened from another window (not from the menu), or an editor: its own size, centred
    // on the window that called it, never maximised.
    const bool dependent = sub && ((before && frameCommandDepth() == 0) ||
                                   qobject_cast<RecordEditor*>(window) ||
                                   window->property("opensAtOwnSize").toBool());
    if (before) {
        QWidget* focus = QApplication::focusWidget();
        openers()[window] = {before, before->isAncestorOf(focus) ? focus : nullptr, false};
    }
    const bool first = !window->property(kShownOnce).toBool();
    bool fitGrids = false;
    if (first) {
        window->setProperty(kShownOnce, true);
        if (sub) sub->adjustSize();
        const bool placed = LoadFormIni(window, window->property("formIniKeepSize").toBool());
        if (!placed && sub && area) {
            // A window never starts larger than the frame's working area.
            const QSize room = area->viewport()->size();
            fitGrids = true;
            if (room.isValid() && (sub->width() > room.width() || sub->height() > room.height()))
                sub->resize(sub->size().boundedTo(room));
            sub->move(qMax(0, (room.width() - sub->width()) / 2),
                      qMax(0, (room.height() - sub->height()) / 2));
        }
        if (dependent) {
            if (sub->windowState() & Qt::WindowMaximized)
                sub->setWindowState(sub->windowState() & ~Qt::WindowMaximized);
            if (before && !before->isMaximized()) {
                const QRect on = before->geometry();
                sub->move(on.center() - QPoint(sub->width() / 2, sub->height() / 2));
            } else if (area) {
                const QSize room = area->viewport()->size();
                sub->move(qMax(0, (room.width() - sub->width()) / 2),
                          qMax(0, (room.height() - sub->height()) / 2));
            }
        } else if (before && before->isMaximized()) {
            sub->setWindowState(sub->windowState() | Qt::WindowMaximized);
        }
    }
    // Every opening, not only the first: the frame may have shrunk since.
    KeepInsideArea(frame);
    if (frame->isMinimized()) frame->showNormal();
    else frame->show();
    window->show();
    if (fitGrids && !sub->isMaximized()) {
        // Measured on the shown window, whose layout has placed the grids.
        const QRect was = sub->geometry();
        fitGridsOnFirstStart(window, sub, area->viewport()->size());
        sub->move(was.center() - QPoint(sub->width() / 2, sub->height() / 2));
        KeepInsideArea(sub);
    }
    if (sub && area) {
        // Raise explicitly: activation alone leaves a new window behind the active one
        // while the frame itself is not the active application window.
        sub->raise();
        area->setActiveSubWindow(sub);
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
