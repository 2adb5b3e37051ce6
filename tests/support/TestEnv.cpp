#include "TestEnv.h"

#include "app/AppState.h"
#include "app/Clock.h"
#include "app/Settings.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QDir>

TestEnv::TestEnv(bool withDatabase, const QDateTime& now) {
    ResetAppState(m_data.path(), QCoreApplication::applicationDirPath());
    Settings::setConfigDir(m_config.path());
    auto p = std::make_unique<ScriptedPrompt>();
    m_prompt = p.get();
    setPrompt(std::move(p));
    auto l = std::make_unique<RecordingLauncher>();
    m_launcher = l.get();
    setLauncher(std::move(l));
    Clock::setFixed(now);
    m_ok = m_data.isValid() && m_config.isValid();
    if (withDatabase && m_ok) {
        QDir().mkpath(App().dbFolder);
        QString error;
        m_ok = CreateNewDatabase(App().dbFile, &error) && OpenDatabase(App().dbFile);
        if (!m_ok) qWarning("TestEnv: database not ready: %s", qPrintable(error + LastDbError()));
    }
}

TestEnv::~TestEnv() {
    DBTerminate();
    setPrompt(nullptr);
    setLauncher(nullptr);
    Clock::setFixed(QDateTime());
    Settings::setConfigDir(QString());
}

QString TestEnv::path(const QString& relative) const { return m_data.path() + u'/' + relative; }
