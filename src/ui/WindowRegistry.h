#pragma once

#include <QList>
#include <QString>

#include <utility>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

// The child windows of the main window, one per window name: created on first use,
// reused afterwards, forgotten when closed. Inside the frame's MDI area each window sits in
// its own sub-window; without a frame (tests, a window opened before login) it is a
// top-level window.
//
// A registered window gets its layout file applied when it is first shown (keep-size
// flag: the widget property "formIniKeepSize") and its position saved whenever it closes.
class WindowRegistry {
public:
    // The frame's MDI area. Without one set, the first top-level QMainWindow whose central
    // widget is a QMdiArea is used; null when there is none.
    static void setMdiArea(QMdiArea* area);
    static QMdiArea* mdiArea();

    static QWidget* find(const QString& name);
    // Registers `window` under `name` (also its objectName) and puts it into the MDI area.
    // The window is deleted when it closes.
    static void add(QWidget* window, const QString& name);
    static QList<QWidget*> windows();

    // The MDI sub-window holding `window`, or null.
    static QMdiSubWindow* subWindowOf(const QWidget* window);
};

// Shows a window: restores it when minimised, shows and activates it; the first time,
// applies its layout file and otherwise centres it in the MDI area.
void FormFocus(QWidget* window);

// Moves a window into sight: an MDI sub-window into its area, any other window onto the
// screen it is on (or the primary one); one larger than that space is shrunk to fit.
// A remembered position from a larger screen or a damaged layout file never hides it.
void KeepInsideArea(QWidget* frame);

// Places a pop-up (find window, column chooser, notice ...) centred on the window of
// `owner`, kept on the screen.
void PlaceOver(QWidget* popup, QWidget* owner);

// Closes a window the way the user's close box does (its MDI frame when it has one).
// False when the window refused (e.g. the user kept unsaved changes).
bool CloseWindow(QWidget* window);

// "모든 창 닫기": closes every child window of the frame. False when one refused to close.
bool CloseAllChildren();

// The registered window `name`, created with `args` when it is not open yet. Not shown:
// an opener that must call SetFormMode first does so, then FormFocus.
template <class T, class... Args>
T* ChildWindow(const QString& name, Args&&... args) {
    if (auto* existing = dynamic_cast<T*>(WindowRegistry::find(name))) return existing;
    auto* w = new T(std::forward<Args>(args)...);
    WindowRegistry::add(w, name);
    return w;
}

// ChildWindow + FormFocus: opens the window or brings the open one to the front.
template <class T, class... Args>
T* OpenChild(const QString& name, Args&&... args) {
    T* w = ChildWindow<T>(name, std::forward<Args>(args)...);
    FormFocus(w);
    return w;
}
