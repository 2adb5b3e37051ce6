#include "sales/frmCardInfo.h"

#include "core/Prompt.h"
#include "db/Database.h"
#include "ui/PickOrAdd.h"
#include "sales/SalesRules.h"
#include "sales/SalesWidgets.h"
#include "ui/CellChanges.h"
#include "ui/Grid.h"
#include "ui/RecordWindow.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmCardInfo::frmCardInfo(QWidget* parent) : RecordList(QStringLiteral("신용카드등록"), parent)
{
    setObjectName(QStringLiteral("frmCardInfo"));
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setEntryMode();
    m_grid->setEnterMove(EnterMove::Right);
    m_grid->setMaxCols(ColCount);
    m_grid->setHeaderTexts({QStringLiteral("신용카드명"), QStringLiteral("수수료(%)"), QStringLiteral("Memo"),
                            QStringLiteral("code")});
    m_grid->setColWidth(ColName, 160);
    m_grid->setColWidth(ColMemo, 220);
    m_grid->setColAlignment(ColFee, Qt::AlignRight | Qt::AlignVCenter);
    m_grid->setColHidden(ColCode, true);
    m_grid->setColLocked(ColCode, true);
    m_pick = new QRadioButton(QStringLiteral("선택 (&S)"), this);
    m_pick->setObjectName(QStringLiteral("opMode(0)"));
    m_edit = new QRadioButton(QStringLiteral("수정 (&E)"), this);
    m_edit->setObjectName(QStringLiteral("opMode(1)"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_pick);
    group->addButton(m_edit);
    m_edit->setChecked(true);
    connect(m_pick, &QRadioButton::toggled, this, [this](bool on) { setPickMode(on); });
    auto* del = SalesButton(this, "btnRecDel", QStringLiteral("삭제 (F4)"));
    auto* close = SalesButton(this, "btnClose", QStringLiteral("닫기"));
    connect(del, &QPushButton::clicked, this, [this] {
        RecDelete();
        m_grid->setFocus();
    });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(m_grid, &Grid::cellChanged, this, [this](int col, int row) {
        m_changedCol = col;
        m_changedRow = row;
    });
    connect(m_grid, &Grid::activeCellChanged, this, [this](int col, int row) {
        m_oldText = m_grid->text(col, row);
    });
    connect(m_grid, &Grid::leaveCell, this,
            [this](int col, int row, int, int, bool* cancel) { onLeaveCell(col, row, cancel); });
    auto* modes = new QHBoxLayout;
    modes->addWidget(m_pick);
    modes->addWidget(m_edit);
    modes->addStretch();
    modes->addWidget(del);
    modes->addWidget(close);
    auto* top = new QVBoxLayout(this);
    top->addLayout(modes);
    top->addWidget(m_grid, 1);
    setListGrid(m_grid, ColCode, QStringLiteral("tblcard"));
    setDeleteNotice(false);
    m_grid->installEventFilter(this);
    resize(520, 360);
    Refresh_Sheet();
}

void frmCardInfo::Refresh_Sheet()
{
    Recordset rs;
    const int n = OpenRecordset(rs, QStringLiteral("SELECT code, sname, dfee, smemo FROM tblcard WHERE code <> 1 ORDER BY code"));
    m_grid->beginFill(qMax(n, 0) + 1);
    for (rs.moveFirst(); n > 0 && !rs.eof(); rs.moveNext())
        m_grid->appendRow({rs.text(QStringLiteral("sname")), QString::number(rs.number(QStringLiteral("dfee"))),
                           rs.text(QStringLiteral("smemo")), rs.text(QStringLiteral("code"))});
    m_grid->appendRow({});
    m_grid->endFill();
    m_changedCol = m_changedRow = 0;
    m_grid->setActiveCell(ColName, 1);
    m_oldText = m_grid->text(ColName, 1);
}

void frmCardInfo::setPickMode(bool pick)
{
    if (m_pick->isChecked() != pick)
        (pick ? m_pick : m_edit)->setChecked(true);
    for (int c = ColName; c <= ColMemo; ++c)
        m_grid->setColLocked(c, pick);
}

bool frmCardInfo::pickMode() const
{
    return m_pick->isChecked();
}

std::optional<PickRow> frmCardInfo::chosen() const
{
    if (m_chosenCode <= 1)
        return std::nullopt;
    return PickRow{m_chosenCode, m_chosenName};
}

void frmCardInfo::onLeaveCell(int col, int row, bool* cancel)
{
    if (col != m_changedCol || row != m_changedRow || pickMode())
        return;
    m_changedCol = m_changedRow = 0;
    const QString text = m_grid->text(col, row).trimmed();
    const int code = m_grid->text(ColCode, row).toInt();
    auto restore = [&] {
        m_grid->setText(col, row, m_oldText);
        *cancel = true;
    };
    if (code <= 0) {
        if (col != ColName || text.isEmpty()) {
            MsgInfo(QStringLiteral("카드명을 먼저 입력하셔야 합니다"));
            m_grid->setText(col, row, QString());
            *cancel = true;
            return;
        }
        if (ExecSQL(QStringLiteral("INSERT INTO tblcard (sname) VALUES (?)"), {text}) <= 0) {
            MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
            return restore();
        }
        m_grid->setText(ColCode, row, QString::number(LastIdentity()));
        m_grid->setText(ColFee, row, QStringLiteral("0"));
        m_grid->setMaxRows(m_grid->maxRows() + 1);
        return;
    }
    QString column;
    QVariant shown, value;
    if (col == ColName) {
        if (text.isEmpty()) {
            // A company without a name could not be told apart: the name stays.
            MsgInfo(QStringLiteral("카드명을 먼저 입력하셔야 합니다"));
            return restore();
        }
        column = QStringLiteral("sname");
        shown = m_oldText.trimmed();
        value = text;
    } else if (col == ColFee) {
        const double fee = SalesNumber(text);
        if (fee < 0 || fee > 100) {
            MsgInfo(QStringLiteral("수수료는 0에서 100 사이로 입력하세요."));
            return restore();
        }
        column = QStringLiteral("dfee");
        shown = SalesNumber(m_oldText);
        value = fee;
        m_grid->setText(col, row, QString::number(fee));
    } else if (col == ColMemo) {
        column = QStringLiteral("smemo");
        shown = m_oldText;
        value = m_grid->text(col, row);
    } else {
        return;
    }
    switch (SaveCell(QStringLiteral("tblcard"), code, {{column, shown}}, {{column, value}})) {
    case CellSave::Written:
    case CellSave::Unchanged:
        break;
    case CellSave::Failed:
        restore();
        break;
    case CellSave::Reload:
    case CellSave::Gone:
        QMetaObject::invokeMethod(this, &frmCardInfo::Refresh_Sheet, Qt::QueuedConnection);
        break;
    }
}

bool frmCardInfo::deleteGuards(int code)
{
    return !IsCodeInUse(QStringLiteral("tbltrade"), QStringLiteral("ctblcard"), QString::number(code), false,
                        QStringLiteral("회원거래"), true);
}

void frmCardInfo::rowDoubleClicked(int row)
{
    if (pickMode())
        pickRow(row);
}

void frmCardInfo::pickRow(int row)
{
    const int code = m_grid->text(ColCode, row).toInt();
    if (code <= 1)
        return;
    m_chosenCode = code;
    m_chosenName = m_grid->text(ColName, row);
    emit picked();
    close();
}

bool frmCardInfo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress && pickMode()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            pickRow(m_grid->activeRow());
            return true;
        }
    }
    return RecordList::eventFilter(watched, event);
}

std::optional<PickRow> frmCardInfo::pick()
{
    auto* w = new frmCardInfo;
    w->setPickMode(true);
    std::optional<PickRow> row;
    connect(w, &frmCardInfo::picked, w, [&row, w] { row = w->chosen(); });
    ExecModalWindow(w, w->m_grid);
    return row;
}
