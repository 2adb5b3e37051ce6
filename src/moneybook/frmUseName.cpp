#include "moneybook/frmUseName.h"

#include "core/Prompt.h"
#include "db/Database.h"
#include "ui/PickOrAdd.h"
#include "ui/CellChanges.h"
#include "ui/FloatNotice.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

frmUseName::frmUseName(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmUseName"));
    setWindowTitle(QStringLiteral("사용자관리"));
    resize(380, 480);
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setEntryMode();
    m_grid->setMaxCols(ColCount - 1);
    m_grid->setHeaderTexts({QStringLiteral("사용처명"), QStringLiteral("code")});
    m_grid->setColHidden(ColCode, true);
    m_grid->setColWidth(ColName, 280);
    GridMenu::attach(m_grid, this);
    // A name is saved as soon as its edit is committed (Enter, Tab, leaving the cell), so
    // the last row saves too where there is no next cell to move to.
    connect(m_grid, &Grid::cellChanged, this, [this](int col, int row) {
        if (col == ColName) saveRow(row);
    });

    auto* del = new QPushButton(QStringLiteral("삭제(&D)"), this);
    del->setObjectName(QStringLiteral("btnRecDel"));
    auto* close = new QPushButton(QStringLiteral("닫기(&X)"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(del, &QPushButton::clicked, this, &frmUseName::RecDelete);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(del);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    loadList();
}

void frmUseName::loadList() {
    m_saved.clear();
    Recordset rs;
    const int n = OpenRecordset(
        rs, QStringLiteral("SELECT code, sname FROM tblusename WHERE code <> 1 ORDER BY code"));
    m_grid->beginFill(qMax(0, n) + 1);
    for (int r = 0; r < qMax(0, n); ++r) {
        const int code = rs.row(r)[0].toInt();
        const QString name = rs.row(r)[1].toString();
        m_saved.insert(code, name);
        m_grid->appendRow({name, QString::number(code)});
    }
    m_grid->appendRow({QString(), QString()});
    m_grid->endFill();
    m_grid->setActiveCell(ColName, 1);
}

bool frmUseName::saveRow(int row) {
    const int code = m_grid->text(ColCode, row).toInt();
    const QString name = m_grid->text(ColName, row).trimmed();
    if (name.isEmpty()) {
        // An empty name is never stored: the old one comes back.
        if (code > 0) m_grid->setText(ColName, row, m_saved.value(code));
        return false;
    }
    if (code > 0 && name == m_saved.value(code)) return false;
    // Two places of one name could not be told apart in the pickers.
    if (CountRows(QStringLiteral("tblusename"), QStringLiteral("sname = ? AND code <> ?"),
                  {name, code}) > 0) {
        MsgInfo(QStringLiteral("[") + name + QStringLiteral("]은 이미 등록된 사용처입니다."));
        m_grid->setText(ColName, row, m_saved.value(code));
        return false;
    }
    int saved = code;
    if (code > 0) {
        switch (SaveCell(QStringLiteral("tblusename"), code,
                         {{QStringLiteral("sname"), m_saved.value(code)}},
                         {{QStringLiteral("sname"), name}})) {
        case CellSave::Written:
        case CellSave::Unchanged:
            break;
        case CellSave::Reload:
        case CellSave::Gone:
            QMetaObject::invokeMethod(this, &frmUseName::loadList, Qt::QueuedConnection);
            return false;
        case CellSave::Failed:
            m_grid->setText(ColName, row, m_saved.value(code));
            return false;
        }
    } else {
        if (ExecSQL(QStringLiteral("INSERT INTO tblusename (sname) VALUES (?)"), {name}) <= 0) {
            MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
            m_grid->setText(ColName, row, QString());
            return false;
        }
        saved = LastIdentity();
    }
    m_saved.insert(saved, name);
    m_grid->setText(ColName, row, name);
    m_grid->setText(ColCode, row, QString::number(saved));
    if (code <= 0 && row == m_grid->maxRows()) m_grid->setMaxRows(row + 1);
    SetLastPickedCode(saved);
    return true;
}

bool frmUseName::RecDelete() {
    const int row = m_grid->activeRow();
    const int code = row >= 1 ? m_grid->text(ColCode, row).toInt() : 0;
    if (code <= 1) {
        MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
        return false;
    }
    if (CountRows(QStringLiteral("tbljangbu"), QStringLiteral("ctblusename = ?"), {code}) > 0) {
        MsgInfo(QStringLiteral("입출금관리에 사용처명에 관한 내용이 존재 합니다."));
        return false;
    }
    if (!AskYesNo(QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"), QStringLiteral("삭제"),
                  false))
        return false;
    if (ExecSQL(QStringLiteral("DELETE FROM tblusename WHERE code = ?"), {code}) <= 0) {
        MsgWarning(QStringLiteral("코드[") + QString::number(code) +
                   QStringLiteral("]에 해당하는 자료를 삭제할 수 없습니다."));
        return false;
    }
    ShowFloatNotice(QStringLiteral("자료를 삭제하였습니다."));
    loadList();
    return true;
}

void frmUseName::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_F4) {
        RecDelete();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmUseName::closeEvent(QCloseEvent* event) {
    m_grid->commitEdit();
    QWidget::closeEvent(event);
}
