#include "moneybook/FrmRPT_graphA.h"

#include "core/Clock.h"
#include "db/Database.h"
#include "ui/PickOrAdd.h"
#include "moneybook/FrmGraph.h"
#include "moneybook/GraphAnalysis.h"
#include "ui/HCTerm.h"
#include "ui/HCText.h"
#include "ui/RecordWindow.h"
#include "ui/SearchInput.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FrmRPT_graphA::FrmRPT_graphA(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmRPT_graphA"));
    setWindowTitle(QStringLiteral("가계부 분석"));
    m_period = new HCTerm(this);
    m_period->setObjectName(QStringLiteral("hmDate"));
    const QDate today = Clock::today();
    m_period->SetText1(QDate(today.year(), 1, 1).toString(QStringLiteral("yyyy-MM-dd")));
    m_period->SetText2(QDate(today.year(), 12, 31).toString(QStringLiteral("yyyy-MM-dd")));
    m_item = new HCText(this);
    CapSearchInput(m_item);
    m_item->setObjectName(QStringLiteral("htField(0)"));
    m_use = new HCText(this);
    m_use->setObjectName(QStringLiteral("htField(1)"));
    connect(m_item, &QLineEdit::returnPressed, this, [this] {
        const QString name = PickOrAdd(QStringLiteral("tblitem"), m_item->text());
        if (!name.isEmpty()) m_item->setText(name);
    });
    connect(m_use, &QLineEdit::returnPressed, this, [this] {
        const QString name = PickOrAdd(QStringLiteral("tblusename"), m_use->text());
        m_useCode = name.isEmpty() ? 0 : LastPickedCode();
        m_use->setText(name);
    });
    connect(m_use, &QLineEdit::textEdited, this, [this] { m_useCode = 0; });
    m_acc = new QComboBox(this);
    m_acc->setObjectName(QStringLiteral("cmbAcc"));
    fillAccounts();

    const char* bases[8] = {"일별",       "주별",     "월별",   "년도별",
                            "입출구분별", "사용처별", "항목별", "통장별"};
    auto* typeGroup = new QButtonGroup(this);
    auto* typeBox = new QGroupBox(QStringLiteral("분석기준"), this);
    auto* typeGrid = new QGridLayout(typeBox);
    for (int i = 0; i < 8; ++i) {
        m_type[i] = new QRadioButton(QString::fromUtf8(bases[i]), typeBox);
        m_type[i]->setObjectName(QStringLiteral("optType(%1)").arg(i));
        typeGroup->addButton(m_type[i], i);
        typeGrid->addWidget(m_type[i], i / 4, i % 4);
    }
    m_type[2]->setChecked(true);
    auto* kindGroup = new QButtonGroup(this);
    auto* kindRow = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        m_inOut[i] =
            new QRadioButton(i == 0 ? QStringLiteral("수입") : QStringLiteral("지출"), this);
        m_inOut[i]->setObjectName(QStringLiteral("opInOut(%1)").arg(i));
        kindGroup->addButton(m_inOut[i], i);
        kindRow->addWidget(m_inOut[i]);
    }
    m_inOut[1]->setChecked(true);
    kindRow->addStretch();

    auto* query = new QPushButton(QStringLiteral("조회(F5)"), this);
    query->setObjectName(QStringLiteral("btnQuery"));
    query->setShortcut(QKeySequence(Qt::Key_F5));
    auto* close = new QPushButton(QStringLiteral("닫기"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(query, &QPushButton::clicked, this, &FrmRPT_graphA::query);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("기    간"), m_period);
    form->addRow(QStringLiteral("항    목"), m_item);
    form->addRow(QStringLiteral("사 용 처"), m_use);
    form->addRow(QStringLiteral("통장/카드"), m_acc);
    form->addRow(QStringLiteral("구    분"), kindRow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(query);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(typeBox);
    layout->addLayout(buttons);
}

void FrmRPT_graphA::fillAccounts() {
    m_acc->clear();
    m_acc->addItem(QStringLiteral("통장/카드 선택"), 0);
    Recordset rs;
    if (OpenRecordset(rs,
                      QStringLiteral(
                          "SELECT code, accountname, accountclass FROM tblgrouping WHERE code <> 1 "
                          "ORDER BY accountclass, accountname")) > 0)
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            const bool card = rs.text(QStringLiteral("accountclass")) == QStringLiteral("2");
            m_acc->addItem((card ? QStringLiteral("카드☞ ") : QStringLiteral("통장☞ ")) +
                               rs.text(QStringLiteral("accountname")),
                           card ? -rs.integer(QStringLiteral("code"))
                                : rs.integer(QStringLiteral("code")));
        }
}

int FrmRPT_graphA::query() {
    if (!m_use->text().isEmpty() && m_useCode <= 0) {
        const QString name = PickOrAdd(QStringLiteral("tblusename"), m_use->text());
        m_useCode = name.isEmpty() ? 0 : LastPickedCode();
        m_use->setText(name);
    }
    GraphAnalysis::Filter f;
    for (int i = 0; i < 8; ++i)
        if (m_type[i]->isChecked()) f.basis = i;
    f.income = m_inOut[0]->isChecked();
    f.item = m_item->text();
    f.usePlace = m_useCode;
    const int acc = m_acc->currentData().toInt(); // cards carry a negative code
    f.account = qAbs(acc);
    f.accountIsCard = acc < 0;
    f.from = m_period->Text1();
    f.to = m_period->Text2();
    const QList<GraphAnalysis::Point> points = GraphAnalysis::Run(f);
    if (points.isEmpty()) {
        ShowNoResultNotice();
        return 0;
    }
    auto* graph = ChildWindow<FrmGraph>(QStringLiteral("FrmGraph"));
    graph->ClearGraph();
    graph->setCategoryTitle(m_type[f.basis]->text());
    for (const GraphAnalysis::Point& p : points)
        graph->AddData(p.label, p.value);
    graph->ReDrawGraph();
    FormFocus(graph);
    return int(points.size());
}
