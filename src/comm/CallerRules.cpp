#include "comm/CallerRules.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "db/Database.h"
#include "ui/TextRules.h"

#include <QFile>

namespace {

QString digitsOf(const QString& s)
{
    QString d;
    d.reserve(s.size());
    for (QChar c : s)
        if (c >= u'0' && c <= u'9')
            d += c;
    return d;
}

const char* const kPhoneColumns[] = {"hpline", "hline1", "hline2", "hline3", "finalline", "keyline"};

// The last four characters of a column, as the schema's caller indexes spell it.
QString lastFour(const QString& column)
{
    return QStringLiteral("substr(") + column + QStringLiteral(", length(") + column + QStringLiteral(") - 3)");
}

} // namespace

std::optional<QString> CallerNumber(const QString& raw)
{
    QString s = raw;
    s.remove(QChar(0));
    if (s.isEmpty() || s.size() > 20)
        return std::nullopt;
    const QString code = s.trimmed().toUpper();
    if (IsWithheld(code))
        return code;
    bool digit = false;
    for (QChar c : s) {
        if (!((c >= u'0' && c <= u'9') || c == u'-'))
            return std::nullopt;
        digit = digit || c != u'-';
    }
    if (!digit)
        return std::nullopt; // "-----" is no number
    return s;
}

bool IsWithheld(const QString& number)
{
    return number == QStringLiteral("P") || number == QStringLiteral("O") || number == QStringLiteral("PRIVATE");
}

QString WithheldText()
{
    return QStringLiteral("발신번호 없음");
}

QString TraceSafe(const QString& raw)
{
    QString out;
    const qsizetype shown = qMin<qsizetype>(raw.size(), 40);
    for (qsizetype i = 0; i < shown; ++i) {
        const QChar c = raw.at(i);
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'\\')
            out += c;
        else if (c.unicode() < 0x100)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    if (raw.size() > shown)
        out += QStringLiteral("...(%1)").arg(raw.size());
    return out;
}

QString FormatTelNo(const QString& number, QString* localPart)
{
    if (number.size() < 6)
        return number;
    const QString d = digitsOf(number);
    if (d.size() <= 4)
        return d;
    const QString formatted = FormatTelephone(d);
    if (localPart) {
        // Two dashes: an area code was split off; the local part follows its dash.
        const qsizetype first = formatted.indexOf(u'-');
        *localPart = formatted.count(u'-') == 2 ? formatted.mid(first + 1) : formatted;
    }
    return formatted;
}

int PhoneCellMatch(const QString& cell, const QString& number, const QString& local)
{
    const QString whole = digitsOf(number);
    const QString key = digitsOf(local);
    if (key.size() < 4)
        return 0;
    const bool hasArea = whole.size() > key.size();
    int best = 0;
    for (const QString& part : cell.split(u',')) {
        const QString d = digitsOf(part);
        if (d.isEmpty())
            continue;
        if (d == whole)
            return 2;
        // Stored without an area code: the caller's local part. A caller without one
        // matches any stored number ending in it.
        if (hasArea ? d == key : d.endsWith(key))
            best = 1;
    }
    return best;
}

CallerMatch FindCaller(const QString& number, const QString& localPart)
{
    CallerMatch m;
    const QString key = digitsOf(localPart);
    if (key.size() < 4)
        return m;
    // The last four characters narrow the rows through an index on each column. Cells
    // holding several numbers ("a, b") are read too, since their first numbers do not
    // end them; the schema keeps a partial index on exactly this condition.
    static const QString several = QStringLiteral(
        "hpline LIKE '%,%' OR hline1 LIKE '%,%' OR hline2 LIKE '%,%' OR hline3 LIKE '%,%'"
        " OR finalline LIKE '%,%' OR keyline LIKE '%,%'");
    const QString columns = QStringLiteral("SELECT code, sname, smemo, hpline, hline1, hline2, hline3, finalline, keyline"
                                           " FROM tblfriend WHERE code <> 1 AND (");
    QString where;
    QVariantList params;
    const QString last4 = key.right(4);
    for (const char* col : kPhoneColumns) {
        where += (where.isEmpty() ? QString() : QStringLiteral(" OR ")) + lastFour(QLatin1String(col)) + QStringLiteral(" = ?");
        params << last4;
    }
    // Each cell is then compared by its digits (PhoneCellMatch).
    const QString sql = columns + where + QStringLiteral(") UNION ") + columns + several + QStringLiteral(") ORDER BY 1");
    Recordset rs;
    if (OpenRecordset(rs, sql, params) < 0) {
        m.count = -1;
        return m;
    }
    int shown = 0; // quality of the member kept in m
    for (int r = 0; r < rs.recordCount(); ++r) {
        const auto& row = rs.row(r);
        int hit = 0;
        for (int c = 3; c < 9 && hit < 2; ++c)
            hit = qMax(hit, PhoneCellMatch(row.value(c).toString(), number, localPart));
        if (hit == 0)
            continue;
        ++m.count;
        if (hit > shown) {
            shown = hit;
            m.code = row.value(0).toInt();
            m.name = row.value(1).toString();
            m.memo = row.value(2).toString();
        }
    }
    return m;
}

QString CidLogTime(const QDateTime& t)
{
    const int h = t.time().hour();
    const int h12 = h % 12 == 0 ? 12 : h % 12;
    return t.date().toString(QStringLiteral("yyyy-MM-dd")) + (h < 12 ? QStringLiteral(" 오전 ") : QStringLiteral(" 오후 "))
        + QStringLiteral("%1").arg(h12, 2, 10, QLatin1Char('0')) + t.time().toString(QStringLiteral(":mm:ss"));
}

void CidLog(const QString& tag, const QString& value)
{
    QFile f(DataPath(QStringLiteral("CID_LOG.txt")));
    if (!f.open(QIODevice::Append | QIODevice::Text))
        return;
    QString clean;
    clean.reserve(value.size());
    for (QChar c : value) {
        const auto cat = c.category();
        if (cat == QChar::Other_Control || cat == QChar::Separator_Line || cat == QChar::Separator_Paragraph)
            clean += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            clean += c;
    }
    f.write((CidLogTime(Clock::now()) + u' ' + tag + clean + u'\n').toUtf8());
}

QString ViewerText(const QString& formatted, const CallerMatch& m)
{
    if (m.count < 1)
        return formatted + QStringLiteral(";등록되지 않은 번호입니다.");
    return formatted + u';' + m.name + u';' + m.memo;
}
