#include "comm/frmSMS.h"

#include "comm/SmsHandOff.h"
#include "comm/SmsSearch.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "db/Database.h"
#include "members/DuesRules.h"
#include "members/MemberSearch.h"
#include "members/MemberStore.h"
#include "ui/FloatNotice.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "ui/HCTerm.h"
#include "ui/HCText.h"
#include "ui/SearchInput.h"
#include "db/DbRow.h"
#include "ui/SqlRowSource.h"
#include "ui/WindowRegistry.h"
#include "ui/cFpPreview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QColor kAltRow(245, 245, 245);

// A row of option buttons named name(0), name(1) ... in a framed box; the first is on.
QButtonGroup* options(QWidget* parent, QHBoxLayout* into, const QString& title, const char* name,
                      const QStringList& captions) {
    auto* box = new QGroupBox(title, parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(6, 2, 6, 2);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < captions.size(); ++i) {
        auto* b = new QRadioButton(captions.at(i), box);
        b->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i));
        b->setChecked(i == 0);
        group->addButton(b, i);
        row->addWidget(b);
    }
    into->addWidget(box);
    return group;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

frmSMS::frmSMS(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmSMS"));
    setWindowTitle(QStringLiteral("문자전송"));
    resize(820, 600);
    buildUi();
    Search();
}

void frmSMS::buildUi() {
    using namespace MemberSearchText;
    auto* top = new QWidget(this);
    auto* line1 = new QHBoxLayout;
    m_marry = options(top, line1, QStringLiteral("결혼"), "opMarry",
                      {QStringLiteral("전체"), QStringLiteral("미혼"), QStringLiteral("기혼")});
    m_sex = options(top, line1, QStringLiteral("성별"), "opMali",
                    {QStringLiteral("전체"), QStringLiteral("남자"), QStringLiteral("여자")});
    m_section =
        options(top, line1, QStringLiteral("검색"), "opSection",
                {QStringLiteral("회원"), QStringLiteral("회비미납"), QStringLiteral("거래합계")});
    m_year = new QComboBox(top);
    m_year->setObjectName(QStringLiteral("cmbYear"));
    const QDate today = Clock::today();
    for (int y = today.year() - 10; y <= today.year() + 1; ++y)
        m_year->addItem(QString::number(y), y);
    m_year->setCurrentText(QString::number(today.year()));
    m_month = new QComboBox(top);
    m_month->setObjectName(QStringLiteral("cmbMonth"));
    for (int m = 1; m <= 12; ++m)
        m_month->addItem(QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0')), m);
    m_month->setCurrentIndex(today.month() - 1);
    line1->addWidget(m_year);
    line1->addWidget(new QLabel(QStringLiteral("년"), top));
    line1->addWidget(m_month);
    line1->addWidget(new QLabel(QStringLiteral("월"), top));
    line1->addStretch();

    auto* line2 = new QHBoxLayout;
    m_date = new QComboBox(top);
    m_date->setObjectName(QStringLiteral("cmbDate"));
    m_date->addItems(MemberDateChoices());
    m_period = new HCTerm(top);
    m_period->setObjectName(QStringLiteral("htDate"));
    m_period->ThisMonth();
    m_menu = new QComboBox(top);
    m_menu->setObjectName(QStringLiteral("cmbMenu"));
    m_menu->addItems(SmsMenuChoices());
    m_field = new HCText(top);
    CapSearchInput(m_field);
    m_field->setObjectName(QStringLiteral("htField"));
    m_data = new QComboBox(top);
    m_data->setObjectName(QStringLiteral("cmbData"));
    m_data->hide();
    QPushButton* query = button(top, "btnQuery", QStringLiteral("조회(F5)"));
    line2->addWidget(m_date);
    line2->addWidget(m_period);
    line2->addSpacing(12);
    line2->addWidget(m_menu);
    line2->addWidget(m_field, 1);
    line2->addWidget(m_data, 1);
    line2->addWidget(query);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addLayout(line1);
    topLayout->addLayout(line2);

    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setMaxCols(ColCount - 1);
    m_grid->setHeaderTexts({QStringLiteral("선택"), QStringLiteral("이  름"),
                            QStringLiteral("휴 대 폰"), QStringLiteral("비 고"),
                            QStringLiteral("주  소"), QStringLiteral("메  모")});
    m_grid->setColType(ColSelect, CellType::CheckBox);
    MarkTickColumn(m_grid, ColSelect);
    m_grid->setColWidth(ColSelect, 36);
    m_grid->setColWidth(ColName, 100);
    m_grid->setColWidth(ColPhone, 120);
    m_grid->setColWidth(ColRemark, 140);
    m_grid->setColWidth(ColAddress, 240);
    m_grid->setColWidth(ColMemo, 160);
    m_grid->setOddEvenRowColor(Qt::white, kAltRow);
    GridMenu::attach(m_grid, this);
    connect(m_grid, &Grid::cellChanged, this, [this](int col, int row) {
        if (col != ColSelect || m_filling) return;
        m_checked =
            qMax(0, m_checked + (m_grid->text(ColSelect, row) == QStringLiteral("1") ? 1 : -1));
        updateCount();
    });

    auto* bottom = new QHBoxLayout;
    m_all = new QCheckBox(QStringLiteral("전체선택"), this);
    m_all->setObjectName(QStringLiteral("chkAllSel"));
    m_count = new QLabel(QStringLiteral("0"), this);
    m_count->setObjectName(QStringLiteral("lblCount"));
    QPushButton* send = button(this, "btnSMS", QStringLiteral("문자전송"));
    QPushButton* close = button(this, "btnClose", QStringLiteral("닫기"));
    bottom->addWidget(m_all);
    bottom->addWidget(new QLabel(QStringLiteral("선택:"), this));
    bottom->addWidget(m_count);
    bottom->addStretch();
    bottom->addWidget(send);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(bottom);

    // Every filter re-runs the search when it changes; typed text runs it with Enter.
    for (QButtonGroup* g : {m_marry, m_sex})
        connect(g, &QButtonGroup::idToggled, this, [this](int, bool on) {
            if (on) Search();
        });
    connect(m_section, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) sectionChanged();
    });
    auto monthChanged = [this] {
        if (m_section->checkedId() != SmsSearchInput::Members) Search();
    };
    connect(m_year, &QComboBox::currentIndexChanged, this, monthChanged);
    connect(m_month, &QComboBox::currentIndexChanged, this, monthChanged);
    connect(m_date, &QComboBox::currentIndexChanged, this, &frmSMS::Search);
    connect(m_menu, &QComboBox::currentIndexChanged, this, &frmSMS::menuChanged);
    connect(m_data, &QComboBox::activated, this, &frmSMS::Search);
    connect(m_field, &QLineEdit::returnPressed, this, &frmSMS::Search);
    connect(query, &QPushButton::clicked, this, &frmSMS::Search);
    connect(m_all, &QCheckBox::clicked, this, &frmSMS::selectAll);
    connect(send, &QPushButton::clicked, this,
            [this] { SendToSMS(m_grid, ColSelect, ColName, ColPhone, 0); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    m_data->installEventFilter(this);
}

void frmSMS::menuChanged() {
    const bool group = m_menu->currentText() == MemberSearchText::MenuGroup;
    if (group && m_data->count() == 0) {
        for (const auto& g : GroupNames())
            m_data->addItem(g.second, g.first);
    }
    m_data->setVisible(group);
    m_field->setVisible(!group);
    // For unpaid dues the group is chosen first; the choice runs the search. Until then
    // the list of another search is not shown under this one's heading.
    if (group && m_section->checkedId() == SmsSearchInput::UnpaidDues)
        clearList();
    else if (group)
        Search();
}

void frmSMS::sectionChanged() {
    // The unpaid-dues search is about one group: offer the group choice at once.
    if (m_section->checkedId() == SmsSearchInput::UnpaidDues &&
        m_menu->currentText() != MemberSearchText::MenuGroup) {
        m_menu->setCurrentText(MemberSearchText::MenuGroup); // clears through menuChanged
        return;
    }
    Search();
}

SmsSearchInput frmSMS::searchInput() const {
    SmsSearchInput in;
    in.marry = qMax(0, m_marry->checkedId());
    in.sex = qMax(0, m_sex->checkedId());
    in.dateKind = m_date->currentText();
    in.start = m_period->Text1();
    in.end = m_period->Text2();
    in.menu = m_menu->currentText();
    in.text = m_field->text();
    in.groupCode = m_data->currentData().toInt();
    in.section = qMax(0, m_section->checkedId());
    in.year = m_year->currentData().toInt();
    in.month = m_month->currentData().toInt();
    return in;
}

bool frmSMS::duesSearchAllowed(const SmsSearchInput& in) {
    if (in.menu != MemberSearchText::MenuGroup || in.groupCode <= 0) {
        MsgInfo(QStringLiteral("회비 미납자를 검색할 그룹을 선택하세요."));
        return false;
    }
    Recordset rs;
    if (OpenRecordset(
            rs, QStringLiteral("SELECT repeatclass, settlementday FROM tblgroup WHERE code = ?"),
            {in.groupCode}) <= 0)
        return false;
    switch (CheckDuesMonth(rs.text(QStringLiteral("repeatclass")),
                           rs.text(QStringLiteral("settlementday")), in.year, in.month,
                           Clock::today())) {
    case DuesMonthCheck::NoSchedule:
        MsgInfo(QStringLiteral("회비설정이 되어 있지 않습니다."));
        return false;
    case DuesMonthCheck::NotDueMonth:
        MsgInfo(QStringLiteral("선택한 그룹은 %1월에 회비를 받지 않습니다.").arg(in.month));
        return false;
    case DuesMonthCheck::BeforeDueDay:
        return AskYesNo(QStringLiteral("납부일이 지나지 않았습니다. 그래도 검색하시겠습니까?"), {},
                        false);
    case DuesMonthCheck::Due:
        break;
    }
    return true;
}

void frmSMS::Search() {
    const SmsSearchInput in = searchInput();
    if (in.section == SmsSearchInput::UnpaidDues && !duesSearchAllowed(in)) {
        // A refused search keeps its own earlier list, never another search's.
        if (m_shownSection != in.section) clearList();
        return;
    }
    const SmsQuery q = SmsSearchSql(in);
    const QString month = SmsSearchMonth(in);
    const SmsRemark remark = q.remark;
    const int year = in.year, monthNo = in.month;
    auto format = [remark, month, year, monthNo, locale = QLocale(), feeStart = QString()](
                      const DbRow& v, QVector<QStringList>& out) mutable {
        // Dues are owed from the month of feestart on.
        if (remark == SmsRemark::UnpaidMonth) {
            v.text(5, feeStart);
            if (!OwesFromFeeStart(feeStart, year, monthNo)) return;
        }
        QStringList row(ColCount - 1);
        v.text(0, row[1]);
        v.text(1, row[2]);
        switch (remark) {
        case SmsRemark::UnpaidMonth:
            row[3] = month;
            break;
        case SmsRemark::TradeSum:
            row[3] = locale.toString(v.number(2), 'f', 0);
            break;
        default:
            row[3] = v.text(2).trimmed();
            break;
        }
        row[4] = v.text(3).trimmed();
        v.text(4, row[5]);
        out.append(std::move(row));
    };
    // The first block shows at once, the rest as the list scrolls or all at once for
    // ticking every row. A statement refused at once leaves the list as it was.
    m_filling = true;
    const bool read = m_grid->fillFrom(std::make_unique<SqlRowSource>(
        q.select, QList<SqlRowSource::Key>{{q.order.at(0), QStringLiteral("ctblgroup")}, {q.order.at(1), QStringLiteral("code")}},
        format));
    m_filling = false;
    if (!read) return; // reported by the database layer
    m_grid->setHeaderText(ColRemark, q.header);
    m_shownSection = in.section;
    m_all->setChecked(false);
    m_checked = 0;
    updateCount();
    if (m_grid->dataRowCnt() == 0) ShowFloatNotice(QStringLiteral("검색된 결과가 없습니다."));
}

void frmSMS::clearList() {
    m_filling = true;
    m_grid->beginFill();
    m_grid->endFill();
    m_filling = false;
    const SmsSearchInput in = searchInput();
    m_grid->setHeaderText(ColRemark, SmsSearchSql(in).header);
    m_shownSection = in.section;
    m_all->setChecked(false);
    m_checked = 0;
    updateCount();
}

void frmSMS::selectAll(bool on) {
    if (on) m_grid->fetchAll(); // every member found, not only the rows read so far
    m_filling = true;
    const QString mark = on ? QStringLiteral("1") : QString();
    for (int r = 1; r <= m_grid->dataRowCnt(); ++r)
        m_grid->setText(ColSelect, r, mark);
    m_filling = false;
    m_checked = on ? m_grid->dataRowCnt() : 0;
    updateCount();
}

void frmSMS::updateCount() {
    m_count->setText(QString::number(m_checked));
}

bool frmSMS::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_data && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Search();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmSMS::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
        Search();
        return;
    }
    QWidget::keyPressEvent(event);
}
