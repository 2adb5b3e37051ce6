#pragma once

#include <QWidget>

class Grid;
class HCTerm;
class HCText;

// "통장별현황": the cash box and every bank account with its current balance.
class frmBalance : public QWidget {
    Q_OBJECT
public:
    QSize sizeHint() const override { return {420, 420}; }
    enum Col { ColName = 1, ColBalance, ColCode, ColCount };
    explicit frmBalance(QWidget* parent = nullptr);
    Grid* grid() const { return m_grid; }
    Grid* sumGrid() const { return m_sum; }
    void loadList();

private:
    Grid* m_grid = nullptr;
    Grid* m_sum = nullptr;
};

// "통장별잔액기록현황": the balance records (section 9) of a period as a cross table,
// one row per date and one column per account.
class frmBalance_Write : public QWidget {
    Q_OBJECT
public:
    QSize sizeHint() const override { return {640, 420}; }
    explicit frmBalance_Write(QWidget* parent = nullptr);
    Grid* grid() const { return m_grid; }
    HCTerm* period() const { return m_period; }
    void query();

private:
    HCTerm* m_period = nullptr;
    Grid* m_grid = nullptr;
};

// "기초 현금 잔액을 입력하세요": the opening balance of the cash box.
class frmStartMoney : public QWidget {
    Q_OBJECT
public:
    explicit frmStartMoney(QWidget* parent = nullptr);
    bool RecSave();

private:
    HCText* m_field = nullptr;
};
