#include "tools/Schedules.h"

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

namespace {
const QString kColumns = QStringLiteral("SELECT seq, ocode, sdate, stime, note, hidden, cyclic FROM schedules");
const QString kOrder = QStringLiteral(" ORDER BY cyclic, sdate, stime, seq");

// Reads the rows of `sql` and hands each to `take`.
template <class F>
void readScheduleEntries(const QString& sql, const QVariantList& params, F take) {
    Recordset rs;
    if (OpenRecordset(rs, sql, params) <= 0) return;
    const int cSeq = rs.fieldIndex(QStringLiteral("seq")), cOcode = rs.fieldIndex(QStringLiteral("ocode")),
              cDate = rs.fieldIndex(QStringLiteral("sdate")), cTime = rs.fieldIndex(QStringLiteral("stime")),
              cNote = rs.fieldIndex(QStringLiteral("note")), cHidden = rs.fieldIndex(QStringLiteral("hidden")),
              cCyclic = rs.fieldIndex(QStringLiteral("cyclic"));
    for (int r = 0; r < rs.recordCount(); ++r) {
        const auto& row = rs.row(r);
        ScheduleEntry e;
        e.seq = row[cSeq].toInt();
        e.ocode = row[cOcode].toInt();
        e.sdate = row[cDate].toString();
        e.stime = row[cTime].toString();
        e.note = row[cNote].toString();
        e.hidden = row[cHidden].toInt();
        e.cyclic = row[cCyclic].toInt();
        take(e);
    }
}
} // namespace

QList<ScheduleEntry> SchedulesDueOn(const QDate& day, int ownerCode, bool openOnly) {
    QList<ScheduleEntry> out;
    QString sql = kColumns + QStringLiteral(" WHERE (sdate = ? OR cyclic > 0) AND ocode = ?");
    if (openOnly) sql += QStringLiteral(" AND hidden = 0");
    sql += kOrder;
    readScheduleEntries(sql, {day.toString(QStringLiteral("yyyy-MM-dd")), ownerCode}, [&](const ScheduleEntry& e) {
        if (ScheduleDueOn(e.sdate, e.cyclic, day)) out << e;
    });
    return out;
}

QMap<int, QList<ScheduleEntry>> SchedulesOfMonth(int year, int month, int ownerCode, bool hideFinished) {
    QMap<int, QList<ScheduleEntry>> out;
    const QDate first(year, month, 1);
    if (!first.isValid()) return out;
    const QDate last = first.addDays(first.daysInMonth() - 1);
    QString sql = kColumns + QStringLiteral(" WHERE (sdate >= ? AND sdate <= ? OR cyclic > 0) AND ocode = ?");
    if (hideFinished) sql += QStringLiteral(" AND hidden = 0");
    sql += kOrder;
    readScheduleEntries(sql, {first.toString(QStringLiteral("yyyy-MM-dd")), last.toString(QStringLiteral("yyyy-MM-dd")), ownerCode},
                [&](const ScheduleEntry& e) {
                    if (e.cyclic == 0) {
                        const QDate d = parseDate(e.sdate);
                        if (d.isValid()) out[d.day()] << e;
                        return;
                    }
                    // Only the days the rule can hit are put to ScheduleDueOn.
                    const QDate start = parseDate(e.sdate);
                    if (!start.isValid()) return;
                    QList<QDate> candidates;
                    if (e.cyclic == 1 || e.cyclic == 2) {
                        const QDate d(year, month, start.day());
                        if (d.isValid()) candidates << d;
                    } else if (e.cyclic == 3) {
                        QDate d = first.addDays((start.dayOfWeek() - first.dayOfWeek() + 7) % 7);
                        for (; d <= last; d = d.addDays(7)) candidates << d;
                    }
                    for (const QDate& d : candidates)
                        if (ScheduleDueOn(e.sdate, e.cyclic, d)) out[d.day()] << e;
                });
    return out;
}

QString ScheduleCycleText(int cyclic) {
    static const char* const texts[] = {"없음", "매월", "매년", "매주"};
    return cyclic >= 0 && cyclic <= 3 ? QString::fromUtf8(texts[cyclic]) : QString();
}

QString ScheduleTimePart(const QString& typed, int max) {
    const QString t = typed.trimmed();
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok || t.isEmpty() || t.size() > 2 || v < 0 || v > max) return QStringLiteral("00");
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

int InsertSchedule(const ScheduleEntry& e) {
    if (ExecSQL(QStringLiteral("INSERT INTO schedules (ocode, sdate, stime, note, hidden, cyclic)"
                               " VALUES (?, ?, ?, ?, 0, ?)"),
                {e.ocode, e.sdate, e.stime, e.note, e.cyclic}) != 1)
        return 0;
    return LastIdentity();
}

bool UpdateSchedule(const ScheduleEntry& e) {
    return ExecSQL(QStringLiteral("UPDATE schedules SET sdate = ?, stime = ?, note = ?, cyclic = ? WHERE seq = ?"),
                   {e.sdate, e.stime, e.note, e.cyclic, e.seq}) == 1;
}

bool DeleteSchedule(int seq) {
    return ExecSQL(QStringLiteral("DELETE FROM schedules WHERE seq = ?"), {seq}) == 1;
}

int DeleteSchedulesOfDay(const QDate& day, int ownerCode) {
    const SqlOutcome o = RunSilent(QStringLiteral("DELETE FROM schedules WHERE sdate = ? AND ocode = ?"),
                                   {day.toString(QStringLiteral("yyyy-MM-dd")), ownerCode});
    return o.ok ? o.changes : -1;
}

int CountSchedulesOfDay(const QDate& day, int ownerCode) {
    return CountRows(QStringLiteral("schedules"), QStringLiteral("sdate = ? AND ocode = ?"),
                     {day.toString(QStringLiteral("yyyy-MM-dd")), ownerCode});
}

QString ScheduleReminderText(const QDate& day, int ownerCode) {
    QString text;
    for (const ScheduleEntry& e : SchedulesDueOn(day, ownerCode, true))
        text += e.stime + u'\n' + e.note + QStringLiteral("\n\n");
    return text;
}
