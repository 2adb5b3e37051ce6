#include "members/GroupSchedule.h"

QStringList GroupKindNames()
{
    return {QStringLiteral("매   달"), QStringLiteral("홀수달"), QStringLiteral("짝수달"),
            QStringLiteral("분기별"),  QStringLiteral("반기별"), QStringLiteral("매   년")};
}

QStringList GroupWeekdayNames()
{
    return {QStringLiteral("일"), QStringLiteral("월"), QStringLiteral("화"), QStringLiteral("수"),
            QStringLiteral("목"), QStringLiteral("금"), QStringLiteral("토")};
}

QStringList GroupDayChoices()
{
    QStringList days;
    for (int d = 1; d <= 28; ++d)
        days << QString::number(d);
    days << GroupScheduleText::LastDay;
    for (int w = 1; w <= 4; ++w)
        days << QString::number(w) + QStringLiteral(" 째주");
    return days;
}

int GroupMonthComboCount(int kind)
{
    switch (kind) {
    case GroupSchedule::Quarterly: return 4;
    case GroupSchedule::HalfYearly: return 2;
    case GroupSchedule::Yearly: return 1;
    default: return 0;
    }
}

QList<int> GroupMonthsOffered(int kind, int combo)
{
    QList<int> months;
    int first = 1, count = 0;
    if (kind == GroupSchedule::Quarterly && combo >= 0 && combo < 4) {
        first = 3 * combo + 1;
        count = 3;
    } else if (kind == GroupSchedule::HalfYearly && combo >= 0 && combo < 2) {
        first = 6 * combo + 1;
        count = 6;
    } else if (kind == GroupSchedule::Yearly && combo == 0) {
        count = 12;
    }
    for (int i = 0; i < count; ++i)
        months << first + i;
    return months;
}

static QChar monthDigit(int month)
{
    return QString::number(month, 16).toUpper().at(0);
}

QString EncodeRepeatClass(const GroupSchedule& s)
{
    if (s.kind < GroupSchedule::Monthly || s.kind > GroupSchedule::Yearly)
        return {};
    const int count = GroupMonthComboCount(s.kind);
    QString months;
    for (int i = 0; i < count; ++i)
        months += monthDigit(s.months.value(i));
    // Quarterly: 3MMMM; half-yearly: 400MM; yearly: 5000M; the others are padded after the kind.
    QString code = QString::number(s.kind);
    if (s.kind == GroupSchedule::Quarterly)
        code += months;
    else if (count > 0)
        code += QString(4 - count, QLatin1Char('0')) + months;
    else
        code += QStringLiteral("0000");
    return code;
}

QString EncodeSettlementDay(const GroupSchedule& s)
{
    if (s.week >= 1 && s.week <= 4)
        return QString::number(s.week + 2) + QString::number(s.weekday);
    if (s.day >= 1 && s.day <= 29)
        return QStringLiteral("%1").arg(s.day, 2, 10, QLatin1Char('0'));
    return {};
}

GroupSchedule DecodeGroupSchedule(const QString& repeatClass, const QString& settlementDay)
{
    GroupSchedule s;
    const QString rc = repeatClass.trimmed();
    if (rc.size() == 5 && rc.at(0) >= QLatin1Char('0') && rc.at(0) <= QLatin1Char('5')) {
        s.kind = rc.at(0).digitValue();
        const int count = GroupMonthComboCount(s.kind);
        for (int i = 0; i < count; ++i) {
            bool ok = false;
            const int m = QString(rc.at(5 - count + i)).toInt(&ok, 16);
            s.months << (ok && m >= 1 && m <= 12 ? m : 0);
        }
    }
    const QString sd = settlementDay.trimmed();
    bool ok = false;
    const int n = sd.toInt(&ok);
    if (ok && sd.size() == 2) {
        if (n >= 1 && n <= 29) {
            s.day = n;
        } else if (n >= 31 && n <= 67 && n % 10 >= 1 && n % 10 <= 7) {
            s.week = n / 10 - 2;
            s.weekday = n % 10;
        }
    }
    return s;
}

QString GroupScheduleDescription(const QString& repeatClass, const QString& settlementDay)
{
    if (repeatClass.trimmed().isEmpty())
        return {};
    const GroupSchedule s = DecodeGroupSchedule(repeatClass, settlementDay);
    QStringList parts;
    static const char* const kinds[] = {"매달", "홀수달", "짝수달", "분기별", "반기별", "매년"};
    if (s.kind >= 0)
        parts << QString::fromUtf8(kinds[s.kind]);
    for (int m : s.months)
        parts << QString::number(m) + QStringLiteral("월");
    static const char* const weeks[] = {"첫주", "둘째주", "셋째주", "넷째주"};
    static const char* const weekdays[] = {"일요일", "월요일", "화요일", "수요일",
                                           "목요일", "금요일", "토요일"};
    if (s.day == 29)
        parts << QStringLiteral("말일");
    else if (s.week > 0)
        parts << QString::fromUtf8(weeks[s.week - 1]) + QLatin1Char(' ')
                     + QString::fromUtf8(weekdays[s.weekday - 1]);
    else if (!settlementDay.trimmed().isEmpty())
        parts << QString::number(settlementDay.trimmed().toInt()) + QStringLiteral("일");
    return parts.join(QLatin1Char(' '));
}

QString CheckGroupInput(const QString& name, const GroupSchedule& s, double amount)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("통장이름이 입력되지 않았습니다");
    const QString missing = QStringLiteral("회비납부일이 입력되지 않았습니다");
    if (s.kind >= GroupSchedule::Monthly) {
        const int count = GroupMonthComboCount(s.kind);
        for (int i = 0; i < count; ++i) {
            if (s.months.value(i) < 1)
                return missing;
        }
        if (s.day == 0 && s.week == 0)
            return missing;
        if (s.week > 0 && (s.weekday < 1 || s.weekday > 7))
            return missing;
    } else if (amount != 0) {
        return missing;
    }
    if (s.week == 1 && s.weekday != 7) {
        return QStringLiteral("반복선택이 잘못되었습니다.") + QLatin1Char('\n')
               + QStringLiteral("매달 첫주에는 ") + GroupWeekdayNames().value(s.weekday - 1)
               + QStringLiteral("요일이 없을수도 있습니다.");
    }
    return {};
}
