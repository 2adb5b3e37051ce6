#include "core/AppState.h"

#include "core/BuildInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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
    // In the build folder the helpers lie beside the executable; installed, they lie in
    // the helper folder relative to it (so a moved or relocated prefix still works).
    const QString beside = App().programDir + u'/' + name;
    if (QFileInfo::exists(beside) || App().programDir.isEmpty()) return beside;
    const QString installed = QDir::cleanPath(
        App().programDir + u'/' + QString::fromUtf8(kHelperDirFromProgram) + u'/' + name);
    return QFileInfo::exists(installed) ? installed : beside;
}
