#pragma once

#include "ui/CellChanges.h"
#include "ui/RecordList.h"

#include <QStringList>
#include <QVariantHash>

#include <initializer_list>

class Grid;
class QLabel;

// What the two trade windows (the trade list and one member's trades) share: a grid of
// trades typed into cell by cell, each changed cell committed when it is left. The cells
// of the trade itself (date, points, reception and completion time, the "완 료" check box,
// memo) are read, checked and saved here, each save through SaveCell so that a value
// another PC stored meanwhile is asked about and a trade deleted elsewhere is refused.
// A refused value puts the stored one back. Trades are deleted with their lines; the
// payment editor and a reload after a member was saved in the member editor are shared too.
class TradeEntryList : public RecordList {
    Q_OBJECT
public:
    // The grid's columns holding the trade's own values.
    struct TradeCols {
        int trade, date, point, inTime, outTime, end, memo;
    };

    TradeEntryList(const QString& title, const TradeCols& cols, QWidget* parent = nullptr);

    Grid* list() const { return m_list; }
    Grid* sums() const { return m_sum; }
    QLabel* memberPanel() const { return m_info; }

    // Called after a member was saved in the member editor.
    virtual void UpdateFriend() = 0;
    // Called after the payment editor saved the payment of a trade.
    virtual void UpDateMoney(int tradeCode) = 0;

public slots:
    void printList() override;

protected:
    // Builds the entry grid "spList" with `headers`: the columns `locked` and all from
    // `firstHidden` on read-only (the latter also hidden), `numbers` numeric, the check box
    // column; tracks changed cells and the check box.
    Grid* makeEntryGrid(const QStringList& headers, std::initializer_list<int> locked, int firstHidden,
                        std::initializer_list<int> numbers);
    // Saves a changed cell of the window's own columns as it is left; false keeps the
    // focus there.
    virtual bool commitOwnCell(int col, int row) = 0;
    // The trade code of a row, 0 for none (the row for a new trade).
    virtual int tradeAt(int row) const;
    // The member of a row's trade.
    virtual int memberAt(int row) const = 0;
    // The date an emptied date cell stands for; "" when an empty date is refused.
    virtual QString dateForEmpty() const { return {}; }
    // After a cell of the trade was saved (or found stored as typed).
    virtual void tradeCellSaved(int row) = 0;
    // Reloads the list (after another PC's change was chosen or a row was found gone),
    // the cursor staying on the same record where it still exists.
    virtual void reloadList() = 0;

    // Writes `values` (column → value) into the row's trade after SaveCell's checks;
    // `shown` holds the edited columns' values as the cell showed them before the edit.
    // On Reload or Gone the list reloads (after the current event).
    CellSave saveTrade(int row, const QVariantHash& shown, const QVariantHash& values,
                       const QList<RowRef>& parents = {});
    // The reload after the current event, once.
    void reloadLater();
    // The confirmed delete of a trade with its lines; true when deleted.
    bool deleteTrade(int trade);
    // Opens the payment editor for a trade of `member`; `linkName` marks this window's
    // connection to the editor's save.
    void openPaymentEditor(int trade, int member, const char* linkName);
    // Commits the active cell as if it were left (the caller-ID hand-over).
    bool commit(int col, int row);
    // The cell before its edit: back into the cell.
    void restoreCell(int col, int row);

    Grid* m_list = nullptr;
    Grid* m_sum = nullptr;
    QLabel* m_info = nullptr; // the member panel "pnlInfo"
    int m_changedCol = 0, m_changedRow = 0;
    QString m_oldText;
    bool m_busy = false;

private:
    bool commitCell(int col, int row);
    bool commitDate(int row);
    bool commitPoints(int row);
    bool commitTime(int col, int row);
    void afterSave(int col, int row, CellSave outcome);
    void onLeaveCell(int col, int row, bool* cancel);
    void onCheck(int row);
    void onMemberSaved();

    TradeCols m_cols;
    bool m_committing = false;
    bool m_reloadQueued = false;
};
