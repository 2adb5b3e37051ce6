#pragma once

#include <QWidget>

class QListWidget;
class QPlainTextEdit;
class QPushButton;

// "수신전화 목록": the calls waiting for a trade, oldest first. Closing the window loses
// nothing (the calls live in CallerLists); its position is kept in "발신번호대기창x/y".
class FrmSeeIDStanbyList : public QWidget {
    Q_OBJECT
public:
    explicit FrmSeeIDStanbyList(QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    void btnDel();
    void btnAllDel();
    void cmdHelp();
    void Command1();

    static QString helpFile();
    // Stores the window's position unless it is minimised.
    void savePosition();
    void restorePosition();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void reload();
    QListWidget* m_list = nullptr;
    QPushButton* m_help = nullptr;
    bool m_restored = false;
};

// "수신전화 전체 목록": every call since the program started, one line each.
class FrmSeeidList : public QWidget {
    Q_OBJECT
public:
    explicit FrmSeeidList(QWidget* parent = nullptr);
    QPlainTextEdit* txtMsg() const { return m_text; }

private:
    QPlainTextEdit* m_text = nullptr;
};

// Puts the caller-ID help text into the data folder's doc/ when it is not there.
void InstallCallerHelp();

// Opens (or brings forward) the stand-by list / the caller list.
FrmSeeIDStanbyList* ShowStandbyList();
FrmSeeidList* ShowCallerList();
