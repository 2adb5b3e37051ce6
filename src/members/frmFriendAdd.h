#pragma once

#include "ui/PickOrAdd.h"
#include "ui/RecordEditor.h"

#include <QList>

#include <optional>

class HCDate;
class HCText;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QWidget;

// The member editor: one member of tblfriend in new (1) or edit (2) mode, with its
// anniversaries (each solar or lunar), picture, status, management number and the
// user-defined fields with their names and pick lists.
class frmFriendAdd : public RecordEditor {
    Q_OBJECT
public:
    // htField indexes by meaning.
    enum Field {
        FCodeNo = 0, FName = 1, FIdNo = 2, FMobile = 3, FPhone1 = 4, FRelation = 5, FMail = 6,
        FHomePage = 7, FHomeAdd = 8, FHomeAdd2 = 9, FComName = 10, FPart = 11, FFinalLine = 12,
        FKeyLine = 13, FInline = 14, FFax = 15, FComAdd = 16, FComAdd2 = 17, FPosition = 18,
        FGrade = 19, FUnused = 20, FMail2 = 21, FHomePage2 = 22, FComZip = 23, FHomeZip = 24,
        FCode = 25, FPhone2 = 26, FPhone3 = 27, FieldCount = 28
    };

    explicit frmFriendAdd(QWidget* parent = nullptr);
    ~frmFriendAdd() override;

    // Mode 1 new, 2 edit member `code`.
    void SetFormMode(int mode, int code = 0);
    // Reloads the group combo keeping the chosen group.
    void UpdateGroup();
    // New mode for the funds window: the group shown first.
    void setGroupName(const QString& name);

    // The checks run when an input is left; false when the input was refused (its text
    // emptied or the focus put back).
    bool checkField(int index);
    // Chooses a picture through the file chooser; false when refused or cancelled.
    bool choosePicture();
    void removePicture();
    QString picturePath() const;
    // The user-field names: first call edits, second call stores (asking when changed).
    void toggleUserNames();
    bool userNamesEditing() const { return m_userEditing; }
    // Reloads the pick list of cmbUser(k).
    void reloadPickList(int k);
    // The code of the member saved last (htField(25) holds it until the inputs are cleared).
    int savedCode() const;

    // Opens the editor modally in new mode with `name` typed in, without "continue"; the
    // added member or nullopt when the window was closed without saving.
    static std::optional<PickRow> addFromPicker(const QString& name);

signals:
    void closed();

protected:
    void DispRec(int code) override;
    void clearInputs() override;
    bool checkInputs() override;
    SqlStatement saveStatement() override { return {}; }
    int writeRecord() override;
    QString recordTable() const override;
    QVariantHash inputValues() const override;
    QVariantHash stampValues() const override;
    void focusFirstInput() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The zip-code lookup for the home (FHomeZip) or work (FComZip) address.
    bool lookupZip(int zipField, bool openWhenNone);
    void buildUi();
    void loadGroups(const QString& keep);
    void loadUserPanel();
    void setPicture(const QString& path);
    void setCalendarFlag(int i, int flag);
    int calendarFlag(int i) const;
    void applyFriendCodeOption();
    void setExtendedVisible(bool on);
    void openListEditor(int k);
    void openGroupWindow();
    void showPicture();

    QList<HCText*> m_fields;
    QComboBox* m_group = nullptr;
    QComboBox* m_sex = nullptr;
    QComboBox* m_abo = nullptr;
    QComboBox* m_state = nullptr;
    HCDate* m_insert = nullptr;
    HCDate* m_barth = nullptr;
    HCDate* m_marry = nullptr;
    HCDate* m_ect = nullptr;
    HCDate* m_fee = nullptr;
    QList<HCDate*> m_userDates;
    QList<QPushButton*> m_ox;
    QList<QRadioButton*> m_marryOx;
    QTextEdit* m_memo = nullptr;
    QLabel* m_pic = nullptr;
    QLabel* m_date = nullptr;
    QCheckBox* m_cun = nullptr;
    QCheckBox* m_auto = nullptr;
    QCheckBox* m_ex = nullptr;
    QWidget* m_exPanel = nullptr;
    QList<HCText*> m_userNames;
    QList<QComboBox*> m_userCombos;
    bool m_userEditing = false;
    QStringList m_userNamesBefore;
    bool m_checking = false;
    // The resident number as stored (sealed) and as shown; an unchanged input saves the
    // stored value back untouched, and one that cannot be read is locked.
    QString m_storedIdNo;
    QString m_shownIdNo;
    void showIdNo(const QString& stored);
    int m_savedCode = 0;
};

// Lets a member picker that finds no match add the typed name through the member editor.
void RegisterMemberPicker();
