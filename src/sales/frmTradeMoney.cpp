#include "sales/frmTradeMoney.h"

#include "core/Prompt.h"
#include "db/Database.h"
#include "ui/PickOrAdd.h"
#include "sales/SalesRules.h"
#include "sales/TradeStore.h"
#include "sales/frmCardInfo.h"
#include "ui/EditorNavigation.h"
#include "ui/FloatNotice.h"
#include "ui/HCText.h"
#include "ui/WindowRegistry.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
frmTradeMoney::CardPicker g_cardPicker;
}

void frmTradeMoney::setCardPicker(CardPicker picker)
{
    g_cardPicker = std::move(picker);
}

frmTradeMoney::frmTradeMoney(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmTradeMoney"));
    setWindowTitle(QStringLiteral("입금등록"));
    for (int i = 0; i < FieldCount; ++i) {
        m_fields[i] = new HCText(this);
        m_fields[i]->setObjectName(QStringLiteral("htField(%1)").arg(i));
        m_fields[i]->SetAcceptType(HCText::Number);
        m_fields[i]->SetShowSeparate(true);
        m_fields[i]->setAlignment(Qt::AlignRight);
        m_fields[i]->installEventFilter(this);
        if (i >= FTotal)
            m_fields[i]->SetLocked(true);
    }
    for (int i : {int(FCode), int(FOwed), int(FCardCode)})
        m_fields[i]->hide();
    auto* pay = new QGroupBox(QStringLiteral("『 결 제 금 액 』"), this);
    auto* payGrid = new QGridLayout(pay);
    const QString payLabels[] = {QStringLiteral("현    금"), QStringLiteral("신용카드"), QStringLiteral("통장입금"),
                                 QStringLiteral("포 인 트"), QStringLiteral("D  .  C"), QStringLiteral("총    액")};
    for (int i = FCash; i <= FTotal; ++i) {
        payGrid->addWidget(new QLabel(payLabels[i - FCash], pay), i - 1, 0);
        payGrid->addWidget(m_fields[i], i - 1, 1);
    }
    m_cardName = new QLabel(pay);
    m_cardName->setObjectName(QStringLiteral("pnlInfo"));
    m_cardName->setTextFormat(Qt::PlainText);
    m_cardName->setFrameShape(QFrame::Panel);
    m_cardName->setFrameShadow(QFrame::Sunken);
    auto* charge = new QPushButton(QStringLiteral("카드사"), pay);
    charge->setObjectName(QStringLiteral("btnCharge"));
    charge->setAutoDefault(false);
    charge->setFocusPolicy(Qt::NoFocus);
    connect(charge, &QPushButton::clicked, this, &frmTradeMoney::chooseCard);
    payGrid->addWidget(m_cardName, 1, 2);
    payGrid->addWidget(charge, 1, 3);
    auto* owe = new QGroupBox(QStringLiteral("『 받 을 금 액 』"), this);
    auto* oweGrid = new QGridLayout(owe);
    const QPair<int, QString> oweLabels[] = {{FOldDebt, QStringLiteral("기존미수금")},
                                             {FSale, QStringLiteral("판매금액")},
                                             {FCurPoint, QStringLiteral("현포인트")},
                                             {FRest, QStringLiteral("잔    액")}};
    int r = 0;
    for (const auto& [i, text] : oweLabels) {
        oweGrid->addWidget(new QLabel(text, owe), r, 0);
        oweGrid->addWidget(m_fields[i], r++, 1);
    }
    auto* saveButton = new QPushButton(QStringLiteral("저장 (F2)"), this);
    saveButton->setObjectName(QStringLiteral("btnSave"));
    auto* closeButton = new QPushButton(QStringLiteral("닫기"), this);
    closeButton->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton* b : {saveButton, closeButton}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(pay);
    boxes->addWidget(owe);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto* top = new QVBoxLayout(this);
    top->addLayout(boxes);
    top->addLayout(buttons);
    for (int i = FCash; i <= FDc; ++i)
        connect(m_fields[i], &QLineEdit::textEdited, this, &frmTradeMoney::recompute);
    EditorNavigation::install(this);
    resize(560, 260);
}

double frmTradeMoney::value(int i) const
{
    return SalesNumber(m_fields[i]->text());
}

void frmTradeMoney::setValue(int i, double v)
{
    m_fields[i]->setText(i == FCode || i == FCardCode ? PlainNumber(v) : MoneyText(v));
}

void frmTradeMoney::open(int trade, int member, bool propose)
{
    m_trade = trade;
    m_member = member;
    m_current = -1;
    const TradeRow t = LoadTrade(trade);
    m_cardChecked = GetScalar(QStringLiteral("SELECT cardchk FROM tbltrade WHERE code = ?"), {trade}).toString();
    setValue(FCode, trade);
    setValue(FCard, t.card);
    setValue(FAccount, t.account);
    setValue(FPoint, t.points);
    setValue(FDc, t.discount);
    setValue(FCardCode, t.code ? t.cardCode : 1);
    setValue(FOldDebt, FriendBalance(member, trade));
    setValue(FSale, t.total);
    setValue(FCurPoint, double(FriendPointBalance(member, trade)));
    setValue(FOwed, value(FOldDebt) + value(FSale));
    PaymentSplit split;
    split.card = t.card;
    split.account = t.account;
    split.points = t.points;
    split.discount = t.discount;
    setValue(FCash, propose ? ProposedCash(value(FOwed), split) : t.cash);
    const QString name = CardName(int(value(FCardCode)));
    m_cardName->setText(name.isEmpty() ? QString() : QStringLiteral("  ") + name);
    // What is stored now; the save writes what differs from it and asks when another PC
    // changed the row meanwhile.
    if (t.code)
        m_changes.take(QStringLiteral("tbltrade"), trade,
                       {{QStringLiteral("dmoney"), t.cash},
                        {QStringLiteral("dcard"), t.card},
                        {QStringLiteral("ctblcard"), t.cardCode},
                        {QStringLiteral("daccount"), t.account},
                        {QStringLiteral("lpoint"), qint64(t.points)},
                        {QStringLiteral("ddc"), t.discount},
                        {QStringLiteral("cardchk"), m_cardChecked}});
    else
        m_changes.clear();
    recompute();
}

QVariantHash frmTradeMoney::storedValues() const
{
    const double card = value(FCard);
    return {{QStringLiteral("dmoney"), value(FCash)},
            {QStringLiteral("dcard"), card},
            {QStringLiteral("ctblcard"), card == 0 ? 1 : qMax(1, int(value(FCardCode)))},
            {QStringLiteral("daccount"), value(FAccount)},
            {QStringLiteral("lpoint"), qint64(value(FPoint))},
            {QStringLiteral("ddc"), value(FDc)},
            // A card amount back at 0 also forgets an earlier deposit confirmation.
            {QStringLiteral("cardchk"), card == 0 ? QString() : m_cardChecked}};
}

void frmTradeMoney::recompute()
{
    double total = 0;
    for (int i = FCash; i <= FDc; ++i)
        total += value(i);
    setValue(FTotal, total);
    setValue(FRest, value(FOwed) - total);
}

void frmTradeMoney::enterField(int i)
{
    m_current = i;
    m_before = value(FCash) + value(i);
}

void frmTradeMoney::leaveField(int i)
{
    if (i != m_current)
        return;
    m_current = -1;
    setValue(FCash, CashAfterComponent(value(FCash), m_before, value(i)));
    // The totals follow at once, also while the card company picker is open.
    recompute();
    if (i == FCard) {
        if (value(FCard) == 0) {
            setValue(FCardCode, 1);
            m_cardName->clear();
        } else if (int(value(FCardCode)) <= 1) {
            chooseCard();
        }
    }
    recompute();
}

void frmTradeMoney::chooseCard()
{
    const CardPicker picker = g_cardPicker ? g_cardPicker : CardPicker([] { return frmCardInfo::pick(); });
    const std::optional<PickRow> row = picker();
    if (!row || row->code <= 1)
        return;
    setValue(FCardCode, row->code);
    m_cardName->setText(QStringLiteral("  ") + row->name);
}

bool frmTradeMoney::save()
{
    if (m_current >= 0)
        leaveField(m_current);
    for (int i = FCash; i <= FDc; ++i) {
        const double v = value(i);
        if (i == FPoint ? !CountFits(v) : !AmountFits(v)) {
            ShowNumberTooLarge();
            m_fields[i]->setFocus();
            return false;
        }
    }
    if (value(FCard) != 0 && int(value(FCardCode)) <= 1) {
        MsgInfo(QStringLiteral("신용카드 금액이 있으면 카드회사를 선택하셔야 합니다."));
        m_fields[FCard]->setFocus();
        return false;
    }
    if (value(FPoint) > value(FCurPoint)
        && !AskYesNo(QStringLiteral("사용 포인트가 현포인트보다 많습니다. 그래도 저장하시겠습니까?"), {}, false))
        return false;
    const int cardCode = value(FCard) == 0 ? 1 : int(value(FCardCode));
    const qint64 pointsBefore = ProposedPoints(m_trade);
    int rows = 0;
    switch (m_changes.save(storedValues(), {}, &rows, {{QStringLiteral("tblcard"), cardCode}})) {
    case RecordChanges::Outcome::Written:
        FollowProposedPoints(m_trade, pointsBefore);
        break;
    case RecordChanges::Outcome::Unchanged:
        break;
    case RecordChanges::Outcome::Failed: {
        const QString cause = LastStatementFailed() ? DbFailureCause(LastDbErrorCode()) : QString();
        MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다.")
                + (cause.isEmpty() ? QString() : QStringLiteral("\n") + cause));
        return false;
    }
    case RecordChanges::Outcome::Reload:
        open(m_trade, m_member, false);
        return false;
    case RecordChanges::Outcome::KeepEditing:
        return false;
    case RecordChanges::Outcome::Gone:
        if (LoadTrade(m_trade).code == 0) {
            emit tradeGone(m_trade);
            CloseWindow(this);
        } else { // the card company was deleted: another one is to be chosen
            setValue(FCardCode, 1);
            m_cardName->clear();
        }
        return false;
    }
    emit paymentSaved(m_trade);
    ShowFloatNotice(QStringLiteral("자료가 저장되었습니다."), 500, 1, 0xFFFF00);
    CloseWindow(this);
    return true;
}

bool frmTradeMoney::eventFilter(QObject* watched, QEvent* event)
{
    for (int i = FCard; i <= FDc; ++i) {
        if (watched != m_fields[i])
            continue;
        if (event->type() == QEvent::FocusIn)
            enterField(i);
        else if (event->type() == QEvent::FocusOut)
            leaveField(i);
    }
    return QWidget::eventFilter(watched, event);
}

void frmTradeMoney::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_F2) {
        save();
        return;
    }
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Escape) {
        CloseWindow(this);
        return;
    }
    QWidget::keyPressEvent(event);
}
