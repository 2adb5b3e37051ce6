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
// applies its layout file, or else widens it until its grids show all their columns and
// centres it in the MDI area. A window opened from another child window (not from the
// frame's menu), an editor, or one with the property "opensAtOwnSize" is placed centred on
// the window in front and is never maximised; a window opened from the menu over a
// maximised one is maximised too. When the window closes while in front, the window that
// was in front when it opened comes back, with the keyboard on the control that had it.
void FormFocus(QWidget* window);

// From now on every top-level window other than the frame (a picker, a modal editor, a
// message, a dialog) opens centred on the window that had the keyboard, inside the screen,
// not maximised; when it closes and the keyboard is left nowhere, the control that had it
// gets it back. Called once by the frame.
void InstallWindowPlacement();

// Marks, while it lives, that the frame's menu or toolbar is opening windows (not a child
// window), so FormFocus treats them as windows of their own.
class FrameCommandScope {
public:
    FrameCommandScope();
    ~FrameCommandScope();
    FrameCommandScope(const FrameCommandScope&) = delete;
    FrameCommandScope& operator=(const FrameCommandScope&) = delete;
};

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
