#include "tools/FrmTool_SCED.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "tools/FrmTool_SCED_sub.h"
#include "tools/Schedules.h"
#include "ui/Grid.h"
#include "ui/WindowRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kShowMsgKey = QStringLiteral("스케줄알림");
constexpr int kWeekRows = 6;
} // namespace

FrmTool_SCED::FrmTool_SCED(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmTool_SCED"));
    setWindowTitle(QStringLiteral("스케줄 관리"));
    resize(900, 640);

    auto* prev = new QPushButton(QStringLiteral("◀"), this);
    prev->setObjectName(QStringLiteral("btnMoveMonth(0)"));
    auto* next = new QPushButton(QStringLiteral("▶"), this);
    next->setObjectName(QStringLiteral("btnMoveMonth(1)"));
    m_year_ = new QLineEdit(this);
    m_year_->setObjectName(QStringLiteral("txtYear"));
    m_year_->setMaxLength(4);
    m_year_->setValidator(new QIntValidator(1, 9999, m_year_));
    m_year_->setFixedWidth(60);
    auto* yearDown = new QToolButton(this);
    yearDown->setObjectName(QStringLiteral("udYear(0)"));
    yearDown->setArrowType(Qt::DownArrow);
    auto* yearUp = new QToolButton(this);
    yearUp->setObjectName(QStringLiteral("udYear(1)"));
    yearUp->setArrowType(Qt::UpArrow);
    m_monthBox = new QComboBox(this);
    m_monthBox->setObjectName(QStringLiteral("cmbMonth"));
    for (int m = 1; m <= 12; ++m) m_monthBox->addItem(QString::number(m) + QStringLiteral("월"), m);
    auto* today = new QPushButton(QStringLiteral("오늘"), this);
    today->setObjectName(QStringLiteral("btnToday"));
    auto* del = new QPushButton(QStringLiteral("삭제"), this);
    del->setObjectName(QStringLiteral("btnRecDel"));
    m_hide = new QCheckBox(QStringLiteral("종결된 스케줄 숨기기"), this);
    m_hide->setObjectName(QStringLiteral("chkhide"));
    m_showMsg = new QCheckBox(QStringLiteral("스케줄알림"), this);
    m_showMsg->setObjectName(QStringLiteral("chkShowmsg"));
    m_showMsg->setChecked(Settings::getIn(App().appTitle, QStringLiteral("Config"), kShowMsgKey, QStringLiteral("1")) == QStringLiteral("1"));
    m_clock = new QLabel(this);
    m_clock->setObjectName(QStringLiteral("lblTime"));
    m_clock->setTextFormat(Qt::PlainText);

    auto* top = new QHBoxLayout;
    top->addWidget(prev);
    top->addWidget(m_year_);
    top->addWidget(yearDown);
    top->addWidget(yearUp);
    top->addWidget(new QLabel(QStringLiteral("년"), this));
    top->addWidget(m_monthBox);
    top->addWidget(next);
    top->addWidget(today);
    top->addSpacing(16);
    top->addWidget(m_hide);
    top->addWidget(m_showMsg);
    top->addStretch(1);
    top->addWidget(m_clock);
    top->addWidget(del);

    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setMaxCols(7);
    m_grid->setMaxRows(kWeekRows);
    m_grid->setHeaderTexts({QStringLiteral("일"), QStringLiteral("월"), QStringLiteral("화"), QStringLiteral("수"),
                            QStringLiteral("목"), QStringLiteral("금"), QStringLiteral("토")});
    m_grid->setRowHeadersVisible(false);
    m_grid->setRowHeight(92);
    for (int c = 1; c <= 7; ++c) {
        m_grid->setColWidth(c, 122);
        m_grid->setColAlignment(c, Qt::AlignLeft | Qt::AlignTop);
    }
    m_grid->setWordWrap(true);
    // Every week of the month in sight at any window size: the rows and columns share the
    // grid's space instead of keeping a fixed size that may need scrolling.
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grid->setMinimumSize(7 * 60, 6 * 40);
    m_grid->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);

    connect(prev, &QPushButton::clicked, this, [this] { moveMonth(-1); });
    connect(next, &QPushButton::clicked, this, [this] { moveMonth(1); });
    connect(yearDown, &QToolButton::clicked, this, [this] { showMonth(m_year - 1, m_month); });
    connect(yearUp, &QToolButton::clicked, this, [this] { showMonth(m_year + 1, m_month); });
    connect(m_year_, &QLineEdit::editingFinished, this, [this] { takeYearInput(); });
    connect(m_monthBox, &QComboBox::activated, this, [this](int i) { showMonth(m_year, i + 1); });
    connect(today, &QPushButton::clicked, this, [this] {
        const QDate t = Clock::today();
        showMonth(t.year(), t.month());
    });
    connect(del, &QPushButton::clicked, this, [this] { deleteDay(); });
    connect(m_hide, &QCheckBox::toggled, this, [this] { RefreshSheet(); });
    connect(m_showMsg, &QCheckBox::toggled, this, [](bool on) {
        Settings::set(App().appTitle, QStringLiteral("Config"), kShowMsgKey, on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    connect(m_grid, &Grid::cellDoubleClicked, this, [this](int col, int row) { openDay(cellDate(col, row)); });

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, [this] { updateClock(); });
    m_timer->start();
    updateClock();

    const QDate t = Clock::today();
    showMonth(t.year(), t.month());
}

QString FrmTool_SCED::clockText(const QDateTime& now) {
    static const char* const days[] = {"월", "화", "수", "목", "금", "토", "일"};
    const QTime t = now.time();
    const QString ampm = t.hour() < 12 ? QStringLiteral("오전") : QStringLiteral("오후");
    int h = t.hour() % 12;
    if (h == 0) h = 12;
    return now.date().toString(QStringLiteral("yyyy.MM.dd")) + u'(' + QString::fromUtf8(days[now.date().dayOfWeek() - 1]) +
           QStringLiteral(") ") + ampm + u' ' + QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0')) +
           t.toString(QStringLiteral(":mm:ss"));
}

void FrmTool_SCED::updateClock() { m_clock->setText(clockText(Clock::now())); }

void FrmTool_SCED::moveMonth(int step) {
    const QDate d = QDate(m_year, m_month, 1).addMonths(step);
    showMonth(d.year(), d.month());
}

void FrmTool_SCED::takeYearInput() {
    bool ok = false;
    const int y = m_year_->text().toInt(&ok);
    if (!ok || m_year_->text().size() != 4 || y < 1000) {
        MsgInfo(QStringLiteral("년도는 4자리 숫자로 입력하세요."));
        m_year_->setText(QString::number(m_year));
        return;
    }
    if (y != m_year) showMonth(y, m_month);
}

void FrmTool_SCED::showMonth(int year, int month) {
    if (year < 1000 || year > 9999 || month < 1 || month > 12) return;
    m_year = year;
    m_month = month;
    m_first = QDate(year, month, 1);
    m_lead = m_first.dayOfWeek() % 7; // Sunday in the first column
    m_year_->setText(QString::number(year));
    m_monthBox->setCurrentIndex(month - 1);
    RefreshSheet();
}

QDate FrmTool_SCED::cellDate(int col, int row) const {
    if (col < 1 || col > 7 || row < 1) return {};
    const int day = (row - 1) * 7 + col - m_lead;
    if (day < 1 || day > m_first.daysInMonth()) return {};
    return m_first.addDays(day - 1);
}

QDate FrmTool_SCED::selectedDate() const { return cellDate(m_grid->activeCol(), m_grid->activeRow()); }

void FrmTool_SCED::RefreshSheet() {
    const auto byDay = SchedulesOfMonth(m_year, m_month, App().ownerCode, m_hide->isChecked());
    const QDate today = Clock::today();
    QVector<QStringList> rows(kWeekRows, QStringList(7));
    for (int day = 1; day <= m_first.daysInMonth(); ++day) {
        const int cell = m_lead + day - 1;
        QString text = QString::number(day);
        if (m_first.addDays(day - 1) == today) text += QStringLiteral("   [오늘]");
        for (const ScheduleEntry& e : byDay.value(day)) {
            text += u'\n';
            if (!e.stime.isEmpty()) text += e.stime + u' ';
            text += QString(e.note).replace(u'\n', u' ');
        }
        rows[cell / 7][cell % 7] = text;
    }
    m_grid->setAllRows(rows);
    for (int r = 1; r <= kWeekRows; ++r)
        for (int c = 1; c <= 7; ++c)
            if (cellDate(c, r) == today) m_grid->setCellBackColor(c, r, QColor(255, 250, 205));
            else m_grid->setCellBackColor(c, r, QColor());
}

void FrmTool_SCED::openDay(const QDate& day) {
    if (!day.isValid()) return;
    auto* sub = ChildWindow<FrmTool_SCED_sub>(QStringLiteral("FrmTool_SCED_sub"));
    connect(sub, &FrmTool_SCED_sub::schedulesChanged, this, &FrmTool_SCED::RefreshSheet, Qt::UniqueConnection);
    sub->SetDate(day);
    FormFocus(sub);
}

void FrmTool_SCED::deleteDay() {
    const QDate day = selectedDate();
    if (!day.isValid()) return;
    const QString shown = day.toString(QStringLiteral("yyyy년 MM월 dd일"));
    if (CountSchedulesOfDay(day, App().ownerCode) <= 0) {
        MsgInfo(shown + QStringLiteral("에 등록된 스케줄이 없습니다."));
        return;
    }
    if (!AskYesNo(shown + QStringLiteral("의 전체 스케줄을 삭제하시겠습니까?"), QStringLiteral("삭제"), false)) return;
    if (DeleteSchedulesOfDay(day, App().ownerCode) <= 0) {
        MsgWarning(QStringLiteral("자료를 삭제 할 수 없습니다.\n\n이미 삭제되었거나, 삭제할 수 없는 경우가 발생했습니다."));
        return;
    }
    RefreshSheet();
    if (auto* sub = dynamic_cast<FrmTool_SCED_sub*>(WindowRegistry::find(QStringLiteral("FrmTool_SCED_sub"))))
        if (sub->date() == day) sub->SetDate(day);
}

bool FrmTool_SCED::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openDay(selectedDate());
            return true;
        }
        if (key == Qt::Key_Delete || key == Qt::Key_F4) {
            deleteDay();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
