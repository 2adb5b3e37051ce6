#include "app/SalesCommands.h"

#include "app/MainCommands.h"
#include "members/PickOrAdd.h"
#include "sales/frmService.h"
#include "ui/RecordWindow.h"

frmService* OpenServiceList()
{
    auto* w = ChildWindow<frmService>(QStringLiteral("frmService"));
    w->setPickerMode(false);
    FormFocus(w);
    return w;
}

void RegisterSalesCommands()
{
    RegisterPickKind(QStringLiteral("tblservice"),
                     [](const QString& text, const QString&) { return frmService::pick(text); });
    MainCommands::add(QStringLiteral("mnuTrade_Sub"), [](frmMain*) { OpenServiceList(); });
}
