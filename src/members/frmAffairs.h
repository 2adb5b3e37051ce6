#pragma once

#include <QHash>
#include <QList>
#include <QWidget>

#include "members/FundStore.h"

#include <vector>

class Grid;
class HCTerm;
class QComboBox;
class QPushButton;
class QSplitter;
class QTabWidget;

// The fund of one group for one year: the dues sheet (one row per active member, two
// cells per month: payment date and amount), other income, expenses and the detail lines
// of the expense selected.
class frmAffairs : public QWidget {
    Q_OBJECT
public:
    enum Sheet { SheetDues = 0, SheetIncome, SheetExpense, SheetDetail, SheetCount };
    // Dues sheet: name, then date and amount of each month (month m at 2m, 2m + 1).
    enum DuesCol { DuesName = 1, DuesCode = 28, DuesColCount };
    // Income and expense sheets.
    enum LineCol { LineDate = 1, LineItem, LineMoney, LineMemo, LineCode, LineColCount };
    // Detail sheet.
    enum DetailCol { DetailBigo = 1, DetailMoney, DetailMemo, DetailCode, DetailColCount };

    explicit frmAffairs(QWidget* parent = nullptr);
    ~frmAffairs() override;

    // Reloads every sheet (after the group window saved).
    void UpdateAffairs();

    Grid* sheet(int index) const { return m_sheets.value(index); }
    int groupCode() const { return m_group; }
    static int dateCol(int month) { return 2 * month; }
    static int moneyCol(int month) { return 2 * month + 1; }

    bool RecDelete();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Paid {
        int code = 0;
        QString sdate;
        double money = 0;
    };
    // The dues sheet's payments, one place per row and month (key row * 100 + month); a
    // place without a payment has code 0.
    class PaidMonths {
    public:
        void clear() { m_cells.clear(); }
        void reserveRows(int rows) { m_cells.reserve(size_t(qMax(0, rows)) * 12); }
        const Paid* find(qint64 key) const {
            const qsizetype at = index(key);
            return at >= 0 && at < qsizetype(m_cells.size()) && m_cells[size_t(at)].code != 0
                       ? &m_cells[size_t(at)]
                       : nullptr;
        }
        bool contains(qint64 key) const { return find(key) != nullptr; }
        Paid value(qint64 key) const {
            const Paid* p = find(key);
            return p ? *p : Paid{};
        }
        void insert(qint64 key, const Paid& paid) {
            const qsizetype at = index(key);
            if (at < 0) return;
            if (at >= qsizetype(m_cells.size())) m_cells.resize(size_t(at / 12 + 1) * 12);
            m_cells[size_t(at)] = paid;
        }
        void remove(qint64 key) {
            const qsizetype at = index(key);
            if (at >= 0 && at < qsizetype(m_cells.size())) m_cells[size_t(at)] = Paid{};
        }

    private:
        static qsizetype index(qint64 key) {
            const qint64 row = key / 100, month = key % 100;
            return row >= 1 && month >= 1 && month <= 12 ? qsizetype((row - 1) * 12 + month - 1)
                                                         : -1;
        }
        std::vector<Paid> m_cells;
    };
    void fillGroups();
    void clearSheets();
    void groupChosen();
    void fillYears();
    void setPeriodToYear();
    void loadDues();
    void loadLines(int sheet);
    void loadDetail();
    void paintDuesCell(int row, int month, bool withText = true);
    void duesDoubleClicked(int col, int row);
    void duesChanged(int col, int row);
    bool markPaid(int row, int month, const QString& sdate, double money);
    bool unmark(int row, int month);
    void lineChanged(int sheet, int col, int row);
    void detailChanged(int col, int row);
    void openBalance();
    void reloadLater();
    void toggleUpper();
    int selectedExpense() const;
    QString sheetName(int index) const;

    QComboBox* m_cmbGroup = nullptr;
    QComboBox* m_cmbYear = nullptr;
    HCTerm* m_htDate = nullptr;
    QTabWidget* m_tabs = nullptr;
    QSplitter* m_split = nullptr;
    QWidget* m_pnlMove = nullptr;
    QPushButton* m_btnEx = nullptr;
    QList<Grid*> m_sheets;
    int m_group = 0;
    int m_year = 0;
    QString m_repeat, m_day;
    double m_fee = 0;
    QStringList m_feeStart;              // per dues row
    PaidMonths m_paid;
    QList<FundLine> m_lines[SheetCount]; // saved lines of sheets 1..3, row r at r - 1
    int m_detailExpense = 0;
    bool m_loading = false;
    bool m_topRestored = false;
};
