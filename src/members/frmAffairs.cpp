#include "members/frmAffairs.h"

#include "calendar/DateText.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "db/Database.h"
#include "members/DuesRules.h"
#include "ui/PickOrAdd.h"
#include "members/frmFriendAdd.h"
#include "members/frmGroupBalance.h"
#include "members/frmGroupSub.h"
#include "ui/CellChanges.h"
#include "ui/ExcelExport.h"
#include "ui/FloatNotice.h"
#include "ui/FormIni.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "ui/GridPrint.h"
#include "ui/HCTerm.h"
#include "ui/IniFile.h"
#include "ui/RecordWindow.h"
#include "ui/WindowRegistry.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSplitter>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kSaveFailed = QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다.");
const QColor kPaid(204, 236, 204), kUnpaid(Qt::white), kOverdue(255, 204, 204),
    kNotDue(228, 228, 228);

QString moneyText(double v) {
    static const QLocale english(QLocale::English); // one locale for every cell
    return english.toString(qRound64(v));
}

// An amount typed into a cell: thousands separators and blanks do not count; empty is 0.
bool parseMoney(const QString& text, double* out) {
    QString t = text;
    t.remove(QLatin1Char(',')).remove(QLatin1Char(' '));
    if (t.isEmpty()) {
        *out = 0;
        return true;
    }
    bool ok = false;
    *out = t.toDouble(&ok);
    return ok;
}

// Payment dates are shown whole ("2026-12-07"), so they read as dates in the sheet and in
// its export (six digits would be exported as a number); a date is still typed as YYMMDD.
QString shortDate(const QString& sdate) {
    if (sdate.size() == 10)
        return sdate; // written that way already, or no date to rewrite
    const QDate d = DateFromText(sdate);
    return d.isValid() ? d.toString(Qt::ISODate) : sdate;
}
} // namespace

frmAffairs::frmAffairs(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmAffairs"));
    setWindowTitle(QStringLiteral("그룹자금관리"));
    resize(1000, 600);

    m_pnlMove = new QWidget(this);
    m_pnlMove->setObjectName(QStringLiteral("pnlMove"));
    auto* top = new QHBoxLayout(m_pnlMove);
    m_cmbGroup = new QComboBox(m_pnlMove);
    m_cmbGroup->setObjectName(QStringLiteral("cmbGroup"));
    m_cmbGroup->setMinimumWidth(160);
    m_cmbYear = new QComboBox(m_pnlMove);
    m_cmbYear->setObjectName(QStringLiteral("cmbYear"));
    m_htDate = new HCTerm(m_pnlMove);
    m_htDate->setObjectName(QStringLiteral("htDate"));
    top->addWidget(new QLabel(QStringLiteral("그룹"), m_pnlMove));
    top->addWidget(m_cmbGroup);
    top->addWidget(new QLabel(QStringLiteral("년도"), m_pnlMove));
    top->addWidget(m_cmbYear);
    top->addWidget(new QLabel(QStringLiteral("기간"), m_pnlMove));
    top->addWidget(m_htDate);
    top->addStretch();

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("spList"));
    const QStringList names{QStringLiteral("회비납부 현황"), QStringLiteral("기타 수입 내역"),
                            QStringLiteral("지출 내역"), QStringLiteral("지출 세부 내역")};
    for (int i = 0; i < SheetCount; ++i) {
        auto* g = new Grid(m_tabs);
        g->setObjectName(QStringLiteral("spList(%1)").arg(i));
        g->setGridIndex(i);
        g->setEntryMode();
        GridMenu::attach(g, this);
        m_sheets << g;
        m_tabs->addTab(g, names[i]);
    }
    // Dues sheet: a double click marks or unmarks a month, typing edits its cells.
    Grid* dues = m_sheets[SheetDues];
    dues->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    dues->setMaxCols(DuesCode);
    QStringList heads{QStringLiteral("회원명")};
    for (int m = 1; m <= 12; ++m)
        heads << QString::number(m) + QStringLiteral("월") << QStringLiteral("금액");
    dues->setHeaderTexts(heads);
    dues->setColWidth(DuesName, 90);
    dues->setColLocked(DuesName, true);
    for (int m = 1; m <= 12; ++m) {
        dues->setColWidth(dateCol(m), 78);
        dues->setColWidth(moneyCol(m), 60);
        dues->setColAlignment(moneyCol(m), Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int c = moneyCol(12) + 1; c <= DuesCode; ++c)
        dues->setColHidden(c, true);
    dues->setFrozenCols(DuesName); // the names stay in sight while the months scroll
    dues->installEventFilter(this);
    connect(dues, &Grid::cellDoubleClicked, this, &frmAffairs::duesDoubleClicked);
    connect(dues, &Grid::cellChanged, this, &frmAffairs::duesChanged);

    for (int s : {int(SheetIncome), int(SheetExpense)}) {
        Grid* g = m_sheets[s];
        g->setMaxCols(LineCode);
        g->setHeaderTexts({QStringLiteral("일자"), QStringLiteral("항목"), QStringLiteral("금액"),
                           QStringLiteral("메모"), QStringLiteral("code")});
        g->setColHidden(LineCode, true);
        g->setColWidth(LineDate, 90);
        g->setColWidth(LineItem, 150);
        g->setColWidth(LineMoney, 100);
        g->setColWidth(LineMemo, 300);
        g->setColAlignment(LineMoney, Qt::AlignRight | Qt::AlignVCenter);
        connect(g, &Grid::cellChanged, this,
                [this, s](int col, int row) { lineChanged(s, col, row); });
    }
    Grid* detail = m_sheets[SheetDetail];
    detail->setMaxCols(DetailCode);
    detail->setHeaderTexts({QStringLiteral("내역"), QStringLiteral("금액"), QStringLiteral("메모"),
                            QStringLiteral("code")});
    detail->setColHidden(DetailCode, true);
    detail->setColWidth(DetailBigo, 200);
    detail->setColWidth(DetailMoney, 100);
    detail->setColWidth(DetailMemo, 300);
    detail->setColAlignment(DetailMoney, Qt::AlignRight | Qt::AlignVCenter);
    connect(detail, &Grid::cellChanged, this, &frmAffairs::detailChanged);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(b);
        return b;
    };
    m_btnEx = button("btnEx", QStringLiteral("↑ "));
    buttons->addStretch();
    connect(button("btnQuery", QStringLiteral("조회(&Q)")), &QPushButton::clicked, this,
            &frmAffairs::UpdateAffairs);
    connect(button("btnRecDel", QStringLiteral("삭제(&D)")), &QPushButton::clicked, this,
            &frmAffairs::RecDelete);
    connect(button("btnExcel", QStringLiteral("엑셀(&E)")), &QPushButton::clicked, this, [this] {
        ExportToExcelFile(m_sheets[m_tabs->currentIndex()], QStringLiteral("Sheet1"));
    });
    connect(button("btnPrint", QStringLiteral("인쇄(&P)")), &QPushButton::clicked, this, [this] {
        PrintGrid(m_sheets[m_tabs->currentIndex()], sheetName(m_tabs->currentIndex()));
    });
    connect(button("btnBalance", QStringLiteral("자금현황(&B)")), &QPushButton::clicked, this,
            &frmAffairs::openBalance);
    connect(button("btnClose", QStringLiteral("닫기(&X)")), &QPushButton::clicked, this,
            &QWidget::close);
    connect(m_btnEx, &QPushButton::clicked, this, &frmAffairs::toggleUpper);

    m_split = new QSplitter(Qt::Vertical, this);
    m_split->addWidget(m_pnlMove);
    m_split->addWidget(m_tabs);
    m_split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_split, 1);
    layout->addLayout(buttons);

    connect(m_cmbGroup, &QComboBox::activated, this, &frmAffairs::groupChosen);
    connect(m_cmbYear, &QComboBox::activated, this, [this] {
        m_year = m_cmbYear->currentText().toInt();
        setPeriodToYear();
        UpdateAffairs();
    });
    connect(m_htDate, &HCTerm::Change, this, [this] {
        if (!m_loading) {
            loadLines(SheetIncome);
            loadLines(SheetExpense);
        }
    });
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == SheetDetail) {
            m_detailExpense = selectedExpense();
            loadDetail();
        } else if (index == SheetExpense) {
            const int row = m_sheets[SheetExpense]->activeRow();
            loadLines(SheetExpense);
            m_sheets[SheetExpense]->setActiveCell(LineDate, qMax(1, row));
        }
    });

    fillGroups();
}

frmAffairs::~frmAffairs() = default;

QString frmAffairs::sheetName(int index) const {
    return m_tabs->tabText(index) + QStringLiteral(" [") + m_cmbGroup->currentText() +
           QStringLiteral("]");
}

void frmAffairs::fillGroups() {
    Recordset rs;
    OpenRecordset(rs, QStringLiteral("SELECT gname, repeatclass FROM tblgroup ORDER BY code"));
    m_cmbGroup->clear();
    int first = -1;
    for (int r = 0; r < rs.recordCount(); ++r) {
        m_cmbGroup->addItem(rs.row(r)[0].toString());
        if (first < 0 && !rs.row(r)[1].toString().trimmed().isEmpty()) first = r;
    }
    m_cmbGroup->setCurrentIndex(qMax(0, first));
    groupChosen();
}

void frmAffairs::clearSheets() {
    m_group = 0;
    for (int i = 0; i < SheetCount; ++i) {
        m_sheets[i]->clear();
        m_sheets[i]->setMaxRows(0);
        if (i > 0) m_lines[i].clear();
    }
    m_paid.clear();
}

// A group can be managed only with a dues schedule; the question offers to set one.
void frmAffairs::groupChosen() {
    const QString name = m_cmbGroup->currentText();
    Recordset rs;
    OpenRecordset(
        rs,
        QStringLiteral(
            "SELECT repeatclass, settlementday, settlementmon, code FROM tblgroup WHERE gname = ?"),
        {name});
    if (rs.recordCount() == 0 || rs.row(0)[0].toString().trimmed().isEmpty()) {
        clearSheets();
        if (AskYesNo(QStringLiteral(
                "회비설정이 되어 있지 않습니다.\n자금관리는 그룹관리에서 회비및 납부일을 지정한 "
                "경우에만 사용 가능합니다.\n지금 지정 하시겠습니까?"))) {
            auto* w = ChildWindow<frmGroupSub>(QStringLiteral("frmGroupSub"));
            w->SetFormMode(1, true);
            connect(w, &frmGroupSub::groupSaved, this, &frmAffairs::UpdateAffairs,
                    Qt::UniqueConnection);
            const int row = w->grid()->searchCol(frmGroupSub::ColName, 1, -1, name);
            if (row > 0) w->selectRow(row);
            FormFocus(w);
        }
        return;
    }
    m_repeat = rs.row(0)[0].toString();
    m_day = rs.row(0)[1].toString();
    m_fee = rs.row(0)[2].toDouble();
    m_group = rs.row(0)[3].toInt();
    fillYears();
    loadDues();
    loadLines(SheetIncome);
    loadLines(SheetExpense);
    m_detailExpense = 0;
    loadDetail();
}

void frmAffairs::UpdateAffairs() {
    const QString name = m_cmbGroup->currentText();
    const int year = m_year;
    m_cmbGroup->clear();
    Recordset rs;
    OpenRecordset(rs, QStringLiteral("SELECT gname FROM tblgroup ORDER BY code"));
    for (int r = 0; r < rs.recordCount(); ++r)
        m_cmbGroup->addItem(rs.row(r)[0].toString());
    m_cmbGroup->setCurrentIndex(qMax(0, m_cmbGroup->findText(name)));
    m_year = year;
    groupChosen();
}

void frmAffairs::fillYears() {
    const QList<int> years = FundYears(m_group);
    if (m_year == 0 || !years.contains(m_year)) {
        m_year = Clock::today().year();
        setPeriodToYear();
    }
    m_cmbYear->clear();
    for (int y : years)
        m_cmbYear->addItem(QString::number(y));
    m_cmbYear->setCurrentIndex(m_cmbYear->findText(QString::number(m_year)));
}

// The income and expense sheets show the chosen year until the period is changed.
void frmAffairs::setPeriodToYear() {
    const bool was = m_loading;
    m_loading = true;
    m_htDate->SetText1(QStringLiteral("%1-01-01").arg(m_year));
    m_htDate->SetText2(QStringLiteral("%1-12-31").arg(m_year));
    m_loading = was;
}

void frmAffairs::loadDues() {
    // Payments of members who have left the group become other income first.
    if (ConvertLeftMemberPayments(m_group, m_year) < 0) MsgInfo(kSaveFailed);
    Grid* g = m_sheets[SheetDues];
    m_loading = true;
    m_paid.clear();
    m_feeStart.clear();
    Recordset rs;
    OpenRecordset(rs,
                  QStringLiteral("SELECT sname, code, feestart FROM tblfriend WHERE code <> 1 AND "
                                 "ctblgroup = ? AND hidden = 0 ORDER BY code"),
                  {m_group});
    QHash<int, int> rowOf;
    rowOf.reserve(rs.recordCount());
    for (int r = 0; r < rs.recordCount(); ++r)
        rowOf.insert(rs.row(r)[1].toInt(), r + 1);
    const QList<DuesPayment> payments = DuesPayments(m_group, m_year);
    m_paid.reserveRows(rs.recordCount());
    for (const DuesPayment& p : payments) {
        const int row = rowOf.value(p.member);
        const int month = p.smonth.mid(5, 2).toInt();
        if (row > 0 && month >= 1 && month <= 12)
            m_paid.insert(qint64(row) * 100 + month, {p.code, p.sdate, p.money});
    }
    // Rows are filled with their payments at once; only the colours and locks follow.
    // Most payments are the group's amount: each amount is written out once.
    double lastMoney = 0;
    QString lastMoneyText;
    g->beginFill(rs.recordCount());
    for (int r = 0; r < rs.recordCount(); ++r) {
        QStringList cells(DuesCode);
        cells[DuesName - 1] = rs.row(r)[0].toString();
        cells[DuesCode - 1] = rs.row(r)[1].toString();
        m_feeStart << rs.row(r)[2].toString();
        for (int m = 1; m <= 12; ++m) {
            if (const Paid* it = m_paid.find(qint64(r + 1) * 100 + m)) {
                cells[dateCol(m) - 1] = shortDate(it->sdate);
                if (lastMoneyText.isNull() || it->money != lastMoney) {
                    lastMoney = it->money;
                    lastMoneyText = moneyText(lastMoney);
                }
                cells[moneyCol(m) - 1] = lastMoneyText;
            }
        }
        g->appendRow(cells);
    }
    // Coloured while the sheet is still filling, so the view hears of the new rows once.
    for (int row = 1; row <= g->maxRows(); ++row)
        for (int m = 1; m <= 12; ++m)
            paintDuesCell(row, m, false);
    g->endFill();
    m_loading = false;
}

void frmAffairs::paintDuesCell(int row, int month, bool withText) {
    Grid* g = m_sheets[SheetDues];
    const Paid* it = m_paid.find(qint64(row) * 100 + month);
    const bool paid = it != nullptr;
    const DuesState state = DuesMonthState(m_repeat, m_day, m_feeStart.value(row - 1), m_year,
                                           month, paid, Clock::today());
    const QColor color = state == DuesState::Paid      ? kPaid
                         : state == DuesState::Overdue ? kOverdue
                         : state == DuesState::Unpaid  ? kUnpaid
                                                       : kNotDue;
    for (int c : {dateCol(month), moneyCol(month)}) {
        // A freshly filled sheet is white and unlocked already.
        if (withText || state != DuesState::Unpaid) g->setCellBackColor(c, row, color);
        if (withText || state == DuesState::NotDue)
            g->setCellLocked(c, row, state == DuesState::NotDue);
    }
    if (withText) {
        const bool wasLoading = m_loading;
        m_loading = true;
        g->setText(dateCol(month), row, paid ? shortDate(it->sdate) : QString());
        g->setText(moneyCol(month), row, paid ? moneyText(it->money) : QString());
        m_loading = wasLoading;
    }
}

bool frmAffairs::markPaid(int row, int month, const QString& sdate, double money) {
    const qint64 key = qint64(row) * 100 + month;
    const Paid old = m_paid.value(key);
    const int member = m_sheets[SheetDues]->text(DuesCode, row).toInt();
    const QString smonth = QStringLiteral("%1-%2").arg(m_year).arg(month, 2, 10, QLatin1Char('0'));
    int code = old.code;
    if (code > 0) {
        // Only what changed is written, and only while the payment still holds what the
        // sheet showed.
        QVariantHash shown, values;
        if (sdate != old.sdate) {
            shown.insert(QStringLiteral("sdate"), old.sdate);
            values.insert(QStringLiteral("sdate"), sdate);
        }
        if (money != old.money) {
            shown.insert(QStringLiteral("smoney"), old.money);
            values.insert(QStringLiteral("smoney"), money);
        }
        const CellSave saved =
            SaveCell(QStringLiteral("tblgroupmon"), code, shown, values,
                     {{QStringLiteral("tblfriend"), member}, {QStringLiteral("tblgroup"), m_group}});
        if (saved == CellSave::Reload || saved == CellSave::Gone) {
            reloadLater();
            return false;
        }
        if (saved == CellSave::Failed) {
            paintDuesCell(row, month);
            return false;
        }
    } else {
        code = InsertDuesPayment(member, m_group, money, sdate, smonth);
        if (code < 0) {
            reloadLater();
            return false;
        }
    }
    if (code <= 0) {
        MsgInfo(kSaveFailed);
        paintDuesCell(row, month);
        return false;
    }
    m_paid.insert(key, {code, sdate, money});
    paintDuesCell(row, month);
    return true;
}

bool frmAffairs::unmark(int row, int month) {
    const qint64 key = qint64(row) * 100 + month;
    if (!m_paid.contains(key)) return false;
    if (!AskYesNo(QStringLiteral("회비 납부 내역을 삭제하시겠습니까?"), QStringLiteral("삭제 확인"),
                  false)) {
        paintDuesCell(row, month);
        return false;
    }
    if (ExecSQL(QStringLiteral("DELETE FROM tblgroupmon WHERE code = ?"),
                {m_paid.value(key).code}) <= 0) {
        MsgInfo(QStringLiteral("자료를 삭제할 수 없습니다."));
        paintDuesCell(row, month);
        return false;
    }
    m_paid.remove(key);
    paintDuesCell(row, month);
    ShowFloatNotice(QStringLiteral("삭제되었습니다."));
    return true;
}

void frmAffairs::duesDoubleClicked(int col, int row) {
    const int month = col / 2;
    if (m_group <= 0 || row < 1 || row > m_sheets[SheetDues]->maxRows() || col < dateCol(1) ||
        col > moneyCol(12))
        return;
    if (m_paid.contains(qint64(row) * 100 + month))
        unmark(row, month);
    else if (!m_sheets[SheetDues]->cellLocked(col, row))
        markPaid(row, month, Clock::today().toString(Qt::ISODate), m_fee);
}

// A typed date marks the month (with the group's amount when none is shown); a typed
// amount marks it with today; an emptied date unmarks it.
void frmAffairs::duesChanged(int col, int row) {
    if (m_loading || col < dateCol(1) || col > moneyCol(12)) return;
    const int month = col / 2;
    const qint64 key = qint64(row) * 100 + month;
    const bool paid = m_paid.contains(key);
    const QString text = m_sheets[SheetDues]->text(col, row).trimmed();
    if (col == dateCol(month)) {
        if (text.isEmpty()) {
            if (paid) unmark(row, month);
            return;
        }
        const QString sdate = CheckDateText(text, true);
        if (sdate.isEmpty()) {
            paintDuesCell(row, month);
            return;
        }
        markPaid(row, month, sdate, paid ? m_paid.value(key).money : m_fee);
        return;
    }
    double money = 0;
    if (!parseMoney(text, &money)) {
        MsgInfo(QStringLiteral("금액은 숫자로 입력하세요."));
        paintDuesCell(row, month);
        return;
    }
    markPaid(row, month, paid ? m_paid.value(key).sdate : Clock::today().toString(Qt::ISODate),
             money);
}

void frmAffairs::loadLines(int sheet) {
    Grid* g = m_sheets[sheet];
    m_loading = true;
    const QString from =
        m_htDate->Text1().isEmpty() ? QStringLiteral("0000-00-00") : m_htDate->Text1();
    const QString to =
        m_htDate->Text2().isEmpty() ? QStringLiteral("9999-99-99") : m_htDate->Text2();
    m_lines[sheet] =
        m_group > 0 ? FundLines(m_group, QString::number(sheet), from, to) : QList<FundLine>();
    const QList<FundLine>& lines = m_lines[sheet];
    g->beginFill(lines.size() + 1);
    for (const FundLine& l : lines)
        g->appendRow({l.sdate, l.item, moneyText(l.money), l.memo, QString::number(l.code)});
    // The new line starts with today's date.
    g->appendRow({m_group > 0 ? Clock::today().toString(Qt::ISODate) : QString(), {}, {}, {}, {}});
    g->endFill();
    for (int r = 0; r < lines.size(); ++r)
        if (lines[r].lineCount > 0)
            g->setCellLocked(LineMoney, r + 1, true); // the detail lines make the amount
    m_loading = false;
}

int frmAffairs::selectedExpense() const {
    const Grid* g = m_sheets[SheetExpense];
    return g->activeRow() >= 1 ? g->text(LineCode, g->activeRow()).toInt() : 0;
}

void frmAffairs::loadDetail() {
    Grid* g = m_sheets[SheetDetail];
    m_loading = true;
    m_lines[SheetDetail] = m_detailExpense > 0 ? DetailLines(m_detailExpense) : QList<FundLine>();
    g->beginFill(m_lines[SheetDetail].size() + 1);
    for (const FundLine& l : m_lines[SheetDetail])
        g->appendRow({l.item, moneyText(l.money), l.memo, QString::number(l.code)});
    g->appendRow({{}, {}, {}, {}});
    g->endFill();
    m_loading = false;
}

void frmAffairs::lineChanged(int sheet, int col, int row) {
    if (m_loading || m_group <= 0) return;
    Grid* g = m_sheets[sheet];
    QList<FundLine>& lines = m_lines[sheet];
    const bool isNew = row > lines.size();
    FundLine l = isNew ? FundLine{} : lines[row - 1];
    if (isNew) l.sdate = NormalizeDate(g->text(LineDate, row));
    const auto restore = [&] {
        m_loading = true;
        const FundLine& o = isNew ? FundLine{} : lines[row - 1];
        if (col == LineDate)
            g->setText(col, row, isNew ? Clock::today().toString(Qt::ISODate) : o.sdate);
        else if (col == LineItem)
            g->setText(col, row, o.item);
        else if (col == LineMoney)
            g->setText(col, row, isNew ? QString() : moneyText(o.money));
        m_loading = false;
    };
    const QString text = g->text(col, row).trimmed();
    switch (col) {
    case LineDate:
        l.sdate = CheckDateText(text, true);
        if (l.sdate.isEmpty()) return restore();
        break;
    case LineItem:
        if (text.isEmpty()) return restore();
        l.item = PickOrAdd(QStringLiteral("tblaffairsnote"), text, QString::number(sheet));
        if (l.item.isEmpty()) return restore();
        break;
    case LineMoney:
        if (!parseMoney(text, &l.money)) {
            MsgInfo(QStringLiteral("금액은 숫자로 입력하세요."));
            return restore();
        }
        break;
    case LineMemo:
        l.memo = g->text(col, row);
        break;
    default:
        return;
    }
    if (isNew) {
        if (l.sdate.isEmpty()) l.sdate = Clock::today().toString(Qt::ISODate);
        if (col == LineDate) return; // a date alone makes no line yet
    }
    int code = l.code;
    if (isNew) {
        code = InsertFundLine(m_group, QString::number(sheet), l);
        if (code < 0) return reloadLater();
    } else {
        // The one edited column, while the line still holds what the sheet showed.
        const FundLine& o = lines[row - 1];
        static const char* const columns[] = {"", "sdate", "ctblaffairsnote", "smoney", "smemo"};
        const QString column = QString::fromLatin1(columns[col]);
        const QVariant shown = col == LineDate   ? QVariant(o.sdate)
                               : col == LineItem ? QVariant(o.item)
                               : col == LineMoney ? QVariant(o.money)
                                                  : QVariant(o.memo);
        const QVariant value = col == LineDate   ? QVariant(l.sdate)
                               : col == LineItem ? QVariant(l.item)
                               : col == LineMoney ? QVariant(l.money)
                                                  : QVariant(l.memo);
        const CellSave saved = SaveCell(QStringLiteral("tblgroupmon"), code, {{column, shown}},
                                        {{column, value}}, {{QStringLiteral("tblgroup"), m_group}});
        if (saved == CellSave::Reload || saved == CellSave::Gone) return reloadLater();
        if (saved == CellSave::Failed) return restore();
    }
    if (code <= 0) {
        MsgInfo(kSaveFailed);
        return restore();
    }
    l.code = code;
    m_loading = true;
    g->setRowTexts(row, {l.sdate, l.item, moneyText(l.money), l.memo, QString::number(code)});
    if (isNew) {
        lines.append(l);
        g->setMaxRows(row + 1);
        g->setText(LineDate, row + 1, Clock::today().toString(Qt::ISODate));
    } else {
        lines[row - 1] = l;
    }
    m_loading = false;
}

void frmAffairs::detailChanged(int col, int row) {
    if (m_loading) return;
    Grid* g = m_sheets[SheetDetail];
    QList<FundLine>& lines = m_lines[SheetDetail];
    const bool isNew = row > lines.size();
    FundLine l = isNew ? FundLine{} : lines[row - 1];
    const auto restore = [&] {
        m_loading = true;
        const FundLine o = isNew ? FundLine{} : lines[row - 1];
        g->setRowTexts(row, {o.item, isNew ? QString() : moneyText(o.money), o.memo,
                             isNew ? QString() : QString::number(o.code)});
        m_loading = false;
    };
    if (m_detailExpense <= 0) {
        MsgInfo(QStringLiteral("지출 내역에서 저장된 지출을 먼저 선택하세요."));
        return restore();
    }
    const QString text = g->text(col, row);
    switch (col) {
    case DetailBigo:
        l.item = text.trimmed();
        break;
    case DetailMoney:
        if (!parseMoney(text.trimmed(), &l.money)) {
            MsgInfo(QStringLiteral("금액은 숫자로 입력하세요."));
            return restore();
        }
        break;
    case DetailMemo:
        l.memo = text;
        break;
    default:
        return;
    }
    int code = l.code;
    if (isNew) {
        code = InsertDetailLine(m_detailExpense, l);
        if (code < 0) return reloadLater();
    } else {
        const FundLine& o = lines[row - 1];
        static const char* const columns[] = {"", "bigo", "smoney", "smemo"};
        const QString column = QString::fromLatin1(columns[col]);
        const QVariant shown = col == DetailBigo    ? QVariant(o.item)
                               : col == DetailMoney ? QVariant(o.money)
                                                    : QVariant(o.memo);
        const QVariant value = col == DetailBigo    ? QVariant(l.item)
                               : col == DetailMoney ? QVariant(l.money)
                                                    : QVariant(l.memo);
        const CellSave saved =
            SaveCell(QStringLiteral("tblsubdata"), code, {{column, shown}}, {{column, value}},
                     {{QStringLiteral("tblgroupmon"), m_detailExpense}});
        if (saved == CellSave::Reload || saved == CellSave::Gone) return reloadLater();
        if (saved == CellSave::Failed) return restore();
    }
    if (code <= 0) {
        MsgInfo(kSaveFailed);
        return restore();
    }
    l.code = code;
    m_loading = true;
    g->setRowTexts(row, {l.item, moneyText(l.money), l.memo, QString::number(code)});
    if (isNew) {
        lines.append(l);
        g->setMaxRows(row + 1);
    } else {
        lines[row - 1] = l;
    }
    m_loading = false;
}

bool frmAffairs::RecDelete() {
    const int sheet = m_tabs->currentIndex();
    Grid* g = m_sheets[sheet];
    g->commitEdit();
    const int row = g->activeRow();
    if (sheet == SheetDues) {
        const int month = g->activeCol() / 2;
        if (row >= 1 && month >= 1 && month <= 12 && m_paid.contains(qint64(row) * 100 + month))
            return unmark(row, month);
        MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
        return false;
    }
    const int codeCol = sheet == SheetDetail ? int(DetailCode) : int(LineCode);
    const int code = row >= 1 ? g->text(codeCol, row).toInt() : 0;
    if (code <= 0) {
        MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
        return false;
    }
    if (!AskYesNo(QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"), QStringLiteral("삭제"),
                  false))
        return false;
    const bool ok = sheet == SheetDetail ? DeleteDetailLine(code) : DeleteFundRecord(code);
    if (!ok) {
        MsgWarning(QStringLiteral("코드[") + QString::number(code) +
                   QStringLiteral("]에 해당하는 자료를 삭제할 수 없습니다."));
        return false;
    }
    if (sheet == SheetDetail)
        loadDetail();
    else
        loadLines(sheet);
    g->setActiveCell(1, qMin(row, g->maxRows()));
    return true;
}

// After another PC changed or deleted what a cell showed: every sheet is read again once
// the cell's own edit has finished.
void frmAffairs::reloadLater() {
    QTimer::singleShot(0, this, [this] {
        const int sheet = m_tabs->currentIndex();
        Grid* g = m_sheets[sheet];
        const int col = g->activeCol(), row = g->activeRow();
        UpdateAffairs();
        if (row >= 1 && col >= 1) g->setActiveCell(col, qMin(row, qMax(1, g->maxRows())));
    });
}

void frmAffairs::openBalance() {
    if (m_group <= 0) return;
    auto* w = ChildWindow<frmGroupBalance>(QStringLiteral("frmGroupBalance"));
    w->showGroup(m_group, m_cmbGroup->currentText());
    FormFocus(w);
    // The MDI area opens a window maximised beside a maximised one: this one keeps its
    // own small size.
    if (QMdiSubWindow* sub = WindowRegistry::subWindowOf(w); sub && sub->isMaximized()) {
        sub->showNormal();
        sub->resize(sub->minimumSizeHint().expandedTo(sub->sizeHint()));
        if (QWidget* area = sub->parentWidget())
            sub->move(qMax(0, (area->width() - sub->width()) / 2),
                      qMax(0, (area->height() - sub->height()) / 2));
    }
}

void frmAffairs::toggleUpper() {
    const bool show = !m_pnlMove->isVisible();
    m_pnlMove->setVisible(show);
    m_btnEx->setText(show ? QStringLiteral("↑ ") : QStringLiteral("↓ "));
}

bool frmAffairs::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_sheets.value(SheetDues) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier && m_group > 0) {
            auto* editor = ChildWindow<frmFriendAdd>(QStringLiteral("frmFriendAdd"));
            connect(editor, &RecordEditor::recordSaved, this, &frmAffairs::UpdateAffairs,
                    Qt::UniqueConnection);
            editor->SetFormMode(1);
            editor->setGroupName(m_cmbGroup->currentText());
            FormFocus(editor);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// The stored height of the upper panel is applied once the splitter has its real size.
void frmAffairs::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_topRestored) return;
    m_topRestored = true;
    const int top = IniFile(FormIniPath(objectName()))
                        .value(QStringLiteral("pnlMove"), QStringLiteral("top"))
                        .toInt();
    const int total = m_split->sizes().value(0) + m_split->sizes().value(1);
    if (top > 0 && top < total) m_split->setSizes({top, total - top});
}

void frmAffairs::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_F4) {
        RecDelete();
        return;
    }
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_F5) {
        UpdateAffairs();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmAffairs::closeEvent(QCloseEvent* event) {
    for (Grid* g : m_sheets)
        g->commitEdit();
    if (m_pnlMove->isVisible()) {
        IniFile ini(FormIniPath(objectName()));
        ini.setValue(QStringLiteral("pnlMove"), QStringLiteral("top"),
                     QString::number(m_pnlMove->height()));
        ini.save(FormIniPath(objectName()));
    }
    QWidget::closeEvent(event);
}
