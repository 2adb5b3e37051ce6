#include "OtherPc.h"

#include "core/AppState.h"

#include <sqlite3.h>

OtherPc::OtherPc(const QString& file, bool create) {
    const QByteArray path = (file.isEmpty() ? App().dbFile : file).toUtf8();
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}

OtherPc::~OtherPc() { sqlite3_close(m_db); }

bool OtherPc::exec(const QString& sql) {
    return m_db && sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

QVariant OtherPc::value(const QString& sql) {
    sqlite3_stmt* st = nullptr;
    QVariant out;
    if (m_db && sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW)
        out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return out;
}
