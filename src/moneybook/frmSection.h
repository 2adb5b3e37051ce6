#pragma once

#include <QDialog>

class Grid;

// The section picker "구분선택": the ten sections in code order. Enter, Space or a
// double-click picks the active row; a digit 0-9 moves to that section.
class frmSection : public QDialog {
    Q_OBJECT
public:
    explicit frmSection(QWidget* parent = nullptr);

    Grid* grid() const { return m_grid; }
    int chosen() const { return m_chosen; }
    // The picked section (its cell text is MoneyBook::SectionName), -1 when closed.
    static int choose(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void take(int row);
    Grid* m_grid = nullptr;
    int m_chosen = -1;
};
