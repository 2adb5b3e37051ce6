#include "ui/FloatNotice.h"

#include "core/AppState.h"
#include "core/Launcher.h"
#include "core/Prompt.h"

#include <QFileInfo>

QString FloatNoticeProgram() {
    return QStringLiteral("memberdesk-floatmsg");
}

void ShowFloatNotice(const QString& message, int duration, int kind, unsigned int color) {
    // The notice program decides how the notice looks; only the text and the duration
    // travel on its command line.
    Q_UNUSED(kind);
    Q_UNUSED(color);

    const QString program = ProgramPath(FloatNoticeProgram());
    int& state = App().floatNoticeState; // 0 not looked for, 1 found, 2 missing
    if (state == 2) return;              // reported once per run already
    if (state == 0) {
        if (!QFileInfo::exists(program)) {
            state = 2;
            MsgInfo(program + QStringLiteral("\n") +
                    QStringLiteral("플로팅 메시지박스 파일을 찾을 수 없습니다."));
            return;
        }
        state = 1;
    }
    // One argument, exactly " " + message + "/T" + duration. The working directory is
    // left to the launcher (the program's own folder makes no difference to it).
    launcher().start(
        program, {QStringLiteral(" ") + message + QStringLiteral("/T") + QString::number(duration)},
        QString());
}
