#include "moneybook/frmStartMoney.h"
#include "moneybook/MoneyBookWidgets.h"

#include "core/Prompt.h"
#include "db/Database.h"
#include "moneybook/MoneyBookRules.h"
#include "ui/CellChanges.h"
#include "ui/FloatNotice.h"
#include "ui/HCText.h"
#include "ui/RecordWindow.h"
#include "ui/TextRules.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using MoneyBook::button;

frmStartMoney::frmStartMoney(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmStartMoney"));
    setWindowTitle(QStringLiteral("기초 현금 잔액을 입력하세요"));
    m_field = new HCText(this);
    m_field->setObjectName(QStringLiteral("htField"));
    m_field->SetAcceptType(HCText::Number);
    m_field->SetShowSeparate(true);
    m_loaded =
        GetScalar(QStringLiteral("SELECT sbalance FROM tblgrouping WHERE code = 1")).toDouble();
    m_field->setText(MoneyBook::MoneyText(m_loaded));
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

bool frmStartMoney::RecSave() {
    // The opening cash follows the rule of every ledger amount: whole won, not negative.
    double value = 0;
    const MoneyBook::AmountCheck check = MoneyBook::CheckAmount(m_field->text(), &value);
    if (check != MoneyBook::AmountCheck::Ok) {
        MsgInfo(MoneyBook::AmountMessage(check));
        m_field->setFocus();
        return false;
    }
    switch (SaveCell(QStringLiteral("tblgrouping"), 1, {{QStringLiteral("sbalance"), m_loaded}},
                     {{QStringLiteral("sbalance"), value}})) {
    case CellSave::Written:
    case CellSave::Unchanged:
        break;
    case CellSave::Reload:
        m_loaded =
            GetScalar(QStringLiteral("SELECT sbalance FROM tblgrouping WHERE code = 1")).toDouble();
        m_field->setText(MoneyBook::MoneyText(m_loaded));
        return false;
    default:
        return false;
    }
    ShowFloatNotice(QStringLiteral("자료가 저장되었습니다."));
    CloseWindow(this);
    return true;
}
