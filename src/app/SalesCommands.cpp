#include "app/SalesCommands.h"

#include "app/MainCommands.h"
#include "ui/PickOrAdd.h"
#include "members/frmFriend.h"
#include "sales/frmCardCheck.h"
#include "sales/frmCardInfo.h"
#include "sales/frmFriend_Trade.h"
#include "sales/frmService.h"
#include "sales/frmTrade.h"
#include "ui/RecordWindow.h"

frmService* OpenServiceList()
{
    auto* w = ChildWindow<frmService>(QStringLiteral("frmService"));
    w->setPickerMode(false);
    FormFocus(w);
    return w;
}

frmFriend_Trade* OpenMemberTrades(int member)
{
    auto* w = ChildWindow<frmFriend_Trade>(QStringLiteral("frmFriend_Trade"));
    w->SetFormMode(member);
    FormFocus(w);
    return w;
}

void RegisterSalesCommands()
{
    frmFriend::setTradeViewOpener([](int member) { OpenMemberTrades(member); });
    RegisterPickKind(QStringLiteral("tblservice"),
                     [](const QString& text, const QString&) { return frmService::pick(text); });
    MainCommands::add(QStringLiteral("mnuTrade_Sub"), [](frmMain*) { OpenServiceList(); });
    MainCommands::add(QStringLiteral("mnuTrade_List"),
                      [](frmMain*) { OpenChild<frmTrade>(QStringLiteral("frmTrade")); });
    MainCommands::add(QStringLiteral("mnuTrade_Card"), [](frmMain*) {
        auto* w = ChildWindow<frmCardInfo>(QStringLiteral("frmCardInfo"));
        w->setPickMode(false);
        FormFocus(w);
    });
    MainCommands::add(QStringLiteral("mnuTrade_Receipt"),
                      [](frmMain*) { OpenChild<frmCardCheck>(QStringLiteral("frmCardCheck")); });
}
