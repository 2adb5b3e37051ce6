#include "ui/FloatNotice.h"

#include "core/AppState.h"
#include "core/Launcher.h"
#include "core/Prompt.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>

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
    // First argument exactly " " + message + "/T" + duration. While a window of the program
    // is active, a second one "--at=x,y" names its centre on the screen, so the notice
    // appears over the window it belongs to. The working directory is left to the launcher.
    QStringList args{QStringLiteral(" ") + message + QStringLiteral("/T") + QString::number(duration)};
    if (const QWidget* active = QApplication::activeWindow(); active && active->isVisible()) {
        const QPoint c = active->mapToGlobal(active->rect().center());
        args << QStringLiteral("--at=%1,%2").arg(c.x()).arg(c.y());
    }
    launcher().start(program, args, QString());
}
