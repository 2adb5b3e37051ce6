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
    const QString wanted = what.trimmed();
    const qint64 from = indexOf(start);
    for (qint64 k = 1; k <= total; ++k) {
        qint64 i = from + k;
        if (i >= total) i -= total;
        const int col = byRows ? int(i % cols) + 1 : int(i / rows) + 1;
        const int row = byRows ? int(i / cols) + 1 : int(i % rows) + 1;
        if (skip && skip(col, row)) continue;
        const QString cell = text(col, row);
        const bool hit = wholeCell ? cell.trimmed().compare(wanted, Qt::CaseInsensitive) == 0
                                   : cell.contains(what, Qt::CaseInsensitive);
        if (hit) return {col, row};
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
    m_grid->fetchAll(); // the search runs over the whole list and wraps at its real end
    const GridCell hit = FindNextInGrid(m_grid, what, m_cboFindDir->currentIndex() == ByRows,
                                        m_chkSameAll->isChecked());
    if (!hit.isValid()) {
        MsgInfo(QStringLiteral("일치하는 데이터가 없습니다."), QStringLiteral("검색실패"));
        return false;
    }
    m_grid->setActiveCell(hit.col, hit.row);
    m_grid->setTopRow(hit.row);
    return true;
}

void FrmFindInSpread::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
