#pragma once

#include "sales/TradeEntryList.h"

class Grid;

// A row of the member trade view: its trade and line ({0, 0}: the row for a new trade).
struct TradeLineKey {
    int trade = 0, line = 0;
};

// One member's trades, one row per trade line ("회원별 거래 내역"), typed into like the
// trade list; a trade without lines has one row of its own.
class frmFriend_Trade : public TradeEntryList {
    Q_OBJECT
public:
    enum Col {
        CDate = 1, CService, CQty, CPrice, CAmount, CReceived, COutstanding, CPoint, CInTime, COutTime, CEnd, CMemo,
        CTrade, CCash, CCard, CAccount, CPoints, CLine, CServiceCode, ColCount = CServiceCode
    };

    explicit frmFriend_Trade(QWidget* parent = nullptr);

    // Shows member `member`.
    void SetFormMode(int member);
    int member() const { return m_member; }

    void UpDateMoney(int tradeCode) override;
    void UpdateFriend() override;
    void openPayment();
    void deleteActive();

public slots:
    void query() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool commitOwnCell(int col, int row) override;
    int memberAt(int) const override { return m_member; }
    void tradeCellSaved(int row) override;
    void reloadList() override;

private:
    using RowKey = TradeLineKey;
    RowKey keyAt(int row) const;
    // Loads the member's lines and puts the cursor on cell `col` of the row of `keep`
    // (`fallbackRow` when that record is gone or none is given, 0 for the new row); the
    // member panel follows.
    void load(const RowKey& keep = {}, int col = 0, int fallbackRow = 1);
    // The member panel, with the balances summed from the member's trades.
    void showMember(double outstanding, qint64 points);
    int newRow() const;
    bool commitLineNumber(int col, int row);
    bool commitService(int row);
    // Writes a changed line, or a first line (with its trade on the new row), after
    // checking that the rows it refers to still exist; then the list reloads.
    void saveLine(int col, int row, const QVariantHash& shown, const QVariantHash& values);
    void insertLine(int row);
    bool chooseService(int row);

    int m_member = 0;
};
