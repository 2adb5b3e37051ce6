#include "db/SqlFunctions.h"

#include <QList>
#include <QString>

#include <sqlite3.h>

namespace {

// Text of an argument as code points, so that Hangul counts one per syllable.
QList<uint> argChars(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    const int n = sqlite3_value_bytes(v);
    return QString::fromUtf8(p, n).toUcs4();
}

void resultChars(sqlite3_context* ctx, const QList<uint>& chars, qsizetype from, qsizetype count) {
    if (from < 0) from = 0;
    if (from > chars.size()) from = chars.size();
    if (count < 0 || from + count > chars.size()) count = chars.size() - from;
    const QByteArray utf8 =
        QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData() + from), count).toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

bool anyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

// Jet raises "Invalid procedure call" for a start below 1 or a negative length.
void invalidCall(sqlite3_context* ctx) {
    sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
}

void fnMid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const sqlite3_int64 start = sqlite3_value_int64(argv[1]);
    const sqlite3_int64 len = argc > 2 ? sqlite3_value_int64(argv[2]) : -1;
    if (start < 1 || (argc > 2 && len < 0)) return invalidCall(ctx);
    const QList<uint> chars = argChars(argv[0]);
    if (start > chars.size()) return sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
    // A length past the end takes the rest; clamped here so that start + length cannot
    // overflow for a huge length.
    const sqlite3_int64 rest = chars.size() - (start - 1);
    const sqlite3_int64 take = argc > 2 ? qMin(len, rest) : rest;
    resultChars(ctx, chars, qsizetype(start - 1), qsizetype(take));
}

void fnLeft(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const sqlite3_int64 n = sqlite3_value_int64(argv[1]);
    if (n < 0) return invalidCall(ctx);
    const QList<uint> chars = argChars(argv[0]);
    resultChars(ctx, chars, 0, qsizetype(qMin<sqlite3_int64>(n, chars.size())));
}

void fnRight(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const sqlite3_int64 n = sqlite3_value_int64(argv[1]);
    if (n < 0) return invalidCall(ctx);
    const QList<uint> chars = argChars(argv[0]);
    const qsizetype take = qsizetype(qMin<sqlite3_int64>(n, chars.size()));
    resultChars(ctx, chars, chars.size() - take, take);
}

void fnLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, argChars(argv[0]).size());
}

void fnUcase(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QByteArray utf8 = QString::fromUtf8(p, sqlite3_value_bytes(argv[0])).toUpper().toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// 1 for a number, 0 otherwise (both engines compare the result with integers).
void fnIsNumeric(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return sqlite3_result_int(ctx, 1);
    case SQLITE_TEXT: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        return sqlite3_result_int(ctx, JetIsNumeric(QString::fromUtf8(p, sqlite3_value_bytes(argv[0]))) ? 1 : 0);
    }
    default: return sqlite3_result_int(ctx, 0);
    }
}

} // namespace

bool JetIsNumeric(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == u'+' || t[i] == u'-')) ++i;
    int digits = 0;
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            ++digits;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-')) ++i;
        int expDigits = 0;
        while (i < n && t[i] >= u'0' && t[i] <= u'9') {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    return i == n;
}

bool RegisterSqlFunctions(sqlite3* db) {
    struct Fn {
        const char* name;
        int args;
        void (*impl)(sqlite3_context*, int, sqlite3_value**);
    };
    static const Fn fns[] = {
        {"MID", 2, fnMid},   {"MID", 3, fnMid},     {"LEFT", 2, fnLeft},
        {"RIGHT", 2, fnRight}, {"LEN", 1, fnLen},   {"UCASE", 1, fnUcase},
        {"ISNUMERIC", 1, fnIsNumeric},
    };
    bool ok = true;
    for (const Fn& f : fns) {
        ok = sqlite3_create_function_v2(db, f.name, f.args, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                        nullptr, f.impl, nullptr, nullptr, nullptr) == SQLITE_OK &&
             ok;
    }
    return ok;
}
