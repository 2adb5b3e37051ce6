#pragma once

#include "core/Launcher.h"
#include "core/Prompt.h"

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A fresh, isolated world for one test: its own data folder (with DBS/dbMain.db created
// and opened when `withDatabase`), its own settings folder, a scripted prompt, a recording
// launcher and the clock fixed at 2026-12-06 10:00:00. Create one in init(), destroy it in
// cleanup(); everything it installed is removed again.
struct SheetData;

class TestEnv {
public:
    explicit TestEnv(bool withDatabase = true,
                     const QDateTime& now = QDateTime(QDate(2026, 12, 6), QTime(10, 0)));
    ~TestEnv();

    ScriptedPrompt& prompt() { return *m_prompt; }
    RecordingLauncher& launcher() { return *m_launcher; }
    QString dataDir() const { return m_data.path(); }
    QString configDir() const { return m_config.path(); }
    QString path(const QString& relative) const; // inside the data folder
    // The first sheet of the one workbook a list exported into ExpExcel; a test failure
    // (and no rows) when there is not exactly one or it does not read.
    SheetData exportedSheet() const;
    bool ok() const { return m_ok; }
    // True when this run puts the test databases on a database server: the test is run
    // with MEMBERDESK_TEST_ENGINE=postgresql and MEMBERDESK_TEST_PG naming the server
    // (key=value connection text of a database the test user may create databases from).
    // Each TestEnv then gets a database of its own there, dropped again at its end.
    static bool onServer();
    // The server connection text of MEMBERDESK_TEST_PG ("" when not on a server).
    static QString serverAdmin();
    // One value of that connection text ("port" gives its port), "" when absent.
    static QString serverAdminValue(const QString& key);
    // Runs one statement on App().dbFile through a connection of its own, as another PC
    // would; false when it fails.
    static bool runOnOtherConnection(const QString& sql);
    // Runs one statement as the test server's administrator on the server database at
    // `location` (serverAdmin() for the administrator's own); false when it fails.
    static bool runAsServerAdmin(const QString& location, const QString& sql);
    // Location of a new, empty database on the test server (dropped with this TestEnv).
    QString newServerDatabase(const QString& name = {});
    // Messages of the transient notices started so far, in order ("자료가 저장되었습니다." ...).
    QStringList notices() const;

private:
    QTemporaryDir m_data;
    QTemporaryDir m_config;
    ScriptedPrompt* m_prompt = nullptr;
    RecordingLauncher* m_launcher = nullptr;
    bool m_ok = false;
    QStringList m_serverDatabases;
};

// A login role of its own on the test server with `password` (quotes and all), allowed
// every table and sequence of the server database at `location`; dropped on destruction.
class ServerLogin {
public:
    ServerLogin(const QString& location, const QString& password);
    ~ServerLogin();
    ServerLogin(const ServerLogin&) = delete;
    ServerLogin& operator=(const ServerLogin&) = delete;
    bool ok() const { return m_ok; }
    const QString& name() const { return m_name; }

private:
    QString m_location, m_name;
    bool m_ok = false;
};

// Unix mode bits of a file or folder, compared as 0600.
int FileMode(const QString& path);
// Overwrites the (1-based) pages of a closed database file with seeded random bytes, as
// a failing disk does. `pageSize` and the page numbers are read before closing it
// (PRAGMA page_size, sqlite_master.rootpage).
void DamagePages(const QString& file, const QList<qint64>& pages, qint64 pageSize);
// The bytes of a file ("" when it cannot be read).
QByteArray FileBytes(const QString& path);
// Writes `bytes` as the whole file, making its folder first; fails the running test when
// the file cannot be written.
void WriteFileBytes(const QString& path, const QByteArray& bytes);
