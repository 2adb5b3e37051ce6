#pragma once

#include "TestEnv.h"

#include <QPoint>
#include <qnamespace.h>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class Grid;
class frmMain;
class QWidget;

// Drives the program as a person does: a fresh data folder with a new database (TestEnv),
// logged in as ADMIN, the real main window shown offscreen. Windows are opened through the
// main window's menu commands, controls are found by objectName, the mouse clicks whatever
// control lies under the point and keys go to whatever has the focus, so focus, shortcut
// and placement faults show as they would to a user. Create one in init(), delete it in
// cleanup().
class MainWindowDriver {
public:
    // `startWindow` false skips the start window chosen in the options.
    explicit MainWindowDriver(bool startWindow = false);
    // The same on a data folder the test has prepared (settings, rows) before the login.
    explicit MainWindowDriver(std::unique_ptr<TestEnv> env, bool startWindow = false);
    ~MainWindowDriver();
    MainWindowDriver(const MainWindowDriver&) = delete;
    MainWindowDriver& operator=(const MainWindowDriver&) = delete;

    bool ok() const;
    TestEnv& env() { return *m_env; }
    ScriptedPrompt& prompt() { return m_env->prompt(); }
    frmMain* frame() const;

    // Runs the menu command `name` ("mnuFriend_Friend") as the menu item does and returns
    // the child window in front afterwards (null when none). A disabled item or an unknown
    // command fails the test and returns null.
    QWidget* open(const QString& command);
    template <class T>
    T* open(const QString& command) { return dynamic_cast<T*>(open(command)); }
    // The child window in front.
    QWidget* activeWindow() const;

    // The control `name` inside `in` (default: the whole frame and its windows); null with
    // a warning when missing.
    QWidget* find(const QString& name, QWidget* in = nullptr) const;
    template <class T>
    T* find(const QString& name, QWidget* in = nullptr) const { return qobject_cast<T*>(find(name, in)); }

    // Clicks at `pos` of `w` (default: its centre), delivered to the widget really lying
    // there (a covering window or label takes it). Returns that widget.
    QWidget* click(QWidget* w, QPoint pos = QPoint(-1, -1), Qt::MouseButton button = Qt::LeftButton,
                   Qt::KeyboardModifiers mods = Qt::NoModifier);
    QWidget* click(const QString& name, QWidget* in = nullptr) { return click(find(name, in)); }
    QWidget* doubleClick(QWidget* w, QPoint pos = QPoint(-1, -1));
    // The same on the cell (col, row) of a grid (1-based), scrolled into sight first.
    QWidget* clickCell(Grid* g, int col, int row);
    QWidget* doubleClickCell(Grid* g, int col, int row);
    // Presses the left button at `from` and releases it at `to` (both in `w`), moving over it.
    void drag(QWidget* w, QPoint from, QPoint to);

    // Types into the focus widget: ASCII as key presses ("\n" as Return), other text as
    // input-method commits (as a Korean input method delivers syllables).
    void type(const QString& text);
    // Clicks into `w`, selects all it holds and deletes it, then types `text` there.
    void retype(QWidget* w, const QString& text);
    void retype(const QString& name, const QString& text, QWidget* in = nullptr) { retype(find(name, in), text); }
    // A key (with modifiers) to the focus widget.
    void key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
    QWidget* focus() const;

    // First column of the first row of `sql` (values bound), null when none.
    QVariant query(const QString& sql, const QVariantList& params = {}) const;

private:
    std::unique_ptr<TestEnv> m_env;
    frmMain* m_frame = nullptr;
};

// The centre of the cell (col, row) of `g` (1-based), scrolled into sight first.
QPoint CellPoint(Grid* g, int col, int row);
// The widget a person's pointer meets at `pos` of `w` (default: its centre); `pos` becomes
// the point in that widget's coordinates.
QWidget* WidgetUnder(QWidget* w, QPoint& pos);
// Brings the child window holding `w` to the front, as a click on its title bar does.
void RaiseChildWindow(QWidget* w);
// Runs `action` on the next modal window (other than the one in front now) once it is shown
// and active, as a person waits for a window before typing; call it just before what opens
// the window. One the action leaves open is closed with a warning, so a failed check cannot
// hang the test; none within about three seconds is a warning too.
void OnModal(std::function<void(QWidget*)> action);
// Clicks at `pos` of `w` (default: its centre), delivered to the widget really lying there.
QWidget* ClickAsPerson(QWidget* w, QPoint pos = QPoint(-1, -1), Qt::MouseButton button = Qt::LeftButton,
                       Qt::KeyboardModifiers mods = Qt::NoModifier);
