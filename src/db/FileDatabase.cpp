#include "db/FileDatabase.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include <sqlite3.h>

namespace {
QString errorOf(sqlite3* db) { return QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory"); }

sqlite3* openFile(const QString& path, int flags, QString* error) {
    sqlite3* db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if (sqlite3_open_v2(file.constData(), &db, flags, nullptr) != SQLITE_OK) {
        if (error) *error = errorOf(db);
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 5000);
    return db;
}

bool bind(sqlite3_stmt* st, const QVariantList& params) {
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params[i];
        int rc = SQLITE_OK;
        if (!v.isValid() || v.isNull()) rc = sqlite3_bind_null(st, i + 1);
        else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Bool)
            rc = sqlite3_bind_int64(st, i + 1, v.toLongLong());
        else if (v.typeId() == QMetaType::Double) rc = sqlite3_bind_double(st, i + 1, v.toDouble());
        else {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(st, i + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) return false;
    }
    return true;
}

QVariant columnValue(sqlite3_stmt* st, int c) {
    switch (sqlite3_column_type(st, c)) {
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(st, c)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(st, c));
    case SQLITE_NULL: return QVariant();
    default:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)), sqlite3_column_bytes(st, c));
    }
}

bool selectRows(sqlite3* db, const QString& sql, const QVariantList& params, QVector<QVector<QVariant>>& rows,
                QString* error) {
    rows.clear();
    sqlite3_stmt* st = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK || !bind(st, params)) {
        if (error) *error = errorOf(db);
        sqlite3_finalize(st);
        return false;
    }
    int rc;
    const int cols = sqlite3_column_count(st);
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        QVector<QVariant> r(cols);
        for (int c = 0; c < cols; ++c) r[c] = columnValue(st, c);
        rows << r;
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
        if (error) *error = errorOf(db);
        return false;
    }
    return true;
}
} // namespace

bool SnapshotDatabase(const QString& source, const QString& target, const std::function<bool(int, int)>& progress,
                      QString* error) {
    QString why;
    sqlite3* src = openFile(source, SQLITE_OPEN_READONLY, &why);
    if (!src) {
        if (error) *error = why;
        return false;
    }
    QFile::remove(target);
    sqlite3* dst = openFile(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &why);
    bool ok = dst != nullptr;
    if (ok) {
        // The copy is scratch until its owner checked it: no syncing while it is written.
        sqlite3_exec(dst, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
        // One read transaction over all batches: every batch sees the same state of the
        // source, so a write from another program neither restarts the copy nor mixes states.
        sqlite3_exec(src, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_exec(src, "SELECT COUNT(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        sqlite3_backup* b = sqlite3_backup_init(dst, "main", src, "main");
        if (!b) {
            why = errorOf(dst);
            ok = false;
        } else {
            int rc;
            // Batches of 4 MB (at 4 KB pages): small enough for frequent progress.
            while ((rc = sqlite3_backup_step(b, 1024)) == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
                if (rc != SQLITE_OK) sqlite3_sleep(50);
                const int total = sqlite3_backup_pagecount(b);
                if (progress && !progress(total - sqlite3_backup_remaining(b), total)) {
                    rc = SQLITE_ABORT;
                    break;
                }
            }
            if (rc != SQLITE_DONE) why = rc == SQLITE_ABORT ? QStringLiteral("cancelled") : QString::fromUtf8(sqlite3_errstr(rc));
            ok = rc == SQLITE_DONE;
            if (sqlite3_backup_finish(b) != SQLITE_OK && ok) {
                why = errorOf(dst);
                ok = false;
            }
        }
        sqlite3_exec(src, "COMMIT", nullptr, nullptr, nullptr);
        // A copy is a single file: no write-ahead log beside it.
        if (ok) sqlite3_exec(dst, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    }
    sqlite3_close(dst);
    sqlite3_close(src);
    if (!ok) {
        QFile::remove(target);
        QFile::remove(target + QStringLiteral("-journal"));
        if (error) *error = why;
    }
    return ok;
}

namespace {
// The integrity check split into jobs for `workers` connections of their own: the quick
// check of the whole file (every page of every tree used once, the free list, NOT NULL
// and CHECK constraints) and the full check of each table by itself (its trees, every row
// against each of its indexes, unique keys). Together they check what one full
// integrity_check does; most of the time goes to the row-index comparisons, which now run
// on more than one core. Empty when the file passed; the first complaint otherwise.
QString integrityCheck(const QString& path, sqlite3* db, int workers,
                       const std::function<void()>& tick) {
    std::mutex tickLock;
    std::atomic<bool> failed{false};
    struct Handler {
        const std::function<void()>* tick;
        std::mutex* lock;
        std::atomic<bool>* failed;
    } handler{&tick, &tickLock, &failed};
    auto watch = [&handler](sqlite3* c) {
        // Called every so many engine steps: progress, and a stop once another job failed.
        sqlite3_progress_handler(
            c, 50000,
            [](void* p) {
                auto* h = static_cast<Handler*>(p);
                if (*h->tick) {
                    std::lock_guard<std::mutex> guard(*h->lock);
                    (*h->tick)();
                }
                return h->failed->load() ? 1 : 0;
            },
            &handler);
    };
    auto run = [](sqlite3* c, const QString& sql) -> QString {
        QVector<QVector<QVariant>> rows;
        QString error;
        if (!selectRows(c, sql, {}, rows, &error))
            return error.isEmpty() ? QStringLiteral("무결성 검사를 통과하지 못했습니다") : error;
        if (rows.size() != 1 || rows[0].value(0).toString() != QStringLiteral("ok"))
            return rows.isEmpty() ? QStringLiteral("무결성 검사를 통과하지 못했습니다")
                                  : rows[0].value(0).toString();
        return {};
    };

    // Each table's work: its rows (the highest rowid) times one plus its indexes.
    static const QString tableList = QStringLiteral(
        "SELECT m.name, (SELECT COUNT(*) FROM sqlite_master i WHERE i.type = 'index' AND "
        "i.tbl_name = m.name) FROM sqlite_master m WHERE m.type = 'table' AND m.rootpage > 0");
    QVector<QVector<QVariant>> tables;
    QVector<QPair<double, QString>> jobs;
    if (workers > 1 && selectRows(db, tableList, {}, tables, nullptr)) {
        for (const auto& t : tables) {
            const QString quoted =
                u'"' + t[0].toString().replace(u'"', QStringLiteral("\"\"")) + u'"';
            QVector<QVector<QVariant>> top;
            double rows = 1;
            if (selectRows(db, QStringLiteral("SELECT MAX(rowid) FROM ") + quoted, {}, top,
                           nullptr) &&
                !top.isEmpty())
                rows = std::max(1.0, top[0].value(0).toDouble());
            jobs.push_back({rows * (1 + t[1].toInt()),
                            QStringLiteral("PRAGMA integrity_check(") + quoted + u')'});
        }
        // Each job begins with a walk through its trees that reports no progress, as long as
        // the job is large. The largest table goes first, to one worker for most of the time;
        // the other takes the rest from the smallest up, so it reports soon, and the quick
        // check (the longest walk) last, while the largest still reports.
        std::sort(jobs.begin(), jobs.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        if (!jobs.isEmpty()) jobs.prepend(jobs.takeLast());
        jobs.push_back({0, QStringLiteral("PRAGMA quick_check")});
    }
    if (jobs.size() < 2) {
        watch(db);
        const QString error = run(db, QStringLiteral("PRAGMA integrity_check"));
        sqlite3_progress_handler(db, 0, nullptr, nullptr);
        return error;
    }

    std::atomic<int> next{0};
    std::mutex errorLock;
    QString firstError;
    auto worker = [&] {
        QString why;
        sqlite3* c = openFile(path, SQLITE_OPEN_READONLY, &why);
        if (c) {
            sqlite3_exec(c, "PRAGMA mmap_size=1073741824", nullptr, nullptr, nullptr);
            watch(c);
            for (int i; !failed && (i = next++) < jobs.size();)
                if (!(why = run(c, jobs[i].second)).isEmpty()) break;
            sqlite3_close(c);
        }
        if (why.isEmpty()) return;
        std::lock_guard<std::mutex> guard(errorLock);
        // A job stopped because another failed says "interrupted": keep the real complaint.
        if (!failed.exchange(true) || firstError.isEmpty()) firstError = why;
    };
    std::vector<std::thread> threads;
    for (int i = 1; i < workers; ++i)
        threads.emplace_back(worker);
    worker();
    for (auto& t : threads)
        t.join();
    return firstError;
}
} // namespace

DatabaseFileCheck CheckDatabaseFile(const QString& path, const QStringList& requiredTables,
                                    const std::function<void()>& tick, int workers) {
    DatabaseFileCheck out;
    if (!QFile::exists(path)) {
        out.error = QStringLiteral("파일이 없습니다");
        return out;
    }
    sqlite3* db = openFile(path, SQLITE_OPEN_READONLY, &out.error);
    if (!db) return out;
    // The check reads every page many times over: mapped pages spare a system call each.
    sqlite3_exec(db, "PRAGMA mmap_size=1073741824", nullptr, nullptr, nullptr);
    out.error = integrityCheck(path, db, workers, tick);
    if (!out.error.isEmpty()) {
        sqlite3_close(db);
        return out;
    }
    QVector<QVector<QVariant>> rows;
    out.ok = true;
    out.hasTables = true;
    for (const QString& t : requiredTables) {
        selectRows(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = ?"), {t}, rows,
                   nullptr);
        if (rows.isEmpty() || rows[0].value(0).toInt() == 0) out.hasTables = false;
    }
    if (selectRows(db, QStringLiteral("SELECT optvalue FROM options WHERE optname = 'DBVer'"), {}, rows, nullptr) &&
        !rows.isEmpty())
        out.dbVer = rows[0].value(0).toString();
    sqlite3_close(db);
    return out;
}

bool SettleDatabaseFile(const QString& path, QString* error) {
    sqlite3* db = openFile(path, SQLITE_OPEN_READWRITE, error);
    if (!db) return false;
    QVector<QVector<QVariant>> rows;
    // Reading makes the engine recover a hot journal; the checkpoint empties a log.
    // An exclusive lock fails while another program (another PC) still uses the file.
    bool ok = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok && error) *error = QStringLiteral("다른 프로그램이나 다른 PC가 데이터베이스를 쓰고 있습니다 (") + errorOf(db) + u')';
    ok = ok && selectRows(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master"), {}, rows, error) &&
              selectRows(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"), {}, rows, error) &&
              selectRows(db, QStringLiteral("PRAGMA journal_mode=DELETE"), {}, rows, error);
    if (ok && (rows.isEmpty() || rows[0].value(0).toString() != QStringLiteral("delete"))) {
        if (error) *error = QStringLiteral("다른 프로그램이나 다른 PC가 데이터베이스를 쓰고 있습니다");
        ok = false;
    }
    if (sqlite3_close(db) != SQLITE_OK) ok = false;
    return ok;
}

FileConnection::~FileConnection() { close(); }

bool FileConnection::open(const QString& path, QString* error) {
    close();
    if (!QFile::exists(path)) {
        if (error) *error = QStringLiteral("파일이 없습니다");
        return false;
    }
    m_db = openFile(path, SQLITE_OPEN_READONLY, error);
    return m_db != nullptr;
}

void FileConnection::close() {
    if (m_db) sqlite3_close(static_cast<sqlite3*>(m_db));
    m_db = nullptr;
}

bool FileConnection::select(const QString& sql, const QVariantList& params, QVector<QVector<QVariant>>& rows,
                            QString* error) const {
    if (!m_db) {
        if (error) *error = QStringLiteral("not open");
        return false;
    }
    return selectRows(static_cast<sqlite3*>(m_db), sql, params, rows, error);
}

QStringList FileConnection::plan(const QString& sql, const QVariantList& params) const {
    QVector<QVector<QVariant>> rows;
    QStringList out;
    if (select(QStringLiteral("EXPLAIN QUERY PLAN ") + sql, params, rows))
        for (const auto& r : rows) out << r.value(3).toString();
    return out;
}

bool BuildDatabaseFile(const QString& path, const QStringList& statements, const QString& insertSql,
                       const QVector<QVariantList>& rows, QString* error) {
    sqlite3* db = openFile(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
    if (!db) return false;
    bool ok = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    for (const QString& s : statements) {
        if (!ok) break;
        ok = sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    if (ok && !insertSql.isEmpty()) {
        sqlite3_stmt* st = nullptr;
        const QByteArray text = insertSql.toUtf8();
        ok = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, nullptr) == SQLITE_OK;
        for (const QVariantList& r : rows) {
            if (!ok) break;
            sqlite3_reset(st);
            ok = bind(st, r) && sqlite3_step(st) == SQLITE_DONE;
        }
        sqlite3_finalize(st);
    }
    if (ok) ok = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok && error) *error = errorOf(db);
    sqlite3_close(db);
    return ok;
}
