#include "TestEnv.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/PrivateData.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "db/PgEngine.h"
#include "db/SchemaUpgrade.h"
#include "ui/SheetReader.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <sqlite3.h>

namespace {

// The headless platform lacks a few window operations (raise(), size hints) and says so on
// each call; that is the test platform talking, not the program, so it is dropped.
const QString kPlatformNoise = QStringLiteral("This plugin does not support ");
QtMessageHandler g_nextHandler = nullptr;

void dropPlatformNoise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(kPlatformNoise)) return;
    if (g_nextHandler) g_nextHandler(type, context, message);
}

} // namespace

TestEnv::TestEnv(bool withDatabase, const QDateTime& now) {
    // Any other warning that the running test did not announce with QTest::ignoreMessage
    // fails it. (The handler Qt Test installs for the run comes next in the chain.)
    if (QGuiApplication::platformName() == QLatin1String("offscreen") && !g_nextHandler)
        g_nextHandler = qInstallMessageHandler(dropPlatformNoise);
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^(?!") + kPlatformNoise + QStringLiteral(")")));
    // The program folder holds a stand-in notice program, so notices reach the launcher.
    ResetAppState(m_data.path(), m_data.path() + QStringLiteral("/bin"));
    DataKey::clear();
    QDir().mkpath(App().programDir);
    {
        QFile f(App().programDir + QStringLiteral("/memberdesk-floatmsg"));
        f.open(QIODevice::WriteOnly);
    }
    // The worksheet helper is the real one, as built.
    QFile::link(QStringLiteral(MD_BUILD_BIN_DIR "/memberdesk-sheetread"),
                App().programDir + QStringLiteral("/memberdesk-sheetread"));
    Settings::setConfigDir(m_config.path());
    auto p = std::make_unique<ScriptedPrompt>();
    m_prompt = p.get();
    setPrompt(std::move(p));
    auto l = std::make_unique<RecordingLauncher>();
    m_launcher = l.get();
    setLauncher(std::move(l));
    Clock::setFixed(now);
    m_ok = m_data.isValid() && m_config.isValid();
    if (withDatabase && m_ok && onServer()) {
        QDir().mkpath(App().dbFolder);
        App().dbFile = newServerDatabase();
        QString error;
        m_ok = !App().dbFile.isEmpty() && CreateNewDatabase(App().dbFile, &error) && OpenDatabase(App().dbFile);
        if (!m_ok) qWarning("TestEnv: server database not ready: %s", qPrintable(error + LastDbError()));
    } else if (m_ok && onServer()) {
        // No database yet: the test makes one at App().dbFile, an empty server database.
        App().dbFile = newServerDatabase();
        m_ok = !App().dbFile.isEmpty();
    } else if (withDatabase && m_ok) {
        QDir().mkpath(App().dbFolder);
        QString error;
        m_ok = CreateNewDatabase(App().dbFile, &error) && OpenDatabase(App().dbFile);
        if (!m_ok) qWarning("TestEnv: database not ready: %s", qPrintable(error + LastDbError()));
    }
    // A new database gets its data key at the first start; so does the test's.
    if (withDatabase && m_ok) PrepareDataKey();
}

TestEnv::~TestEnv() {
    DBTerminate();
    DataKey::clear();
    for (const QString& name : m_serverDatabases) {
        QString error;
        if (!DropServerDatabase(serverAdmin(), name, &error))
            qWarning("TestEnv: server database %s not dropped: %s", qPrintable(name), qPrintable(error));
    }
    setPrompt(nullptr);
    setLauncher(nullptr);
    Clock::setFixed(QDateTime());
    Settings::setConfigDir(QString());
}

QString TestEnv::path(const QString& relative) const { return m_data.path() + u'/' + relative; }

SheetData TestEnv::exportedSheet() const {
    SheetData sheet;
    const QString folder = path(QStringLiteral("ExpExcel"));
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.xlsx")}, QDir::Files);
    if (files.size() != 1) {
        QTest::qFail(qPrintable(QStringLiteral("%1 workbooks exported, not one").arg(files.size())), __FILE__, __LINE__);
        return sheet;
    }
    WorkbookReader reader;
    if (!reader.open(folder + u'/' + files.first()) || !reader.loadSheet(0, sheet)) {
        QTest::qFail("the exported workbook does not read", __FILE__, __LINE__);
        return {};
    }
    return sheet;
}

QStringList TestEnv::notices() const {
    static const QRegularExpression tail(QStringLiteral("/T\\d+$"));
    QStringList out;
    for (const auto& c : m_launcher->calls) {
        if (c.kind != RecordingLauncher::Call::Start || !c.program.endsWith(QStringLiteral("memberdesk-floatmsg")))
            continue;
        QString text = c.args.value(0);
        text.remove(tail);
        out << text.trimmed();
    }
    return out;
}

bool TestEnv::onServer() {
    return qEnvironmentVariable("MEMBERDESK_TEST_ENGINE") == QLatin1String("postgresql") &&
           !serverAdmin().isEmpty();
}

QString TestEnv::serverAdmin() { return qEnvironmentVariable("MEMBERDESK_TEST_PG").trimmed(); }

QString TestEnv::serverAdminValue(const QString& key) {
    return QRegularExpression(QStringLiteral("\\b") + key + QStringLiteral("=(\\S+)")).match(serverAdmin()).captured(1);
}

QString TestEnv::newServerDatabase(const QString& name) {
    static int counter = 0;
    const QString db = name.isEmpty() ? QStringLiteral("md_t%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter)
                                      : name;
    QString error;
    DropServerDatabase(serverAdmin(), db, nullptr);
    if (!CreateServerDatabase(serverAdmin(), db, &error)) {
        qWarning("TestEnv: server database %s not created: %s", qPrintable(db), qPrintable(error));
        return {};
    }
    m_serverDatabases << db;
    return ServerLocationWithDatabase(serverAdmin(), db);
}

bool TestEnv::runOnOtherConnection(const QString& sql) {
    if (IsServerLocation(App().dbFile)) {
        pg::Connection c;
        QString error;
        int code = 0;
        return c.open(App().dbFile, {}, false, &error, &code) && c.exec(sql, {}, 0).rc == pg::Ok;
    }
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(App().dbFile.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

bool TestEnv::runAsServerAdmin(const QString& location, const QString& sql) {
    pg::Connection c;
    QString error;
    int code = 0;
    if (!c.open(location, {}, false, &error, &code)) return false;
    const pg::Result r = c.exec(sql, {}, 0);
    if (r.rc != pg::Ok) qInfo("admin statement failed: %s", qPrintable(r.error));
    return r.rc == pg::Ok;
}

ServerLogin::ServerLogin(const QString& location, const QString& password) : m_location(location) {
    static int counter = 0;
    m_name = QStringLiteral("md_login_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    m_ok = TestEnv::runAsServerAdmin(TestEnv::serverAdmin(),
                                     "CREATE ROLE " + m_name + " LOGIN PASSWORD '" + SqlQuote(password) + "'") &&
           TestEnv::runAsServerAdmin(location, "GRANT ALL ON ALL TABLES IN SCHEMA public TO " + m_name) &&
           TestEnv::runAsServerAdmin(location, "GRANT ALL ON ALL SEQUENCES IN SCHEMA public TO " + m_name);
}

ServerLogin::~ServerLogin() {
    TestEnv::runAsServerAdmin(m_location, "DROP OWNED BY " + m_name);
    TestEnv::runAsServerAdmin(TestEnv::serverAdmin(), "DROP ROLE " + m_name);
}

int FileMode(const QString& path) {
    const int p = int(QFileInfo(path).permissions());
    return ((p >> 12) & 7) << 6 | ((p >> 4) & 7) << 3 | (p & 7);
}

void DamagePages(const QString& file, const QList<qint64>& pages, qint64 pageSize) {
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QRandomGenerator rng(7);
    for (qint64 p : pages) {
        QByteArray junk(pageSize, '\0');
        for (char& c : junk) c = char(rng.bounded(256));
        f.seek((p - 1) * pageSize);
        QCOMPARE(f.write(junk), pageSize);
    }
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFileBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QVERIFY(f.write(bytes) == bytes.size());
}
