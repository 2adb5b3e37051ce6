#pragma once

#include <QString>

// The transient notice ("자료가 저장되었습니다." ...): starts the notice program
// memberdesk-floatmsg beside the executable with the parameter text
// " " + message + "/T" + duration, and "--at=x,y" (the active window's centre) while one of
// the program's windows is active. A missing program is reported once per run.
void ShowFloatNotice(const QString& message, int duration = 500, int kind = 1,
                     unsigned int color = 0xFFFF00);

// Name of the notice program in the program folder.
QString FloatNoticeProgram();
