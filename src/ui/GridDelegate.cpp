#include "ui/GridDelegate.h"

#include "ui/Grid.h"
#include "ui/GridModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

GridDelegate::GridDelegate(Grid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const
{
    const GridModel* model = m_grid->gridModel();
    const CellType type = model->colType(index.column());
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();

    if (type == CellType::CheckBox) {
        // Background and selection, then the indicator in the middle of the cell (none
        // in the totals row).
        opt.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        opt.text.clear();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, opt.widget);
        if (index.row() != model->totalsRow()) {
            QStyleOptionViewItem box = opt;
            const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, &opt, opt.widget);
            const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, &opt, opt.widget);
            box.rect = QRect(0, 0, w > 0 ? w : 13, h > 0 ? h : 13);
            box.rect.moveCenter(option.rect.center());
            box.state &= ~(QStyle::State_On | QStyle::State_Off);
            box.state |= model->cell(index.row(), index.column()) == QLatin1String("1")
                             ? QStyle::State_On : QStyle::State_Off;
            style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, opt.widget);
        }
    } else if (type == CellType::Button) {
        // A button shows where the cell has a caption; an empty cell is plain.
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, opt.widget);
        const QString caption = model->cell(index.row(), index.column());
        if (!caption.isEmpty()) {
            QStyleOptionButton button;
            button.rect = option.rect.adjusted(1, 1, -1, -1);
            button.text = caption;
            button.state = QStyle::State_Enabled | QStyle::State_Raised;
            button.palette = opt.palette;
            button.fontMetrics = opt.fontMetrics;
            style->drawControl(QStyle::CE_PushButton, &button, painter, opt.widget);
        }
    } else {
        QStyledItemDelegate::paint(painter, option, index);
    }

    const int every = model->dividerEvery();
    if (every > 0 && (index.row() + 1) % every == 0 && index.row() < model->rowCount() - 1) {
        painter->save();
        painter->setPen(QPen(opt.palette.color(QPalette::WindowText), 1));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setFrame(false);
        line->setMaxLength(m_grid->gridModel()->colMaxChars(index.column()));
    }
    return editor;
}

bool GridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                               const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const GridModel* gm = m_grid->gridModel();
    const CellType type = gm->colType(index.column());
    if (type == CellType::CheckBox) {
        // A click anywhere in the cell or Space toggles, when the cell may be changed.
        bool toggle = false;
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            toggle = me->button() == Qt::LeftButton && option.rect.contains(me->position().toPoint());
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            return true; // each click of a double click toggles on its release
        } else if (event->type() == QEvent::KeyPress) {
            toggle = static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space;
        }
        if (!toggle)
            return false;
        if (!(gm->flags(index) & Qt::ItemIsUserCheckable))
            return true;
        const bool ticked = gm->cell(index.row(), index.column()) == QLatin1String("1");
        return model->setData(index, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    }
    if (type == CellType::Button) {
        if (gm->cellEmpty(index.row(), index.column()))
            return false;
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton && option.rect.contains(me->position().toPoint())) {
                emit m_grid->buttonClicked(index.column() + 1, index.row() + 1);
                return true;
            }
        } else if (event->type() == QEvent::KeyPress
                   && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
            emit m_grid->buttonClicked(index.column() + 1, index.row() + 1);
            return true;
        }
        return false;
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        switch (ke->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Up:
        case Qt::Key_Down:
            m_grid->editorNavigate(ke->key(), ke->modifiers());
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (m_byTyping) {
                m_grid->editorNavigate(ke->key(), ke->modifiers());
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
