#include "db/Schema.h"
#include "core/Log.h"

#include "db/Database.h"
#include "db/PgEngine.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace {

// Column kinds: every text is TEXT NOT NULL DEFAULT '' so that the many "= ''" tests hold for
// rows that never set it; numbers default to 0; references default to the fixed row 1.
enum class Kind { Text, Money, Int, Ref };

struct Col {
    const char* name;
    Kind kind;
};

QString columnSql(const Col& c) {
    const QString n = QString::fromLatin1(c.name);
    switch (c.kind) {
    case Kind::Text: return n + QStringLiteral(" TEXT NOT NULL DEFAULT ''");
    case Kind::Money: return n + QStringLiteral(" REAL NOT NULL DEFAULT 0");
    case Kind::Int: return n + QStringLiteral(" INTEGER NOT NULL DEFAULT 0");
    case Kind::Ref: return n + QStringLiteral(" INTEGER NOT NULL DEFAULT 1");
    }
    return n;
}

QString table(const char* name, std::initializer_list<Col> cols, const char* key = "code") {
    QStringList defs;
    if (key) defs << QString::fromLatin1(key) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    for (const Col& c : cols) defs << columnSql(c);
    return QStringLiteral("CREATE TABLE ") + QString::fromLatin1(name) + QStringLiteral(" (") +
           defs.join(QStringLiteral(", ")) + u')';
}

constexpr Kind T = Kind::Text;
constexpr Kind M = Kind::Money;
constexpr Kind I = Kind::Int;
constexpr Kind R = Kind::Ref;

} // namespace

namespace Schema {

QString userFieldListTable() {
    return QStringLiteral("CREATE TABLE tbluserfieldlist (code INTEGER CONSTRAINT PK_tbluserfieldlist "
                          "PRIMARY KEY AUTOINCREMENT, branchclass INTEGER NOT NULL DEFAULT 0, "
                          "bigo TEXT NOT NULL DEFAULT '')");
}

QStringList tableStatements() {
    QStringList out;
    QString friendTable = table(
        "tblfriend",
        {{"sname", T},      {"ctblgroup", R},  {"idno", T},       {"male", T},
         {"hpline", T},     {"hline1", T},     {"hline2", T},     {"hline3", T},
         {"finalline", T},  {"keyline", T},    {"inline", T},     {"faxline", T},
         {"relation", T},   {"mail", T},       {"mail2", T},      {"homepi", T},
         {"homepi2", T},    {"hzipno", T},     {"homeadd", T},    {"homeadd2", T},
         {"czipno", T},     {"comadd", T},     {"comadd2", T},    {"comname", T},
         {"spart", T},      {"sgrade", T},     {"sposition", T},  {"picture", T},
         {"insertday", T},  {"finalday", T},   {"codeno", T},     {"barthday", T},
         {"lunarbarth", I}, {"marryox", I},    {"marryday", T},   {"lunarmarry", I},
         {"ectday", T},     {"lunarect", I},   {"abo", T},        {"searchword", T},
         {"smemo", T},      {"feestart", T},   {"hidden", I}});
    // The 18 user-defined fields close the member table.
    friendTable.chop(1);
    for (int i = 1; i <= 18; ++i)
        friendTable += QStringLiteral(", userfieldnote%1 TEXT NOT NULL DEFAULT ''").arg(i);
    friendTable += u')';
    out << friendTable;

    out << table("tblgroup", {{"gname", T},
                              {"repeatclass", T},
                              {"repeatstart", T},
                              {"settlementday", T},
                              {"settlementmon", M},
                              {"delaymon", M},
                              {"monox", I},
                              {"smemo", T}});
    out << table("tblgroupmon", {{"ctblgroup", R},
                                 {"ctblfriend", R},
                                 {"inoutclass", T},
                                 {"sdate", T},
                                 {"smonth", T},
                                 {"smoney", M},
                                 {"ctblaffairsnote", T},
                                 {"smemo", T}});
    out << table("tblsubdata", {{"ctblgroupmon", R}, {"bigo", T}, {"smoney", M}, {"smemo", T}});
    out << table("tblaffairsnote", {{"inoutclass", T}, {"bigo", T}});
    out << table("tblitem", {{"inoutclass", T}, {"bigo", T}});
    out << table("tblservice", {{"sname", T}, {"smoney", M}, {"spoint", I}, {"smemo", T}});
    out << table("tbltrade", {{"sdate", T},
                              {"ctblfriend", R},
                              {"sintime", T},
                              {"souttime", T},
                              {"lendox", T},
                              {"lstackpoint", I},
                              {"dmoney", M},
                              {"dcard", M},
                              {"ctblcard", R},
                              {"daccount", M},
                              {"lpoint", I},
                              {"ddc", M},
                              {"cardchk", T},
                              {"smemo", T}});
    out << table("tbltradesub", {{"ctbltrade", R},
                                 {"ctblservice", R},
                                 {"servicename", T},
                                 {"lnumber", I},
                                 {"dmoney", M},
                                 {"dsum", M},
                                 {"smemo", T}});
    out << table("tblcard", {{"sname", T}, {"dfee", M}, {"smemo", T}});
    out << table("tblgrouping", {{"accountclass", T},
                                 {"accountname", T},
                                 {"bankname", T},
                                 {"accountno", T},
                                 {"sbalance", M},
                                 {"totalox", I},
                                 {"ctblgrouping", R},
                                 {"validityday", T},
                                 {"smemo", T}});
    out << table("tbljangbu", {{"sdate", T},
                               {"sectionclass", T},
                               {"ctblitem", T},
                               {"cgroupin", R},
                               {"cgroupout", R},
                               {"ctblusename", R},
                               {"smoney", M},
                               {"smemo", T}});
    out << table("tblusename", {{"sname", T}});
    out << userFieldListTable();
    out << table("options", {{"optname", T}, {"optvalue", T}}, nullptr);
    out << table("schedules", {{"ocode", I},
                               {"sdate", T},
                               {"stime", T},
                               {"note", T},
                               {"hidden", I},
                               {"cyclic", I}},
                 "seq");
    out << table("local_user", {{"code", T}, {"loginid", T}, {"name", T}, {"loginpwd", T}}, nullptr);
    return out;
}

QStringList indexStatements() {
    // Every reference column, the dates lists filter by, and the names looked up directly.
    // Each start creates what is missing (UpgradeSchema), so an index added here reaches
    // existing databases without a new schema version.
    static const char* const indexed[][2] = {
        {"tblfriend", "ctblgroup"},        {"tblfriend", "sname"},
        {"tblfriend", "codeno"},           {"tblfriend", "barthday"},
        {"tblfriend", "marryday"},         {"tblfriend", "ectday"},
        {"tblfriend", "insertday"},        {"tblfriend", "hpline"},
        {"tblgroup", "gname"},             {"tblgroupmon", "ctblgroup"},
        {"tblgroupmon", "ctblfriend"},     {"tblgroupmon", "sdate"},
        {"tblgroupmon", "smonth"},         {"tblgroupmon", "ctblaffairsnote"},
        {"tblsubdata", "ctblgroupmon"},    {"tbltrade", "ctblfriend"},
        {"tbltrade", "ctblcard"},          {"tbltrade", "sdate"},
        {"tbltrade", "cardchk"},           {"tbltradesub", "ctbltrade"},
        {"tbltradesub", "ctblservice"},    {"tblgrouping", "ctblgrouping"},
        {"tblgrouping", "accountname"},    {"tbljangbu", "sdate"},
        {"tbljangbu", "ctblitem"},         {"tbljangbu", "ctblusename"},
        {"tbluserfieldlist", "branchclass"}, {"schedules", "sdate"},
        {"schedules", "ocode"},
    };
    QStringList out;
    for (const auto& ix : indexed) {
        const QString t = QString::fromLatin1(ix[0]);
        const QString c = QString::fromLatin1(ix[1]);
        out << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_%1_%2 ON %1 (%2)").arg(t, c);
    }
    out << QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS ix_options_optname ON options (optname)");
    // Money-book balances sum amounts by section and date, or by place and section. The
    // place indexes also serve every look-up by place alone.
    out << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_tbljangbu_section_date ON tbljangbu (sectionclass, sdate, smoney)")
        << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_tbljangbu_in_section ON tbljangbu (cgroupin, sectionclass, smoney)")
        << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_tbljangbu_out_section ON tbljangbu (cgroupout, sectionclass, smoney)");
    // A group's first and last years in its funds (one look-up at each end of these
    // indexes), its income or expenses of a period (only their own records read), and its
    // dues of a year paid by members who have left it (from the month index alone).
    out << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_tblgroupmon_group_date ON tblgroupmon "
                          "(ctblgroup, sdate, inoutclass)")
        << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_tblgroupmon_group_month ON tblgroupmon "
                          "(ctblgroup, smonth, inoutclass, ctblfriend)");
    // Trade sums of a month (the text-message recipients): the month's trades with their
    // members from the date index, and each trade's line amounts from the trade index,
    // without reading either table.
    out << QStringLiteral(
               "CREATE INDEX IF NOT EXISTS ix_tbltrade_date_friend ON tbltrade (sdate, ctblfriend)")
        << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_tbltradesub_trade_sum ON tbltradesub "
                          "(ctbltrade, dsum)");
    // A member's outstanding amount and points (the member panels, the payment editor):
    // the payments of all their trades from this index alone.
    out << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_tbltrade_friend_paid ON tbltrade "
                          "(ctblfriend, dmoney, dcard, daccount, lpoint, ddc, lstackpoint)");
    // A caller is looked up by the last four characters of each telephone column; the
    // look-up repeats this expression exactly, so the engine reads these indexes.
    for (const char* c : {"hpline", "hline1", "hline2", "hline3", "finalline", "keyline"})
        out << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_tblfriend_%1_last4 ON tblfriend (substr(%1, length(%1) - 3))")
                   .arg(QLatin1String(c));
    // The trade list's sums of a period (received, points) from the date index alone.
    out << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_tbltrade_date_sums ON tbltrade "
                          "(sdate, dmoney, dcard, daccount, lpoint, ddc, lstackpoint)");
    // The member list asks which user fields any member has filled in, to give them a
    // column: these partial indexes hold only the filled cells, so the answer is one
    // look-up each instead of reading every member.
    for (int i = 1; i <= 18; ++i)
        out << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_tblfriend_userfieldnote%1 ON tblfriend (userfieldnote%1) "
                              "WHERE userfieldnote%1 <> ''")
                   .arg(i);
    // Cells holding several numbers ("a, b"), whose first numbers do not end the cell: the
    // look-up reads these few rows through this partial index, repeating its condition
    // word for word.
    out << QStringLiteral("CREATE INDEX IF NOT EXISTS ix_tblfriend_several_phones ON tblfriend (code) WHERE "
                          "hpline LIKE '%,%' OR hline1 LIKE '%,%' OR hline2 LIKE '%,%' OR hline3 LIKE '%,%'"
                          " OR finalline LIKE '%,%' OR keyline LIKE '%,%'");
    return out;
}

QStringList ledgerTotalsStatements(bool server) {
    // A row keeps the entries of one date text and one section text exactly as stored, so
    // "sdate < ?" over these rows selects the same entries as over tbljangbu. Entries
    // without a date or section (NULL) fall under no such condition and are left out.
    // Amounts are whole won, so adding and taking away keeps the sums exact.
    const QString table = QStringLiteral(
        "CREATE TABLE tbljangbusum (sdate TEXT NOT NULL DEFAULT '', sectionclass TEXT NOT NULL "
        "DEFAULT '', smoney REAL NOT NULL DEFAULT 0, entries INTEGER NOT NULL DEFAULT 0, "
        "PRIMARY KEY (sdate, sectionclass))");
    const QString fill = QStringLiteral(
        "INSERT INTO tbljangbusum (sdate, sectionclass, smoney, entries) SELECT sdate, "
        "sectionclass, SUM(COALESCE(smoney, 0)), COUNT(*) FROM tbljangbu WHERE sdate IS NOT "
        "NULL AND sectionclass IS NOT NULL GROUP BY sdate, sectionclass");
    // A balance sums a few sections before a date: from this index alone.
    const QString index = QStringLiteral(
        "CREATE INDEX ix_tbljangbusum_section_date ON tbljangbusum (sectionclass, sdate, smoney)");
    // What an entry leaves (OLD) and what it brings (NEW); a total whose last entry left
    // goes with it.
    const QString takeOld = QStringLiteral(
        "UPDATE tbljangbusum SET smoney = smoney - COALESCE(OLD.smoney, 0), entries = entries - 1 "
        "WHERE sdate = OLD.sdate AND sectionclass = OLD.sectionclass; "
        "DELETE FROM tbljangbusum WHERE sdate = OLD.sdate AND sectionclass = OLD.sectionclass "
        "AND entries <= 0; ");
    const QString addNew = QStringLiteral(
        "INSERT INTO tbljangbusum (sdate, sectionclass, smoney, entries) %1 "
        "ON CONFLICT (sdate, sectionclass) DO UPDATE SET smoney = tbljangbusum.smoney + "
        "excluded.smoney, entries = tbljangbusum.entries + 1; ");
    if (server) {
        return {
            QStringLiteral("DROP TRIGGER IF EXISTS trg_tbljangbusum ON tbljangbu"),
            QStringLiteral("DROP TABLE IF EXISTS tbljangbusum"),
            table,
            fill,
            index,
            QStringLiteral("CREATE OR REPLACE FUNCTION tbljangbusum_keep() RETURNS trigger "
                           "LANGUAGE plpgsql AS $$ BEGIN IF TG_OP <> 'INSERT' THEN ") +
                takeOld +
                QStringLiteral("END IF; IF TG_OP <> 'DELETE' THEN IF NEW.sdate IS NOT NULL AND "
                               "NEW.sectionclass IS NOT NULL THEN ") +
                addNew.arg(QStringLiteral("VALUES (NEW.sdate, NEW.sectionclass, "
                                          "COALESCE(NEW.smoney, 0), 1)")) +
                QStringLiteral("END IF; END IF; RETURN NULL; END $$"),
            QStringLiteral("CREATE TRIGGER trg_tbljangbusum AFTER INSERT OR DELETE OR UPDATE OF "
                           "sdate, sectionclass, smoney ON tbljangbu FOR EACH ROW EXECUTE "
                           "FUNCTION tbljangbusum_keep()"),
        };
    }
    // SELECT ... WHERE: a row without a date or section adds nothing (the WHERE also
    // tells the parser that ON CONFLICT belongs to the insert).
    const QString addNewRow = addNew.arg(QStringLiteral(
        "SELECT NEW.sdate, NEW.sectionclass, COALESCE(NEW.smoney, 0), 1 WHERE NEW.sdate IS "
        "NOT NULL AND NEW.sectionclass IS NOT NULL"));
    return {
        QStringLiteral("DROP TRIGGER IF EXISTS trg_tbljangbusum_ins"),
        QStringLiteral("DROP TRIGGER IF EXISTS trg_tbljangbusum_del"),
        QStringLiteral("DROP TRIGGER IF EXISTS trg_tbljangbusum_upd"),
        QStringLiteral("DROP TABLE IF EXISTS tbljangbusum"),
        table,
        fill,
        index,
        QStringLiteral("CREATE TRIGGER trg_tbljangbusum_ins AFTER INSERT ON tbljangbu BEGIN ") +
            addNewRow + QStringLiteral("END"),
        QStringLiteral("CREATE TRIGGER trg_tbljangbusum_del AFTER DELETE ON tbljangbu BEGIN ") +
            takeOld + QStringLiteral("END"),
        QStringLiteral("CREATE TRIGGER trg_tbljangbusum_upd AFTER UPDATE OF sdate, sectionclass, "
                       "smoney ON tbljangbu BEGIN ") +
            takeOld + addNewRow + QStringLiteral("END"),
    };
}

QString ledgerTotalsCheckSql(bool server) {
    if (server)
        return QStringLiteral(
            "SELECT CASE WHEN to_regclass('tbljangbusum') IS NULL THEN 0 ELSE (SELECT COUNT(*) "
            "FROM pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid WHERE c.relname = "
            "'tbljangbu' AND c.relnamespace = to_regnamespace(current_schema())::oid AND "
            "t.tgname = 'trg_tbljangbusum' AND t.tgenabled <> 'D') END");
    return QStringLiteral(
        "SELECT (SELECT COUNT(*) FROM sqlite_master WHERE (type = 'trigger' AND tbl_name = "
        "'tbljangbu' AND name IN ('trg_tbljangbusum_ins', 'trg_tbljangbusum_del', "
        "'trg_tbljangbusum_upd')) OR (type = 'table' AND name = 'tbljangbusum')) = 4");
}

QStringList retiredIndexNames() {
    return {QStringLiteral("ix_tbljangbu_cgroupin"), QStringLiteral("ix_tbljangbu_cgroupout")};
}

bool hasFixedRow(const QString& table) {
    static const QStringList tables = {
        QStringLiteral("tblgroup"),   QStringLiteral("tblfriend"), QStringLiteral("tblservice"),
        QStringLiteral("tblcard"),    QStringLiteral("tblitem"),   QStringLiteral("tblaffairsnote"),
        QStringLiteral("tblusename"), QStringLiteral("tblgrouping")};
    return tables.contains(table.trimmed().toLower());
}

QStringList fixedRowStatements() {
    return {
        QStringLiteral("INSERT INTO tblgroup (code, gname) VALUES (1, '[기본그룹]')"),
        QStringLiteral("INSERT INTO tblfriend (code, sname) VALUES (1, '')"),
        QStringLiteral("INSERT INTO tblservice (code, sname) VALUES (1, '')"),
        QStringLiteral("INSERT INTO tblcard (code, sname) VALUES (1, '')"),
        QStringLiteral("INSERT INTO tblitem (code, bigo) VALUES (1, '')"),
        QStringLiteral("INSERT INTO tblaffairsnote (code, bigo) VALUES (1, '')"),
        QStringLiteral("INSERT INTO tblusename (code, sname) VALUES (1, '')"),
        QStringLiteral("INSERT INTO tblgrouping (code, accountclass, accountname) VALUES (1, '', '현금')"),
        QStringLiteral("INSERT INTO local_user (code, loginid, name, loginpwd) "
                       "VALUES ('00', 'ADMIN', '관리자', '')"),
        QStringLiteral("INSERT INTO options (optname, optvalue) VALUES ('DBVer', '%1')")
            .arg(kSchemaVersion),
        QStringLiteral("INSERT INTO options (optname, optvalue) VALUES ('friendcode', '0')"),
        QStringLiteral("INSERT INTO options (optname, optvalue) VALUES ('start', '0')"),
        QStringLiteral("INSERT INTO options (optname, optvalue) VALUES ('pointindex', '0')"),
        QStringLiteral("INSERT INTO options (optname, optvalue) VALUES ('point', '10')"),
    };
}

} // namespace Schema

namespace {

// The schema in an existing, empty server database, all in one transaction.
bool createOnServer(const QString& location, QString* why) {
    pg::Connection c;
    int code = 0;
    if (!c.open(location, {}, false, why, &code)) return false;
    const pg::Result tables = c.exec(QStringLiteral("SELECT COUNT(*) FROM information_schema.tables "
                                                    "WHERE table_schema = current_schema()"),
                                     {}, 1);
    if (tables.rc != pg::Ok) {
        *why = tables.error;
        return false;
    }
    if (tables.rows.value(0).value(0).toInt() > 0) {
        *why = QStringLiteral("the database on the server is not empty: ") + c.location();
        return false;
    }
    QStringList all = pg::FunctionStatements();
    all << Schema::tableStatements() << Schema::indexStatements() << Schema::fixedRowStatements()
        << Schema::ledgerTotalsStatements(true);
    if (c.exec(QStringLiteral("BEGIN"), {}, 0).rc != pg::Ok) return false;
    for (const QString& sql : all) {
        const pg::Result r = c.exec(sql, {}, 0);
        if (r.rc != pg::Ok) {
            *why = r.error + QStringLiteral(" in: ") + sql;
            c.exec(QStringLiteral("ROLLBACK"), {}, 0);
            return false;
        }
    }
    if (!c.resetIdentities(why)) {
        c.exec(QStringLiteral("ROLLBACK"), {}, 0);
        return false;
    }
    const pg::Result done = c.exec(QStringLiteral("COMMIT"), {}, 0);
    if (done.rc != pg::Ok) *why = done.error;
    return done.rc == pg::Ok;
}

} // namespace

bool CreateNewDatabase(const QString& path, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        qCWarning(lcStartup, "CreateNewDatabase: %s", qPrintable(why));
        return false;
    };
    if (pg::IsServerLocation(path)) {
        QString why;
        if (!createOnServer(path, &why)) return fail(why);
        if (error) error->clear();
        return true;
    }
    if (QFile::exists(path)) return fail(QStringLiteral("file exists: ") + path);

    // The database is made complete in a file of its own beside the target and only then
    // renamed into place, so a start interrupted at any point never leaves a half-made
    // file under the real name.
    const QString temp = CreationTempPath(path);
    RemoveDatabaseFiles(temp);
    sqlite3* db = nullptr;
    const QByteArray file = temp.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        const QString why = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        RemoveDatabaseFiles(temp);
        return fail(why);
    }

    QStringList all;
    all << QStringLiteral("PRAGMA application_id=%1").arg(kMemberDeskApplicationId);
    all << Schema::tableStatements() << Schema::indexStatements() << Schema::fixedRowStatements()
        << Schema::ledgerTotalsStatements(false);
    QString why;
    bool ok = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    for (const QString& sql : all) {
        if (!ok) break;
        char* msg = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
            why = QString::fromUtf8(msg ? msg : "") + QStringLiteral(" in: ") + sql;
            ok = false;
        }
        sqlite3_free(msg);
    }
    if (ok) ok = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok && why.isEmpty()) why = QString::fromUtf8(sqlite3_errmsg(db));
    if (sqlite3_close(db) != SQLITE_OK && ok) {
        ok = false;
        why = QStringLiteral("database not closed");
    }
    if (ok && !QFile::rename(temp, path)) {
        ok = false;
        why = QStringLiteral("cannot rename the new database into place: ") + path;
    }
    if (!ok) {
        RemoveDatabaseFiles(temp);
        return fail(why);
    }
    if (error) error->clear();
    return true;
}

QString CreationTempPath(const QString& path) {
    return path + QStringLiteral(".new");
}

void RemoveDatabaseFiles(const QString& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

bool CopyDatabaseFile(const QString& from, const QString& to, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        qCWarning(lcStartup, "CopyDatabaseFile: %s", qPrintable(why));
        return false;
    };
    if (QFile::exists(to)) return fail(QStringLiteral("file exists: ") + to);
    sqlite3* src = nullptr;
    if (sqlite3_open_v2(from.toUtf8().constData(), &src, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        const QString why =
            src ? QString::fromUtf8(sqlite3_errmsg(src)) : QStringLiteral("out of memory");
        sqlite3_close(src);
        return fail(why);
    }
    // Only a MemberDesk database is taken: the mark, or the member and option tables.
    sqlite3_stmt* st = nullptr;
    bool ours = false;
    int rc = sqlite3_prepare_v2(src,
                                "SELECT (SELECT application_id FROM pragma_application_id) = ?1 OR "
                                "(SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND "
                                "lower(name) IN ('tblfriend', 'options')) = 2",
                                -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_bind_int(st, 1, kMemberDeskApplicationId);
        rc = sqlite3_step(st);
        ours = rc == SQLITE_ROW && sqlite3_column_int(st, 0) == 1;
        if (rc == SQLITE_ROW) rc = SQLITE_OK;
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_OK || !ours) {
        const QString why = rc != SQLITE_OK
                                ? QString::fromUtf8(sqlite3_errmsg(src))
                                : QStringLiteral("MemberDesk의 데이터베이스 파일이 아닙니다.");
        sqlite3_close(src);
        return fail(why);
    }
    // The engine's own copy takes committed pages from a WAL file as well; it is written
    // beside the target and renamed into place when complete.
    const QString temp = CreationTempPath(to);
    RemoveDatabaseFiles(temp);
    sqlite3* dst = nullptr;
    QString why;
    if (sqlite3_open_v2(temp.toUtf8().constData(), &dst, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) == SQLITE_OK) {
        sqlite3_backup* b = sqlite3_backup_init(dst, "main", src, "main");
        if (!b || sqlite3_backup_step(b, -1) != SQLITE_DONE)
            why = QString::fromUtf8(sqlite3_errmsg(dst));
        if (b && sqlite3_backup_finish(b) != SQLITE_OK && why.isEmpty())
            why = QString::fromUtf8(sqlite3_errmsg(dst));
    } else {
        why = dst ? QString::fromUtf8(sqlite3_errmsg(dst)) : QStringLiteral("out of memory");
    }
    sqlite3_close(dst);
    sqlite3_close(src);
    if (why.isEmpty() && !QFile::rename(temp, to))
        why = QStringLiteral("cannot rename into place: ") + to;
    if (!why.isEmpty()) {
        RemoveDatabaseFiles(temp);
        return fail(why);
    }
    if (error) error->clear();
    return true;
}
