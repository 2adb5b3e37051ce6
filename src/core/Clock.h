#pragma once

#include <QDate>
#include <QDateTime>

// The one source of today's date and the current time. Tests fix it.
namespace Clock {
QDateTime now();
QDate today();
void setFixed(const QDateTime& fixed); // an invalid value releases the clock
} // namespace Clock
