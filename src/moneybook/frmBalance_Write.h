#pragma once

#include <QWidget>

class Grid;
class HCTerm;

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
