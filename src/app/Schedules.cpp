#include "app/Schedules.h"

#include "db/Database.h"

namespace {
QDate parseDate(const QString& text) {
    const QString t = text.trimmed();
    if (t.size() != 10) return {};
    return QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
}
} // namespace

bool ScheduleDueOn(const QString& sdate, int cyclic, const QDate& day) {
    const QDate first = parseDate(sdate);
    if (!first.isValid() || !day.isValid()) return false;
    if (cyclic == 0) return first == day;
    if (day < first) return false;
    switch (cyclic) {
    case 1: return first.day() == day.day();
    case 2: return first.month() == day.month() && first.day() == day.day();
    case 3: return first.dayOfWeek() == day.dayOfWeek();
    default: return false;
    }
}

QList<ScheduleEntry> SchedulesDueOn(const QDate& day, int ownerCode, bool openOnly) {
    QList<ScheduleEntry> out;
    QString sql = QStringLiteral("SELECT seq, ocode, sdate, stime, note, hidden, cyclic FROM schedules"
                                 " WHERE (sdate = ? OR cyclic > 0) AND ocode = ?");
    if (openOnly) sql += QStringLiteral(" AND hidden = 0");
    sql += QStringLiteral(" ORDER BY cyclic, sdate, stime, seq");
    Recordset rs;
    if (OpenRecordset(rs, sql, {day.toString(QStringLiteral("yyyy-MM-dd")), ownerCode}) <= 0)
        return out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        ScheduleEntry e;
        e.seq = rs.integer(QStringLiteral("seq"));
        e.ocode = rs.integer(QStringLiteral("ocode"));
        e.sdate = rs.text(QStringLiteral("sdate"));
        e.stime = rs.text(QStringLiteral("stime"));
        e.note = rs.text(QStringLiteral("note"));
        e.hidden = rs.integer(QStringLiteral("hidden"));
        e.cyclic = rs.integer(QStringLiteral("cyclic"));
        if (ScheduleDueOn(e.sdate, e.cyclic, day)) out << e;
    }
    return out;
}

QString ScheduleReminderText(const QDate& day, int ownerCode) {
    QString text;
    for (const ScheduleEntry& e : SchedulesDueOn(day, ownerCode, true))
        text += e.stime + u'\n' + e.note + QStringLiteral("\n\n");
    return text;
}
