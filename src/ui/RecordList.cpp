#include "ui/RecordList.h"

#include "db/Schema.h"
#include "db/Database.h"
#include "ui/ExcelExport.h"
#include "ui/FloatNotice.h"
#include "ui/FormIni.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "core/Prompt.h"

#include <QKeyEvent>

namespace {
const char* kKeysWatched = "recordListKeys";
}

RecordList::RecordList(const QString& title, QWidget* parent) : QWidget(parent), m_title(title) {
    setWindowTitle(title);
}

void RecordList::setListGrid(Grid* grid, int codeCol, const QString& table) {
    m_grid = grid;
    m_codeCol = codeCol;
    m_table = table;
    if (!grid) return;
    GridMenu::attach(grid, this);
    connect(grid, &Grid::cellDoubleClicked, this, [this](int, int row) {
        if (row >= 1) rowDoubleClicked(row);
    });
    watchKeys();
}

Grid* RecordList::listGrid() const { return m_grid.data(); }

int RecordList::activeDataRow() const {
    if (!m_grid) return 0;
    const int row = m_grid->activeRow();
    if (row < 1 || row > m_grid->dataRowCnt() || m_grid->rowHidden(row)) return 0;
    if (m_grid->totalsRow() > 0 && row == m_grid->totalsRow()) return 0;
    return row;
}

int RecordList::activeCode() const {
    const int row = activeDataRow();
    if (!row || m_codeCol < 1) return 0;
    bool ok = false;
    const int code = m_grid->text(m_codeCol, row).trimmed().toInt(&ok);
    return ok ? code : 0;
}

bool RecordList::RecDelete() {
    const int row = activeDataRow();
    const int code = activeCode();
    // Code 1 is the fixed "none" row of most tables; it is never deleted. A list whose
    // table has no such row (trades) may delete its first record.
    const bool fixedRow = code == 1 && (m_table.isEmpty() || Schema::hasFixedRow(m_table));
    if (!row || code < 1 || fixedRow) {
        MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
        return false;
    }
    if (!deleteGuards(code)) return false;
    if (!AskYesNo(QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"), QStringLiteral("삭제"),
                  false))
        return false;
    if (deleteRecord(code) <= 0) {
        MsgWarning(QStringLiteral("코드[") + QString::number(code) +
                   QStringLiteral("]에 해당하는 자료를 삭제할 수 없습니다."));
        return false;
    }
    m_grid->deleteRows(row, 1);
    if (m_deleteNotice) ShowFloatNotice(QStringLiteral("자료를 삭제하였습니다."), 500, 1, 0xFFFF00);
    return true;
}

int RecordList::deleteRecord(int code) {
    if (m_table.isEmpty()) return 0;
    return ExecSQL(QStringLiteral("DELETE FROM ") + m_table + QStringLiteral(" WHERE code = ?"),
                   {code});
}

void RecordList::editActive() {
    const int code = activeCode();
    if (!code) {
        MsgInfo(QStringLiteral("먼저 그리드에서 수정할 자료를 선택하세요."));
        return;
    }
    editRecord(code);
}

void RecordList::rowDoubleClicked(int row) {
    Q_UNUSED(row);
    editActive();
}

void RecordList::printList() {
    if (m_grid) PrintGridForReport(objectName(), m_grid, m_title);
}

void RecordList::exportList() {
    if (m_grid) ExportToExcelFile(m_grid, QStringLiteral("Sheet1"), true, true, true);
}

bool RecordList::handleKey(int key) {
    switch (key) {
    case Qt::Key_F2: addRecord(); return true;
    case Qt::Key_F4: RecDelete(); return true;
    case Qt::Key_F5: query(); return true;
    case Qt::Key_F7: printList(); return true;
    case Qt::Key_F8: exportList(); return true;
    default: return false;
    }
}

// The F-keys work wherever the focus is inside the window, the grid included, so every
// child is watched (the grid would take F2 as "edit cell").
void RecordList::watchKeys() {
    if (!property(kKeysWatched).toBool()) {
        setProperty(kKeysWatched, true);
        installEventFilter(this);
    }
    for (QWidget* w : findChildren<QWidget*>()) {
        // Floating windows of the list (find, report columns) keep their own keys.
        if (w->property(kKeysWatched).toBool() || w->window() != window()) continue;
        w->setProperty(kKeysWatched, true);
        w->installEventFilter(this);
    }
}

void RecordList::showEvent(QShowEvent* event) {
    watchKeys(); // controls created after setListGrid
    QWidget::showEvent(event);
}

bool RecordList::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier && handleKey(key->key())) return true;
    }
    return QWidget::eventFilter(watched, event);
}
