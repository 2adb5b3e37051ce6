// The date and time rules with their information boxes. Kept apart from the pure rules so
// that code using only those does not pull in the prompt service.
#include "calendar/DateText.h"

#include "core/Prompt.h"

QString CheckDateText(const QString& text, bool showMessage) {
    const QString d = NormalizeDate(text);
    if (d.isEmpty() && showMessage) MsgInfo(DateFormatMessage(text));
    return d;
}

QString CheckTimeText(const QString& text, bool showMessage, bool shortIsHour) {
    const QString t = NormalizeTime(text, shortIsHour);
    if (t.isEmpty() && showMessage) MsgInfo(TimeFormatMessage(text));
    return t;
}
