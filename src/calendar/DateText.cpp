#include "calendar/DateText.h"

#include "core/Clock.h"

#include <QDate>
#include <QRegularExpression>

namespace {

bool allDigits(const QString& s) {
    if (s.isEmpty()) return false;
    for (QChar c : s) {
        if (c < u'0' || c > u'9') return false;
    }
    return true;
}

// Written by hand for the years of four digits (an import checks a date in every row);
// others as Qt writes them.
QString fmtDate(const QDate& d) {
    int y = 0, m = 0, day = 0;
    d.getDate(&y, &m, &day);
    if (!d.isValid() || y < 1000 || y > 9999) return d.toString(QStringLiteral("yyyy-MM-dd"));
    const char16_t text[10] = {char16_t(u'0' + y / 1000),      char16_t(u'0' + y / 100 % 10),
                               char16_t(u'0' + y / 10 % 10),   char16_t(u'0' + y % 10),
                               u'-',
                               char16_t(u'0' + m / 10),        char16_t(u'0' + m % 10),
                               u'-',
                               char16_t(u'0' + day / 10),      char16_t(u'0' + day % 10)};
    return QString(reinterpret_cast<const QChar*>(text), 10);
}

} // namespace

// Read by hand: lists convert every date cell, and a pattern match per cell cost more
// than the rest of the row. Exactly "YYYY-MM-DD" (a final line break allowed, as before).
QDate DateFromText(const QString& text) {
    qsizetype n = text.size();
    if (n == 11 && text.at(10) == u'\n') n = 10;
    if (n != 10 || text.at(4) != u'-' || text.at(7) != u'-') return {};
    const auto number = [&text](int from, int count, int* out) {
        int v = 0;
        for (int i = from; i < from + count; ++i) {
            const char16_t c = text.at(i).unicode();
            if (c < u'0' || c > u'9') return false;
            v = v * 10 + (c - u'0');
        }
        *out = v;
        return true;
    };
    int y = 0, m = 0, d = 0;
    if (!number(0, 4, &y) || !number(5, 2, &m) || !number(8, 2, &d) || y < 1) return {};
    return QDate(y, m, d);
}

bool SplitDateText(const QString& text, int& year, int& month, int& day) {
    const QString s = text.trimmed();
    const QDate today = Clock::today();
    int y = 0, m = 0, d = 0;
    // Digits only: read by length. Anything else must be written with separators.
    const qsizetype form = allDigits(s) ? s.size() : 0;
    switch (form) {
    case 1:
    case 2:
        y = today.year();
        m = today.month();
        d = s.toInt();
        break;
    case 3:
    case 4:
        y = today.year();
        m = s.toInt() / 100;
        d = s.toInt() % 100;
        break;
    case 6:
        y = 2000 + s.left(2).toInt();
        m = s.mid(2, 2).toInt();
        d = s.mid(4, 2).toInt();
        break;
    case 8:
        y = s.left(4).toInt();
        m = s.mid(4, 2).toInt();
        d = s.mid(6, 2).toInt();
        break;
    default: {
        // Written with separators: four-digit year, one- or two-digit month and day.
        static const QRegularExpression re(
            QStringLiteral("^(\\d{4})([-/.])(\\d{1,2})\\2(\\d{1,2})$"));
        const auto match = re.match(s);
        if (!match.hasMatch()) return false;
        y = match.captured(1).toInt();
        m = match.captured(3).toInt();
        d = match.captured(4).toInt();
        break;
    }
    }
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > 31) return false;
    year = y;
    month = m;
    day = d;
    return true;
}

QString NormalizeDate(const QString& text) {
    int y = 0, m = 0, d = 0;
    if (!SplitDateText(text, y, m, d)) return {};
    const QDate date(y, m, d);
    return date.isValid() ? fmtDate(date) : QString();
}

bool IsDateText(const QString& text) {
    return !NormalizeDate(text).isEmpty();
}

QString DateFormatMessage(const QString& text) {
    return QStringLiteral("[") + text + QStringLiteral("]는 날짜형식이 아닙니다.             ") +
           QStringLiteral("\n\n") + QStringLiteral(" 가능한 형식은 아래와 같습니다.") +
           QStringLiteral("\n\n") + QStringLiteral("   * 2004-01-01\n") +
           QStringLiteral("   * 20040101\n") + QStringLiteral("   * 040101\n") +
           QStringLiteral("   * 0101\n") + QStringLiteral("   * 101 (※10월1일은 1001)\n") +
           QStringLiteral("   * 1 (당월의 일자지정시)");
}

QString NormalizeTime(const QString& text, bool shortIsHour) {
    const QString s = text.trimmed();
    int h = -1;
    int m = -1;
    const qsizetype colon = s.indexOf(u':');
    if (colon >= 0) {
        const QString hs = s.left(colon);
        const QString ms = s.mid(colon + 1);
        if (hs.size() >= 1 && hs.size() <= 2 && allDigits(hs) && ms.size() == 2 && allDigits(ms)) {
            h = hs.toInt();
            m = ms.toInt();
        }
    } else if (allDigits(s)) {
        if (s.size() == 3 || s.size() == 4) {
            const int v = s.toInt();
            h = v / 100;
            m = v % 100;
        } else if (shortIsHour && s.size() <= 2) {
            h = s.toInt();
            m = 0;
        }
    }
    if (h < 0 || h > 23 || m < 0 || m > 59) return {};
    return QStringLiteral("%1:%2").arg(h, 2, 10, QLatin1Char('0')).arg(m, 2, 10, QLatin1Char('0'));
}

QString TimeFormatMessage(const QString& text) {
    return QStringLiteral("[") + text + QStringLiteral("]는 시간형식이 아닙니다.\n") +
           QStringLiteral("시:분 방식으로 입력하세요.\n") +
           QStringLiteral("예) 14:25 또는 1425\n") +
           QStringLiteral("     01:05 또는 0105 또는 105");
}

int WeekOfMonth(const QDate& date) {
    if (!date.isValid()) return 0;
    // dayOfWeek(): Monday 1 .. Sunday 7; make Sunday 0 so weeks start on Sunday.
    const int firstWeekday = QDate(date.year(), date.month(), 1).dayOfWeek() % 7;
    return (date.day() - 1 + firstWeekday) / 7 + 1;
}

QString WeekOfMonthText(const QString& dateText, bool withYear) {
    const QDate d = DateFromText(dateText.trimmed());
    if (!d.isValid()) return dateText + QStringLiteral("는 올바른 날짜형식이 아닙니다.");
    QString s = QString::number(d.month()) + QStringLiteral("월 ") +
                QString::number(WeekOfMonth(d)) + QStringLiteral("주차");
    if (withYear) s = QString::number(d.year()) + QStringLiteral("-") + s;
    return s;
}
