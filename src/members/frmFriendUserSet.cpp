#include "members/frmFriendUserSet.h"

#include "members/UserFields.h"
#include "ui/CellChanges.h"
#include "ui/Grid.h"
#include "core/Prompt.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

frmFriendUserSet::frmFriendUserSet(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmFriendUserSet"));
    setWindowTitle(QStringLiteral("목록 편집"));
    resize(320, 400);
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setEntryMode();
    m_grid->setMaxCols(ColCount - 1);
    m_grid->setHeaderTexts({QStringLiteral("항목"), QStringLiteral("code")});
    m_grid->setColHidden(ColCode, true);
    m_grid->setColLocked(ColCode, true);
    m_grid->setColWidth(ColValue, 260);
    m_grid->installEventFilter(this);
    connect(m_grid, &Grid::cellChanged, this, &frmFriendUserSet::saveCell);

    auto* del = new QPushButton(QStringLiteral("삭제(F4)"), this);
    del->setObjectName(QStringLiteral("btnRecDel"));
    auto* close = new QPushButton(QStringLiteral("닫기(&X)"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(del, &QPushButton::clicked, this, &frmFriendUserSet::RecDelete);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(del);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
}

void frmFriendUserSet::SetFormMode(int k)
{
    m_k = k;
    Refresh_Sheet();
}

void frmFriendUserSet::Refresh_Sheet()
{
    m_filling = true;
    const auto values = PickListValues(m_k);
    m_shown.clear();
    m_grid->beginFill(int(values.size()) + 1);
    for (const auto& v : values) {
        m_grid->appendRow({v.second, QString::number(v.first)});
        m_shown.insert(v.first, v.second);
    }
    m_grid->appendRow({QString(), QString()});
    m_grid->endFill();
    m_grid->setActiveCell(ColValue, 1);
    m_filling = false;
}

void frmFriendUserSet::ensureEmptyLastRow()
{
    const int last = m_grid->maxRows();
    if (last < 1 || !m_grid->text(ColValue, last).isEmpty() || !m_grid->text(ColCode, last).isEmpty())
        m_grid->setMaxRows(last + 1);
}

void frmFriendUserSet::saveCell(int col, int row)
{
    if (m_filling || col != ColValue || row < 1)
        return;
    const QString value = m_grid->text(ColValue, row);
    const int code = m_grid->text(ColCode, row).toInt();
    if (code <= 0 && value.isEmpty())
        return; // nothing typed on the new row
    if (code > 0) {
        // Another PC may have changed or deleted the value since the list was loaded.
        const QString column = QStringLiteral("bigo");
        switch (SaveCell(QStringLiteral("tbluserfieldlist"), code, {{column, m_shown.value(code)}},
                         {{column, value}})) {
        case CellSave::Written:
        case CellSave::Unchanged:
            m_shown.insert(code, value);
            return;
        case CellSave::Reload:
        case CellSave::Gone:
            // Read again once the cell's own edit has finished.
            QTimer::singleShot(0, this, &frmFriendUserSet::Refresh_Sheet);
            return;
        case CellSave::Failed:
            m_filling = true;
            m_grid->setText(ColValue, row, m_shown.value(code));
            m_filling = false;
            return;
        }
        return;
    }
    int newCode = 0;
    if (SavePickListValue(m_k, code, value, &newCode) <= 0) {
        MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
        return;
    }
    m_shown.insert(newCode, value);
    if (code <= 0) {
        m_filling = true;
        m_grid->setText(ColCode, row, QString::number(newCode));
        ensureEmptyLastRow();
        m_filling = false;
    }
}

bool frmFriendUserSet::RecDelete()
{
    const int row = m_grid->activeRow();
    const int code = row >= 1 ? m_grid->text(ColCode, row).toInt() : 0;
    if (code <= 0) {
        MsgInfo(QStringLiteral("먼저 그리드에서 삭제할 자료를 선택하세요."));
        return false;
    }
    if (!AskYesNo(QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"), QStringLiteral("삭제"), false))
        return false;
    if (!DeletePickListValue(code)) {
        MsgInfo(QStringLiteral("코드[") + QString::number(code) + QStringLiteral("]에 해당하는 ")
                + QStringLiteral("자료를 삭제 할 수 없습니다.") + QStringLiteral("\n\n")
                + QStringLiteral("이미 삭제되었거나, 삭제할 수 없는 경우가 발생했습니다."));
        return false;
    }
    m_filling = true;
    m_grid->deleteRows(row);
    ensureEmptyLastRow();
    m_filling = false;
    return true;
}

bool frmFriendUserSet::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_F4) {
            RecDelete();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmFriendUserSet::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_F4) {
        RecDelete();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmFriendUserSet::closeEvent(QCloseEvent* event)
{
    emit closed();
    QWidget::closeEvent(event);
}
