#include "ui/FrmFindInSpread.h"
#include "ui/Grid.h"
#include "core/Prompt.h"
#include "ui/SearchInput.h"
#include "ui/WindowRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {
bool cellMatches(const QString& cell, const QString& what, bool wholeCell) {
    return wholeCell ? cell.trimmed().compare(what.trimmed(), Qt::CaseInsensitive) == 0
                     : cell.contains(what, Qt::CaseInsensitive);
}
} // namespace

GridCell FindNextCell(int cols, int rows, GridCell start, const QString& what, bool byRows,
                      bool wholeCell, const std::function<QString(int, int)>& text,
                      const std::function<bool(int, int)>& skip) {
    if (cols < 1 || rows < 1 || what.trimmed().isEmpty()) return {};
    const qint64 total = qint64(cols) * rows;
    // Cells numbered along the search direction; the start cell's number, or -1 when the
    // start lies outside the grid so that the search begins with the first cell.
    auto indexOf = [&](GridCell c) -> qint64 {
        if (c.col < 1 || c.col > cols || c.row < 1 || c.row > rows) return -1;
        return byRows ? qint64(c.row - 1) * cols + (c.col - 1)
                      : qint64(c.col - 1) * rows + (c.row - 1);
    };
    const qint64 from = indexOf(start);
    for (qint64 k = 1; k <= total; ++k) {
        qint64 i = from + k;
        if (i >= total) i -= total;
        const int col = byRows ? int(i % cols) + 1 : int(i / rows) + 1;
        const int row = byRows ? int(i / cols) + 1 : int(i % rows) + 1;
        if (skip && skip(col, row)) continue;
        if (cellMatches(text(col, row), what, wholeCell)) return {col, row};
    }
    return {};
}

GridCell FindNextInGrid(const Grid* grid, const QString& what, bool byRows, bool wholeCell) {
    if (!grid) return {};
    return FindNextCell(
        grid->maxCols(), grid->dataRowCnt(), {grid->activeCol(), grid->activeRow()}, what, byRows,
        wholeCell, [grid](int c, int r) { return grid->text(c, r); },
        [grid](int c, int r) { return grid->colHidden(c) || grid->rowHidden(r); });
}

FrmFindInSpread::FrmFindInSpread(Grid* grid) : QWidget(grid, Qt::Tool), m_grid(grid) {
    setObjectName(QStringLiteral("FrmFindInSpread"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("찾기"));

    m_txtFindWd = new QLineEdit(this);
    CapSearchInput(m_txtFindWd);
    m_txtFindWd->setObjectName(QStringLiteral("txtFindWd"));
    m_cboFindDir = new QComboBox(this);
    m_cboFindDir->setObjectName(QStringLiteral("cboFindDir"));
    m_cboFindDir->addItem(QStringLiteral("행(가로방향)"));
    m_cboFindDir->addItem(QStringLiteral("열(세로방향)"));
    m_chkSameAll = new QCheckBox(QStringLiteral("완전일치(&A)"), this);
    m_chkSameAll->setObjectName(QStringLiteral("chkSameAll"));
    m_btnFindNext = new QPushButton(QStringLiteral("다음 찾기(&N)"), this);
    m_btnFindNext->setObjectName(QStringLiteral("btnFindNext"));
    m_btnFindNext->setDefault(true);
    auto* btnClose = new QPushButton(QStringLiteral("닫기(&C)"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));

    auto* lblFindWd = new QLabel(QStringLiteral("찾을 내용(&F):"), this);
    lblFindWd->setBuddy(m_txtFindWd);
    auto* lblFindDir = new QLabel(QStringLiteral("검색 방향(&D):"), this);
    lblFindDir->setBuddy(m_cboFindDir);

    auto* layout = new QGridLayout(this);
    layout->addWidget(lblFindWd, 0, 0);
    layout->addWidget(m_txtFindWd, 0, 1);
    layout->addWidget(m_btnFindNext, 0, 2);
    layout->addWidget(lblFindDir, 1, 0);
    layout->addWidget(m_cboFindDir, 1, 1);
    layout->addWidget(btnClose, 1, 2);
    layout->addWidget(m_chkSameAll, 2, 1);
    layout->setColumnStretch(1, 1);

    connect(m_btnFindNext, &QPushButton::clicked, this, [this] { findNext(); });
    connect(m_txtFindWd, &QLineEdit::returnPressed, this, [this] { findNext(); });
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    resize(420, sizeHint().height());
}

FrmFindInSpread* FrmFindInSpread::open(Grid* grid) {
    if (!grid) return nullptr;
    auto* w = grid->findChild<FrmFindInSpread*>(QStringLiteral("FrmFindInSpread"),
                                                Qt::FindDirectChildrenOnly);
    if (!w) w = new FrmFindInSpread(grid);
    if (!w->isVisible()) PlaceOver(w, grid);
    w->show();
    w->raise();
    w->activateWindow();
    w->m_txtFindWd->setFocus();
    w->m_txtFindWd->selectAll();
    return w;
}

bool FrmFindInSpread::findNext() {
    if (!m_grid) return false;
    const QString what = m_txtFindWd->text();
    if (what.trimmed().isEmpty()) {
        m_txtFindWd->setFocus();
        return false;
    }
    const bool byRows = m_cboFindDir->currentIndex() == ByRows;
    const bool wholeCell = m_chkSameAll->isChecked();
    // The search runs over the whole list and wraps at its real end, reading the rows up to
    // the hit into the list.
    GridCell hit;
    if (!byRows) {
        hit = findDown(what, wholeCell);
    } else {
        if (m_grid->hasMoreRows())
            readUpToNextHit(what, wholeCell);
        hit = FindNextInGrid(m_grid, what, byRows, wholeCell);
    }
    if (!hit.isValid()) {
        MsgInfo(QStringLiteral("일치하는 데이터가 없습니다."), QStringLiteral("검색실패"));
        return false;
    }
    m_grid->setActiveCell(hit.col, hit.row);
    m_grid->setTopRow(hit.row);
    return true;
}

void FrmFindInSpread::readUpToNextHit(const QString& what, bool wholeCell) {
    const GridCell ahead = FindNextInGrid(m_grid, what, true, wholeCell);
    const int row = m_grid->activeRow();
    if (ahead.isValid() && (ahead.row > row || (ahead.row == row && ahead.col > m_grid->activeCol())))
        return; // a hit among the rows read, before the search would wrap
    // The rows not read yet are searched as they pass, without keeping them.
    const int read = m_grid->maxRows();
    int passed = 0;
    bool found = false;
    m_grid->forEachRow([&](int at, const QStringList& texts) {
        if (at > 0) return true; // searched above
        for (int c = 1; c <= texts.size() && !found; ++c)
            found = !m_grid->colHidden(c) && cellMatches(texts.at(c - 1), what, wholeCell);
        if (found) return false;
        ++passed;
        return true;
    });
    if (found) m_grid->fetchRows(read + passed + 1);
}

GridCell FrmFindInSpread::findDown(const QString& what, bool wholeCell) {
    // One pass along the rows, the rows not read yet read a block at a time and not kept.
    // Down the columns the next hit is the first one below the active cell in its column,
    // else the top one of the nearest column to the right with a hit, else (wrapping) of
    // the leftmost. Going down each column in turn would open every stored block of a long
    // list once per column.
    const int cols = m_grid->maxCols();
    const GridCell start{m_grid->activeCol(), m_grid->activeRow()};
    const bool inside = start.col >= 1 && start.col <= cols && start.row >= 1 &&
                        start.row <= m_grid->dataRowCnt();
    QVector<int> first(cols + 1, 0); // per column the first row (place in the list) with a hit
    int afterStart = 0; // the first hit below the active cell in its column
    int place = 0, passedUnread = 0, readAfterUnread = 0;
    m_grid->forEachRow([&](int row, const QStringList& texts) {
        ++place;
        if (row == 0) ++passedUnread;
        else if (passedUnread > 0) ++readAfterUnread;
        if (row > 0 && m_grid->rowHidden(row)) return true;
        for (int c = 1; c <= std::min(cols, int(texts.size())); ++c) {
            if (m_grid->colHidden(c) || !cellMatches(texts.at(c - 1), what, wholeCell)) continue;
            if (!first[c]) first[c] = place;
            if (inside && c == start.col && place > start.row) {
                afterStart = place;
                return false; // nothing can come before it
            }
        }
        return true;
    });
    GridCell hit;
    if (afterStart) {
        hit = {start.col, afterStart};
    } else {
        // The lowest column right of the active one with a hit, else wrapped: the lowest of all
        // (the active cell itself last).
        for (int c = inside ? start.col + 1 : 1; c <= cols && !hit.isValid(); ++c)
            if (first[c]) hit = {c, first[c]};
        for (int c = 1; c <= cols && !hit.isValid(); ++c)
            if (first[c]) hit = {c, first[c]};
    }
    if (hit.isValid() && passedUnread > 0) m_grid->fetchRows(hit.row + readAfterUnread);
    return hit;
}

void FrmFindInSpread::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
