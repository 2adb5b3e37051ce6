#include "app/MoneyBookCommands.h"

#include "app/MainCommands.h"
#include "moneybook/AccountWindow.h"
#include "moneybook/frmBalance.h"
#include "moneybook/frmBalance_Write.h"
#include "moneybook/frmStartMoney.h"
#include "moneybook/FrmRPT_graphA.h"
#include "moneybook/MoneyBookPickers.h"
#include "moneybook/frmItem.h"
#include "moneybook/frmRecord.h"
#include "moneybook/frmUseName.h"
#include "ui/RecordWindow.h"

frmRecord* OpenRecordWindow()
{
    return OpenChild<frmRecord>(QStringLiteral("frmRecord"));
}

void RegisterMoneyBookCommands()
{
    RegisterMoneyBookPickers();
    MainCommands::add(QStringLiteral("mnuRecord_Record"), [](frmMain*) { OpenRecordWindow(); });
    MainCommands::add(QStringLiteral("mnuRecord_Section"), [](frmMain*) {
        OpenChild<frmItem>(QStringLiteral("frmItem"), QStringLiteral("tblitem"));
    });
    MainCommands::add(QStringLiteral("mnuAffairs_Section"), [](frmMain*) {
        OpenChild<frmItem>(QStringLiteral("frmItem_Affairs"), QStringLiteral("tblaffairsnote"));
    });
    MainCommands::add(QStringLiteral("mnuRecord_UseName"), [](frmMain*) { OpenChild<frmUseName>(QStringLiteral("frmUseName")); });
    MainCommands::add(QStringLiteral("mnuRecord_Money"), [](frmMain*) { OpenChild<frmStartMoney>(QStringLiteral("frmStartMoney")); });
    MainCommands::add(QStringLiteral("mnuRecord_Card"), [](frmMain*) { OpenChild<frmCard>(QStringLiteral("frmCard")); });
    MainCommands::add(QStringLiteral("mnuRecord_Account"), [](frmMain*) { OpenChild<frmAccount>(QStringLiteral("frmAccount")); });
    MainCommands::add(QStringLiteral("mnuRecord_Balance"), [](frmMain*) { OpenChild<frmBalance>(QStringLiteral("frmBalance")); });
    MainCommands::add(QStringLiteral("mnuRecord_Graph"), [](frmMain*) {
        OpenChild<FrmRPT_graphA>(QStringLiteral("FrmRPT_graphA"));
    });
}
