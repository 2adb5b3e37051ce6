#include "app/ToolCommands.h"

#include "app/MainCommands.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "core/AppState.h"
#include "tools/Backup.h"
#include "tools/FrmTool_ClearAll.h"
#include "tools/FrmTool_NTSetup.h"
#include "tools/FrmTool_SCED.h"
#include "tools/frmZipcode.h"
#include "members/ZipLookup.h"
#include "ui/WindowRegistry.h"

namespace {
// A started backup or restore ends the program so that the database file is free.
void closeAfter(frmMain* frame, bool started) {
    if (started && frame) frame->closeWithoutBackup();
}
} // namespace

void RegisterToolCommands() {
    MainCommands::add(QStringLiteral("mnuETCRoot_Schedule"),
                      [](frmMain*) { OpenChild<FrmTool_SCED>(QStringLiteral("FrmTool_SCED")); });
    MainCommands::add(QStringLiteral("mnuETCRoot_Del"),
                      [](frmMain*) { OpenChild<FrmTool_ClearAll>(QStringLiteral("FrmTool_ClearAll")); });
    MainCommands::add(QStringLiteral("mnuETCRoot_Backup"),
                      [](frmMain* f) { closeAfter(f, ExecBackUp(0, true, true, App().dbFolder)); });
    MainCommands::add(QStringLiteral("mnuETCRoot_AS"),
                      [](frmMain* f) { closeAfter(f, ExecBackUp(2, true, true, App().dbFolder)); });
    MainCommands::add(QStringLiteral("mnuETCRoot_Reback"),
                      [](frmMain* f) { closeAfter(f, ExecRestore(1, true, App().dbFolder)); });
    MainCommands::add(QStringLiteral("mnuRegister_NetWorkOption"),
                      [](frmMain*) { OpenChild<FrmTool_NTSetup>(QStringLiteral("FrmTool_NTSetup")); });
    FrmTool_NTSetup::setReachCheck([](const QString& share, const QString& folder) {
        return RemapNetworkDrive(share, QString(), folder, true);
    });
    SetZipLookup(&frmZipcode::Lookup);
    frmMain::setAutoBackupHook([] { return ExecBackUpAuto(App().dbFolder); });
    frmMain::setUnloadHook([] { WriteSettingsCopy(App().dbFolder, SettingsCopyNames()); });
}
