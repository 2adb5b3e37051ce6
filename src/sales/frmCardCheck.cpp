#include "sales/frmCardCheck.h"

#include "core/Clock.h"
#include "core/Prompt.h"
#include "db/Database.h"
#include "db/DbRow.h"
#include "sales/SalesRules.h"
#include "sales/SalesWidgets.h"
#include "sales/TradeStore.h"
#include "ui/FormIni.h"
#include "ui/Grid.h"
#include "ui/HCTerm.h"
#include "ui/RecordWindow.h"
#include "ui/TextRules.h"
#include "ui/TotalsGrid.h"
#include "ui/cFpPreview.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {
// Fee and deposit keep their fractions.
QString exactMoney(double v)
{
    return FormatNumber(v, v == std::floor(v) ? 0 : 2);
}
} // namespace

frmCardCheck::frmCardCheck(QWidget* parent) : RecordList(QStringLiteral("신용카드입금확인"), parent)
{
    setObjectName(QStringLiteral("frmCardCheck"));
    m_period = new HCTerm(this);
    m_period->setObjectName(QStringLiteral("htDate"));
    m_period->ThisMonth();
    auto* queryButton = SalesButton(this, "btnQuery", QStringLiteral("조회 (F5)"));
    m_onlyOpen = new QCheckBox(QStringLiteral("미확인만 보기(&N)"), this);
    m_onlyOpen->setObjectName(QStringLiteral("chkEnd"));
    m_all = new QCheckBox(QStringLiteral("전체선택(&A)"), this);
    m_all->setObjectName(QStringLiteral("chkSelectAll"));
    m_list = new Grid(this);
    m_list->setObjectName(QStringLiteral("spList"));
    m_list->setEntryMode();
    m_list->setMaxCols(ColCount);
    m_list->setHeaderTexts({QStringLiteral("선택"), QStringLiteral("거래일자"), QStringLiteral("고객명"),
                            QStringLiteral("카드회사"), QStringLiteral("결제금액"), QStringLiteral("수수료"),
                            QStringLiteral("입금금액"), QStringLiteral("확인일자"), QStringLiteral("확인"),
                            QStringLiteral("Memo"), QStringLiteral("code")});
    for (int c = CDate; c <= ColCount; ++c)
        if (c != CChecked)
            m_list->setColLocked(c, true);
    m_list->setColType(CSelect, CellType::CheckBox);
    MarkTickColumn(m_list, CSelect);
    m_list->setColType(CChecked, CellType::CheckBox);
    for (int c : {int(CAmount), int(CFee), int(CDeposit)})
        m_list->setColType(c, CellType::Number);
    m_list->setColHidden(CCode, true);
    m_list->setColWidth(CMemo, 180);
    m_sum = new TotalsGrid(m_list,
                           {{CAmount, QStringLiteral("결제금액")},
                            {CFee, QStringLiteral("수수료")},
                            {CDeposit, QStringLiteral("입금금액")}},
                           this);
    m_count = new QLabel(QStringLiteral("0"), this);
    m_count->setObjectName(QStringLiteral("lblCountRec"));
    m_selSum = new QLabel(QStringLiteral("0"), this);
    m_selSum->setObjectName(QStringLiteral("lblSum"));
    auto* ok = SalesButton(this, "btnOK", QStringLiteral("입금확인"));
    auto* cancel = SalesButton(this, "btnCancel", QStringLiteral("확인취소"));
    auto* print = SalesButton(this, "btnPrint", QStringLiteral("인쇄 (F7)"));
    auto* excel = SalesButton(this, "btnExcel", QStringLiteral("엑셀 (F8)"));
    auto* close = SalesButton(this, "btnClose", QStringLiteral("닫기"));
    connect(queryButton, &QPushButton::clicked, this, &frmCardCheck::query);
    connect(ok, &QPushButton::clicked, this, &frmCardCheck::confirmSelected);
    connect(cancel, &QPushButton::clicked, this, &frmCardCheck::cancelSelected);
    connect(print, &QPushButton::clicked, this, &frmCardCheck::printList);
    connect(excel, &QPushButton::clicked, this, &frmCardCheck::exportList);
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(m_all, &QCheckBox::toggled, this, [this](bool on) {
        m_busy = true;
        for (int r = 1; r <= m_list->maxRows(); ++r)
            m_list->setText(CSelect, r, on ? QStringLiteral("1") : QString());
        m_busy = false;
        updateSelection();
    });
    connect(m_list, &Grid::cellChanged, this, &frmCardCheck::onCellChanged);

    auto* top = new QHBoxLayout;
    top->addWidget(m_period);
    top->addWidget(queryButton);
    top->addWidget(m_onlyOpen);
    top->addWidget(m_all);
    top->addStretch();
    auto* info = new QHBoxLayout;
    info->addWidget(new QLabel(QStringLiteral("선택 자료수 :"), this));
    info->addWidget(m_count);
    info->addSpacing(20);
    info->addWidget(new QLabel(QStringLiteral("선택된 입금액 합계 :"), this));
    info->addWidget(m_selSum);
    info->addStretch();
    for (QPushButton* b : {ok, cancel, print, excel, close})
        info->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_sum);
    layout->addLayout(info);
    setListGrid(m_list, CCode, QStringLiteral("tbltrade"));
    resize(900, 520);
    query();
}

void frmCardCheck::query()
{
    const QString sql = CardCheckSql(m_onlyOpen->isChecked());
    m_busy = true;
    m_list->beginFill();
    // Columns are looked up on the first row; each row's cells are read straight from the
    // engine into one list kept from row to row.
    enum { Date, Friend, Card, Amount, Fee, Checked, Memo, Code, ColCount };
    static const char* const names[ColCount] = {"sdate", "fname", "sname", "dcard", "dfee", "cardchk", "smemo", "code"};
    int at[ColCount];
    bool found = false;
    QStringList cells(CCode);
    const int n = ReadRows(sql, {m_period->Text1(), m_period->Text2()}, [&](const DbRow& row) {
        if (!found) {
            for (int i = 0; i < ColCount; ++i)
                at[i] = row.columnIndex(QString::fromLatin1(names[i]));
            found = true;
        }
        const double amount = row.number(at[Amount]);
        const double fee = row.number(at[Fee]);
        QString* cell = cells.data(); // the grid copies each row: the list is only read meanwhile
        row.text(at[Date], cell[CDate - 1]);
        row.text(at[Friend], cell[CName - 1]);
        row.text(at[Card], cell[CCompany - 1]);
        cell[CAmount - 1] = MoneyText(amount);
        cell[CFee - 1] = exactMoney(CardFee(amount, fee));
        cell[CDeposit - 1] = exactMoney(CardDeposit(amount, fee));
        row.text(at[Checked], cell[CCheckDate - 1]);
        if (cell[CCheckDate - 1].isEmpty())
            cell[CChecked - 1].resize(0);
        else
            cell[CChecked - 1] = QStringLiteral("1");
        row.text(at[Memo], cell[CMemo - 1]);
        row.text(at[Code], cell[CCode - 1]);
        m_list->appendRow(cells);
    });
    if (n < 0) { // failed part way (the error was shown): none of its rows
        m_list->endFill();
        m_list->beginFill();
    }
    m_list->endFill();
    m_busy = false;
    if (n == 0)
        ShowNoResultNotice();
    m_all->blockSignals(true);
    m_all->setChecked(false);
    m_all->blockSignals(false);
    updateSelection();
    recomputeSums();
}

void frmCardCheck::onCellChanged(int col, int row)
{
    if (m_busy)
        return;
    if (col == CSelect) {
        updateSelection();
        return;
    }
    if (col != CChecked)
        return;
    const bool on = m_list->text(CChecked, row) == QStringLiteral("1");
    m_busy = true;
    if (on) {
        if (!setConfirmed(row, true))
            m_list->setText(CChecked, row, QString());
    } else if (AskYesNo(QStringLiteral("확인를 정말 취소 하시겠습니까?"), QStringLiteral("취소 확인"), false)) {
        if (!setConfirmed(row, false))
            m_list->setText(CChecked, row, QStringLiteral("1"));
    } else {
        m_list->setText(CChecked, row, QStringLiteral("1"));
    }
    m_busy = false;
}

bool frmCardCheck::setConfirmed(int row, bool on)
{
    const QString old = m_list->text(CCheckDate, row);
    const QString date = on ? Clock::today().toString(QStringLiteral("yyyy-MM-dd")) : QString();
    if (ExecSQL(QStringLiteral("UPDATE tbltrade SET cardchk = ? WHERE code = ?"), {date, m_list->text(CCode, row).toInt()})
        <= 0) {
        MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
        m_list->setText(CCheckDate, row, old);
        return false;
    }
    m_list->setText(CCheckDate, row, date);
    m_list->setText(CChecked, row, on ? QStringLiteral("1") : QString());
    recomputeSums();
    return true;
}

void frmCardCheck::confirmSelected()
{
    m_busy = true;
    for (int r = 1; r <= m_list->maxRows(); ++r)
        if (m_list->text(CSelect, r) == QStringLiteral("1") && m_list->text(CChecked, r) != QStringLiteral("1"))
            setConfirmed(r, true);
    m_busy = false;
}

void frmCardCheck::cancelSelected()
{
    if (!AskYesNo(QStringLiteral("확인를 정말 취소 하시겠습니까?"), QStringLiteral("취소 확인"), false))
        return;
    m_busy = true;
    for (int r = 1; r <= m_list->maxRows(); ++r)
        if (m_list->text(CSelect, r) == QStringLiteral("1") && m_list->text(CChecked, r) == QStringLiteral("1"))
            setConfirmed(r, false);
    m_busy = false;
}

void frmCardCheck::updateSelection()
{
    int count = 0;
    double sum = 0;
    for (int r = 1; r <= m_list->maxRows(); ++r) {
        if (m_list->text(CSelect, r) != QStringLiteral("1"))
            continue;
        ++count;
        sum += m_list->number(CDeposit, r);
    }
    m_count->setText(QString::number(count));
    m_selSum->setText(exactMoney(sum));
}

void frmCardCheck::recomputeSums()
{
    double amount = 0, fee = 0, deposit = 0;
    for (int r = 1; r <= m_list->maxRows(); ++r) {
        amount += m_list->number(CAmount, r);
        fee += m_list->number(CFee, r);
        deposit += m_list->number(CDeposit, r);
    }
    m_sum->setText(CAmount, 1, MoneyText(amount));
    m_sum->setText(CFee, 1, exactMoney(fee));
    m_sum->setText(CDeposit, 1, exactMoney(deposit));
}

void frmCardCheck::printList()
{
    PrintGridForReport(objectName(), m_list, QStringLiteral("신용카드 입금 확인"));
}
