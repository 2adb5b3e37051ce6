#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// Starting other programs and opening files or addresses with the desktop's default
// program. Arguments always travel as a list, never through a shell. Tests install
// RecordingLauncher.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts a program without waiting. False when it could not be started.
    virtual bool start(const QString& program, const QStringList& args,
                       const QString& workingDir = {}) = 0;
    // Runs a program and waits for it; its exit code, or -1 when it could not run.
    virtual int run(const QString& program, const QStringList& args, int timeoutMs = -1) = 0;
    // Opens a file or URL with the desktop's default program.
    virtual bool open(const QString& fileOrUrl) = 0;
};

Launcher& launcher();
void setLauncher(std::unique_ptr<Launcher> l);

// The first program of `candidates` found on PATH; empty when none is.
QString FindOnPath(const QStringList& candidates);

class ProcessLauncher : public Launcher {
public:
    bool start(const QString& program, const QStringList& args, const QString& workingDir) override;
    int run(const QString& program, const QStringList& args, int timeoutMs) override;
    bool open(const QString& fileOrUrl) override;
};

class RecordingLauncher : public Launcher {
public:
    struct Call {
        enum Kind { Start, Run, Open } kind;
        QString program; // or the file/URL for Open
        QStringList args;
        QString workingDir;
    };
    bool start(const QString& program, const QStringList& args, const QString& workingDir) override;
    int run(const QString& program, const QStringList& args, int timeoutMs) override;
    bool open(const QString& fileOrUrl) override;

    QList<Call> calls;
    bool result = true; // what start/open return
    int exitCode = 0;   // what run returns
};
