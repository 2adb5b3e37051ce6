#pragma once

#include "ui/RecordList.h"

class Grid;
class QLabel;

// One member's trades, one row per trade line ("회원별 거래 내역"), typed into like the
// trade list; a trade without lines has one row of its own.
class frmFriend_Trade : public RecordList {
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
    Grid* list() const { return m_list; }
    Grid* sums() const { return m_sum; }
    QLabel* memberPanel() const { return m_info; }

    void UpDateMoney(int tradeCode);
    void UpdateFriend();
    void openPayment();
    void deleteActive();

public slots:
    void query() override;
    void printList() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load(int keepRow = 0);
    void showMember();
    int newRow() const;
    void onLeaveCell(int col, int row, bool* cancel);
    void onCheck(int row);
    bool commitCell(int col, int row);
    bool saveTrade(int row, const QString& assignment, const QVariantList& values);
    bool saveLine(int row);
    bool chooseService(int row);

    Grid* m_list = nullptr;
    Grid* m_sum = nullptr;
    QLabel* m_info = nullptr;
    int m_member = 0;
    int m_changedCol = 0, m_changedRow = 0;
    QString m_oldText;
    bool m_busy = false;
};
