#include "core/Clock.h"

namespace {
QDateTime& fixedNow() {
    static QDateTime value;
    return value;
}
} // namespace

namespace Clock {
QDateTime now() {
    return fixedNow().isValid() ? fixedNow() : QDateTime::currentDateTime();
}
QDate today() { return now().date(); }
void setFixed(const QDateTime& fixed) { fixedNow() = fixed; }
} // namespace Clock
