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

protected:
    void showEvent(QShowEvent* event) override;

private:
    void load(bool notice);

    bool m_followsFront = false;
    Grid* m_grid = nullptr;
    Grid* m_sum = nullptr;
};
