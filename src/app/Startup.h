#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Decides the database folder and opens the shared connection. Stand-alone mode uses the
// data folder's DBS; client mode the stored DB경로, reconnecting the server's share when
// that folder cannot be reached. False ends the program (a message was shown).
bool InitApp();

// Reads the start-up options into the process-wide state (again after the options window
// saves). False when the options cannot be read.
bool ReadOptions();

// Checks that the server's share is reachable at `drive` (its local mount point; empty:
// the network path itself when that is a local path). The program never mounts anything:
// the system mounts the share. With `retry` a failed check is repeated once after a short
// wait (an automounted share may need a moment). Returns the drive, or "" after showing
// drive + "드라이브 연결이 실패되었습니다.". The password is kept for the call's shape;
// the system's mount carries its own credentials.
QString RemapNetworkDrive(const QString& networkPath, const QString& password, const QString& drive,
                          bool retry);

// A mounted share or a folder holding DBS, existing and readable.
bool IsShareReachable(const QString& path);

// The "server not found" message, one line per entry.
QString ServerNotFoundText();

// The start-up sequence up to the login window. Holds the single-copy lock for the life
// of the process.
class Startup {
public:
    Startup();
    ~Startup();
    Startup(const Startup&) = delete;
    Startup& operator=(const Startup&) = delete;

    // Refuses a second running copy on the same data folder ("이미 프로그램이 실행 중입니다.").
    bool acquireSingleCopy();
    // Creates the data folder's sub-folders and, on the first stand-alone start, the new
    // database. False after a message when the database cannot be created.
    bool prepareDataFolder();
    // Everything in order: single copy, data folder, InitApp, schema upgrade. False: end.
    bool run();

private:
    std::unique_ptr<QLockFile> m_lock;
};
