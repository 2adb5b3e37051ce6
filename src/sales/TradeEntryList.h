#pragma once

#include "ui/RecordList.h"

#include <QStringList>
#include <QVariantList>

#include <initializer_list>

class Grid;
class QLabel;

// What the two trade windows (the trade list and one member's trades) share: a grid of
// trades typed into cell by cell, each changed cell committed when it is left, a "완 료"
// check box that stamps the completion time, trades deleted with their lines, the payment
// editor, and a reload when a member is saved in the member editor.
class TradeEntryList : public RecordList {
    Q_OBJECT
public:
    // The grid's columns holding the trade code, the completion time and the check box.
    struct TradeCols {
        int trade, outTime, end;
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
    // Saves the changed cell (col, row) as it is left; false keeps the focus there.
    virtual bool commitCell(int col, int row) = 0;
    // The trade code of a row, 0 for none (the row for a new trade).
    virtual int tradeAt(int row) const;

    // UPDATE tbltrade SET `assignment` WHERE code = the row's trade; on no row saved the
    // message "수정된 내용이 없거나, 자료저장을 실패하였습니다." and the grid gets the focus.
    bool saveTrade(int row, const QString& assignment, const QVariantList& values);
    // A typed point count: its value in `value`; false (message shown, the old text back)
    // when it is too large.
    bool readPoints(int col, int row, double* value);
    // The confirmed delete of a trade with its lines; true when deleted.
    bool deleteTrade(int trade);
    // Opens the payment editor for a trade of `member`; `linkName` marks this window's
    // connection to the editor's save.
    void openPaymentEditor(int trade, int member, const char* linkName);
    // commitCell, during which a member saved elsewhere does not reload the grid.
    bool commit(int col, int row);

    Grid* m_list = nullptr;
    Grid* m_sum = nullptr;
    QLabel* m_info = nullptr; // the member panel "pnlInfo"
    int m_changedCol = 0, m_changedRow = 0;
    QString m_oldText;
    bool m_busy = false;

private:
    void onLeaveCell(int col, int row, bool* cancel);
    void onCheck(int row);
    void onMemberSaved();

    TradeCols m_cols;
    bool m_committing = false;
};
