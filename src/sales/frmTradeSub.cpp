#include "sales/frmTradeSub.h"

#include "core/Prompt.h"
#include "db/Database.h"
#include "ui/PickOrAdd.h"
#include "sales/SalesRules.h"
#include "sales/SalesWidgets.h"
#include "ui/HCText.h"
#include "ui/WindowRegistry.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

frmTradeSub::frmTradeSub(QWidget* parent) : RecordEditor(QStringLiteral("거래내용등록"), parent)
{
    setObjectName(QStringLiteral("frmTradeSub"));
    QGridLayout* grid = MakeEditorFields(this, m_fields,
                                         {QString(), QStringLiteral("거래내용"), QStringLiteral("수    량"),
                                          QStringLiteral("단    가"), QStringLiteral("금    액"), QStringLiteral("Memo"),
                                          QString()},
                                         {FQty, FPrice, FAmount});
    for (int i : {int(FName), int(FQty), int(FPrice), int(FAmount), int(FMemo)})
        m_fields[i]->installEventFilter(this);
    // Quantities are whole numbers: a decimal point is refused as it is typed.
    connect(m_fields[FQty], &HCText::KeyPress, this, [](int& k) {
        if (k == '.') {
            k = 0;
            ShowWholeQuantity();
        }
    });
    m_fields[FAmount]->SetLocked(true);
    m_fields[FAmount]->setFocusPolicy(Qt::NoFocus);
    auto* find = SalesButton(this, "btnShowFindFld", QStringLiteral("..."));
    connect(find, &QPushButton::clicked, this, &frmTradeSub::findService);
    grid->addWidget(find, 0, 2);
    connect(m_fields[FName], &QLineEdit::textEdited, this, [this] {
        m_nameEdited = true;
        // A typed name is a free line until a catalog service is chosen.
        m_fields[FService]->setText(QStringLiteral("1"));
    });
    m_cun = new QCheckBox(QStringLiteral("계속 등록하기 (&N)"), this);
    m_cun->setObjectName(QStringLiteral("chkCun"));
    connect(LayOutEditor(this, grid, m_cun, false), &QPushButton::clicked, this, [this] {
        computeAmount();
        RecSave();
    });
    setContinueBox(m_cun);
    trackChanges();
    resize(400, 230);
}

void frmTradeSub::clearInputs()
{
    RecordEditor::clearInputs();
    m_fields[FService]->setText(QStringLiteral("1"));
    m_lineService = 1;
    m_nameEdited = false;
}

void frmTradeSub::DispRec(int code)
{
    Recordset rs;
    if (OpenRecordset(rs,
                      QStringLiteral("SELECT servicename, lnumber, dmoney, dsum, smemo, ctblservice FROM tbltradesub "
                                     "WHERE code = ?"),
                      {code}) <= 0) {
        clearInputs();
        return;
    }
    m_fields[FCode]->setText(QString::number(code));
    m_fields[FName]->setText(rs.text(QStringLiteral("servicename")));
    m_fields[FQty]->setText(MoneyText(rs.number(QStringLiteral("lnumber"))));
    m_fields[FPrice]->setText(MoneyText(rs.number(QStringLiteral("dmoney"))));
    m_fields[FAmount]->setText(MoneyText(rs.number(QStringLiteral("dsum"))));
    m_fields[FMemo]->setText(rs.text(QStringLiteral("smemo")));
    m_lineService = qMax(1, rs.integer(QStringLiteral("ctblservice")));
    m_fields[FService]->setText(QString::number(m_lineService));
    m_nameEdited = false;
}

void frmTradeSub::findService()
{
    m_nameEdited = false;
    const QString name = PickOrAdd(QStringLiteral("tblservice"), m_fields[FName]->text().trimmed());
    if (name.isEmpty()) {
        m_fields[FService]->setText(QStringLiteral("1"));
        return;
    }
    const int service = LastPickedServiceCode();
    m_fields[FName]->setText(name);
    m_fields[FService]->setText(QString::number(service));
    double qty = SalesNumber(m_fields[FQty]->text()), price = SalesNumber(m_fields[FPrice]->text());
    ApplyPickedService(m_lineService, service, &qty, &price);
    m_fields[FQty]->setText(MoneyText(qty));
    m_fields[FPrice]->setText(MoneyText(price));
    m_lineService = service;
    computeAmount();
    setDirty(true);
}

void frmTradeSub::computeAmount()
{
    m_fields[FAmount]->setText(MoneyText(SalesNumber(m_fields[FQty]->text()) * SalesNumber(m_fields[FPrice]->text())));
}

bool frmTradeSub::checkInputs()
{
    if (!CheckServiceName(m_fields[FName]))
        return false;
    if (!WholeQuantity(SalesNumber(m_fields[FQty]->text()))) {
        ShowWholeQuantity();
        m_fields[FQty]->setFocus();
        return false;
    }
    return CheckNumberFits(m_fields[FQty], true) && CheckNumberFits(m_fields[FPrice], false)
           && CheckNumberFits(m_fields[FPrice], false, SalesNumber(m_fields[FQty]->text()));
}

QVariantHash frmTradeSub::inputValues() const
{
    const double qty = SalesNumber(m_fields[FQty]->text());
    const double price = SalesNumber(m_fields[FPrice]->text());
    return {{QStringLiteral("ctblservice"), qMax(1, m_fields[FService]->text().toInt())},
            {QStringLiteral("servicename"), m_fields[FName]->text().trimmed()},
            {QStringLiteral("lnumber"), qty},
            {QStringLiteral("dmoney"), price},
            {QStringLiteral("dsum"), qty * price},
            {QStringLiteral("smemo"), m_fields[FMemo]->text()}};
}

QList<RowRef> frmTradeSub::parentRows() const
{
    return {{QStringLiteral("tbltrade"), m_trade}, {QStringLiteral("tblservice"), qMax(1, m_fields[FService]->text().toInt())}};
}

int frmTradeSub::writeRecord()
{
    m_pointsBefore = ProposedPoints(m_trade);
    return RecordEditor::writeRecord();
}

void frmTradeSub::afterSave()
{
    FollowProposedPoints(m_trade, m_pointsBefore);
}

SqlStatement frmTradeSub::saveStatement()
{
    // New lines only: an edited line writes its changed columns (inputValues).
    const QVariantHash v = inputValues();
    return {QStringLiteral("INSERT INTO tbltradesub (ctbltrade, ctblservice, servicename, lnumber, dmoney, dsum, smemo) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {m_trade, v.value(QStringLiteral("ctblservice")), v.value(QStringLiteral("servicename")),
             v.value(QStringLiteral("lnumber")), v.value(QStringLiteral("dmoney")), v.value(QStringLiteral("dsum")),
             v.value(QStringLiteral("smemo"))}};
}

bool frmTradeSub::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_fields[FName] && m_nameEdited && !m_fields[FName]->text().trimmed().isEmpty())
            findService();
        if (watched == m_fields[FName] || watched == m_fields[FQty] || watched == m_fields[FPrice])
            computeAmount();
    }
    return RecordEditor::eventFilter(watched, event);
}

void frmTradeSub::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_F2) {
        // Completes the field being edited first.
        if (QWidget* f = focusWidget(); f == m_fields[FName] && m_nameEdited)
            findService();
        computeAmount();
        RecSave();
        return;
    }
    RecordEditor::keyPressEvent(event);
}
