#pragma once

#include <QDialog>

// Asked when the program closes: back up and close, close without a backup, or stay.
class frmMsgBackUp : public QDialog {
    Q_OBJECT
public:
    enum Choice { BackupAndClose = 0, CloseOnly = 1, Stay = 2, Closed = 3 };
    explicit frmMsgBackUp(QWidget* parent = nullptr);
    int choice() const { return m_choice; }

    // Shows the window modally and returns the choice. Tests replace the asking.
    static int ask();
    static void setAskOverride(int (*fn)());

private:
    int m_choice = Closed;
};
