// Transactions on the shared connection: the outermost one begins and commits.
#include "core/Log.h"
#include "db/Database.h"
#include "db/DbConnection.h"

#include <sqlite3.h>

using namespace dbcore;

namespace {
bool inTransaction() {
    if (conn().server) return conn().server->inTransaction();
    return conn().db && !sqlite3_get_autocommit(conn().db);
}
} // namespace

Transaction::Transaction() {
    // Nested use joins the outer transaction: only the outermost one commits.
    if (conn().open() && !inTransaction())
        m_active = RunSilent(QStringLiteral("BEGIN IMMEDIATE")).ok;
    m_ok = conn().open() && (m_active || inTransaction());
}

Transaction::~Transaction() {
    // The engine may have rolled back already (a full disk does); and the rollback must
    // not hide why the writes failed.
    if (m_active && conn().open() && inTransaction()) {
        Connection& c = conn();
        const bool failed = c.lastFailed;
        const QString error = c.lastError;
        const int code = c.lastErrorCode;
        RunSilent(QStringLiteral("ROLLBACK"));
        if (failed) {
            c.lastFailed = true;
            c.lastError = error;
            c.lastErrorCode = code;
        }
    }
}

bool Transaction::commit() {
    if (!m_active) return conn().open();
    const SqlOutcome o = RunSilent(QStringLiteral("COMMIT"));
    if (o.ok) m_active = false;
    return o.ok;
}

