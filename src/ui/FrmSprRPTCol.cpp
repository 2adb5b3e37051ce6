#include "ui/FrmSprRPTCol.h"
#include "ui/FormIni.h"
#include "ui/Grid.h"
#include "core/Prompt.h"
#include "ui/WindowRegistry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FrmSprRPTCol::FrmSprRPTCol(Grid* grid, const QString& windowName)
    : QWidget(grid, Qt::Tool), m_grid(grid), m_windowName(windowName) {
    setObjectName(QStringLiteral("FrmSprRPTCol"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("보고서용 칼럼 설정"));
    setWindowModality(Qt::ApplicationModal);

    auto* lblInfo = new QLabel(QStringLiteral("- 체크한 컬럼만 보고서에 나타납니다."), this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstCol"));
    m_chkAll = new QCheckBox(QStringLiteral("전체(&A)"), this);
    m_chkAll->setObjectName(QStringLiteral("chkAll"));
    auto* btnSave = new QPushButton(QStringLiteral("저장(&S)"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    auto* btnClose = new QPushButton(QStringLiteral("닫기(&C)"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_chkAll);
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblInfo);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_chkAll, &QCheckBox::clicked, this, &FrmSprRPTCol::setAllChecked);
    connect(btnSave, &QPushButton::clicked, this, &FrmSprRPTCol::save);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_list, &QListWidget::itemChanged, this, [this] {
        if (m_filling) return;
        m_dirty = true;
        bool all = true;
        for (int i = 0; i < m_list->count(); ++i)
            all = all && m_list->item(i)->checkState() == Qt::Checked;
        m_chkAll->setChecked(all);
    });
    fill();
    resize(300, 400);
}

FrmSprRPTCol* FrmSprRPTCol::open(Grid* grid, const QString& windowName) {
    if (!grid) return nullptr;
    auto* w = grid->findChild<FrmSprRPTCol*>(QStringLiteral("FrmSprRPTCol"),
                                             Qt::FindDirectChildrenOnly);
    if (!w) w = new FrmSprRPTCol(grid, windowName);
    if (!w->isVisible()) PlaceOver(w, grid);
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

void FrmSprRPTCol::fill() {
    m_filling = true;
    m_list->clear();
    const QMap<int, bool> printed = ReadSpreadRPTCol(m_windowName, m_grid);
    bool all = true;
    for (int c = 1; c <= m_grid->maxCols(); ++c) {
        if (m_grid->colHidden(c)) continue;
        QString caption = m_grid->headerText(c).simplified();
        if (caption.isEmpty()) caption = QStringLiteral("(") + QString::number(c) + u')';
        auto* item = new QListWidgetItem(caption, m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setData(Qt::UserRole, c);
        const bool on = printed.value(c, true);
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        all = all && on;
    }
    m_chkAll->setChecked(all && m_list->count() > 0);
    m_filling = false;
    m_dirty = false;
}

void FrmSprRPTCol::setAllChecked(bool checked) {
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    m_chkAll->setChecked(checked);
}

bool FrmSprRPTCol::save() {
    if (!m_grid) return false;
    QMap<int, bool> printed;
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem* item = m_list->item(i);
        printed[item->data(Qt::UserRole).toInt()] = item->checkState() == Qt::Checked;
    }
    if (!SaveSpreadRPTCol(m_windowName, m_grid, printed)) {
        MsgWarning(QStringLiteral("보고서용 칼럼 설정을 저장하지 못했습니다."));
        return false;
    }
    m_dirty = false;
    MsgInfo(QStringLiteral("저장을 완료하였습니다."));
    return true;
}

void FrmSprRPTCol::closeEvent(QCloseEvent* event) {
    if (m_dirty &&
        !AskYesNo(QStringLiteral("수정된 내용이 저장되지 않았습니다. 그래도, 닫으시겠습니까?"), {},
                  false)) {
        event->ignore();
        return;
    }
    event->accept();
}

void FrmSprRPTCol::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
