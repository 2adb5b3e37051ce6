#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class Grid;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// A cell address of a grid (1-based); 0,0 when none.
struct GridCell {
    int col = 0;
    int row = 0;
    bool isValid() const { return col > 0 && row > 0; }
    bool operator==(const GridCell&) const = default;
};

// The next cell after `start` whose text contains `what` (or equals it with wholeCell;
// both ignore case and surrounding blanks for the whole-cell match), going along the rows
// (byRows) or down the columns, wrapping to the beginning and ending with `start` itself.
// Cells for which `skip` is true (hidden columns and rows) are passed over. A blank
// `what` finds nothing.
GridCell FindNextCell(int cols, int rows, GridCell start, const QString& what, bool byRows,
                      bool wholeCell, const std::function<QString(int col, int row)>& text,
                      const std::function<bool(int col, int row)>& skip = {});
// The same over a grid's data rows, starting after its active cell.
GridCell FindNextInGrid(const Grid* grid, const QString& what, bool byRows, bool wholeCell);

// Find-in-grid window ("다음 찾기(&N)"): one per grid, floating over its window.
class FrmFindInSpread : public QWidget {
    Q_OBJECT
public:
    enum Direction { ByRows = 0, ByCols = 1 };

    // Opens (or brings back) the find window of `grid`.
    static FrmFindInSpread* open(Grid* grid);

    // Searches for the next hit: the hit becomes the active cell, its row the top row; no
    // hit shows "일치하는 데이터가 없습니다." (title "검색실패"). False when nothing found.
    bool findNext();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Reads the rows of a long list up to the next hit along the rows after the active
    // cell, when no row read so far holds one.
    void readUpToNextHit(const QString& what, bool wholeCell);
    // The next hit down the columns in the whole list, the rows up to it read.
    GridCell findDown(const QString& what, bool wholeCell);
    explicit FrmFindInSpread(Grid* grid);
    QPointer<Grid> m_grid;
    QLineEdit* m_txtFindWd = nullptr;
    QComboBox* m_cboFindDir = nullptr;
    QCheckBox* m_chkSameAll = nullptr;
    QPushButton* m_btnFindNext = nullptr;
};
