#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

// Changes the local user's name and password. The previous password must be typed;
// the third wrong one in a row closes the window.
class FrmLoginPwd : public QWidget {
    Q_OBJECT
public:
    explicit FrmLoginPwd(QWidget* parent = nullptr);

    // Opens the window (one at a time; an open one is brought to the front). The main
    // menu's "사용자 등  록  (&U)" calls this.
    static FrmLoginPwd* open(QWidget* parent = nullptr);

    void RecSave();
    int wrongPrevious() const { return m_wrongPrevious; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_txtOldPwd = nullptr;
    QLineEdit* m_txtNewPwd = nullptr;
    QLineEdit* m_txtNewPwd2 = nullptr;
    QLineEdit* m_txtName = nullptr;
    QPushButton* m_btnSave = nullptr;
    QPushButton* m_btnClose = nullptr;
    int m_wrongPrevious = 0;
};
