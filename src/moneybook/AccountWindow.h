#pragma once

#include "ui/PickOrAdd.h"

#include <QList>
#include <QVariantHash>
#include <QWidget>

#include <optional>

class Grid;
class HCText;
class QCheckBox;
class QComboBox;
class QLabel;

// The window of the places that hold money (tblgrouping): the business's bank accounts
// (frmAccount) or its credit cards (frmCard). The list and the inputs of the row being
// edited share the window; an empty code means a new row.
class AccountWindow : public QWidget {
    Q_OBJECT
public:
    QSize sizeHint() const override { return {900, 460}; }
    // Grid columns. Accounts: name, bank, number, current balance, include flag, memo,
    // code. Cards: name, company, number, settlement account, expiry, memo, code.
    enum Col { ColName = 1, ColBank, ColNumber, ColFourth, ColFifth, ColMemo, ColCode, ColCount };
    enum Field { FName, FBank, FNumber, FFourth, FMemo, FieldCount }; // FFourth: balance / expiry

    AccountWindow(bool card, QWidget* parent = nullptr);

    bool isCard() const { return m_card; }
    // 1: a new row (with `name` typed in, the caption says so), 2: edit row `code`.
    void SetFormMode(int mode, int code = 0, const QString& name = {});
    int mode() const { return m_mode; }
    int code() const { return m_code; }
    Grid* grid() const { return m_grid; }

    void loadList();
    bool RecSave();
    bool RecDelete();
    void selectRow(int row);

    // Opens a new window modally to add a row named `name`; the saved row or nullopt.
    static std::optional<PickRow> addModal(bool card, const QString& name);

signals:
    void saved(int code, const QString& name);
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void clearInputs();
    void fillAccountCombo();
    QString baseTitle() const;

    bool m_card = false;
    int m_mode = 1;
    int m_code = 0;
    bool m_closeAfterSave = false;
    Grid* m_grid = nullptr;
    QList<HCText*> m_fields;
    QCheckBox* m_include = nullptr; // accounts
    QComboBox* m_account = nullptr; // cards
    QVariantHash m_loaded;          // the stored columns of the row being edited
};

// The business's bank accounts, title "통장관리". UpdateAC reloads the list.
class frmAccount : public AccountWindow {
    Q_OBJECT
public:
    explicit frmAccount(QWidget* parent = nullptr) : AccountWindow(false, parent) {}
    void UpdateAC() { loadList(); }
};

// The business's credit cards, title "신용카드관리". UpdateCard reloads the list.
class frmCard : public AccountWindow {
    Q_OBJECT
public:
    explicit frmCard(QWidget* parent = nullptr) : AccountWindow(true, parent) {}
    void UpdateCard() { loadList(); }
};
