#include "ui/FrmEasyDate.h"

#include "core/Clock.h"
#include "calendar/DateText.h"
#include "ui/HCDateBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString fmt(const QDate& d) { return d.toString(QStringLiteral("yyyy-MM-dd")); }

// Grid place (column, row) of each quick period: one column per kind of period.
QPoint quickCell(int i) {
    static const int firsts[] = {0, 4, 8, 12, 16, 20, 22, int(QuickPeriod::Count)};
    for (int col = 0; col < 7; ++col)
        if (i < firsts[col + 1]) return {col, i - firsts[col]};
    return {0, 0};
}

} // namespace

FrmEasyDate::FrmEasyDate(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmEasyDate"));
    setWindowTitle(QStringLiteral("기간 간편설정"));
    auto* main = new QVBoxLayout(this);

    auto* dates = new QHBoxLayout;
    m_date1 = new HCDateBox(this);
    m_date1->setObjectName(QStringLiteral("txtDate1"));
    m_date2 = new HCDateBox(this);
    m_date2->setObjectName(QStringLiteral("txtDate2"));
    for (HCDateBox* b : {m_date1, m_date2}) {
        b->SetAutoTab(true);
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 14);
        // A hand-edited date ends the quick period's unit; moves then go by the length.
        connect(b, &HCDateBox::Refused, this, [this] { m_refused = true; });
        connect(b, &QLineEdit::textEdited, this, [this] {
            if (!m_setting) m_unit = QuickPeriod::None;
        });
    }
    dates->addWidget(m_date1);
    dates->addWidget(m_date1->MakeStepper(this, QStringLiteral("1")));
    dates->addWidget(new QLabel(QStringLiteral("~"), this));
    dates->addWidget(m_date2);
    dates->addWidget(m_date2->MakeStepper(this, QStringLiteral("2")));
    dates->addStretch(1);
    main->addLayout(dates);

    auto* grid = new QGridLayout;
    grid->setSpacing(3);
    for (int i = 0; i < int(QuickPeriod::Count); ++i) {
        const auto p = QuickPeriod(i);
        auto* b = new QPushButton(QuickPeriodCaption(p), this);
        b->setObjectName(QStringLiteral("btnQuick(%1)").arg(i));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, p] { ChooseQuick(p); });
        const QPoint cell = quickCell(i);
        grid->addWidget(b, cell.y(), cell.x());
        m_quick << b;
    }
    main->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    auto* prev = new QPushButton(QStringLiteral("◀ 이전"), this);
    prev->setObjectName(QStringLiteral("btnPrev"));
    prev->setAutoDefault(false);
    auto* next = new QPushButton(QStringLiteral("다음 ▶"), this);
    next->setObjectName(QStringLiteral("btnNext"));
    next->setAutoDefault(false);
    auto* okButton = new QPushButton(QStringLiteral("확인(&O)"), this);
    okButton->setObjectName(QStringLiteral("btnOK"));
    auto* close = new QPushButton(QStringLiteral("닫기(&C)"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    close->setAutoDefault(false);
    buttons->addWidget(prev);
    buttons->addWidget(next);
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(close);
    main->addLayout(buttons);

    connect(prev, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(next, &QPushButton::clicked, this, [this] { Move(1); });
    connect(okButton, &QPushButton::clicked, this, &FrmEasyDate::ok);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    const QString today = fmt(Clock::today());
    m_date1->SetText(today);
    m_date2->SetText(today);
}

QString FrmEasyDate::Text1() const { return m_date1->Text(); }
QString FrmEasyDate::Text2() const { return m_date2->Text(); }

void FrmEasyDate::SetText1(const QString& date) {
    m_date1->SetText(date.isEmpty() ? fmt(Clock::today()) : date);
}

void FrmEasyDate::SetText2(const QString& date) {
    m_date2->SetText(date.isEmpty() ? fmt(Clock::today()) : date);
}

QPushButton* FrmEasyDate::QuickButton(QuickPeriod p) const { return m_quick.value(int(p)); }

void FrmEasyDate::ChooseQuick(QuickPeriod p) {
    const DatePeriod d = QuickPeriodDates(p, Clock::today());
    m_setting = true;
    m_date1->SetText(fmt(d.start));
    m_date2->SetText(fmt(d.end));
    m_setting = false;
    m_unit = p;
    m_refused = false;
}

bool FrmEasyDate::validateBoth() {
    // Both boxes are checked, so a second bad date is reported as well.
    const bool ok1 = m_date1->Validate();
    const bool ok2 = m_date2->Validate();
    return ok1 && ok2;
}

void FrmEasyDate::Move(int direction) {
    validateBoth();
    const DatePeriod moved =
        MovePeriod(m_unit, {DateFromText(m_date1->Text()), DateFromText(m_date2->Text())}, direction);
    m_setting = true;
    m_date1->SetText(fmt(moved.start));
    m_date2->SetText(fmt(moved.end));
    m_setting = false;
    m_refused = false;
}

void FrmEasyDate::ok() {
    // A date that did not exist was replaced by today, possibly just now as the focus
    // left its box for this button: let the user see the replacement before closing.
    const bool ok = validateBoth() && !m_refused;
    m_refused = false;
    if (ok) accept();
}
