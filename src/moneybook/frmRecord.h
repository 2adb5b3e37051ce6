#pragma once

#include "moneybook/MoneyBookRules.h"

#include <QHash>
#include <QWidget>

class Grid;
class HCTerm;
class HCText;
class QCheckBox;
class QComboBox;
class QRadioButton;

// The money book "입출금관리": the entries of a period in a grid the user types into.
// Every changed cell is saved when it is left; the section typed on the empty last row
// creates the entry. A running balance follows each row, carried over from before the
// period when no filter narrows the list.
class frmRecord : public QWidget {
    Q_OBJECT
public:
    QSize sizeHint() const override { return {1180, 620}; }
    enum Col {
        ColDate = 1,
        ColSection,
        ColUse,
        ColItem,
        ColIn,
        ColOut,
        ColBalance,
        ColAcIn,
        ColAcOut,
        ColCard,
        ColOther,
        ColMemo,
        ColCode,
        ColInCode,
        ColOutCode,
        ColInTotal,
        ColOutTotal,
        ColMoveTotal,
        ColUseCode,
        ColDel,
        ColCount
    };

    explicit frmRecord(QWidget* parent = nullptr);

    Grid* grid() const { return m_grid; }
    Grid* sumGrid() const { return m_sum; }
    HCTerm* period() const { return m_period; }
    double startBalance() const { return m_start; }

    // The memo filter (no control of its own); it narrows the list like any filter.
    void setMemoFilter(const QString& text) { m_memo = text; }
    MoneyBook::LedgerFilter currentFilter() const;

    void loadList();
    // Saves cell (col, row) of the entry in that row (or creates the entry from the empty
    // row's section). False when nothing was saved; the cell then shows the stored value.
    bool UpdateRecord(int col, int row);
    // Deletes the ticked rows, or the active entry when none is ticked.
    bool RecDelete();
    // Refills the account/card filter (after an account or card was added).
    void fillAccountCombo();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildGrid();
    void savePending();
    void showEntry(int row, const MoneyBook::LedgerEntry& e);
    QStringList entryTexts(const MoneyBook::LedgerEntry& e) const;
    void lockRow(int row);
    void appendEmptyRow();
    void recomputeBalances();
    void showTotals(double balance, double in, double out, double other);
    void reloadLater();
    int amountColumn(int section) const;
    bool saveNewRow(int col, int row);
    void pickFilterItem();
    void pickFilterUsePlace();
    void showHelp();

    HCTerm* m_period = nullptr;
    QComboBox* m_section = nullptr;
    QComboBox* m_acc = nullptr;
    HCText* m_item = nullptr;
    HCText* m_use = nullptr;
    QRadioButton* m_inOut[3] = {};
    QRadioButton* m_basis[2] = {};
    QCheckBox* m_oldBalance = nullptr;
    Grid* m_grid = nullptr;
    Grid* m_sum = nullptr;
    QString m_memo;
    int m_useCode = 0;
    double m_start = 0;
    bool m_carried = false;
    int m_changedCol = 0;
    int m_changedRow = 0;
    bool m_saving = false;
    QHash<int, MoneyBook::LedgerEntry> m_entries; // by code: what is stored
};
