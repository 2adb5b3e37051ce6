#pragma once

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class HCText;
struct OptionValues;

// "환경설정": program-wide options (table `options`) and this computer's settings for the
// member and trade windows.
class frmOption : public QWidget {
    Q_OBJECT
public:
    explicit frmOption(QWidget* parent = nullptr);

    // Saves every value, re-reads the options into the process-wide state and shows the
    // notice. False (after a message) when the database refused a value.
    bool RecSave();
    bool isChanged() const { return m_changed; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void display(const OptionValues& v);
    OptionValues collect() const;
    void markChanged();
    void setChanged(bool changed);
    void updateFriendcodeCaption();
    void updatePointInput();
    void clampPercent();

    QCheckBox* m_chkFriendcode = nullptr;
    QButtonGroup* m_opStart = nullptr;
    QButtonGroup* m_opPoint = nullptr;
    HCText* m_htField = nullptr;
    QButtonGroup* m_opFriend = nullptr;
    QButtonGroup* m_opClientSort = nullptr;
    QCheckBox* m_chkRepetition = nullptr;
    QLineEdit* m_txtZipServer = nullptr;
    QPushButton* m_btnSel = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnCancel = nullptr;
    bool m_changed = false;
    bool m_loading = false;
    int m_storedStart = 0;
};
