#include "ui/TotalsGrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTimer>

TotalsGrid::TotalsGrid(Grid* list, const QList<std::pair<int, QString>>& captions, QWidget* parent)
    : Grid(parent), m_list(list)
{
    setObjectName(QStringLiteral("spSum"));
    setListMode();
    // Nothing to choose or type here: clicks and the keyboard stay with the list.
    setSelectionMode(NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setMaxCols(list->maxCols());
    setMaxRows(1);
    // The row header names the row instead of numbering it.
    auto* rowHead = new QStandardItemModel(1, 0, this);
    rowHead->setVerticalHeaderLabels({QStringLiteral("합계")});
    verticalHeader()->setModel(rowHead);
    // Room for that name in the list's row headers too, whose width this grid takes.
    const int caption = verticalHeader()->fontMetrics().horizontalAdvance(QStringLiteral("합계")) + 10;
    list->verticalHeader()->setMinimumWidth(qMax(list->verticalHeader()->minimumWidth(), caption));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollMode(list->horizontalScrollMode());
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (const auto& [col, caption] : captions) {
        setHeaderText(col, caption);
        setColAlignment(col, Qt::AlignRight | Qt::AlignVCenter);
        const int needed = horizontalHeader()->fontMetrics().horizontalAdvance(caption) + 12;
        if (!list->colHidden(col) && list->colWidth(col) < needed) list->setColWidth(col, needed);
    }

    QHeaderView* head = list->horizontalHeader();
    connect(head, &QHeaderView::sectionResized, this, &TotalsGrid::follow);
    connect(head, &QHeaderView::sectionMoved, this, &TotalsGrid::follow);
    connect(head, &QHeaderView::geometriesChanged, this, &TotalsGrid::follow);
    connect(list->model(), &QAbstractItemModel::columnsInserted, this, &TotalsGrid::follow);
    connect(list->model(), &QAbstractItemModel::columnsRemoved, this, &TotalsGrid::follow);
    connect(list->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TotalsGrid::follow);
    // A change made here (a layout file, a wheel turned over the totals) is put back, or
    // passed on to the list when it is a scroll.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &TotalsGrid::followLater);
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, &TotalsGrid::follow);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int x) {
        if (!m_following) m_list->horizontalScrollBar()->setValue(x);
    });
    // The row headers widen with the number of rows; the list's vertical scroll bar takes
    // width from its cells.
    // (A scroll area shows and hides the box its scroll bar sits in.)
    list->verticalHeader()->installEventFilter(this);
    list->verticalScrollBar()->parentWidget()->installEventFilter(this);
    horizontalHeader()->installEventFilter(this);
    follow();
}

bool TotalsGrid::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (watched == m_list->verticalHeader() || watched == m_list->verticalScrollBar()->parentWidget())
            follow();
        else if (watched == horizontalHeader() && event->type() != QEvent::Resize)
            fitHeight();
        break;
    default:
        break;
    }
    return Grid::eventFilter(watched, event);
}

void TotalsGrid::followLater()
{
    if (m_following || m_followQueued) return;
    m_followQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_followQueued = false;
        follow();
    });
}

void TotalsGrid::follow()
{
    if (m_following) return;
    m_following = true;
    if (maxCols() != m_list->maxCols()) setMaxCols(m_list->maxCols());
    QHeaderView* from = m_list->horizontalHeader();
    QHeaderView* to = horizontalHeader();
    for (int v = 0; v < from->count() && v < to->count(); ++v) {
        const int at = to->visualIndex(from->logicalIndex(v));
        if (at != v) to->moveSection(at, v);
    }
    for (int c = 1; c <= maxCols(); ++c) {
        // A column being hidden reports its width 0 before it counts as hidden.
        setColHidden(c, m_list->colHidden(c) || m_list->colWidth(c) == 0);
        if (!colHidden(c) && colWidth(c) != m_list->colWidth(c)) setColWidth(c, m_list->colWidth(c));
    }
    if (frozenCols() != m_list->frozenCols()) setFrozenCols(m_list->frozenCols());

    // Row headers as wide as the list's (none when it has none).
    const bool rowHeads = !m_list->verticalHeader()->isHidden();
    if (verticalHeader()->isHidden() == rowHeads) verticalHeader()->setVisible(rowHeads);
    if (rowHeads) verticalHeader()->setFixedWidth(m_list->verticalHeader()->width());
    // An idle scroll bar where the list shows one, so both have cells of the same width.
    const Qt::ScrollBarPolicy bar =
        m_list->verticalScrollBar()->isVisibleTo(m_list) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (verticalScrollBarPolicy() != bar) setVerticalScrollBarPolicy(bar);
    fitHeight();
    horizontalScrollBar()->setValue(m_list->horizontalScrollBar()->value());
    m_following = false;
}

void TotalsGrid::fitHeight()
{
    const int head = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->sizeHint().height();
    const int h = head + rowHeight() + 2 * frameWidth();
    if (height() != h || minimumHeight() != h) setFixedHeight(h);
}
