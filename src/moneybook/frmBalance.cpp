#include "moneybook/frmBalance.h"
#include "moneybook/MoneyBookWidgets.h"

#include "moneybook/MoneyBookRules.h"
#include "moneybook/frmBalance_Write.h"
#include "sales/MoneyBalance.h"
#include "db/Database.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "ui/RecordWindow.h"
#include "ui/TotalsGrid.h"

#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

using MoneyBook::button;

frmBalance::frmBalance(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmBalance"));
    setWindowTitle(QStringLiteral("통장별현황"));
    resize(420, 420);
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setMaxCols(ColCount - 1);
    m_grid->setHeaderTexts(
        {QStringLiteral("통장이름"), QStringLiteral("잔  액"), QStringLiteral("code")});
    m_grid->setColType(ColBalance, CellType::Number);
    m_grid->setColHidden(ColCode, true);
    m_grid->setColWidth(ColName, 180);
    m_grid->setColWidth(ColBalance, 140);
    GridMenu::attach(m_grid, this);
    m_sum = new TotalsGrid(m_grid, {{ColBalance, QString()}}, this);
    m_sum->setColHeadersVisible(false);
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

void frmBalance::showEvent(QShowEvent* event) {
    // Balances change in other windows (and on other PCs) while this one waits behind
    // them: every time it comes to the front it reads them again.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()); sub && !m_followsFront) {
        m_followsFront = true;
        connect(sub, &QMdiSubWindow::aboutToActivate, this, [this] { load(false); });
    }
    QWidget::showEvent(event);
}

void frmBalance::loadList() {
    load(true);
}

void frmBalance::load(bool notice) {
    Recordset rs;
    const int n = OpenRecordset(
        rs, QStringLiteral("SELECT code, accountname FROM tblgrouping WHERE code <> 1 AND "
                           "accountclass = '1' ORDER BY accountname, code"));
    double total = CashBalance();
    m_grid->beginFill(qMax(0, n) + 1);
    m_grid->appendRow({QStringLiteral("현금"), MoneyBook::MoneyText(total), QStringLiteral("1")});
    for (int r = 0; r < qMax(0, n); ++r) {
        const int code = rs.row(r)[0].toInt();
        const double balance = AccountBalance(code);
        total += balance;
        m_grid->appendRow({rs.row(r)[1].toString(), MoneyBook::MoneyText(balance), QString::number(code)});
    }
    m_grid->endFill();
    m_sum->setText(ColName, 1, QStringLiteral("[합 계]"));
    m_sum->setText(ColBalance, 1, MoneyBook::MoneyText(total));
    if (n <= 0 && notice) ShowNoResultNotice();
}
