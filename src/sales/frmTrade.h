#pragma once

#include "sales/TradeEntryList.h"

#include <functional>

class Grid;
class HCTerm;
class QCheckBox;
struct TradeRow;

// The trade list ("회원거래관리"): trades of a period typed straight into the grid, each
// cell saved as it is left, with the lines, payment split and member of the active trade.
class frmTrade : public TradeEntryList {
    Q_OBJECT
public:
    enum Col {
        CDate = 1, CName, CLines, CTotal, CReceived, COutstanding, CPoint, CInTime, COutTime, CEnd, CMemo, CCode,
        CFriend, CCash, CCard, CCardCode, CPoints, CDiscount, CAccount, ColCount = CAccount
    };

    explicit frmTrade(QWidget* parent = nullptr);

    Grid* lines() const { return m_lines; }
    Grid* payment() const { return m_pay; }
    HCTerm* period() const { return m_period; }
    QCheckBox* memberFilter() const { return m_chkFriend; }

    // ---- operations other windows call ----
    void UpdateTrade(int tradeCode);
    void UpDateMoney(int tradeCode) override;
    void UpdateFriend() override;
    void CallMe();
    // What btnCIDList and F11 open (the caller-ID stand-by list); the button stays
    // disabled while none is set.
    static void setCallerListOpener(std::function<void()> opener);

    // ---- the window's operations ----
    void openLineEditor(int lineCode = 0);
    void openPayment();
    void deleteActive();

public slots:
    void query() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool commitOwnCell(int col, int row) override;
    int tradeAt(int row) const override;
    int memberAt(int row) const override;
    QString dateForEmpty() const override;
    void tradeCellSaved(int row) override;
    void reloadList() override;

private:
    // Loads the list; the cursor goes to cell `col` (default 거래일자) of trade `keepCode`.
    void load(int keepCode = 0, int col = 0);
    void fillRow(int row, const TradeRow& t);
    static QStringList tradeTexts(const TradeRow& t); // the row's cells, outstanding left empty
    // The same into `into` (19 cells), whose texts keep their buffers from row to row.
    static void tradeTexts(const TradeRow& t, QStringList& into);
    void appendNewRow();
    int newRow() const; // the empty row for a new trade
    int rowOfTrade(int code) const;
    void refreshRow(int row);
    void recomputeOutstanding();
    void recomputeSums();
    void showActive(int row, bool force = false);
    void showMemberPanel(int member);
    // While a member's trades are loaded whole: their outstanding amount and points, summed
    // from the rows (the panel needs no query of its own then).
    struct MemberSums {
        int member = 0;
        double outstanding = 0;
        double points = 0;
    };
    void pickMember(int row);
    // Inserts a trade of `member` after checking, in the same transaction, that the member
    // still exists; 0 (message shown) when not written.
    int insertTrade(const QString& date, int member, const QString& time, const QString& memo);
    void openActiveCell();

    Grid* m_lines = nullptr;
    Grid* m_pay = nullptr;
    HCTerm* m_period = nullptr;
    QCheckBox* m_chkFriend = nullptr;
    int m_filterMember = 0;
    QString m_from, m_to; // the period the list was read for
    int m_shownRow = 0;
    MemberSums m_loadedSums;
};
