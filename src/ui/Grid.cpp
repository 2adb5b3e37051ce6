#include "ui/Grid.h"

#include "ui/GridDelegate.h"
#include "ui/GridModel.h"
#include "ui/GridRowSource.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QTimer>

#include <algorithm>

namespace {

// Watches the column header for a pressed mouse button, so that a section resize can be
// told apart: by the user's drag (or double-click on a divider) or by code.
class HeaderPressWatch : public QObject {
public:
    using QObject::QObject;
    bool pressed = false;

protected:
    bool eventFilter(QObject* obj, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            pressed = true;
            break;
        case QEvent::MouseButtonRelease:
            pressed = false;
            break;
        default:
            break;
        }
        return QObject::eventFilter(obj, event);
    }
};

// The column header. With two header rows, neighbouring columns that carry the same
// caption in the first row and a caption of their own in the second share one cell for the
// first: the group caption is read whole above them instead of cut in each.
class GridHeader : public QHeaderView {
public:
    explicit GridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    void paintSection(QPainter* p, const QRect& rect, int logical) const override {
        const auto* m = qobject_cast<const GridModel*>(model());
        const QString top = m ? m->headerText(logical, 1) : QString();
        const QString sub = m ? m->headerText(logical, 2) : QString();
        if (!m || m->headerRows() != 2 || !GridModel::SharesTopCaption(top, sub, top, sub)) {
            QHeaderView::paintSection(p, rect, logical);
            return;
        }
        const auto grouped = [&](int visual) {
            const int l = logicalIndex(visual);
            return l >= 0 && !isSectionHidden(l) &&
                   GridModel::SharesTopCaption(top, sub, m->headerText(l, 1), m->headerText(l, 2));
        };
        int first = visualIndex(logical), last = first;
        while (first > 0 && (isSectionHidden(logicalIndex(first - 1)) || grouped(first - 1))) --first;
        while (last + 1 < count() && (isSectionHidden(logicalIndex(last + 1)) || grouped(last + 1))) ++last;
        while (isSectionHidden(logicalIndex(first))) ++first;
        while (isSectionHidden(logicalIndex(last))) --last;
        const int left = sectionViewportPosition(logicalIndex(first));
        const int right = sectionViewportPosition(logicalIndex(last)) + sectionSize(logicalIndex(last));
        const int half = rect.height() / 2;

        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.section = logical;
        opt.textAlignment = Qt::AlignCenter;
        opt.position = QStyleOptionHeader::Middle;
        opt.rect = QRect(rect.left(), rect.top() + half, rect.width(), rect.height() - half);
        opt.text = m->headerText(logical, 2);
        style()->drawControl(QStyle::CE_Header, &opt, p, this);
        opt.rect = QRect(left, rect.top(), right - left, half);
        opt.text = top;
        style()->drawControl(QStyle::CE_Header, &opt, p, this);
    }
};

} // namespace

Grid::Grid(QWidget* parent) : QTableView(parent)
{
    m_model = new GridModel(this);
    setHorizontalHeader(new GridHeader(this));
    setModel(m_model);
    m_delegate = new GridDelegate(this);
    setItemDelegate(m_delegate);
    m_defaultFont = font();

    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setMinimumSectionSize(8);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    setWordWrap(false);
    setTabKeyNavigation(true);

    auto* watch = new HeaderPressWatch(this);
    m_headerWatch = watch;
    horizontalHeader()->viewport()->installEventFilter(watch);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &Grid::onSectionResized);

    connect(m_model, &GridModel::cellEdited, this,
            [this](int row, int col) { emit cellChanged(col + 1, row + 1); });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) {
        emit cellClicked(i.column() + 1, i.row() + 1);
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
        emit cellDoubleClicked(i.column() + 1, i.row() + 1);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (value == verticalScrollBar()->minimum())
            fetchBeforeAtTop();
    });
    setEntryMode();
}

Grid::~Grid() = default;

QString Grid::layoutName() const
{
    return m_gridIndex < 0 ? objectName() : objectName() + QLatin1Char('_') + QString::number(m_gridIndex);
}

QModelIndex Grid::cellIndex(int col, int row) const
{
    return m_model->index(row - 1, col - 1);
}

// ---- size and content ----

int Grid::maxRows() const { return m_model->rowCount(); }

void Grid::setMaxRows(int rows) { m_model->setRowCount(rows); }

int Grid::maxCols() const { return m_model->columnCount(); }

void Grid::setMaxCols(int cols) { m_model->setColumnCount(cols); }

int Grid::dataRowCnt() const { return m_model->lastDataRow() + 1; }

QString Grid::text(int col, int row) const
{
    if (row == 0)
        return m_model->headerText(col - 1, 1);
    if (col == 0)
        return row >= 1 && row <= maxRows() ? QString::number(row) : QString();
    return m_model->cell(row - 1, col - 1);
}

void Grid::setText(int col, int row, const QString& text)
{
    if (row == 0) {
        m_model->setHeaderText(col - 1, 1, text);
        return;
    }
    m_model->setCell(row - 1, col - 1, text);
}

double Grid::number(int col, int row) const
{
    return GridModel::leadingNumber(text(col, row));
}

QStringList Grid::rowTexts(int row) const { return m_model->rowTexts(row - 1); }

void Grid::setRowTexts(int row, const QStringList& texts)
{
    if (row < 1)
        return;
    if (row > maxRows() && !m_model->filling())
        setMaxRows(row);
    m_model->setRowTexts(row - 1, texts);
}

void Grid::clear()
{
    commitOpenEditor();
    m_model->clearAll();
    m_onlyMarked = false;
    m_subtotalsHidden = false;
    applyAllRowVisibility();
}

void Grid::insertRows(int row, int count)
{
    if (count <= 0)
        return;
    commitOpenEditor();
    row = std::clamp(row, 1, maxRows() + 1);
    m_model->insertRows(row - 1, count);
}

void Grid::deleteRows(int row, int count)
{
    if (row < 1 || row > maxRows() || count <= 0)
        return;
    commitOpenEditor();
    count = std::min(count, maxRows() - row + 1);
    m_model->removeRows(row - 1, count);
}

void Grid::beginFill(int expectedRows)
{
    commitOpenEditor();
    m_model->beginFill(expectedRows);
}

void Grid::appendRow(const QStringList& texts) { m_model->appendRow(texts); }

void Grid::endFill()
{
    m_model->endFill();
    // The header may keep hidden sections across a reset; the new rows start visible.
    applyAllRowVisibility();
}

void Grid::setAllRows(const QVector<QStringList>& rows)
{
    beginFill(int(rows.size()));
    for (const QStringList& r : rows)
        m_model->appendRow(r);
    endFill();
}

bool Grid::fillFrom(std::unique_ptr<GridRowSource> source)
{
    commitOpenEditor();
    if (!m_model->fillFrom(std::move(source)))
        return false;
    applyAllRowVisibility();
    return true;
}

bool Grid::fillFromEnd(std::unique_ptr<GridRowSource> source)
{
    commitOpenEditor();
    if (!m_model->fillFromEnd(std::move(source)))
        return false;
    applyAllRowVisibility();
    return true;
}

void Grid::fetchBeforeAtTop()
{
    // Not while a question is open: a window waiting on it keeps its row numbers.
    if (!m_model->canFetchBefore() || QApplication::activeModalWidget())
        return;
    const int top = std::max(0, rowAt(0));
    const int before = maxRows();
    m_model->fetchBefore();
    const int added = maxRows() - before;
    if (added <= 0)
        return;
    // The rows in sight stay in sight: the new ones lie above, to be scrolled up to.
    updateGeometries();
    scrollTo(m_model->index(top + added, std::max(0, columnAt(0))), PositionAtTop);
}

void Grid::fetchAll()
{
    if (!m_model->hasMoreRows())
        return;
    commitOpenEditor();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_model->fetchAll();
    QGuiApplication::restoreOverrideCursor();
}

void Grid::fetchRows(int rows)
{
    if (!m_model->hasMoreRows() || maxRows() >= rows)
        return;
    commitOpenEditor();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_model->fetchAll(rows);
    QGuiApplication::restoreOverrideCursor();
}

bool Grid::hasMoreRows() const { return m_model->hasMoreRows(); }

void Grid::setUnreadTicks(int col, std::function<bool(const QStringList&)> ticked)
{
    m_model->setUnreadTicks(col - 1, std::move(ticked));
}

bool Grid::forEachRow(const std::function<bool(int row, const QStringList& texts)>& visit) const
{
    if (m_model->hasMoreRows() && !m_model->passesOverRest())
        const_cast<Grid*>(this)->fetchAll(); // changes what is read, not what is shown
    const bool reading = m_model->hasMoreRows();
    if (reading)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = m_model->forEachRow([&visit](int row, const QStringList& texts) { return visit(row + 1, texts); });
    if (reading)
        QGuiApplication::restoreOverrideCursor();
    return ok;
}

bool Grid::forEachTickedRow(int col, const std::function<bool(int row, const QStringList& texts)>& visit) const
{
    const QString mark = QStringLiteral("1");
    if (!m_model->hasUnreadTicks()) {
        for (int r = 1; r <= maxRows(); ++r)
            if (text(col, r) == mark && !visit(r, rowTexts(r)))
                break;
        return true;
    }
    return forEachRow([&](int row, const QStringList& texts) {
        return texts.value(col - 1) != mark || visit(row, texts);
    });
}

void Grid::selectAll()
{
    fetchAll();
    QTableView::selectAll();
}

// ---- columns ----

int Grid::colWidth(int col) const
{
    if (col < 1 || col > maxCols())
        return 0;
    if (isColumnHidden(col - 1))
        return m_hiddenWidths.value(col, horizontalHeader()->defaultSectionSize());
    return columnWidth(col - 1);
}

void Grid::setColWidth(int col, int width)
{
    if (col < 1 || col > maxCols() || width < 0)
        return;
    if (isColumnHidden(col - 1)) {
        m_hiddenWidths.insert(col, width);
        return;
    }
    m_settingWidth = true;
    setColumnWidth(col - 1, width);
    m_settingWidth = false;
}

bool Grid::colHidden(int col) const
{
    return col >= 1 && col <= maxCols() && isColumnHidden(col - 1);
}

void Grid::setColHidden(int col, bool hidden)
{
    if (col < 1 || col > maxCols() || hidden == isColumnHidden(col - 1))
        return;
    m_settingWidth = true;
    if (hidden) {
        m_hiddenWidths.insert(col, columnWidth(col - 1));
        setColumnHidden(col - 1, true);
    } else {
        setColumnHidden(col - 1, false);
        if (m_hiddenWidths.contains(col))
            setColumnWidth(col - 1, m_hiddenWidths.take(col));
    }
    m_settingWidth = false;
}

QString Grid::colTag(int col) const { return m_model->colTag(col - 1); }

void Grid::setColTag(int col, const QString& tag) { m_model->setColTag(col - 1, tag); }

int Grid::findColByTag(const QString& tag) const
{
    const int c = m_model->findColByTag(tag);
    return c < 0 ? -1 : c + 1;
}

Qt::Alignment Grid::colAlignment(int col) const { return m_model->colAlignment(col - 1); }

void Grid::setColAlignment(int col, Qt::Alignment align) { m_model->setColAlignment(col - 1, align); }

CellType Grid::colType(int col) const { return m_model->colType(col - 1); }

void Grid::setColType(int col, CellType type) { m_model->setColType(col - 1, type); }
void Grid::setColMaxChars(int col, int chars) { m_model->setColMaxChars(col - 1, chars); }

bool Grid::colLocked(int col) const { return m_model->colLocked(col - 1); }

void Grid::setColLocked(int col, bool locked) { m_model->setColLocked(col - 1, locked); }

int Grid::headerRows() const { return m_model->headerRows(); }

void Grid::setHeaderRows(int rows) { m_model->setHeaderRows(rows); }

QString Grid::headerText(int col, int headerRow) const { return m_model->headerText(col - 1, headerRow); }

void Grid::setHeaderText(int col, const QString& text, int headerRow)
{
    m_model->setHeaderText(col - 1, headerRow, text);
}

void Grid::setHeaderTexts(const QStringList& texts, int headerRow)
{
    if (texts.size() > maxCols())
        setMaxCols(int(texts.size()));
    for (int i = 0; i < texts.size(); ++i)
        m_model->setHeaderText(i, headerRow, texts.at(i));
}

void Grid::setColHeadersVisible(bool visible) { horizontalHeader()->setVisible(visible); }

void Grid::setRowHeadersVisible(bool visible) { verticalHeader()->setVisible(visible); }

void Grid::setColumnsMovable(bool movable) { horizontalHeader()->setSectionsMovable(movable); }

// ---- rows ----

int Grid::rowHeight() const { return verticalHeader()->defaultSectionSize(); }

void Grid::setRowHeight(int height)
{
    if (height < 1)
        return;
    verticalHeader()->setDefaultSectionSize(height);
    if (m_frozen)
        m_frozen->verticalHeader()->setDefaultSectionSize(height);
}

// ---- kept (frozen) columns ----
// A second view over the same model and selection shows columns 1..n on top of the grid's
// left edge; it scrolls vertically with the grid and follows its column widths and row
// heights. Its mouse input is handed to the grid at the matching cell, so clicks, double
// clicks and leaving cells behave as on the grid itself. The grid scrolls by pixels then,
// and keeps the current cell clear of the kept columns.

void Grid::setFrozenCols(int n)
{
    m_frozenCols = std::clamp(n, 0, maxCols());
    if (m_frozenCols == 0) {
        delete m_frozen;
        m_frozen = nullptr;
        return;
    }
    if (!m_frozen) {
        m_frozen = new QTableView(this);
        m_frozen->setObjectName(objectName() + QStringLiteral("_frozen"));
        m_frozen->setModel(m_model);
        m_frozen->setItemDelegate(m_delegate);
        m_frozen->setSelectionModel(selectionModel());
        m_frozen->setFocusPolicy(Qt::NoFocus);
        m_frozen->setEditTriggers(QAbstractItemView::NoEditTriggers);
        m_frozen->verticalHeader()->hide();
        m_frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        m_frozen->horizontalHeader()->setHighlightSections(false);
        m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_frozen->setVerticalScrollMode(verticalScrollMode());
        m_frozen->setWordWrap(false);
        m_frozen->setFrameShape(QFrame::NoFrame);
        m_frozen->verticalHeader()->setMinimumSectionSize(verticalHeader()->minimumSectionSize());
        m_frozen->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
        m_frozen->viewport()->installEventFilter(this);
        connect(verticalScrollBar(), &QScrollBar::valueChanged, m_frozen->verticalScrollBar(),
                &QScrollBar::setValue);
        connect(horizontalHeader(), &QHeaderView::sectionResized, this,
                [this](int logical, int, int size) {
                    if (m_frozen && logical < m_frozenCols) {
                        m_frozen->setColumnWidth(logical, size);
                        placeFrozen();
                    }
                });
        connect(verticalHeader(), &QHeaderView::sectionResized, this,
                [this](int logical, int, int size) {
                    if (m_frozen) m_frozen->setRowHeight(logical, size);
                });
        setHorizontalScrollMode(ScrollPerPixel);
        m_frozen->show();
    }
    for (int r = 0; r < maxRows(); ++r)
        m_frozen->setRowHidden(r, isRowHidden(r));
    placeFrozen();
}

int Grid::frozenWidth() const
{
    int w = 0;
    for (int c = 0; c < m_frozenCols; ++c)
        if (!isColumnHidden(c))
            w += columnWidth(c);
    return w;
}

void Grid::placeFrozen()
{
    if (!m_frozen)
        return;
    // A reload resets the view's sections: the kept columns are shown again each time.
    for (int c = 0; c < maxCols(); ++c) {
        const bool hide = c >= m_frozenCols || isColumnHidden(c);
        if (m_frozen->isColumnHidden(c) != hide)
            m_frozen->setColumnHidden(c, hide);
        if (!hide && m_frozen->columnWidth(c) != columnWidth(c))
            m_frozen->setColumnWidth(c, columnWidth(c));
    }
    m_frozen->setFont(font());
    const bool heads = !horizontalHeader()->isHidden();
    const int headHeight = heads ? horizontalHeader()->height() : 0;
    m_frozen->horizontalHeader()->setVisible(heads);
    if (heads)
        m_frozen->horizontalHeader()->setFixedHeight(headHeight);
    const int left = verticalHeader()->isHidden() ? 0 : verticalHeader()->width();
    m_frozen->setGeometry(left + frameWidth(), frameWidth(), frozenWidth(),
                          viewport()->height() + headHeight);
    m_frozen->verticalScrollBar()->setValue(verticalScrollBar()->value());
    m_frozen->raise();
}

void Grid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    placeFrozen();
}

void Grid::updateGeometries()
{
    QTableView::updateGeometries();
    placeFrozen();
    // A list read from its end that does not fill the view reads on upwards, as the view
    // reads on downwards after a first block that leaves room.
    if (m_model->canFetchBefore() && !m_fetchBeforeQueued && isVisible() && viewport()->height() > 0
        && verticalScrollBar()->maximum() == 0) {
        m_fetchBeforeQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_fetchBeforeQueued = false;
            fetchBeforeAtTop();
        });
    }
}

void Grid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!m_frozen || !index.isValid()) {
        QTableView::scrollTo(index, hint);
        return;
    }
    const int x = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (index.column() < m_frozenCols) {
        horizontalScrollBar()->setValue(x); // a kept column is always in sight
        return;
    }
    const int covered = frozenWidth() - visualRect(index).left();
    if (covered > 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - covered);
}

bool Grid::eventFilter(QObject* watched, QEvent* event)
{
    if (m_frozen && watched == m_frozen->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(event);
            QPoint p = me->position().toPoint();
            const int col = m_frozen->columnAt(p.x());
            if (col >= 0)
                p.rx() += columnViewportPosition(col) - m_frozen->columnViewportPosition(col);
            QMouseEvent copy(me->type(), p, viewport()->mapToGlobal(p), me->button(), me->buttons(),
                             me->modifiers());
            QCoreApplication::sendEvent(viewport(), &copy);
            return true;
        }
        case QEvent::Wheel:
            QCoreApplication::sendEvent(viewport(), event);
            return true;
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void Grid::setOddEvenRowColor(const QColor& odd, const QColor& even)
{
    m_model->setOddEvenColors(odd, even);
}

void Grid::setTickedRowColor(int col, const QColor& color)
{
    m_model->setTickedRowColor(col - 1, color);
}

bool Grid::rowHidden(int row) const
{
    return row >= 1 && row <= maxRows() && isRowHidden(row - 1);
}

void Grid::setRowHidden(int row, bool hidden)
{
    if (row < 1 || row > maxRows())
        return;
    m_model->setRowUserHidden(row - 1, hidden);
    applyRowVisibility(row);
}

QString Grid::rowMark(int row) const { return m_model->rowMark(row - 1); }

void Grid::setRowMark(int row, const QString& mark)
{
    m_model->setRowMark(row - 1, mark);
    if (row >= 1 && row <= maxRows() && (m_onlyMarked || m_subtotalsHidden))
        applyRowVisibility(row);
}

bool Grid::hasSubtotalRows() const
{
    return m_model->hasMarkedRows(QString::fromLatin1(RowMark::Subtotal));
}

void Grid::setShowOnlyMarked(bool on)
{
    if (on == m_onlyMarked)
        return;
    m_onlyMarked = on;
    applyAllRowVisibility();
}

void Grid::setSubtotalsHidden(bool hidden)
{
    if (hidden == m_subtotalsHidden)
        return;
    m_subtotalsHidden = hidden;
    applyAllRowVisibility();
}

// A row is shown unless the user hid it or one of the subtotal views leaves it out.
void Grid::applyRowVisibility(int row)
{
    const QString mark = m_model->rowMark(row - 1);
    const bool sub = mark == QLatin1String(RowMark::Subtotal);
    const bool marked = sub || mark == QLatin1String(RowMark::GrandTotal);
    const bool hide = m_model->rowUserHidden(row - 1) || (m_onlyMarked && !marked)
                      || (m_subtotalsHidden && !m_onlyMarked && sub);
    if (isRowHidden(row - 1) != hide)
        QTableView::setRowHidden(row - 1, hide);
    if (m_frozen && m_frozen->isRowHidden(row - 1) != hide)
        m_frozen->setRowHidden(row - 1, hide);
}

void Grid::applyAllRowVisibility()
{
    setUpdatesEnabled(false);
    for (int r = 1; r <= maxRows(); ++r)
        applyRowVisibility(r);
    setUpdatesEnabled(true);
}

void Grid::setRowBackColor(int row, const QColor& color) { m_model->setRowBackColor(row - 1, color); }

void Grid::setRowBold(int row, bool bold) { m_model->setRowBold(row - 1, bold); }

void Grid::setCellBackColor(int col, int row, const QColor& color)
{
    m_model->setCellBackColor(row - 1, col - 1, color);
}

void Grid::setCellForeColor(int col, int row, const QColor& color)
{
    m_model->setCellForeColor(row - 1, col - 1, color);
}

int Grid::addTotalsRow(const QList<int>& sumCols, int captionCol)
{
    commitOpenEditor();
    QList<int> cols;
    for (int c : sumCols)
        cols.append(c - 1);
    return m_model->addTotalsRow(cols, captionCol - 1) + 1;
}

void Grid::removeTotalsRow()
{
    commitOpenEditor();
    m_model->removeTotalsRow();
}

int Grid::totalsRow() const { return m_model->totalsRow() + 1; }

// ---- cells ----

bool Grid::cellLocked(int col, int row) const { return m_model->cellLocked(row - 1, col - 1); }

void Grid::setCellLocked(int col, int row, bool locked) { m_model->setCellLocked(row - 1, col - 1, locked); }

bool Grid::isProtected() const { return m_model->isProtected(); }

void Grid::setProtect(bool on) { m_model->setProtect(on); }

// ---- look ----

void Grid::setFontSize(int points)
{
    if (points < 0)
        return;
    m_fontSize = points;
    applyFont();
}

void Grid::applyFont()
{
    QFont f = m_defaultFont;
    if (m_fontSize > 0)
        f.setPointSize(m_fontSize);
    setFont(f);
    viewport()->update();
}

int Grid::dividerEvery() const { return m_model->dividerEvery(); }

void Grid::setDividerEvery(int rows)
{
    m_model->setDividerEvery(std::max(0, rows));
    viewport()->update();
}

// ---- navigation ----

int Grid::activeCol() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() + 1 : 0;
}

int Grid::activeRow() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

void Grid::setActiveCell(int col, int row)
{
    const QModelIndex target = cellIndex(col, row);
    if (!target.isValid())
        return;
    commitOpenEditor();
    const auto flags = m_listMode ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                                  : QItemSelectionModel::ClearAndSelect;
    selectionModel()->setCurrentIndex(target, flags);
    scrollTo(target);
}

bool Grid::moveToCell(int col, int row)
{
    const QModelIndex target = cellIndex(col, row);
    if (!target.isValid())
        return false;
    commitOpenEditor();
    if (!confirmLeave(target))
        return false;
    setActiveCell(col, row);
    return true;
}

int Grid::topRow() const
{
    const int r = rowAt(0);
    return r < 0 ? 0 : r + 1;
}

void Grid::setTopRow(int row)
{
    if (row < 1 || row > maxRows())
        return;
    scrollTo(m_model->index(row - 1, std::max(0, columnAt(0))), PositionAtTop);
}

int Grid::searchCol(int col, int rowFrom, int rowTo, const QString& text, bool exact) const
{
    if (col < 1 || col > maxCols())
        return -1;
    if (rowTo < 0 || rowTo > maxRows())
        rowTo = maxRows();
    for (int r = std::max(1, rowFrom); r <= rowTo; ++r) {
        const QString t = m_model->cell(r - 1, col - 1);
        if (exact ? t == text : t.contains(text))
            return r;
    }
    return -1;
}

int Grid::searchRow(int row, int colFrom, int colTo, const QString& text, bool exact) const
{
    if (row < 1 || row > maxRows())
        return -1;
    if (colTo < 0 || colTo > maxCols())
        colTo = maxCols();
    for (int c = std::max(1, colFrom); c <= colTo; ++c) {
        const QString t = m_model->cell(row - 1, c - 1);
        if (exact ? t == text : t.contains(text))
            return c;
    }
    return -1;
}

// ---- modes ----

void Grid::setListMode()
{
    commitOpenEditor();
    m_listMode = true;
    m_model->setListMode(true);
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false); // Tab leaves a list for the next control
    setSelectionBehavior(SelectRows);
    // A block of rows can be selected with the mouse (windows act on it, e.g. ticking).
    setSelectionMode(ContiguousSelection);
}

void Grid::setEntryMode()
{
    m_listMode = false;
    m_model->setListMode(false);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setTabKeyNavigation(true);
    setSelectionBehavior(SelectItems);
    setSelectionMode(SingleSelection);
}

// ---- leave-cell machinery ----

bool Grid::confirmLeave(const QModelIndex& to)
{
    const QModelIndex from = currentIndex();
    if (!from.isValid() || !to.isValid() || from == to || m_inLeave)
        return true;
    bool cancel = false;
    m_inLeave = true;
    emit leaveCell(from.column() + 1, from.row() + 1, to.column() + 1, to.row() + 1, &cancel);
    m_inLeave = false;
    return !cancel;
}

void Grid::commitOpenEditor()
{
    if (state() != EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void Grid::editorNavigate(int key, Qt::KeyboardModifiers mods)
{
    commitOpenEditor();
    const int col = activeCol();
    const int row = activeRow();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        moveByEnter();
        return;
    case Qt::Key_Tab:
        moveByTab(mods & Qt::ShiftModifier);
        return;
    case Qt::Key_Backtab:
        moveByTab(true);
        return;
    case Qt::Key_Up:
        if (int r = nextVisibleRow(row, -1))
            moveToCell(col, r);
        return;
    case Qt::Key_Down:
        if (int r = nextVisibleRow(row, +1))
            moveToCell(col, r);
        return;
    case Qt::Key_Left:
        if (int c = nextVisibleCol(col, -1))
            moveToCell(c, row);
        return;
    case Qt::Key_Right:
        if (int c = nextVisibleCol(col, +1))
            moveToCell(c, row);
        return;
    default:
        Q_UNUSED(mods);
        return;
    }
}

int Grid::nextVisibleRow(int row, int step) const
{
    for (int r = row + step; r >= 1 && r <= maxRows(); r += step)
        if (!isRowHidden(r - 1))
            return r;
    return 0;
}

int Grid::nextVisibleCol(int col, int step) const
{
    for (int c = col + step; c >= 1 && c <= maxCols(); c += step)
        if (!isColumnHidden(c - 1))
            return c;
    return 0;
}

// Enter moves down, or right and on to the first column of the next row.
void Grid::moveByEnter()
{
    const int col = activeCol();
    const int row = activeRow();
    if (col == 0 || row == 0)
        return;
    if (m_enterMove == EnterMove::Down) {
        if (int r = nextVisibleRow(row, +1))
            moveToCell(col, r);
        else
            leaveAtEnd();
    } else if (m_enterMove == EnterMove::Right) {
        if (int c = nextVisibleCol(col, +1)) {
            moveToCell(c, row);
        } else if (int r = nextVisibleRow(row, +1)) {
            moveToCell(nextVisibleCol(0, +1), r);
        } else {
            leaveAtEnd();
        }
    }
}

// At the last cell the active cell cannot move, but what was typed there is left all the
// same: leaveCell names the cell as its own target, so handlers take the value as from
// any other cell.
void Grid::leaveAtEnd()
{
    const QModelIndex at = currentIndex();
    if (!at.isValid() || m_inLeave)
        return;
    bool cancel = false;
    m_inLeave = true;
    emit leaveCell(at.column() + 1, at.row() + 1, at.column() + 1, at.row() + 1, &cancel);
    m_inLeave = false;
}

void Grid::moveByTab(bool back)
{
    const int col = activeCol();
    const int row = activeRow();
    if (col == 0 || row == 0)
        return;
    const int step = back ? -1 : +1;
    if (int c = nextVisibleCol(col, step)) {
        moveToCell(c, row);
    } else if (int r = nextVisibleRow(row, step)) {
        moveToCell(nextVisibleCol(back ? maxCols() + 1 : 0, step), r);
    } else if (!back) {
        leaveAtEnd();
    }
}

void Grid::inputMethodEvent(QInputMethodEvent* event)
{
    // A Korean input method delivers finished syllables as commits, not key presses. The
    // view alone opens the cell's editor on such a commit but drops the text, so the first
    // syllable typed into a cell would be lost: open the editor as a typed key does and hand
    // the whole event on. Composition alone (no commit yet) stays with the view as before.
    if (state() != EditingState && !event->commitString().isEmpty() && currentIndex().isValid()
        && edit(currentIndex(), AnyKeyPressed, nullptr) && state() == EditingState) {
        QWidget* editor = QApplication::focusWidget();
        if (editor && editor != this && viewport()->isAncestorOf(editor)) {
            QCoreApplication::sendEvent(editor, event);
            event->accept();
            return;
        }
    }
    QTableView::inputMethodEvent(event);
}

void Grid::keyPressEvent(QKeyEvent* event)
{
    // Tab moves along the row and on to the next row, asking leaveCell once; it stays in
    // the grid at the last cell. (Handled here so that a refused move is not retried by
    // the focus chain.)
    if (!m_listMode && state() != EditingState
        && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
        moveByTab(back);
        event->accept();
        return;
    }
    if (!m_listMode && state() != EditingState) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (event->modifiers() & ~Qt::KeypadModifier)
                break;
            moveByEnter();
            event->accept();
            return;
        case Qt::Key_Delete: {
            // Delete empties the active cell as a user edit.
            const QModelIndex i = currentIndex();
            if (i.isValid() && (m_model->flags(i) & Qt::ItemIsEditable)) {
                m_model->setData(i, QString(), Qt::EditRole);
                event->accept();
                return;
            }
            break;
        }
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
}

QModelIndex Grid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // Ctrl+End goes to the last row of the whole list, not of the rows read so far, and
    // Ctrl+Home to the first of a list read from its end.
    if ((modifiers & Qt::ControlModifier)
        && (m_model->hasRowsBefore() ? cursorAction == MoveHome : cursorAction == MoveEnd))
        fetchAll();
    const QModelIndex target = QTableView::moveCursor(cursorAction, modifiers);
    if (target.isValid() && target != currentIndex() && !confirmLeave(target))
        return currentIndex();
    return target;
}

void Grid::mousePressEvent(QMouseEvent* event)
{
    m_swallowMouse = false;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        event->accept(); // the context menu event follows; the active cell stays
        return;
    }
    commitOpenEditor();
    if (index.isValid() && index != currentIndex() && !confirmLeave(index)) {
        m_swallowMouse = true;
        m_cancelledIndex = index;
        event->accept();
        return;
    }
    m_cancelledIndex = QPersistentModelIndex();
    QTableView::mousePressEvent(event);
}

void Grid::mouseMoveEvent(QMouseEvent* event)
{
    if (m_swallowMouse)
        return;
    QTableView::mouseMoveEvent(event);
}

void Grid::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_swallowMouse) {
        m_swallowMouse = false;
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void Grid::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The first click of this double click was refused by leaveCell: do not ask again.
    if (m_cancelledIndex.isValid() && indexAt(event->position().toPoint()) == m_cancelledIndex) {
        m_swallowMouse = true;
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void Grid::contextMenuEvent(QContextMenuEvent* event)
{
    // The mouse reaches here through the viewport (viewport coordinates); the menu key
    // through the grid itself, and means the active cell.
    const QModelIndex index = event->reason() == QContextMenuEvent::Mouse
                                  ? indexAt(event->pos()) : currentIndex();
    const int col = index.isValid() ? index.column() + 1 : 0;
    const int row = index.isValid() ? index.row() + 1 : 0;
    emit rightClicked(col, row, event->globalPos());
    event->accept();
}

void Grid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        emit activeCellChanged(current.column() + 1, current.row() + 1);
}

bool Grid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool typing = trigger == AnyKeyPressed;
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened && state() == EditingState)
        m_delegate->setEditStartedByTyping(typing);
    return opened;
}

void Grid::onSectionResized(int logical, int /*oldSize*/, int newSize)
{
    if (m_settingWidth || !static_cast<HeaderPressWatch*>(m_headerWatch)->pressed)
        return;
    emit colWidthChangedByUser(logical + 1, newSize);
}
