#include "members/DuesRules.h"

namespace {
int hexMonth(QChar c) {
    bool ok = false;
    const int m = QString(c).toInt(&ok, 16);
    return ok && m >= 1 && m <= 12 ? m : 0;
}
} // namespace

bool IsDueMonth(const QString& repeatClass, int month) {
    if (repeatClass.size() < 5 || month < 1 || month > 12) return false;
    switch (repeatClass.at(0).unicode()) {
    case '0':
        return true;
    case '1':
        return month % 2 == 1;
    case '2':
        return month % 2 == 0;
    case '3':
        for (int i = 1; i <= 4; ++i)
            if (hexMonth(repeatClass.at(i)) == month) return true;
        return false;
    case '4':
        return hexMonth(repeatClass.at(3)) == month || hexMonth(repeatClass.at(4)) == month;
    case '5':
        return hexMonth(repeatClass.at(4)) == month;
    default:
        return false;
    }
}

QDate DueDate(const QString& settlementDay, int year, int month) {
    const QDate first(year, month, 1);
    if (!first.isValid()) return {};
    const int last = first.daysInMonth();
    bool ok = false;
    const QString code = settlementDay.trimmed();
    const int value = code.toInt(&ok);
    int day = 0;
    if (ok && code.size() == 2 && value != 29) {
        const int n = value / 10, w = value % 10;
        if (n >= 3 && n <= 6 && w >= 1 && w <= 7) {
            const int d = first.dayOfWeek() % 7 + 1; // Qt: Monday 1 .. Sunday 7
            day = (n - 3) * 7 + (w - d + 1);
        } else {
            day = value;
        }
    }
    if (day < 1 || day > last) day = last;
    return QDate(year, month, day);
}

bool OwesFromFeeStart(const QString& feeStart, int year, int month) {
    const QDate start =
        QDate::fromString(feeStart.trimmed().left(10), QStringLiteral("yyyy-MM-dd"));
    if (!start.isValid()) return true;
    return year * 12 + month >= start.year() * 12 + start.month();
}

DuesState DuesMonthState(const QString& repeatClass, const QString& settlementDay,
                         const QString& feeStart, int year, int month, bool paid,
                         const QDate& today) {
    if (paid) return DuesState::Paid;
    if (!IsDueMonth(repeatClass, month) || !OwesFromFeeStart(feeStart, year, month))
        return DuesState::NotDue;
    return DueDate(settlementDay, year, month) < today ? DuesState::Overdue : DuesState::Unpaid;
}
