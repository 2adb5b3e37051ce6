#pragma once

#include <QHash>
#include <QWidget>

class Grid;

// The usage places (tblusename), edited in place: a changed name is saved when its cell
// is left; a name typed on the empty last row adds a place.
class frmUseName : public QWidget {
    Q_OBJECT
public:
    QSize sizeHint() const override { return {380, 480}; }
    enum Col { ColName = 1, ColCode, ColCount };

    explicit frmUseName(QWidget* parent = nullptr);

    Grid* grid() const { return m_grid; }
    void loadList();
    // Saves the name in `row` when it was changed; false when nothing was saved.
    bool saveRow(int row);
    bool RecDelete();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Grid* m_grid = nullptr;
    QHash<int, QString> m_saved; // code → stored name
};
