#pragma once

#include <QString>
#include <QStringList>

// Handing the database folder to the backup program memberdesk-backup and starting it.
// The program waits until MemberDesk has ended, so a started backup or restore is
// followed by closing the main window (without the automatic backup).

QString BackupProgram(); // memberdesk-backup in the program folder

// Arguments of a backup mode: 0 none, 1 "SERVERUP", 2 "AS", 3 "HDDAUTO".
QStringList BackupArguments(int mode);
// Arguments of a restore mode: always "UNZIP" first; mode 3 adds "HDDAUTO" (automatic
// backups offered first).
QStringList RestoreArguments(int mode);

// Confirms (unless `ask` is false), closes every child window, stores `dbFolder` in the
// hand-over setting and starts the backup program. True only when it started; a missing
// program, a No, a window that refuses to close or a failed start return false (each but
// the No and the refusing window with a message) and leave the program running.
bool ExecBackUp(int mode, bool ask, bool closeWindows, const QString& dbFolder);
bool ExecRestore(int mode, bool closeWindows, const QString& dbFolder);

// The automatic backup offered when the program closes (frmMsgBackUp): true lets the
// program close (with or without a backup), false keeps it open.
bool ExecBackUpAuto(const QString& dbFolder);

// Copy of the per-user settings into the database folder at exit:
// "환경설정_YYYYMMDD_HHMM.mdb" (text), at most five kept. A copy equal to the newest is not
// written again. Returns the file written, empty when none.
QString WriteSettingsCopy(const QString& dbFolder, const QStringList& appNames);
// The application names whose settings are copied.
QStringList SettingsCopyNames();
