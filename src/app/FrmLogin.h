#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The login window shown at start. Only the local user's ID (any letter case) and
// password open the main window; three wrong tries or closing it end the program.
class FrmLogin : public QWidget {
    Q_OBJECT
public:
    explicit FrmLogin(QWidget* parent = nullptr);

    // What happens after the window closed: by default a successful login opens the main
    // window and anything else quits the application. Tests observe instead.
    void setLoggedInHandler(std::function<void()> handler) { m_onLoggedIn = std::move(handler); }
    void setQuitHandler(std::function<void()> handler) { m_onQuit = std::move(handler); }

    // Checks the typed ID and password (btnLogin, Enter in txtPass).
    void login();

    bool succeeded() const { return m_success; }
    int failures() const { return m_failures; }
    bool showsHint() const { return m_hintShown; }

    static QString hintText();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showHint();
    void clearHint();
    QString typedPassword() const;
    void savePasswordToggled(bool on);

    QLineEdit* m_txtUser = nullptr;
    QLineEdit* m_txtPass = nullptr;
    QCheckBox* m_chkSavePwd = nullptr;
    QPushButton* m_btnLogin = nullptr;
    QString m_recentId;
    bool m_hintShown = false;
    bool m_success = false;
    bool m_closing = false;
    int m_failures = 0;
    std::function<void()> m_onLoggedIn;
    std::function<void()> m_onQuit;
};
