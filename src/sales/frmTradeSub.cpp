#include "sales/frmTradeSub.h"

#include "core/Prompt.h"
#include "db/Database.h"
#include "members/PickOrAdd.h"
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
    auto* grid = new QGridLayout;
    const QString labels[] = {{}, QStringLiteral("거래내용"), QStringLiteral("수    량"), QStringLiteral("단    가"),
                              QStringLiteral("금    액"), QStringLiteral("Memo")};
    for (int i = 0; i < FieldCount; ++i) {
        m_fields[i] = new HCText(this);
        m_fields[i]->setObjectName(QStringLiteral("htField(%1)").arg(i));
        if (i == FCode || i == FService) {
            m_fields[i]->hide();
            continue;
        }
        grid->addWidget(new QLabel(labels[i], this), i - 1, 0);
        grid->addWidget(m_fields[i], i - 1, 1);
        m_fields[i]->installEventFilter(this);
    }
    for (int i : {int(FQty), int(FPrice), int(FAmount)}) {
        m_fields[i]->SetAcceptType(HCText::Number);
        m_fields[i]->SetShowSeparate(true);
        m_fields[i]->setAlignment(Qt::AlignRight);
    }
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
    if (SalesNumber(m_fields[FQty]->text()) == 0)
        m_fields[FQty]->setText(QStringLiteral("1"));
    if (TakesCatalogPrice(m_lineService, service, SalesNumber(m_fields[FPrice]->text())))
        m_fields[FPrice]->setText(MoneyText(CatalogPrice(service)));
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
    if (m_fields[FName]->text().trimmed().isEmpty()) {
        MsgInfo(QStringLiteral("거래명이 입력되지 않았습니다"));
        m_fields[FName]->setFocus();
        return false;
    }
    const double qty = SalesNumber(m_fields[FQty]->text());
    const double price = SalesNumber(m_fields[FPrice]->text());
    if (!CountFits(qty) || !AmountFits(price) || !AmountFits(qty * price)) {
        ShowNumberTooLarge();
        m_fields[CountFits(qty) ? FPrice : FQty]->setFocus();
        return false;
    }
    return true;
}

SqlStatement frmTradeSub::saveStatement()
{
    const double qty = SalesNumber(m_fields[FQty]->text());
    const double price = SalesNumber(m_fields[FPrice]->text());
    const int service = qMax(1, m_fields[FService]->text().toInt());
    const QVariantList values = {m_trade, service, m_fields[FName]->text().trimmed(), qty, price, qty * price,
                                 m_fields[FMemo]->text()};
    if (mode() == EditMode)
        return {QStringLiteral("UPDATE tbltradesub SET ctbltrade = ?, ctblservice = ?, servicename = ?, lnumber = ?, "
                               "dmoney = ?, dsum = ?, smemo = ? WHERE code = ?"),
                values + QVariantList{code()}};
    return {QStringLiteral("INSERT INTO tbltradesub (ctbltrade, ctblservice, servicename, lnumber, dmoney, dsum, smemo) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?)"),
            values};
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
