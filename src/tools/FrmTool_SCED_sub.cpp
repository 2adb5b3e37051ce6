#include "tools/FrmTool_SCED_sub.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "tools/Schedules.h"
#include "ui/FloatNotice.h"
#include "ui/CellChanges.h"
#include "ui/Grid.h"
#include "ui/RecordWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

FrmTool_SCED_sub::FrmTool_SCED_sub(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmTool_SCED_sub"));
    setWindowTitle(QStringLiteral("스케줄 등록"));
    resize(620, 460);

    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setMaxCols(ColCount - 1);
    m_grid->setHeaderTexts({QStringLiteral("종결"), QStringLiteral("반복"), QStringLiteral("시간"),
                            QStringLiteral("내용"), QStringLiteral("seq")});
    m_grid->setColType(ColDone, CellType::CheckBox);
    // The mark is written by toggleDone (it must reach the database first), so the grid
    // itself does not tick the box.
    m_grid->setColLocked(ColDone, true);
    m_grid->setColLocked(ColCycle, true);
    m_grid->setColLocked(ColTime, true);
    m_grid->setColLocked(ColNote, true);
    m_grid->setColHidden(ColSeq, true);
    m_grid->setColWidth(ColDone, 40);
    m_grid->setColWidth(ColCycle, 50);
    m_grid->setColWidth(ColTime, 55);
    m_grid->setColWidth(ColNote, 400);

    m_picker = new QDateEdit(this);
    m_picker->setObjectName(QStringLiteral("DTPicker1"));
    m_picker->setCalendarPopup(true);
    m_picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_noTime = new QCheckBox(QStringLiteral("시간없음"), this);
    m_noTime->setObjectName(QStringLiteral("chkDate"));
    m_hour = new QLineEdit(this);
    m_hour->setObjectName(QStringLiteral("TxtTime(0)"));
    m_minute = new QLineEdit(this);
    m_minute->setObjectName(QStringLiteral("TxtTime(1)"));
    for (QLineEdit* e : {m_hour, m_minute}) {
        e->setMaxLength(2);
        e->setFixedWidth(36);
        e->setAlignment(Qt::AlignCenter);
    }
    auto* down = new QToolButton(this);
    down->setObjectName(QStringLiteral("UpDown1(0)"));
    down->setArrowType(Qt::DownArrow);
    auto* up = new QToolButton(this);
    up->setObjectName(QStringLiteral("UpDown1(1)"));
    up->setArrowType(Qt::UpArrow);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("txtMemo"));
    m_memo->setTabChangesFocus(true);
    auto* cycles = new QButtonGroup(this);
    auto* cycleRow = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        m_cycle[i] = new QRadioButton(ScheduleCycleText(i), this);
        m_cycle[i]->setObjectName(QStringLiteral("optCycle(%1)").arg(i));
        cycles->addButton(m_cycle[i], i);
        cycleRow->addWidget(m_cycle[i]);
    }
    cycleRow->addStretch(1);
    auto* newBtn = new QPushButton(QStringLiteral("신규"), this);
    newBtn->setObjectName(QStringLiteral("btnNew"));
    auto* saveBtn = new QPushButton(QStringLiteral("저장"), this);
    saveBtn->setObjectName(QStringLiteral("btnSave"));
    auto* delBtn = new QPushButton(QStringLiteral("삭제"), this);
    delBtn->setObjectName(QStringLiteral("btnRecDel"));

    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(m_picker);
    timeRow->addSpacing(12);
    timeRow->addWidget(m_hour);
    timeRow->addWidget(new QLabel(QStringLiteral(":"), this));
    timeRow->addWidget(m_minute);
    timeRow->addWidget(down);
    timeRow->addWidget(up);
    timeRow->addWidget(m_noTime);
    timeRow->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(newBtn);
    buttons->addWidget(saveBtn);
    buttons->addWidget(delBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 3);
    layout->addLayout(timeRow);
    layout->addWidget(m_memo, 2);
    layout->addLayout(cycleRow);
    layout->addLayout(buttons);
    setTabOrder(m_picker, m_hour);
    setTabOrder(m_hour, m_minute);
    setTabOrder(m_minute, m_memo);

    connect(m_grid, &Grid::activeCellChanged, this, [this](int, int row) {
        if (!m_filling) loadRow(row);
    });
    // The list is read-only; the finished mark toggles on a click or Space in its column.
    connect(m_grid, &Grid::cellClicked, this, [this](int col, int row) {
        if (!m_filling && col == ColDone) toggleDone(row);
    });
    m_grid->installEventFilter(this);
    connect(m_noTime, &QCheckBox::toggled, this, [this] { syncTimeEnabled(); });
    connect(down, &QToolButton::clicked, this, [this] { stepTime(-1); });
    connect(up, &QToolButton::clicked, this, [this] { stepTime(1); });
    connect(newBtn, &QPushButton::clicked, this, [this] { btnNew(); });
    connect(saveBtn, &QPushButton::clicked, this, [this] { btnSave(); });
    connect(delBtn, &QPushButton::clicked, this, [this] { btnRecDel(); });

    SetDate(Clock::today());
}

void FrmTool_SCED_sub::SetDate(const QDate& day) {
    m_day = day.isValid() ? day : Clock::today();
    setWindowTitle(QStringLiteral("스케줄 등록 - ") + m_day.toString(QStringLiteral("yyyy-MM-dd")));
    loadList(0);
    btnNew();
}

void FrmTool_SCED_sub::loadList(int selectSeq) {
    const QList<ScheduleEntry> entries = SchedulesDueOn(m_day, App().ownerCode, false);
    m_filling = true;
    m_grid->beginFill(int(entries.size()));
    int selectRow = 0;
    for (const ScheduleEntry& e : entries) {
        m_grid->appendRow({e.hidden ? QStringLiteral("1") : QString(), ScheduleCycleText(e.cyclic), e.stime,
                           QString(e.note).replace(u'\n', u' '), QString::number(e.seq)});
        if (e.seq == selectSeq) selectRow = m_grid->dataRowCnt();
    }
    m_grid->endFill();
    // The saved row is chosen by its time cell and the list shown from its left edge, so
    // the row reads whole instead of scrolled to the end of its note.
    if (selectRow > 0) m_grid->setActiveCell(ColTime, selectRow);
    m_grid->horizontalScrollBar()->setValue(0);
    m_filling = false;
    if (entries.isEmpty()) ShowNoResultNotice();
}

void FrmTool_SCED_sub::loadRow(int row) {
    const int seq = m_grid->text(ColSeq, row).toInt();
    if (row < 1 || row > m_grid->dataRowCnt() || seq <= 0) return;
    const QList<ScheduleEntry> entries = SchedulesDueOn(m_day, App().ownerCode, false);
    for (const ScheduleEntry& e : entries) {
        if (e.seq != seq) continue;
        m_seq = seq;
        m_picker->setDate(QDate::fromString(e.sdate, QStringLiteral("yyyy-MM-dd")));
        m_noTime->setChecked(e.stime.isEmpty());
        m_hour->setText(e.stime.isEmpty() ? QString() : ScheduleTimePart(e.stime.section(u':', 0, 0), 23));
        m_minute->setText(e.stime.isEmpty() ? QString() : ScheduleTimePart(e.stime.section(u':', 1, 1), 59));
        m_memo->setPlainText(e.note);
        if (e.cyclic >= 0 && e.cyclic <= 3) m_cycle[e.cyclic]->setChecked(true);
        syncTimeEnabled();
        return;
    }
}

void FrmTool_SCED_sub::btnNew() {
    m_seq = 0;
    m_picker->setDate(m_day);
    m_noTime->setChecked(false);
    m_hour->setText(QStringLiteral("09"));
    m_minute->setText(QStringLiteral("00"));
    m_memo->clear();
    m_cycle[0]->setChecked(true);
    syncTimeEnabled();
    m_memo->setFocus();
}

void FrmTool_SCED_sub::syncTimeEnabled() {
    const bool on = !m_noTime->isChecked();
    m_hour->setEnabled(on);
    m_minute->setEnabled(on);
    for (auto* b : findChildren<QToolButton*>())
        if (b->objectName().startsWith(QStringLiteral("UpDown1"))) b->setEnabled(on);
}

void FrmTool_SCED_sub::stepTime(int minutes) {
    const int h = ScheduleTimePart(m_hour->text(), 23).toInt();
    const int m = ScheduleTimePart(m_minute->text(), 59).toInt();
    const int total = ((h * 60 + m + minutes) % 1440 + 1440) % 1440;
    m_hour->setText(QStringLiteral("%1").arg(total / 60, 2, 10, QLatin1Char('0')));
    m_minute->setText(QStringLiteral("%1").arg(total % 60, 2, 10, QLatin1Char('0')));
}

bool FrmTool_SCED_sub::btnSave() {
    if (m_memo->toPlainText().trimmed().isEmpty()) {
        MsgInfo(QStringLiteral("내용이 입력되지 않았습니다."));
        m_memo->setFocus();
        return false;
    }
    ScheduleEntry e;
    e.seq = m_seq;
    e.ocode = App().ownerCode;
    e.sdate = m_picker->date().toString(QStringLiteral("yyyy-MM-dd"));
    if (!m_noTime->isChecked()) {
        m_hour->setText(ScheduleTimePart(m_hour->text(), 23));
        m_minute->setText(ScheduleTimePart(m_minute->text(), 59));
        e.stime = m_hour->text() + u':' + m_minute->text();
    }
    e.note = m_memo->toPlainText();
    for (int i = 0; i < 4; ++i)
        if (m_cycle[i]->isChecked()) e.cyclic = i;
    bool ok = false;
    if (m_seq > 0) {
        ok = UpdateSchedule(e);
    } else {
        const int seq = InsertSchedule(e);
        ok = seq > 0;
        if (ok) m_seq = seq;
    }
    if (!ok) {
        MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
        return false;
    }
    ShowFloatNotice(QStringLiteral("자료가 저장되었습니다."));
    // The list follows the saved entry's date, so the entry stays in view for editing.
    const int seq = m_seq;
    m_day = m_picker->date();
    setWindowTitle(QStringLiteral("스케줄 등록 - ") + m_day.toString(QStringLiteral("yyyy-MM-dd")));
    loadList(seq);
    m_seq = seq;
    emit schedulesChanged();
    return true;
}

void FrmTool_SCED_sub::btnRecDel() {
    if (m_seq <= 0) {
        MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
        return;
    }
    if (!AskYesNo(QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"), QStringLiteral("삭제"), false)) return;
    if (!DeleteSchedule(m_seq)) {
        MsgWarning(QStringLiteral("자료를 삭제 할 수 없습니다.\n\n이미 삭제되었거나, 삭제할 수 없는 경우가 발생했습니다."));
        return;
    }
    ShowFloatNotice(QStringLiteral("자료를 삭제하였습니다."));
    loadList(0);
    btnNew();
    emit schedulesChanged();
}

void FrmTool_SCED_sub::toggleDone(int row) {
    if (row < 1 || row > m_grid->dataRowCnt()) return;
    const int seq = m_grid->text(ColSeq, row).toInt();
    const bool shown = m_grid->text(ColDone, row) == QStringLiteral("1");
    if (seq <= 0) {
        MsgInfo(QStringLiteral("종결처리도중 오류가 발생하였습니다."));
        return;
    }
    // Saved only while the entry still holds the mark the list showed (another PC may
    // have closed, reopened or deleted it meanwhile).
    switch (SaveCell(QStringLiteral("schedules"), seq, {{QStringLiteral("hidden"), shown ? 1 : 0}},
                     {{QStringLiteral("hidden"), shown ? 0 : 1}})) {
    case CellSave::Written:
    case CellSave::Unchanged:
        m_grid->setText(ColDone, row, shown ? QString() : QStringLiteral("1"));
        break;
    case CellSave::Reload:
    case CellSave::Gone:
        loadList(seq);
        break;
    case CellSave::Failed: // the cause was shown
        return;
    }
    emit schedulesChanged();
}

bool FrmTool_SCED_sub::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && m_grid->activeCol() == ColDone) {
        toggleDone(m_grid->activeRow());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
