#pragma once

#include <QMainWindow>

#include <functional>

class QLabel;
class QMdiArea;
class QAction;
class MainMdiArea;

// The multiple-document frame a user works in after login: menu bar, toolbar `Toolbar1`,
// status bar `StatusBar1`, the user-name panel, the background logo, and every other window
// as a child in its client area.
//
// Menu items are enabled through the command table (MainCommands.h); frmMain::registerCommand
// is the same call.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The open frame, nullptr when none.
    static frmMain* instance();

    // Same as MainCommands::add.
    static void registerCommand(const QString& name, std::function<void(frmMain*)> opener);

    // Runs before the frame closes (not for closes asked by backup, restore, support copy or
    // update); returning false keeps the frame open. The automatic backup plugs in here.
    static void setAutoBackupHook(std::function<bool()> hook);
    // Runs after the child windows are closed, while the frame unloads (copy of the
    // per-user settings).
    static void setUnloadHook(std::function<void()> hook);
    // Runs once the frame is on screen (after the schedule reminder, before the start
    // window): the caller-ID link opens here.
    static void addOpenedHook(std::function<void(frmMain*)> hook);

    // The client area; child windows are opened into it with OpenChild (ui/WindowRegistry.h).
    QMdiArea* mdiArea() const;

    // "모든 창 닫기": closes every child; false when one of them refused to close.
    bool closeAllChildren();

    // Closes the frame without the automatic backup (after backup, restore, update).
    void closeWithoutBackup();

    // Today's schedule reminder.
    void CheckSched();
    // Opens the start window chosen by option `start`.
    void openStartWindow();
    // Re-reads the background settings and redraws the client area.
    void refreshBackground();
    // Shows the logged-in user's name again (after it was changed).
    void refreshUserName();
    // Enables the menu items and toolbar buttons whose opener is registered.
    void refreshCommands();

    QAction* menuAction(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void runCommand(const QString& name);
    void registerBuiltInCommands();

    MainMdiArea* m_mdi = nullptr;
    QLabel* m_userName = nullptr;
    QLabel* m_networkTag = nullptr;
    bool m_skipBackup = false;
    bool m_unloaded = false;
};
