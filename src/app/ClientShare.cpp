#include "app/ClientShare.h"

#include "app/Startup.h"
#include "core/AppState.h"
#include "core/Prompt.h"
#include "tools/FrmTool_NTSetup.h"

#include <QDialog>
#include <QVBoxLayout>

ShareGone AskShareGone(const QString& drive, const QString& networkPath) {
    QString tried = drive;
    if (!networkPath.isEmpty() && networkPath != drive) tried += u'\n' + networkPath;
    const QString title = QStringLiteral("서버 연결");
    const Prompt::Answer a = AskYesNoCancel(
        ServerNotFoundText() + QStringLiteral("\n\n") + QStringLiteral("확인한 경로:") + u'\n' +
            tried + QStringLiteral("\n\n") + QStringLiteral("예: 다시 연결합니다.") + u'\n' +
            QStringLiteral("아니오: 네트워크 설정을 엽니다.") + u'\n' +
            QStringLiteral("취소: 이 PC의 데이터베이스로 시작하거나 프로그램을 종료합니다."),
        title, Prompt::Answer::Yes);
    if (a == Prompt::Answer::Yes) return ShareGone::Retry;
    if (a == Prompt::Answer::No) return ShareGone::NetworkSetup;
    const bool local = AskYesNo(
        QStringLiteral("이 PC의 데이터베이스로 시작하시겠습니까?") + u'\n' + App().appDir +
            QStringLiteral("/DBS") + QStringLiteral("\n\n") +
            QStringLiteral("서버의 자료는 보이지 않으며, 네트워크 설정은 그대로 두어 다음 "
                           "시작에는 다시 서버에 연결합니다.") +
            QStringLiteral("\n\n") + QStringLiteral("예: 이 PC의 데이터베이스로 시작합니다.") +
            u'\n' + QStringLiteral("아니오: 프로그램을 종료합니다."),
        title, false);
    return local ? ShareGone::LocalDatabase : ShareGone::Quit;
}

bool OpenNetworkSetupAtStart() {
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("dlgNetworkSetup"));
    dialog.setWindowTitle(QStringLiteral("네트워크 설정"));
    auto* setup = new FrmTool_NTSetup(&dialog);
    setup->setAppliedAtOnce(true);
    (new QVBoxLayout(&dialog))->addWidget(setup);
    bool saved = false;
    QObject::connect(setup, &FrmTool_NTSetup::saved, &dialog, [&] {
        saved = true;
        dialog.accept();
    });
    dialog.exec();
    return saved;
}
