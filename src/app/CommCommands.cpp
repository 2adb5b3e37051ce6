#include "app/CommCommands.h"

#include "app/MainCommands.h"
#include "app/SmsCommands.h"
#include "app/frmMain.h"
#include "comm/CallerIntake.h"
#include "comm/CallerRules.h"
#include "comm/FrmCust_DM.h"
#include "comm/FrmSeeIDOptions.h"
#include "comm/FrmSeeIDStanbyList.h"
#include "core/Prompt.h"
#include "members/frmFriend.h"
#include "sales/frmTrade.h"
#include "ui/WindowRegistry.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>

namespace {

void TestInput()
{
    const auto answer = InputBox(QStringLiteral("발신번호 테스트! 테스트할 전화번호 입력( '-' 없이 숫자만 입력)"),
                                 QStringLiteral("발신번호 테스트"), QString());
    if (answer && !answer->isEmpty())
        CallerIntake::instance().InputFromSeeID(*answer, QString(), false);
}

void ShowLinkState(frmMain* frame, bool open)
{
    auto* label = frame->statusBar()->findChild<QLabel*>(QStringLiteral("lblSeeID"));
    if (!label) {
        label = new QLabel(frame->statusBar());
        label->setObjectName(QStringLiteral("lblSeeID"));
        frame->statusBar()->addPermanentWidget(label);
    }
    // A chosen port that did not open is said here, once, rather than in a box at start.
    const QString problem = CallerIntake::instance().linkProblem();
    label->setText(!problem.isEmpty() ? QStringLiteral("☎ 발신번호 연결 실패") : open ? QStringLiteral("☎ 발신번호") : QString());
    label->setToolTip(!problem.isEmpty() ? problem : open ? QStringLiteral("발신번호 표시기가 연결되어 있습니다.") : QString());
    label->setVisible(open || !problem.isEmpty());
}

} // namespace

void RegisterLabelCommands()
{
    frmFriend::setDmOpener([](Grid* members) { OpenDmWindow(members); });
}

void RegisterCommCommands()
{
    RegisterSmsCommands();
    auto standby = [](frmMain*) { ShowStandbyList(); };
    MainCommands::add(QStringLiteral("mnuTrade_Call"), standby);
    MainCommands::add(QStringLiteral("mnu_SeeIDStanbyList"), standby);
    MainCommands::add(QStringLiteral("mnu_SeeIDComPort"),
                      [](frmMain*) { OpenChild<FrmSeeIDOptions>(QStringLiteral("FrmSeeIDOptions")); });
    MainCommands::add(QStringLiteral("mnu_SeeIDTest"), [](frmMain*) { TestInput(); });
    MainCommands::add(QStringLiteral("pnlUserName"), [](frmMain*) { TestInput(); });
    MainCommands::add(QStringLiteral("mnu_SeeIDEnabled"), [](frmMain* frame) {
        QAction* a = frame ? frame->menuAction(QStringLiteral("mnu_SeeIDEnabled")) : nullptr;
        CallerIntake::instance().setLinkWanted(a && a->isChecked());
    });
    frmTrade::setCallerListOpener([] { ShowStandbyList(); });
    RegisterLabelCommands();

    static bool hooked = false; // registering again (tests) must not open the link twice
    if (hooked)
        return;
    hooked = true;
    frmMain::addOpenedHook([](frmMain* frame) {
        auto& intake = CallerIntake::instance();
        InstallCallerHelp();
        QPointer<frmMain> f(frame);
        QObject::connect(&intake, &CallerIntake::linkStateChanged, frame, [f](bool open) {
            if (f)
                ShowLinkState(f, open);
        });
        if (QAction* a = frame->menuAction(QStringLiteral("mnu_SeeIDEnabled")))
            a->setChecked(true);
        intake.setLinkWanted(true);
        ShowLinkState(frame, intake.isLinkOpen());
        // The relay starts with the link, so a relay server passes on its device's calls.
        intake.OpenFarSeeID();
        QObject::connect(frame, &QObject::destroyed, &intake, [frame] {
            // The frame is half gone: no more status-bar updates, then close the link.
            QObject::disconnect(&CallerIntake::instance(), nullptr, frame, nullptr);
            CallerIntake::instance().shutDown();
        });
    });
}
