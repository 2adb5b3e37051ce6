#pragma once

#include "sales/TradeEntryList.h"

class Grid;

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
    bool commitCell(int col, int row) override;

private:
    void load(int keepRow = 0);
    void showMember();
    int newRow() const;
    bool saveLine(int row);
    bool chooseService(int row);

    int m_member = 0;
};
