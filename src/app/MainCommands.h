#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class frmMain;

// Opener behind a main-window menu item: receives the frame it runs in.
using MainCommand = std::function<void(frmMain*)>;

// Process-wide table of the openers behind the main window's menu items, keyed by the
// item's objectName ("mnuFriend_Friend", "mnuTrade_List", ...). An item whose opener is
// not registered stays in the menu, disabled. A subsystem enables its items with one
// call each, e.g.
//     MainCommands::add("mnuFriend_Friend", [](frmMain* m) { ... });
// normally before the frame is created; a frame that is already open enables the item at
// once. The toolbar buttons and the start window run the same openers.
namespace MainCommands {

void add(const QString& name, MainCommand opener);
void remove(const QString& name);
bool has(const QString& name);
MainCommand opener(const QString& name); // empty when not registered
QStringList names();

// Runs the opener of `name` in `frame`; false when nothing is registered under it.
bool run(const QString& name, frmMain* frame);

// Called whenever the table changes (the open frame refreshes its menu).
void setChangedListener(std::function<void()> listener);

} // namespace MainCommands

// One entry of the main menu layout: a top-level menu, a sub-menu, an item or a separator.
struct MainMenuEntry {
    enum Kind { TopMenu, SubMenu, EndSubMenu, Item, Separator, TopItem };
    Kind kind;
    const char* name;    // objectName of the QMenu / QAction
    const char* caption; // shown text, blanks and mnemonics included
};

// The whole menu bar in order. TopMenu opens a menu that runs until the next TopMenu or
// TopItem; SubMenu ... EndSubMenu nest inside it.
const QList<MainMenuEntry>& MainMenuLayout();

// Window opened at start for option `start` "0" to "4" as the name of the menu item that
// opens it; empty for any other value (no start window).
QString StartWindowCommand(const QString& startOption);

// Toolbar `Toolbar1`: for positions 1 to 16 the menu item each button runs, empty for a
// separator position.
QString ToolbarCommand(int position);
constexpr int ToolbarPositions = 16;
