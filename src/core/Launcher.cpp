#include "core/Launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {
std::unique_ptr<Launcher>& currentLauncher() {
    static std::unique_ptr<Launcher> l;
    return l;
}
} // namespace

Launcher& launcher() {
    if (!currentLauncher()) currentLauncher() = std::make_unique<ProcessLauncher>();
    return *currentLauncher();
}

void setLauncher(std::unique_ptr<Launcher> l) { currentLauncher() = std::move(l); }

QString FindOnPath(const QStringList& candidates) {
    for (const QString& c : candidates) {
        const QString found = QStandardPaths::findExecutable(c);
        if (!found.isEmpty()) return found;
    }
    return {};
}

bool ProcessLauncher::start(const QString& program, const QStringList& args,
                            const QString& workingDir) {
    return QProcess::startDetached(program, args, workingDir);
}

int ProcessLauncher::run(const QString& program, const QStringList& args, int timeoutMs) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted()) return -1;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool ProcessLauncher::open(const QString& fileOrUrl) {
    const QUrl url = QFileInfo::exists(fileOrUrl) ? QUrl::fromLocalFile(fileOrUrl)
                                                  : QUrl::fromUserInput(fileOrUrl);
    return QDesktopServices::openUrl(url);
}

bool RecordingLauncher::start(const QString& program, const QStringList& args,
                              const QString& workingDir) {
    calls.append({Call::Start, program, args, workingDir});
    return result;
}

int RecordingLauncher::run(const QString& program, const QStringList& args, int) {
    calls.append({Call::Run, program, args, {}});
    return exitCode;
}

bool RecordingLauncher::open(const QString& fileOrUrl) {
    calls.append({Call::Open, fileOrUrl, {}, {}});
    return result;
}
