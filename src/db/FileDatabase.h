#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

// Work on database files other than the shared connection's: consistent copies, checks of
// a file before it is taken into use, and a small read-only connection of its own (the
// zip-code database). Each call opens and closes its own handle.

// Copies the database `source` into a new file `target` through the engine's online
// backup, page batch by page batch, so the copy is consistent even while another program
// writes to the source. `progress(done, total)` after each batch (pages); returning false
// cancels. False with the reason in `error`; a partial target is removed. The target is a
// working copy: it is not synced to disk (whoever keeps it does that).
bool SnapshotDatabase(const QString& source, const QString& target,
                      const std::function<bool(int, int)>& progress = {}, QString* error = nullptr);

struct DatabaseFileCheck {
    bool ok = false;          // opened and passed the integrity check
    QString error;            // why not
    bool hasTables = false;   // all of `requiredTables` exist
    QString dbVer;            // option DBVer ("" when there is no options table or row)
};

// Opens `path` read-only and runs PRAGMA integrity_check; tells whether every table of
// `requiredTables` exists and, when there is an `options` table, the schema version.
// `tick` is called every so often while the check runs (progress of long checks), one call
// at a time. With `workers` above one the check runs on that many connections (threads)
// at once, checking the same as one full integrity_check.
DatabaseFileCheck CheckDatabaseFile(const QString& path, const QStringList& requiredTables,
                                    const std::function<void()>& tick = {}, int workers = 1);

// Makes the file `path` self-contained: opens it (the engine folds a leftover -wal into
// it or rolls back a hot journal), checkpoints and closes it, so no -wal or -journal
// belongs to it any more. False when it cannot be opened or checkpointed, or while another
// connection holds it.
bool SettleDatabaseFile(const QString& path, QString* error = nullptr);

// A read-only connection to one database file, separate from the shared one.
class FileConnection {
public:
    FileConnection() = default;
    ~FileConnection();
    FileConnection(const FileConnection&) = delete;
    FileConnection& operator=(const FileConnection&) = delete;

    bool open(const QString& path, QString* error = nullptr); // never creates the file
    void close();
    bool isOpen() const { return m_db != nullptr; }
    // Rows of a SELECT with bound values; false with `error` on a failure.
    bool select(const QString& sql, const QVariantList& params, QVector<QVector<QVariant>>& rows,
                QString* error = nullptr) const;
    // The engine's plan of a statement, one line per step (EXPLAIN QUERY PLAN).
    QStringList plan(const QString& sql, const QVariantList& params = {}) const;

private:
    void* m_db = nullptr;
};

// Builds a database file from statements (tests, benchmarks and the bundled sample):
// the statements run in one transaction; `rows` are bound to `insertSql` one by one.
bool BuildDatabaseFile(const QString& path, const QStringList& statements, const QString& insertSql = {},
                       const QVector<QVariantList>& rows = {}, QString* error = nullptr);
