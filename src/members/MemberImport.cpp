#include "members/MemberImport.h"

#include "calendar/DateText.h"
#include "core/Clock.h"
#include "core/PrivateData.h"
#include "db/Database.h"
#include "members/MemberStore.h"
#include "members/MemberRules.h"
#include "ui/TextRules.h"

#include <QDate>

namespace {
const ImportFieldInfo kFields[ImportFieldCount] = {
    {"회원명", "sname", 50},     {"주민번호", "idno", 14},     {"관리번호", "codeno", 20},
    {"성별", "male", 255},       {"혈액형", "abo", 255},       {"핸드폰번호", "hpline", 255},
    {"전화1", "hline1", 255},    {"전화2", "hline2", 255},     {"전화3", "hline3", 255},
    {"팩스", "faxline", 255},    {"그룹명", "ctblgroup", 255}, {"메일주소", "mail", 255},
    {"우편번호", "hzipno", 255}, {"주소일반", "homeadd", 255}, {"주소상세", "homeadd2", 255},
    {"메모", "smemo", 255},      {"회사명", "comname", 255},   {"생일", "barthday", 255},
};
constexpr int kUserMaxBytes = 255;

// Today as stored, worked out again only when the day changed: a sheet checks its
// birthdays row after row.
QString today() {
    static QDate day;
    static QString text;
    const QDate now = Clock::today();
    if (now != day) {
        day = now;
        text = now.toString(QStringLiteral("yyyy-MM-dd"));
    }
    return text;
}

QString cell(const QStringList& cells, int col) {
    return col >= 0 && col < cells.size() ? cells.at(col).trimmed() : QString();
}

// The text as stored: cut to the column's length in code-page bytes.
QString fitted(const QString& value, int maxBytes) {
    return CodePageLength(value) > maxBytes ? CutToBytes(value, maxBytes) : value;
}

// The labels and columns as strings, made once (every row names them).
struct FieldNames {
    QString label[ImportFieldCount];
    QString column[ImportFieldCount];
    QString userLabel[ImportUserFieldCount];
    QString userColumn[ImportUserFieldCount];
};
const FieldNames& fieldNames() {
    static const FieldNames names = [] {
        FieldNames n;
        for (int f = 0; f < ImportFieldCount; ++f) {
            n.label[f] = QString::fromUtf8(kFields[f].label);
            n.column[f] = QString::fromLatin1(kFields[f].column);
        }
        for (int u = 0; u < ImportUserFieldCount; ++u) {
            n.userLabel[u] = QStringLiteral("사용자정의") + QString::number(u + 1);
            n.userColumn[u] = QStringLiteral("userfieldnote") + QString::number(u + 1);
        }
        return n;
    }();
    return names;
}

// A date read from a sheet must name its year: the short typed forms (a bare day, or month
// and day) would silently take this month or this year. A birthday cannot lie in the
// future, which also refuses "850315" read as 2085. "" when not a date.
QString importDate(const QString& text, bool birthday) {
    bool digits = !text.isEmpty();
    for (const QChar c : text)
        digits = digits && c.isDigit();
    if (digits && text.size() <= 4) return {};
    const QString d = NormalizeDate(text);
    if (birthday && !d.isEmpty() && d > today()) return {};
    return d;
}
} // namespace

const ImportFieldInfo& ImportFieldAt(int field) {
    return kFields[qBound(0, field, ImportFieldCount - 1)];
}

QString ImportRow::value(const QString& column) const {
    for (const auto& [c, text] : values)
        if (c == column) return text;
    return {};
}

ImportRow ReadImportRow(const QStringList& cells, const ImportMapping& map, int rowNo) {
    const FieldNames& names = fieldNames();
    ImportRow row;
    row.values.reserve(ImportFieldCount);
    auto prefix = [rowNo] { return QString::number(rowNo) + QStringLiteral("행의 "); };
    auto problem = [&](const QString& text) {
        row.log << prefix() + text;
        row.rejected = true;
    };
    auto fit = [&](const QString& label, QString value, int maxBytes) {
        if (CodePageLength(value) > maxBytes) {
            row.log << prefix() + label + QStringLiteral(" 길이가 너무 깁니다.(최대 ") +
                           QString::number(maxBytes) +
                           QStringLiteral("자) 길이만큼 자동으로 짤립니다.") +
                           QStringLiteral(" -> ") + value;
            value = CutToBytes(value, maxBytes);
        }
        return value;
    };

    for (int f = 0; f < ImportFieldCount; ++f) {
        const int col = map.fields.value(f, -1);
        if (col < 0) continue;
        QString v = cell(cells, col);
        switch (f) {
        case FName:
            if (v.isEmpty())
                problem(QStringLiteral("회원명이 없습니다. -> 회원명은 필수 입력 사항입니다. 자료 "
                                       "수정 후 다시 시도 하세요."));
            break;
        case FIdNo:
            // Without the key file no resident number can be stored: the column counts as
            // not chosen (a new member gets none, a member updated keeps his own), and each
            // row that held one says so.
            if (!DataKey::loaded()) {
                if (!v.isEmpty())
                    row.log << QString::number(rowNo) +
                                   QStringLiteral("행의 주민번호는 암호키 파일이 없어 저장하지 "
                                                  "않습니다.");
                continue;
            }
            break;
        case FMale:
            if (!v.isEmpty() && v != QStringLiteral("남") && v != QStringLiteral("여"))
                problem(QStringLiteral("성별 형식이 일치하지 않습니다. -> 성별 형식은 남 or 여 "
                                       "입니다. 자료 수정 후 다시 시도 하세요."));
            if (v.isEmpty()) v = QStringLiteral(" ");
            break;
        case FAbo:
            v = v.toUpper();
            if (!v.isEmpty() && v != QLatin1String("A") && v != QLatin1String("B") &&
                v != QLatin1String("O") && v != QLatin1String("AB"))
                problem(QStringLiteral("형액형 형식이 일치하지 않습니다. -> 혈액형 형식은 A, B, O, "
                                       "AB 입니다. 자료 수정 후 다시 시도 하세요."));
            if (v.isEmpty()) v = QStringLiteral(" ");
            break;
        case FBirthday:
            if (!v.isEmpty()) {
                const QString d = importDate(v, true);
                if (d.isEmpty()) problem(QStringLiteral("생일의 데이터가 날짜형이 아닙니다. "));
                v = d;
            }
            break;
        case FGroup:
            row.groupMapped = true;
            row.groupName = fit(names.label[f], v, kFields[f].maxBytes);
            continue;
        default:
            break;
        }
        row.values.append({names.column[f], fit(names.label[f], v, kFields[f].maxBytes)});
    }
    for (int u = 0; u < ImportUserFieldCount; ++u) {
        const int col = map.users.value(u, -1);
        if (col < 0) continue;
        const QString& label = names.userLabel[u];
        QString v = cell(cells, col);
        if (u < 2 && !v.isEmpty()) {
            const QString d = importDate(v, false);
            if (d.isEmpty()) problem(label + QStringLiteral("의 데이터가 날짜형이 아닙니다. "));
            v = d;
        }
        row.values.append({names.userColumn[u], fit(label, v, kUserMaxBytes)});
    }
    return row;
}

bool IsHeadingRow(const QStringList& cells) {
    for (const QString& c : cells) {
        const QString t = c.trimmed();
        if (t.isEmpty()) continue;
        for (const ImportFieldInfo& f : kFields)
            if (t == QString::fromUtf8(f.label)) return true;
    }
    return false;
}

int CheckImportRows(const QVector<QStringList>& rows, const ImportMapping& map, int from, int to,
                    const ImportLog& log) {
    int bad = 0;
    for (int r = from; r <= to && r <= rows.size(); ++r) {
        const ImportRow row = ReadImportRow(rows.at(r - 1), map, r);
        for (const QString& line : row.log)
            log(line);
        bad += !row.log.isEmpty();
    }
    return bad;
}

int CountImportIdNosLost(const QVector<QStringList>& rows, const ImportMapping& map, int from,
                         int to) {
    const int col = map.fields.value(FIdNo, -1);
    if (col < 0 || DataKey::loaded()) return 0;
    int lost = 0;
    for (int r = std::max(1, from); r <= std::min<int>(to, rows.size()); ++r)
        lost += !cell(rows.at(r - 1), col).isEmpty();
    return lost;
}

namespace {
// Group codes by name, the groups this import created included.
class GroupCodes {
public:
    // 0 when a statement failed.
    int codeOf(const QString& name) {
        if (name.isEmpty()) return 1;
        if (const auto it = m_codes.constFind(name); it != m_codes.cend()) return *it;
        int code =
            GetScalar(QStringLiteral("SELECT code FROM tblgroup WHERE gname = ?"), {name}).toInt();
        if (code <= 0) {
            // Monthly dues on the 1st with amount 0.
            if (ExecSQL(QStringLiteral(
                            "INSERT INTO tblgroup (gname, monox, settlementday, settlementmon,"
                            " repeatclass, delaymon) VALUES (?, 0, '01', 0, '00000', 0)"),
                        {name}) <= 0)
                return 0;
            code = LastIdentity();
        }
        m_codes.insert(name, code);
        return code;
    }

private:
    QHash<QString, int> m_codes;
};
} // namespace

ImportResult WriteImportRows(const QVector<QStringList>& rows, const ImportMapping& map, int from,
                             int to, bool updateMode, const ImportLog& log,
                             const ImportProgress& progress) {
    ImportResult result;
    Transaction tx;
    // Records why the write stopped at sheet row `r`; everything is rolled back.
    const auto failed = [&](int r) {
        result.failedRow = r;
        const QString cause = DbFailureCause(LastDbErrorCode());
        result.cause = cause.isEmpty() ? LastDbError().trimmed() : cause;
        if (result.cause.isEmpty()) result.cause = QStringLiteral("저장할 수 없습니다.");
        return result;
    };
    if (!tx.ok()) return failed(0);
    GroupCodes groups;
    // How many members hold each management number of the rows to write (the fixed row
    // aside), kept current as rows are added. Only the sheet's numbers are looked up, a
    // few hundred to a statement, not every member's number.
    QHash<QString, int> holders;
    if (const int numberCol = map.fields.value(FCodeNo, -1); numberCol >= 0) {
        QStringList numbers;
        holders.reserve(qMax(0, qMin(to, int(rows.size())) - from + 1));
        for (int r = from; r <= to && r <= rows.size(); ++r) {
            const QString n = fitted(cell(rows.at(r - 1), numberCol), kFields[FCodeNo].maxBytes);
            if (!n.isEmpty() && !holders.contains(n)) {
                holders.insert(n, 0);
                numbers << n;
            }
        }
        constexpr int kChunk = 500;
        for (qsizetype at = 0; at < numbers.size(); at += kChunk) {
            const qsizetype n = qMin<qsizetype>(kChunk, numbers.size() - at);
            QVariantList params;
            params.reserve(n);
            for (qsizetype i = at; i < at + n; ++i)
                params << numbers.at(i);
            Recordset rs;
            if (OpenRecordset(rs,
                              QStringLiteral("SELECT codeno, COUNT(*) AS n FROM tblfriend WHERE code <> 1"
                                             " AND codeno IN (?") +
                                  QStringLiteral(", ?").repeated(n - 1) +
                                  QStringLiteral(") GROUP BY codeno"),
                              params) < 0)
                return failed(0);
            for (rs.moveFirst(); !rs.eof(); rs.moveNext())
                holders.insert(rs.text(0), rs.integer(QStringLiteral("n")));
        }
    }
    // One mapping gives every row the same columns, so the UPDATE is written once.
    QString updateSql;
    const QString day = today();
    int written = 0;
    for (int r = from; r <= to && r <= rows.size(); ++r) {
        if (progress) progress(r - from + 1);
        ImportRow row = ReadImportRow(rows.at(r - 1), map, r);
        for (const QString& line : row.log)
            log(line);
        if (row.rejected) continue;
        const auto prefix = [r] { return QString::number(r) + QStringLiteral("행의 "); };
        const QString number = row.value(fieldNames().column[FCodeNo]);
        const int held = number.isEmpty() ? 0 : holders.value(number);
        if (held > 0 && !updateMode) {
            log(prefix() + QStringLiteral("존재하는 관리번호 입니다. 번호:") + number);
            continue;
        }
        if (held > 1) {
            log(prefix() +
                QStringLiteral("관리번호가 여러 회원에게 있어 수정하지 않았습니다. 번호:") +
                number);
            continue;
        }
        int group = 1;
        if (row.groupMapped) {
            group = groups.codeOf(row.groupName);
            if (group <= 0) return failed(r);
        }
        if (held == 1) {
            if (updateSql.isEmpty()) {
                updateSql = QStringLiteral("UPDATE tblfriend SET finalday = ?");
                for (const auto& value : std::as_const(row.values))
                    updateSql += QStringLiteral(", ") + value.first + QStringLiteral(" = ?");
                if (row.groupMapped) updateSql += QStringLiteral(", ctblgroup = ?");
                updateSql += QStringLiteral(" WHERE codeno = ? AND code <> 1");
            }
            QVariantList params;
            params.reserve(row.values.size() + 3);
            params << day;
            for (const auto& value : std::as_const(row.values))
                params << value.second;
            if (row.groupMapped) params << group;
            params << number;
            if (ExecSQL(updateSql, params) <= 0) return failed(r);
        } else {
            MemberValues v;
            v.insert(QStringLiteral("male"), QStringLiteral(" "));
            v.insert(QStringLiteral("abo"), QStringLiteral(" "));
            v.insert(QStringLiteral("insertday"), day);
            v.insert(QStringLiteral("feestart"), day);
            for (const auto& value : std::as_const(row.values))
                v.insert(value.first, value.second);
            v.insert(QStringLiteral("ctblgroup"), group);
            if (SaveMember(0, v) <= 0) return failed(r);
            if (!number.isEmpty()) holders[number] += 1;
        }
        ++written;
    }
    if (!tx.commit()) return failed(0);
    result.ok = true;
    result.written = written;
    return result;
}
