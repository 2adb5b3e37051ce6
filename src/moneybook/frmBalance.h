#pragma once

#include <QWidget>

class Grid;

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
