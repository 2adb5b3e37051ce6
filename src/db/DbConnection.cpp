// The shared connection: opening a database file or server, what is refused and why,
// closing it.
#include "core/Log.h"
#include "db/Database.h"
#include "db/DbConnection.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "db/SqlFunctions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <string>

#include <sqlite3.h>

namespace dbcore {

// Below this much free space an engine failure at opening is taken for a full disk.
constexpr qint64 kLowDiskBytes = 1 << 20;

Connection& conn() {
    static Connection c;
    return c;
}

// Keeps <data>/log: a log file left from the same day of an earlier month is removed on
// the first open of the day, so each of the 31 files holds one day.
void maintainLogFolder() {
    if (App().appDir.isEmpty()) return;
    const QString folder = DataPath(QStringLiteral("log"));
    const QString today = Clock::today().toString(QStringLiteral("yyyy-MM-dd"));
    if (QFileInfo(folder).isDir()) {
        if (Settings::get(QStringLiteral("Config"), QStringLiteral("SQLLogLast")) != today) {
            QFile::remove(SqlLogFile());
            Settings::set(QStringLiteral("Config"), QStringLiteral("SQLLogLast"), today);
        }
    } else {
        QDir().mkpath(folder);
        Settings::set(QStringLiteral("Config"), QStringLiteral("SQLLogLast"), today);
    }
}

} // namespace dbcore

using namespace dbcore;

namespace dbcore {

constexpr int kApplicationId = kMemberDeskApplicationId;

QString damageText(const QString& path) {
    return QStringLiteral("데이터베이스 파일이 손상되었습니다.") + QStringLiteral("\n") +
           QStringLiteral("파일: ") + path + QStringLiteral("\n") +
           QStringLiteral("백업해 둔 자료로 복원하세요.");
}

void reportDamage() {
    Connection& c = conn();
    if (c.damageShown || !c.open()) return;
    c.damageShown = true;
    if (c.server)
        MsgWarning(QStringLiteral("데이터베이스 서버의 자료가 손상되었습니다.") + QStringLiteral("\n") +
                       QStringLiteral("서버: ") + c.path + QStringLiteral("\n") +
                       QStringLiteral("서버 관리자에게 문의하거나 백업해 둔 자료로 복원하세요."),
                   QStringLiteral("데이터베이스 손상"));
    else
        MsgWarning(damageText(c.path), QStringLiteral("데이터베이스 손상"));
}

// First column of the first row of a statement run straight on `db`; invalid on failure.
QVariant rawScalar(sqlite3* db, const char* sql, int* rc = nullptr) {
    sqlite3_stmt* st = nullptr;
    int r = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    QVariant out;
    if (r == SQLITE_OK) {
        r = sqlite3_step(st);
        if (r == SQLITE_ROW) {
            out = columnValue(st, 0);
            r = SQLITE_OK;
        } else if (r == SQLITE_DONE) {
            r = SQLITE_OK;
        }
    }
    sqlite3_finalize(st);
    if (rc) *rc = r;
    return out;
}

// A file is ours when it carries the mark, or (made before the mark existed) holds the
// member and option tables. Nothing is written to any other file.
bool isMemberDeskFile(sqlite3* db) {
    const int id = rawScalar(db, "PRAGMA application_id").toInt();
    if (id == kApplicationId) return true;
    if (id != 0) return false;
    return rawScalar(db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND "
                         "lower(name) IN ('tblfriend', 'options')")
               .toInt() == 2;
}

bool markedShared(sqlite3* db) {
    return rawScalar(db, "SELECT optvalue FROM options WHERE optname = 'shareddb'").toString() ==
           QStringLiteral("1");
}

} // namespace

namespace {

// Opens the shared connection on a database server. Only a MemberDesk database (its
// member and option tables) is taken; nothing is written to any other.
// What the connected server database holds: MemberDesk's tables, none, or another's.
ServerProbe probeTables(pg::Connection& server, QString* why, int* code) {
    const pg::Result r = server.exec(
        QStringLiteral("SELECT COUNT(*), SUM(CASE WHEN lower(table_name) IN ('tblfriend', 'options') THEN 1 ELSE 0 END) "
                       "FROM information_schema.tables WHERE table_schema = current_schema()"),
        {}, 1);
    if (r.rc != pg::Ok) {
        *why = r.error;
        *code = r.rc;
        return ServerProbe::Failed;
    }
    if (r.rows.value(0).value(1).toInt() == 2) return ServerProbe::Ready;
    *why = QStringLiteral("서버의 데이터베이스가 MemberDesk의 데이터베이스가 아닙니다. "
                          "다른 프로그램의 자료는 바꾸지 않고 그대로 둡니다.");
    *code = SQLITE_NOTADB;
    return r.rows.value(0).value(0).toInt() == 0 ? ServerProbe::Empty : ServerProbe::Foreign;
}

bool openServer(const QString& location, const QString& password, bool readOnly, bool logging) {
    Connection& c = conn();
    auto server = std::make_unique<pg::Connection>();
    QString why;
    int code = 0;
    if (!server->open(location, password, readOnly, &why, &code)) {
        c.lastError = why;
        c.lastErrorCode = code;
        return false;
    }
    server->onWait = [] {
        Connection& cc = conn();
        if (cc.waiting) return;
        cc.waiting = true;
        if (busyBegin()) busyBegin()();
    };
    const ServerProbe kind = probeTables(*server, &why, &code);
    endBusyWait();
    if (kind != ServerProbe::Ready) {
        c.lastError = why;
        c.lastErrorCode = code;
        return false;
    }
    server->setLockTimeout(c.busyTimeoutMs);
    c.path = server->location();
    c.server = std::move(server);
    c.readOnly = readOnly;
    c.logging = logging;
    maintainLogFolder();
    return true;
}

} // namespace

bool IsServerLocation(const QString& location) { return pg::IsServerLocation(location); }

bool ServerDatabase() { return conn().server != nullptr; }

ServerProbe ProbeServerDatabase(const QString& location, const QString& password, QString* error) {
    QString why;
    int code = 0;
    pg::Connection server;
    ServerProbe kind = ServerProbe::Failed;
    if (!pg::IsServerLocation(location))
        why = QStringLiteral("데이터베이스 서버의 주소가 아닙니다.");
    else if (server.open(location, password, true, &why, &code))
        kind = probeTables(server, &why, &code);
    if (error) *error = kind == ServerProbe::Ready ? QString() : why;
    return kind;
}

bool OpenDatabase(const QString& path, const QString& password, bool readOnly, bool logging) {
    DBTerminate();
    Connection& c = conn();
    c.lastError.clear();
    c.lastErrorCode = 0;
    c.lastFailed = false;
    c.damageShown = false;
    c.busyTimeoutMs = kDefaultBusyTimeoutMs;
    if (pg::IsServerLocation(path)) return openServer(path, password, readOnly, logging);

    // What lies at the path is checked before the engine touches it: the engine would take
    // an empty file for an empty database and delete a journal beside it.
    const QFileInfo fi(path);
    const QString fileLine = QStringLiteral("\n") + QStringLiteral("파일: ") + path;
    if (fi.isDir()) {
        c.lastError = QStringLiteral("데이터베이스 파일 자리에 같은 이름의 폴더가 있습니다.") + fileLine;
        c.lastErrorCode = SQLITE_CANTOPEN;
        return false;
    }
    if (!fi.exists()) {
        c.lastError = QStringLiteral("데이터베이스 파일이 없습니다.") + fileLine;
        c.lastErrorCode = SQLITE_CANTOPEN;
        return false;
    }
    if (!fi.isReadable()) {
        c.lastError = QStringLiteral("데이터베이스 파일을 읽을 권한이 없습니다.") + fileLine;
        c.lastErrorCode = SQLITE_PERM;
        return false;
    }
    if (fi.size() == 0) {
        // New databases are built beside and renamed into place: an empty file under the
        // real name was not made by this program, so it is left as it is.
        c.lastError = QStringLiteral("데이터베이스 파일이 비어 있습니다 (0바이트).") + fileLine;
        const QFileInfo journal(path + QStringLiteral("-journal"));
        if (journal.exists())
            c.lastError += QStringLiteral("\n") +
                           QStringLiteral("옆에 %1바이트의 저널 파일이 있습니다: ").arg(journal.size()) +
                           journal.fileName();
        c.lastError += QStringLiteral("\n") +
                       QStringLiteral("이 프로그램이 만든 파일이 아니므로 지우거나 바꾸지 않았습니다.");
        c.lastErrorCode = SQLITE_NOTADB;
        return false;
    }

    sqlite3* db = nullptr;
    // The connection is only ever used from the GUI thread, so the engine's per-call
    // locking is left out (it showed up on every column read of large lists).
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const QByteArray file = path.toUtf8();
    int rc = sqlite3_open_v2(file.constData(), &db, flags, nullptr);
    auto failWith = [&](const QString& why, int code = -1) {
        c.lastError = why;
        c.lastErrorCode = code >= 0 ? code : db ? sqlite3_errcode(db) & 0xff : SQLITE_NOMEM;
        endBusyWait();
        sqlite3_close(db);
        return false;
    };
    // An engine failure while opening: one Korean cause line, the engine's text to the log.
    auto failOpening = [&](int code) {
        const int primary = (db ? sqlite3_extended_errcode(db) : code) & 0xff;
        qCInfo(lcStartup, "OpenDatabase %s: %s (%d)", qPrintable(path),
                  db ? sqlite3_errmsg(db) : "out of memory", db ? sqlite3_extended_errcode(db) : code);
        const QString folder = fi.absolutePath();
        QString cause;
        if ((primary == SQLITE_IOERR || primary == SQLITE_FULL || primary == SQLITE_CANTOPEN) &&
            QStorageInfo(folder).bytesAvailable() >= 0 && QStorageInfo(folder).bytesAvailable() < kLowDiskBytes)
            cause = DbFailureCause(SQLITE_FULL);
        else if (primary == SQLITE_CANTOPEN && !QFileInfo(folder).isWritable())
            cause = QStringLiteral("데이터베이스 폴더에 쓸 수 없습니다.") + QStringLiteral("\n") +
                    QStringLiteral("폴더: ") + folder;
        else if (primary == SQLITE_CANTOPEN && !readOnly && !fi.isWritable())
            cause = QStringLiteral("데이터베이스 파일에 쓸 권한이 없습니다.");
        else
            cause = DbFailureCause(primary);
        if (cause.isEmpty()) cause = QStringLiteral("데이터베이스 파일을 열 수 없습니다.");
        return failWith(cause + (cause.contains(path) ? QString() : fileLine), primary);
    };
    if (rc != SQLITE_OK) return failOpening(rc);

    sqlite3_busy_handler(db, busyHandler, nullptr);
    // Reading the catalogue proves the file really is a database.
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (IsDamageCode(rc)) return failWith(damageText(path), rc & 0xff);
    if (rc != SQLITE_OK) return failOpening(rc);
    if (!isMemberDeskFile(db))
        return failWith(QStringLiteral("MemberDesk의 데이터베이스 파일이 아닙니다. "
                                       "다른 프로그램의 파일은 바꾸지 않고 그대로 둡니다."),
                        SQLITE_NOTADB);
    // A folder that cannot be written keeps the journal from being made: no write could
    // succeed, so the file counts as read-only (and start-up says so).
    const bool fileReadOnly = readOnly || sqlite3_db_readonly(db, "main") == 1 ||
                              !QFileInfo(fi.absolutePath()).isWritable();

    // WAL on a disk only this PC uses; the rollback journal for a file several PCs share,
    // since WAL's shared memory does not work across machines. The mode of a shared file is
    // read back: a PC that cannot get it (another one holds the file in WAL) must not run.
    const bool shared = App().sharedDatabase || App().clientMode != 0 || markedShared(db);
    if (!fileReadOnly) {
        sqlite3_exec(db, shared ? "PRAGMA journal_mode=DELETE" : "PRAGMA journal_mode=WAL", nullptr,
                     nullptr, nullptr);
    }
    int modeRc = SQLITE_OK;
    const QString mode = rawScalar(db, "PRAGMA journal_mode", &modeRc).toString().toLower();
    if (shared && mode != QStringLiteral("delete")) {
        qCWarning(lcStartup, "OpenDatabase: shared file stays in journal mode '%s' (%s)",
                  qPrintable(mode), sqlite3_errmsg(db));
        return failWith(
            QStringLiteral("여러 컴퓨터가 함께 쓰는 데이터베이스를 안전한 저널 모드로 열 수 "
                           "없습니다. 다른 컴퓨터가 이 파일을 단독(WAL) 모드로 열고 있습니다. "
                           "서버 컴퓨터의 네트워크 설정을 '서버'로 저장한 뒤 모든 컴퓨터에서 "
                           "프로그램을 다시 시작하세요."),
            SQLITE_BUSY);
    }
    if (!shared && mode != QStringLiteral("wal") && !fileReadOnly)
        qCInfo(lcStartup, "OpenDatabase: journal mode stays '%s'", qPrintable(mode));
    // The first shared open marks the file, so that a later stand-alone open of the same
    // file keeps the rollback journal as well.
    if (shared && !fileReadOnly && !markedShared(db)) {
        sqlite3_exec(db, "UPDATE options SET optvalue = '1' WHERE optname = 'shareddb'", nullptr,
                     nullptr, nullptr);
        if (sqlite3_changes(db) == 0)
            sqlite3_exec(db, "INSERT INTO options (optname, optvalue) VALUES ('shareddb', '1')",
                         nullptr, nullptr, nullptr);
    }
    endBusyWait();
    // References are guarded by the program itself (IsCodeInUse before deletes).
    sqlite3_exec(db, "PRAGMA foreign_keys=OFF", nullptr, nullptr, nullptr);
    // A page cache of up to 64 MiB (the default is 2 MiB): lists scan the member table
    // through its group index, and with the small cache every search re-read the whole
    // file from the operating system. Memory is only taken as pages are read. Sorts and
    // temporary indexes stay in memory as well.
    sqlite3_exec(db, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA temp_store=MEMORY", nullptr, nullptr, nullptr);
    if (!RegisterSqlFunctions(db)) return failWith(QStringLiteral("SQL functions not registered"));

    c.db = db;
    c.path = path;
    c.readOnly = fileReadOnly;
    c.logging = logging;
    maintainLogFolder();
    return true;
}

bool DatabaseReadOnly() {
    return conn().open() && conn().readOnly;
}

bool MarkDatabase() {
    // A server database is recognised by its tables.
    if (conn().server) return true;
    if (!conn().db) return false;
    if (rawScalar(conn().db, "PRAGMA application_id").toInt() == kApplicationId) return true;
    return sqlite3_exec(conn().db,
                        ("PRAGMA application_id=" + std::to_string(kApplicationId)).c_str(),
                        nullptr, nullptr, nullptr) == SQLITE_OK;
}

void DBTerminate() {
    Connection& c = conn();
    if (c.db) {
        if (sqlite3_close(c.db) != SQLITE_OK) {
            // A statement left open somewhere: close when it is finished.
            qCWarning(lcSql, "DBTerminate: %s", sqlite3_errmsg(c.db));
            sqlite3_close_v2(c.db);
        }
    }
    c.db = nullptr;
    c.server.reset();
    c.path.clear();
    c.readOnly = false;
    c.logging = false;
}

bool IsDatabaseOpen() { return conn().open(); }
qint64 StatementsRun() { return statementCounter(); }
QString LastDbError() { return conn().lastError; }
int LastDbErrorCode() { return conn().lastErrorCode; }
QString DatabasePath() { return conn().path; }

void SetBusyTimeout(int ms) {
    conn().busyTimeoutMs = ms;
    if (conn().server) conn().server->setLockTimeout(ms);
}

QString JournalMode() {
    if (conn().server) return {};
    return RunSilent(QStringLiteral("PRAGMA journal_mode")).value.toString().toLower();
}
