#pragma once

#include <QString>

// Process-wide state filled at start-up and after login. Read-mostly: start-up,
// ReadOptions and the login write it; every window reads it.
struct AppState {
    QString appTitle = QStringLiteral("MemberDesk"); // settings application name, default box title
    QString appDir;     // data folder: DBS, FormIni, log, ExpExcel, Image, doc, CID_LOG.txt
    QString programDir; // folder of the executables (memberdesk-floatmsg, memberdesk-cidview, ...)
    QString dbFolder;   // folder holding dbMain.db
    QString dbFile;     // full path of dbMain.db
    int clientMode = 0; // CSType: 0 stand-alone, non-zero client of a server's shared folder
    // The database file is shared by several PCs (this PC is the server or a client): it
    // runs in rollback-journal mode, never WAL.
    bool sharedDatabase = false;
    bool duplicateMemberCheck = true; // MEMBER_REPETITION != "0"

    // options read at start (ReadOptions)
    QString friendCode = QStringLiteral("0");
    QString start = QStringLiteral("0");
    QString pointIndex = QStringLiteral("0");
    QString point = QStringLiteral("10");

    // filled by the login (GetLoginUserInfo)
    QString loginId;
    QString userName;
    QString userCode = QStringLiteral("00");
    int ownerCode = 1;

    // ShowFloatNotice: 0 notice program not looked for yet, 1 found, 2 missing
    int floatNoticeState = 0;
};

AppState& App();

// Resets the state to its defaults and points the folders at `dataDir` (tests, start-up).
void ResetAppState(const QString& dataDir, const QString& programDir = {});

// The data folder: $MEMBERDESK_HOME, default ~/.local/share/MemberDesk.
QString DefaultDataDir();

// appDir + "/" + relative path.
QString DataPath(const QString& relative);

// programDir + "/" + name of a helper program.
QString ProgramPath(const QString& name);
