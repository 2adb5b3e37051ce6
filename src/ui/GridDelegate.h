#pragma once

#include <QStyledItemDelegate>

class Grid;

// Draws and edits the grid's cells: centred check boxes, button cells, the divider line
// every n rows, and spreadsheet keys inside a cell editor (Enter, Tab and arrows commit
// and move).
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridDelegate(Grid* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model,
                     const QStyleOptionViewItem& option, const QModelIndex& index) override;

    // Set by the grid when an editor opens: typing started it (arrows leave the cell) or
    // F2/double-click did (left/right move the caret).
    void setEditStartedByTyping(bool typing) { m_byTyping = typing; }

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    Grid* m_grid;
    bool m_byTyping = false;
};
