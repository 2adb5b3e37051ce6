#pragma once

#include "ui/GridTypes.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTableView>
#include <QVector>

#include <memory>

class GridModel;
class GridRowSource;
class GridDelegate;

// The spreadsheet-like grid every list and entry table uses.
//
// Addressing: columns and rows are 1-based as the windows address them
// (1..maxCols(), 1..maxRows()). Row 0 addresses the column headers in text()/setText()
// (header row 1; headerText() reaches header row 2); column 0 addresses the row headers,
// which read as the row number. Anything outside these ranges reads as "" and is ignored
// when written.
//
// Widths and heights are in pixels. Font size is in points; 0 means the default font.
//
// Two set-ups: setListMode() (read-only, whole-row selection, tool tips with the cell
// text) and setEntryMode() (editable cells, typing replaces the cell content, Enter
// commits and moves like a spreadsheet).
//
// leaveCell is emitted before the active cell changes by keyboard or mouse, after a cell
// being edited has been committed (so the handler reads the new text). Setting *cancel
// keeps the old cell active; the committed text stays. Tab or Enter on the last cell,
// where the active cell cannot move, emits it with that cell as the new one.
// setActiveCell() from code does not emit leaveCell.
class Grid : public QTableView {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);
    ~Grid() override;

    GridModel* gridModel() const { return m_model; }

    // ---- identity (layout file sections, context menu) ----
    QString gridName() const { return objectName(); }
    int gridIndex() const { return m_gridIndex; } // -1 when not part of an array of grids
    void setGridIndex(int index) { m_gridIndex = index; }
    // gridName(), or gridName() + "_" + index for a grid in an array.
    QString layoutName() const;
    bool allowsReports() const { return m_allowsReports; }
    void setAllowsReports(bool on) { m_allowsReports = on; }
    bool allowsShortcutList() const { return m_allowsShortcutList; }
    void setAllowsShortcutList(bool on) { m_allowsShortcutList = on; }

    // ---- size and content ----
    int maxRows() const;
    void setMaxRows(int rows);
    int maxCols() const;
    void setMaxCols(int cols);
    // Last row holding any non-empty cell (0 when none): a trailing empty entry row does
    // not count.
    int dataRowCnt() const;
    QString text(int col, int row) const;
    void setText(int col, int row, const QString& text);
    // Leading numeric value of the cell ("1,234원" → 1234, "-5" → -5); 0 when empty or
    // not numeric.
    double number(int col, int row) const;
    // All cells of one row, columns 1..maxCols().
    QStringList rowTexts(int row) const;
    // Sets cells 1..texts.size() of a row (the row is created when beyond maxRows()).
    void setRowTexts(int row, const QStringList& texts);
    // Empties every cell, mark and cell attribute; keeps columns, sizes and maxRows().
    void clear();
    // Inserts `count` empty rows before `row` / removes `count` rows from `row`.
    void insertRows(int row, int count = 1);
    void deleteRows(int row, int count = 1);

    // Bulk fill for loading a list: beginFill() empties the grid (maxRows() 0), every
    // appendRow() adds one row, endFill() shows the result. Nothing is redrawn between.
    void beginFill(int expectedRows = 0);
    void appendRow(const QStringList& texts);
    void endFill();
    // The same in one call.
    void setAllRows(const QVector<QStringList>& rows);

    // A long list read as the person goes: fillFrom() empties the grid and shows the first
    // block of `source`, further blocks follow as the view scrolls to the end. maxRows()
    // and dataRowCnt() count the rows read so far; what must cover every row (find,
    // export, print, tick all, Ctrl+End, select all) calls fetchAll() first. False, with
    // the grid unchanged, when the first read fails.
    bool fillFrom(std::unique_ptr<GridRowSource> source);
    // Reads every row still to come (wait cursor meanwhile).
    void fetchAll();
    // True while the source holds rows not yet read.
    bool hasMoreRows() const;

    // ---- columns ----
    int colWidth(int col) const;
    void setColWidth(int col, int width);
    bool colHidden(int col) const;
    void setColHidden(int col, bool hidden);
    QString colTag(int col) const;
    void setColTag(int col, const QString& tag);
    int findColByTag(const QString& tag) const; // -1 when absent (case-sensitive)
    Qt::Alignment colAlignment(int col) const;
    void setColAlignment(int col, Qt::Alignment align);
    CellType colType(int col) const;
    void setColType(int col, CellType type);
    bool colLocked(int col) const;
    void setColLocked(int col, bool locked);
    // Longest text typed or pasted into the column's cells (at most GridCellMaxChars).
    void setColMaxChars(int col, int chars);
    // Header rows: 1 (default) or 2. headerRow is 1 or 2.
    int headerRows() const;
    void setHeaderRows(int rows);
    QString headerText(int col, int headerRow = 1) const;
    void setHeaderText(int col, const QString& text, int headerRow = 1);
    void setHeaderTexts(const QStringList& texts, int headerRow = 1); // columns 1..n
    void setColHeadersVisible(bool visible);
    void setRowHeadersVisible(bool visible);
    void setColumnsMovable(bool movable);
    // Keeps columns 1..n in place at the left while the others scroll sideways (0: none).
    // Clicks on the kept columns act on the grid's own cells.
    void setFrozenCols(int n);
    int frozenCols() const { return m_frozenCols; }

    // ---- rows ----
    int rowHeight() const; // of all rows
    void setRowHeight(int height);
    void setOddEvenRowColor(const QColor& odd, const QColor& even);
    // Rows whose check-box cell in `col` is ticked show `color` as their background.
    void setTickedRowColor(int col, const QColor& color);
    bool rowHidden(int row) const;
    void setRowHidden(int row, bool hidden);
    QString rowMark(int row) const;
    void setRowMark(int row, const QString& mark); // RowMark::Subtotal, GrandTotal or ""
    bool hasSubtotalRows() const;
    // Shows only rows marked subtotal or grand total (true) or every row again.
    bool showOnlyMarked() const { return m_onlyMarked; }
    void setShowOnlyMarked(bool on);
    bool subtotalsHidden() const { return m_subtotalsHidden; }
    void setSubtotalsHidden(bool hidden);
    void setRowBackColor(int row, const QColor& color);
    void setRowBold(int row, bool bold);
    void setCellBackColor(int col, int row, const QColor& color);
    void setCellForeColor(int col, int row, const QColor& color);
    // Totals row under the data: "[합 계]" in captionCol, the sum of the data rows in
    // each of sumCols, background QColor(224,240,224). The sums follow later edits.
    // Returns its row number. A second call replaces the first totals row.
    int addTotalsRow(const QList<int>& sumCols, int captionCol = 1);
    void removeTotalsRow();
    int totalsRow() const; // 0 when none

    // ---- cells ----
    bool cellLocked(int col, int row) const;
    void setCellLocked(int col, int row, bool locked = true);
    // Protection on (default): locked columns and cells cannot be edited.
    bool isProtected() const;
    void setProtect(bool on);

    // ---- look ----
    int fontSize() const { return m_fontSize; } // 0 = default
    void setFontSize(int points);
    // Draws a line under every n-th data row; 0 turns it off.
    int dividerEvery() const;
    void setDividerEvery(int rows);

    // ---- navigation ----
    int activeCol() const;
    int activeRow() const;
    void setActiveCell(int col, int row);
    int topRow() const;
    void setTopRow(int row);
    // First row in rowFrom..rowTo (to -1 = maxRows()) whose cell in `col` equals `text`
    // (exact) or contains it; -1 when none. Case-sensitive.
    int searchCol(int col, int rowFrom, int rowTo, const QString& text, bool exact = true) const;
    int searchRow(int row, int colFrom, int colTo, const QString& text, bool exact = true) const;

    // ---- modes ----
    void setListMode();
    void setEntryMode();
    bool isListMode() const { return m_listMode; }
    EnterMove enterMove() const { return m_enterMove; }
    void setEnterMove(EnterMove move) { m_enterMove = move; }

    // Moves the active cell as a user would (emits leaveCell). False when cancelled or
    // the target is outside the grid.
    bool moveToCell(int col, int row);
    // True while a cell editor is open.
    bool isEditing() const { return state() == EditingState; }
    // Commits and closes an open cell editor (before reading cells, saving, closing).
    void commitEdit() { commitOpenEditor(); }
    // With kept columns, a cell right of them is scrolled clear of them; a kept cell never
    // scrolls the grid sideways.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void selectAll() override;

signals:
    void leaveCell(int col, int row, int newCol, int newRow, bool* cancel);
    void cellChanged(int col, int row);     // after a user edit or check-box toggle (not setText)
    void cellClicked(int col, int row);
    void cellDoubleClicked(int col, int row);
    void buttonClicked(int col, int row);
    void rightClicked(int col, int row, const QPoint& globalPos); // 0,0 outside cells
    void colWidthChangedByUser(int col, int width);
    void activeCellChanged(int col, int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class GridDelegate;
    // Asks leaveCell about a move from the current cell to `to`; true when allowed.
    bool confirmLeave(const QModelIndex& to);
    void commitOpenEditor();
    // Called by the delegate for navigation keys typed in an editor.
    void editorNavigate(int key, Qt::KeyboardModifiers mods);
    QModelIndex cellIndex(int col, int row) const;
    void applyRowVisibility(int row);
    void applyAllRowVisibility();
    void applyFont();
    void onSectionResized(int logical, int oldSize, int newSize);
    int nextVisibleRow(int row, int step) const; // 0 when none
    int nextVisibleCol(int col, int step) const; // 0 when none
    void moveByEnter();
    void moveByTab(bool back);
    void leaveAtEnd();

    void placeFrozen();
    int frozenWidth() const;

    GridModel* m_model = nullptr;
    QTableView* m_frozen = nullptr; // the kept columns, drawn over the left of the grid
    int m_frozenCols = 0;
    GridDelegate* m_delegate = nullptr;
    QObject* m_headerWatch = nullptr;
    QFont m_defaultFont;
    QHash<int, int> m_hiddenWidths;        // widths of hidden columns, restored on show
    QPersistentModelIndex m_cancelledIndex; // target of a click refused by leaveCell
    bool m_inLeave = false;
    int m_gridIndex = -1;
    bool m_allowsReports = false;
    bool m_allowsShortcutList = false;
    bool m_listMode = false;
    bool m_onlyMarked = false;
    bool m_subtotalsHidden = false;
    bool m_swallowMouse = false;     // a cancelled press: ignore its move/release
    bool m_settingWidth = false;     // width set from code, not by the user
    int m_fontSize = 0;
    EnterMove m_enterMove = EnterMove::Down;
};
