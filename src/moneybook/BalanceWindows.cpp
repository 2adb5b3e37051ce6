#include "moneybook/BalanceWindows.h"

#include "core/Clock.h"
#include "core/Prompt.h"
#include "db/Database.h"
#include "moneybook/MoneyBookRules.h"
#include "sales/MoneyBalance.h"
#include "ui/FloatNotice.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "ui/HCTerm.h"
#include "ui/HCText.h"
#include "ui/RecordWindow.h"
#include "ui/TextRules.h"

#include <QDate>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using MoneyBook::MoneyText;

namespace {
QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}
} // namespace

frmBalance::frmBalance(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmBalance"));
    setWindowTitle(QStringLiteral("통장별현황"));
    resize(420, 420);
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setMaxCols(ColCount - 1);
    m_grid->setHeaderTexts({QStringLiteral("통장이름"), QStringLiteral("잔  액"), QStringLiteral("code")});
    m_grid->setColType(ColBalance, CellType::Number);
    m_grid->setColHidden(ColCode, true);
    m_grid->setColWidth(ColName, 180);
    m_grid->setColWidth(ColBalance, 140);
    GridMenu::attach(m_grid, this);
    m_sum = new Grid(this);
    m_sum->setObjectName(QStringLiteral("spSum"));
    m_sum->setListMode();
    m_sum->setMaxCols(2);
    m_sum->setColHeadersVisible(false);
    m_sum->setColType(2, CellType::Number);
    m_sum->setColWidth(1, 180);
    m_sum->setColWidth(2, 140);
    m_sum->setMaxRows(1);
    m_sum->setFixedHeight(36);
    auto* records = button(this, "btnBalanceWrite", QStringLiteral("잔액기록현황"));
    auto* refresh = button(this, "btnQuery", QStringLiteral("새로고침"));
    auto* close = button(this, "btnClose", QStringLiteral("닫기"));
    connect(records, &QPushButton::clicked, this,
            [] { OpenChild<frmBalance_Write>(QStringLiteral("frmBalance_Write")); });
    connect(refresh, &QPushButton::clicked, this, &frmBalance::loadList);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(records);
    buttons->addStretch();
    buttons->addWidget(refresh);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_sum);
    layout->addLayout(buttons);
    loadList();
}

void frmBalance::loadList()
{
    Recordset rs;
    const int n = OpenRecordset(rs, QStringLiteral("SELECT code, accountname FROM tblgrouping WHERE code <> 1 AND "
                                                   "accountclass = '1' ORDER BY accountname, code"));
    double total = CashBalance();
    m_grid->beginFill(qMax(0, n) + 1);
    m_grid->appendRow({QStringLiteral("현금"), MoneyText(total), QStringLiteral("1")});
    for (int r = 0; r < qMax(0, n); ++r) {
        const int code = rs.row(r)[0].toInt();
        const double balance = AccountBalance(code);
        total += balance;
        m_grid->appendRow({rs.row(r)[1].toString(), MoneyText(balance), QString::number(code)});
    }
    m_grid->endFill();
    m_sum->setText(1, 1, QStringLiteral("[합 계]"));
    m_sum->setText(2, 1, MoneyText(total));
    if (n <= 0)
        ShowNoResultNotice();
}

frmBalance_Write::frmBalance_Write(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmBalance_Write"));
    setWindowTitle(QStringLiteral("통장별잔액기록현황"));
    resize(640, 420);
    m_period = new HCTerm(this);
    m_period->setObjectName(QStringLiteral("htDate"));
    const QDate today = Clock::today();
    m_period->SetText1(QDate(today.year(), 1, 1).toString(QStringLiteral("yyyy-MM-dd")));
    m_period->SetText2(QDate(today.year(), 12, 31).toString(QStringLiteral("yyyy-MM-dd")));
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    GridMenu::attach(m_grid, this);
    auto* queryButton = button(this, "btnQuery", QStringLiteral("조회(F5)"));
    auto* close = button(this, "btnClose", QStringLiteral("닫기"));
    queryButton->setShortcut(QKeySequence(Qt::Key_F5));
    connect(queryButton, &QPushButton::clicked, this, &frmBalance_Write::query);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("기간"), this));
    top->addWidget(m_period);
    top->addStretch();
    top->addWidget(queryButton);
    top->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    query();
}

void frmBalance_Write::query()
{
    const MoneyBook::Period p = MoneyBook::NormalizePeriod(m_period->Text1(), m_period->Text2());
    Recordset rs;
    const int n = OpenRecordset(rs,
                                QStringLiteral("SELECT j.sdate, g.accountname, j.smoney FROM tbljangbu AS j, tblgrouping AS g "
                                               "WHERE j.cgroupin = g.code AND j.sectionclass = '9' AND g.code <> 1 "
                                               "AND j.sdate BETWEEN ? AND ? ORDER BY j.sdate, g.accountname, j.code"),
                                {p.from, p.to});
    QStringList columns{QStringLiteral("날  짜")};
    QHash<QString, int> colOf;
    QVector<QStringList> rows;
    for (int r = 0; r < qMax(0, n); ++r) {
        const QString date = rs.row(r)[0].toString();
        const QString account = rs.row(r)[1].toString();
        if (!colOf.contains(account)) {
            columns << account;
            colOf.insert(account, int(columns.size()) - 1);
        }
        if (rows.isEmpty() || rows.last().first() != date)
            rows.append(QStringList{date});
        QStringList& row = rows.last();
        const int c = colOf.value(account);
        while (row.size() <= c)
            row << QString();
        row[c] = MoneyText(rs.row(r)[2].toDouble()); // a later record of the day wins
    }
    m_grid->setMaxCols(int(columns.size()));
    m_grid->setHeaderTexts(columns);
    for (int c = 2; c <= columns.size(); ++c)
        m_grid->setColType(c, CellType::Number);
    m_grid->setAllRows(rows);
    if (n <= 0)
        ShowNoResultNotice();
}

frmStartMoney::frmStartMoney(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmStartMoney"));
    setWindowTitle(QStringLiteral("기초 현금 잔액을 입력하세요"));
    m_field = new HCText(this);
    m_field->setObjectName(QStringLiteral("htField"));
    m_field->SetAcceptType(HCText::Number);
    m_field->SetShowSeparate(true);
    m_field->setText(MoneyText(GetScalar(QStringLiteral("SELECT sbalance FROM tblgrouping WHERE code = 1")).toDouble()));
    auto* save = button(this, "btnSave", QStringLiteral("저장(&S)"));
    auto* close = button(this, "btnClose", QStringLiteral("닫기(&X)"));
    connect(save, &QPushButton::clicked, this, &frmStartMoney::RecSave);
    connect(m_field, &QLineEdit::returnPressed, this, &frmStartMoney::RecSave);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("기초현금"), this));
    layout->addWidget(m_field, 1);
    layout->addWidget(save);
    layout->addWidget(close);
    resize(420, 60);
}

bool frmStartMoney::RecSave()
{
    const double value = NumericValue(m_field->text());
    if (ExecSQL(QStringLiteral("UPDATE tblgrouping SET sbalance = ? WHERE code = 1"), {value}) <= 0) {
        MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
        return false;
    }
    ShowFloatNotice(QStringLiteral("자료가 저장되었습니다."));
    CloseWindow(this);
    return true;
}
