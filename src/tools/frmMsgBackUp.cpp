#include "tools/frmMsgBackUp.h"

#include "core/Prompt.h"

#include <QString>

int frmMsgBackUp::ask() {
    const Prompt::Answer a = AskYesNoCancel(
        QStringLiteral("프로그램을 종료합니다.\n소중한 자료를 지키기 위하여 종료하기 전에 데이터를 "
                       "백업하시겠습니까?\n\n"
                       "예: 백업 후 종료\n아니오: 백업없이 종료\n취소: 프로그램 계속 사용"),
        QStringLiteral("데이터 백업"), Prompt::Answer::Yes);
    switch (a) {
    case Prompt::Answer::Yes:
        return BackupAndClose;
    case Prompt::Answer::No:
        return CloseOnly;
    case Prompt::Answer::Cancel:
        return Stay;
    default:
        return Closed;
    }
}
