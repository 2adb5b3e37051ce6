#include "members/frmGroupSub.h"

#include "members/GroupStore.h"
#include "db/Database.h"
#include "members/frmFriend.h"
#include "ui/EditorNavigation.h"
#include "ui/FloatNotice.h"
#include "ui/FormIni.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "ui/HCText.h"
#include "core/Prompt.h"
#include "ui/RecordWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

// The member list shows group names in its tree and rows: it follows every change here.
static void refreshMemberList()
{
    if (auto* list = qobject_cast<frmFriend*>(WindowRegistry::find(QStringLiteral("frmFriend"))))
        list->UpdateFriend();
}

static QString groupMoneyText(double amount)
{
    return QLocale(QLocale::English).toString(amount, 'f', 0);
}

frmGroupSub::frmGroupSub(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmGroupSub"));
    setWindowTitle(QStringLiteral("그룹관리"));
    resize(820, 460);

    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setMaxCols(ColCount - 1);
    m_grid->setHeaderTexts({QStringLiteral("그룹명"), QStringLiteral("회비납부일"), QStringLiteral("회비"),
                            QStringLiteral("메모"), QStringLiteral("code")});
    m_grid->setColHidden(ColCode, true);
    m_grid->setColWidth(ColName, 140);
    m_grid->setColWidth(ColSchedule, 200);
    m_grid->setColAlignment(ColAmount, Qt::AlignRight | Qt::AlignVCenter);
    GridMenu::attach(m_grid, this);
    connect(m_grid, &Grid::cellClicked, this, [this](int, int row) { selectRow(row); });
    connect(m_grid, &Grid::activeCellChanged, this, [this](int, int row) { selectRow(row); });

    for (int i = 0; i < 3; ++i) {
        auto* f = new HCText(this);
        f->setObjectName(QStringLiteral("htField(%1)").arg(i));
        m_fields << f;
    }
    m_fields[0]->SetLocked(true);
    m_fields[0]->setFocusPolicy(Qt::NoFocus);
    m_fields[2]->SetAcceptType(HCText::Number);
    m_fields[2]->SetShowSeparate(true);

    m_year = new QComboBox(this);
    m_year->setObjectName(QStringLiteral("cmbYear"));
    m_year->addItem(QString());
    m_year->addItems(GroupKindNames());
    auto* monthRow = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        auto* c = new QComboBox(this);
        c->setObjectName(QStringLiteral("cmbMon(%1)").arg(i));
        // Wide enough for "12" whatever the style's arrow takes.
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(2);
        c->hide();
        m_months << c;
        monthRow->addWidget(c);
    }
    monthRow->addStretch();
    m_day = new QComboBox(this);
    m_day->setObjectName(QStringLiteral("cmbDay"));
    m_day->addItem(QString());
    m_day->addItems(GroupDayChoices());
    m_week = new QComboBox(this);
    m_week->setObjectName(QStringLiteral("cmbWeek"));
    m_week->addItem(QString());
    m_week->addItems(GroupWeekdayNames());
    m_week->hide();
    auto* weekLabel = new QLabel(QStringLiteral("요일"), this);
    weekLabel->setObjectName(QStringLiteral("lblWeek"));
    weekLabel->hide();
    m_memo = new QTextEdit(this);
    m_memo->setObjectName(QStringLiteral("MemoBox"));
    m_memo->setTabChangesFocus(true);

    connect(m_year, &QComboBox::currentIndexChanged, this, &frmGroupSub::kindChanged);
    connect(m_day, &QComboBox::currentIndexChanged, this, [this, weekLabel] {
        dayChanged();
        weekLabel->setVisible(m_week->isVisibleTo(this));
    });

    auto* dayRow = new QHBoxLayout;
    dayRow->addWidget(m_day);
    dayRow->addWidget(weekLabel);
    dayRow->addWidget(m_week);
    dayRow->addStretch();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("코     드"), m_fields[0]);
    form->addRow(QStringLiteral("*그  룹  명"), m_fields[1]);
    form->addRow(QStringLiteral("회     비"), m_fields[2]);
    form->addRow(QStringLiteral("납부주기"), m_year);
    form->addRow(QStringLiteral("납 부 월"), monthRow);
    form->addRow(QStringLiteral("납 부 일"), dayRow);
    form->addRow(QStringLiteral("Memo"), m_memo);

    auto* add = new QPushButton(QStringLiteral("신규(&N)"), this);
    add->setObjectName(QStringLiteral("btnRecAddAC"));
    auto* save = new QPushButton(QStringLiteral("저장(&S)"), this);
    save->setObjectName(QStringLiteral("btnSave"));
    auto* del = new QPushButton(QStringLiteral("삭제(&D)"), this);
    del->setObjectName(QStringLiteral("btnRecDel"));
    auto* close = new QPushButton(QStringLiteral("닫기(&X)"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(add, &QPushButton::clicked, this, [this] {
        clearInputs();
        m_fields[1]->setFocus();
    });
    connect(save, &QPushButton::clicked, this, &frmGroupSub::RecSave);
    connect(del, &QPushButton::clicked, this, &frmGroupSub::RecDelete);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(save);
    buttons->addWidget(del);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_grid, 3);
    layout->addLayout(right, 2);

    setTabOrder(m_fields[1], m_fields[2]);
    setTabOrder(m_fields[2], m_year);
    EditorNavigation::install(this);
    loadGroups();
    clearInputs();
}

frmGroupSub::~frmGroupSub() = default;

void frmGroupSub::SetFormMode(int mode, bool openedByOther)
{
    Q_UNUSED(mode);
    m_openedByOther = openedByOther;
    setWindowTitle(QStringLiteral("그룹관리"));
    clearInputs();
    // The window opens on an empty new group with the cursor in its name; the grid would
    // otherwise load its first row (the default group) as it takes the focus.
    m_fields[1]->setFocus();
}

void frmGroupSub::fillRow(int row, const GroupRecord& g)
{
    m_grid->setRowTexts(row, {g.name, GroupScheduleDescription(g.repeatClass, g.settlementDay),
                              groupMoneyText(g.amount), g.memo, QString::number(g.code)});
}

void frmGroupSub::loadGroups()
{
    const QList<GroupRecord> groups = LoadGroups();
    m_grid->beginFill(int(groups.size()));
    for (const GroupRecord& g : groups)
        m_grid->appendRow({g.name, GroupScheduleDescription(g.repeatClass, g.settlementDay),
                           groupMoneyText(g.amount), g.memo, QString::number(g.code)});
    m_grid->endFill();
    if (groups.isEmpty())
        ShowFloatNotice(QStringLiteral("검색된 그룹이 없습니다."));
}

void frmGroupSub::clearInputs()
{
    for (HCText* f : m_fields)
        f->clear();
    m_year->setCurrentIndex(0);
    m_day->setCurrentIndex(0);
    m_week->setCurrentIndex(0);
    m_memo->clear();
    kindChanged();
    dayChanged();
    m_changes.clear();
}

void frmGroupSub::kindChanged()
{
    const int kind = m_year->currentIndex() - 1;
    const int shown = GroupMonthComboCount(kind);
    for (int i = 0; i < m_months.size(); ++i) {
        QComboBox* c = m_months[i];
        c->clear();
        if (i < shown) {
            c->addItem(QString());
            for (int m : GroupMonthsOffered(kind, i))
                c->addItem(QString::number(m));
        }
        c->setVisible(i < shown);
    }
}

void frmGroupSub::dayChanged()
{
    // The last four entries of cmbDay are the week choices.
    const bool week = m_day->currentIndex() > 29;
    m_week->setVisible(week);
    if (!week)
        m_week->setCurrentIndex(0);
}

GroupRecord frmGroupSub::inputRecord() const
{
    GroupRecord g;
    g.code = m_fields[0]->text().toInt();
    g.name = m_fields[1]->text();
    g.amount = QString(m_fields[2]->text()).remove(QLatin1Char(',')).toDouble();
    g.memo = m_memo->toPlainText();
    GroupSchedule& s = g.schedule;
    s.kind = m_year->currentIndex() - 1;
    for (int i = 0; i < GroupMonthComboCount(s.kind); ++i)
        s.months << m_months[i]->currentText().toInt();
    const int dayIndex = m_day->currentIndex();
    if (dayIndex >= 1 && dayIndex <= 29) {
        s.day = dayIndex;
    } else if (dayIndex > 29) {
        s.week = dayIndex - 29;
        s.weekday = m_week->currentIndex();
    }
    return g;
}

void frmGroupSub::showRecord(const GroupRecord& g)
{
    m_fields[0]->setText(QString::number(g.code));
    m_fields[1]->setText(g.name);
    m_fields[2]->setText(groupMoneyText(g.amount));
    m_memo->setPlainText(g.memo);
    const GroupSchedule& s = g.schedule;
    m_year->setCurrentIndex(s.kind + 1);
    kindChanged();
    for (int i = 0; i < s.months.size() && i < m_months.size(); ++i)
        m_months[i]->setCurrentIndex(qMax(0, m_months[i]->findText(QString::number(s.months[i]))));
    if (s.week > 0)
        m_day->setCurrentIndex(29 + s.week);
    else
        m_day->setCurrentIndex(s.day);
    dayChanged();
    m_week->setCurrentIndex(s.week > 0 ? s.weekday : 0);
}

void frmGroupSub::selectRow(int row)
{
    if (row < 1 || row > m_grid->dataRowCnt())
        return;
    const int code = m_grid->text(ColCode, row).toInt();
    if (code <= 0) {
        MsgInfo(QStringLiteral("먼저 그리드에서 수정할 자료를 선택하세요."));
        return;
    }
    const GroupRecord g = LoadGroup(code);
    if (g.code > 0) {
        showRecord(g);
        m_changes.take(QStringLiteral("tblgroup"), g.code, GroupColumnValues(inputRecord()));
    }
}

bool frmGroupSub::RecSave()
{
    GroupRecord g = inputRecord();
    const QString problem = CheckGroupSave(g);
    if (!problem.isEmpty()) {
        MsgInfo(problem);
        if (problem.endsWith(QStringLiteral("이미 등록된 그룹명입니다.")))
            m_fields[1]->clear();
        if (problem.startsWith(QStringLiteral("통장이름")) || problem.endsWith(QStringLiteral("그룹명입니다.")))
            m_fields[1]->setFocus();
        return false;
    }
    const bool isNew = g.code == 0;
    if (g.code == 1 && g.name.trimmed() != LoadGroup(1).name.trimmed()) {
        MsgInfo(QStringLiteral("[기본그룹]은 수정할수 없습니다."));
        return false;
    }
    if (!isNew && m_changes.active() && m_changes.code() == g.code) {
        // Only the columns changed here are written; another PC's change is never
        // overwritten unasked.
        switch (m_changes.save(GroupColumnValues(g))) {
        case RecordChanges::Outcome::Unchanged:
        case RecordChanges::Outcome::Written: break;
        case RecordChanges::Outcome::Failed: {
            const QString cause = LastStatementFailed() ? DbFailureCause(LastDbErrorCode()) : QString();
            MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다.") +
                    (cause.isEmpty() ? QString() : u'\n' + cause));
            return false;
        }
        case RecordChanges::Outcome::Reload:
            m_savedCode = g.code;
            UpdateGroup();
            selectRow(m_grid->activeRow());
            return false;
        case RecordChanges::Outcome::KeepEditing:
        case RecordChanges::Outcome::Gone: return false;
        }
    } else if (SaveGroup(g) <= 0) {
        MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
        return false;
    }
    m_fields[0]->setText(QString::number(g.code));
    m_savedCode = g.code;
    m_savedWasNew = isNew;
    ShowFloatNotice(QStringLiteral("자료가 저장되었습니다."));
    UpdateGroup();
    refreshMemberList();
    emit groupSaved(g.code);
    if (m_openedByOther) {
        close();
    } else {
        clearInputs();
        FocusFirstInput(this);
    }
    return true;
}

void frmGroupSub::UpdateGroup()
{
    if (m_savedCode <= 0)
        return;
    const GroupRecord g = LoadGroup(m_savedCode);
    int row = m_grid->searchCol(ColCode, 1, -1, QString::number(m_savedCode));
    if (row < 1) {
        row = m_grid->dataRowCnt() + 1;
        if (m_grid->maxRows() < row)
            m_grid->setMaxRows(row);
    }
    fillRow(row, g);
    m_grid->setActiveCell(ColName, row);
}

bool frmGroupSub::RecDelete()
{
    const int row = m_grid->activeRow();
    const bool valid = row >= 1 && row <= m_grid->dataRowCnt();
    const int code = valid ? m_grid->text(ColCode, row).toInt() : 0;
    if (code <= 0) {
        MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
        return false;
    }
    // The default group always holds the fixed member row, so it is refused before the
    // guards could name that row.
    if (code == 1) {
        MsgInfo(QStringLiteral("[") + m_grid->text(ColName, row) + QStringLiteral("]은 삭제할수 없습니다."));
        return false;
    }
    if (!GroupDeleteAllowed(code))
        return false;
    if (!AskYesNo(QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"), QStringLiteral("삭제"), false))
        return false;
    if (!DeleteGroupRow(code))
        return false;
    m_grid->deleteRows(row);
    refreshMemberList();
    if (m_fields[0]->text().toInt() == code)
        clearInputs();
    return true;
}

void frmGroupSub::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_F2: RecSave(); return;
    case Qt::Key_F4: RecDelete(); return;
    case Qt::Key_Escape: close(); return;
    default: QWidget::keyPressEvent(event);
    }
}

bool frmGroupSub::hasUnsavedInput() const
{
    const GroupRecord g = inputRecord();
    if (m_changes.active() && m_changes.code() == g.code)
        return m_changes.changedFrom(GroupColumnValues(g));
    return !m_fields[1]->text().trimmed().isEmpty() || !m_memo->toPlainText().trimmed().isEmpty();
}

void frmGroupSub::closeEvent(QCloseEvent* event)
{
    emit closed();
    QWidget::closeEvent(event);
}
