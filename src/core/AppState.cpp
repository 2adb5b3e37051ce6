#include "core/AppState.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

AppState& App() {
    static AppState state;
    return state;
}

void ResetAppState(const QString& dataDir, const QString& programDir) {
    App() = AppState{};
    App().appDir = QDir::cleanPath(dataDir);
    App().programDir = programDir.isEmpty() && QCoreApplication::instance()
                           ? QCoreApplication::applicationDirPath()
                           : programDir;
    App().dbFolder = App().appDir + QStringLiteral("/DBS");
    App().dbFile = App().dbFolder + QStringLiteral("/dbMain.db");
}

QString DefaultDataDir() {
    const QString env = qEnvironmentVariable("MEMBERDESK_HOME");
    if (!env.isEmpty()) return QDir::cleanPath(env);
    return QDir::homePath() + QStringLiteral("/.local/share/MemberDesk");
}

QString DataPath(const QString& relative) {
    QString rel = relative;
    while (rel.startsWith(u'/') || rel.startsWith(u'\\')) rel.remove(0, 1);
    return App().appDir + u'/' + rel;
}

QString ProgramPath(const QString& name) {
    return App().programDir + u'/' + name;
}
