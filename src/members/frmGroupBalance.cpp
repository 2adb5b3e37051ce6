#include "members/frmGroupBalance.h"

#include "members/FundStore.h"

#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

frmGroupBalance::frmGroupBalance(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmGroupBalance"));
    setWindowTitle(QStringLiteral("그룹자금현황"));
    auto* grid = new QGridLayout(this);
    m_title = new QLabel(this);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setObjectName(QStringLiteral("lblGroup"));
    grid->addWidget(m_title, 0, 0, 1, 2);
    static const char* const captions[] = {"회비 수입", "기타 수입", "지출", "지출 세부 내역 합계",
                                           "잔액"};
    static const char* const names[] = {"lblDues", "lblIncome", "lblExpense", "lblDetail",
                                        "lblBalance"};
    for (int i = 0; i < 5; ++i) {
        grid->addWidget(new QLabel(QString::fromUtf8(captions[i]), this), i + 1, 0);
        m_values[i] = new QLabel(this);
        m_values[i]->setObjectName(QString::fromLatin1(names[i]));
        m_values[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_values[i]->setMinimumWidth(140);
        grid->addWidget(m_values[i], i + 1, 1);
    }
    QFont bold = m_values[4]->font();
    bold.setBold(true);
    m_values[4]->setFont(bold);
    auto* close = new QPushButton(QStringLiteral("닫기(&X)"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    grid->addWidget(close, 6, 1);
    // A small window of its own size, not maximised with the funds window.
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void frmGroupBalance::showGroup(int group, const QString& name) {
    m_title->setText(QStringLiteral("[") + name + QStringLiteral("]"));
    const FundTotals t = GroupFundTotals(group);
    const double values[] = {t.dues, t.income, t.expense, t.detail, t.balance()};
    const QLocale c(QLocale::English);
    for (int i = 0; i < 5; ++i)
        m_values[i]->setText(c.toString(qRound64(values[i])));
}
