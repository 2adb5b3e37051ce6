#include "app/SmsCommands.h"

#include "app/MainCommands.h"
#include "comm/SmsHandOff.h"
#include "comm/frmSMS.h"
#include "members/frmFriend.h"
#include "ui/WindowRegistry.h"

void RegisterSmsCommands() {
    MainCommands::add(QStringLiteral("mnuETCRoot_SMS"),
                      [](frmMain*) { OpenChild<frmSMS>(QStringLiteral("frmSMS")); });
    // The member list marks in its column 8; name and mobile phone are columns 2 and 3.
    frmFriend::setSmsOpener([](Grid* grid) { SendToSMS(grid, 8, 2, 3, 0); });
}
