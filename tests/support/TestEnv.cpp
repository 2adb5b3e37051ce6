#include "TestEnv.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Settings.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {
QtMessageHandler g_previousHandler = nullptr;
// The offscreen platform cannot pass a window's size limits on or raise a window, and says
// so each time; that says nothing about the program.
void dropPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support ")))
        return;
    if (g_previousHandler) g_previousHandler(type, context, text);
}
} // namespace

TestEnv::TestEnv(bool withDatabase, const QDateTime& now) {
    static const bool installed = [] {
        g_previousHandler = qInstallMessageHandler(dropPlatformNotes);
        return true;
    }();
    Q_UNUSED(installed);
    // The program folder holds a stand-in notice program, so notices reach the launcher.
    ResetAppState(m_data.path(), m_data.path() + QStringLiteral("/bin"));
    QDir().mkpath(App().programDir);
    {
        QFile f(App().programDir + QStringLiteral("/memberdesk-floatmsg"));
        f.open(QIODevice::WriteOnly);
    }
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
