#include "moneybook/frmBalance_Write.h"
#include "moneybook/MoneyBookWidgets.h"

#include "core/Clock.h"
#include "db/Database.h"
#include "moneybook/MoneyBookRules.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "ui/HCTerm.h"
#include "ui/RecordWindow.h"

#include <QDate>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using MoneyBook::button;

frmBalance_Write::frmBalance_Write(QWidget* parent) : QWidget(parent) {
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

void frmBalance_Write::query() {
    const MoneyBook::Period p = MoneyBook::NormalizePeriod(m_period->Text1(), m_period->Text2());
    Recordset rs;
    const int n = OpenRecordset(
        rs,
        QStringLiteral(
            "SELECT j.sdate, g.accountname, j.smoney FROM tbljangbu AS j, tblgrouping AS g "
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
        if (rows.isEmpty() || rows.last().first() != date) rows.append(QStringList{date});
        QStringList& row = rows.last();
        const int c = colOf.value(account);
        while (row.size() <= c)
            row << QString();
        row[c] = MoneyBook::MoneyText(rs.row(r)[2].toDouble()); // a later record of the day wins
    }
    m_grid->setMaxCols(int(columns.size()));
    m_grid->setHeaderTexts(columns);
    for (int c = 2; c <= columns.size(); ++c)
        m_grid->setColType(c, CellType::Number);
    m_grid->setAllRows(rows);
    if (n <= 0) ShowNoResultNotice();
}
