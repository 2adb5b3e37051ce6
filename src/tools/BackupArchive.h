#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

// Backup archives of the database folder: a zip holding a consistent copy of dbMain.db
// (the engine's online backup), dbPost.db when present, and the settings copies
// ("환경설정_*.mdb"). Every archive is checked after writing and before a restore.

// Progress from 0 to 100 with a short stage text; returning false cancels.
using BackupProgress = std::function<bool(int percent, const QString& stage)>;

// The share of a long check shown to the person. The engine's progress comes unevenly (a
// walk through a large tree reports nothing for a while), so between its reports the shown
// share goes on at the pace seen so far, but never more than `lead` ahead of what was
// reported, never back, and never to the end before the check ends.
class CheckPace {
public:
    explicit CheckPace(double lead = 0.1) : m_lead(lead) {}
    // `reported`: the share the engine's progress gives (0..1); `seconds` since the start.
    double at(double reported, double seconds);

private:
    double m_lead;
    double m_shown = 0;
    double m_lastSeconds = 0;
};

// "<prefix>_YYYYMMDD_HHMMSS.zip".
QString BackupArchiveName(const QString& prefix, const QDateTime& when);

// Writes the archive `archivePath` from the database folder `dbFolder`. The archive is
// written under a temporary name, checked, and renamed only when it passed; on any
// failure nothing is left behind and `error` says why. Everything is first copied (the
// database as one moment); `copied` runs then, before the long part (check, compression,
// reading back), which works on the copies only: the folder may be used again.
bool WriteBackupArchive(const QString& dbFolder, const QString& archivePath,
                        const BackupProgress& progress = {}, QString* error = nullptr,
                        const std::function<void()>& copied = {});

// Reads every entry against its checksum and checks the database inside (integrity,
// MemberDesk's tables, a schema version this program reads). `dbVer` gets its version.
// `progress` runs from `from` to `to` percent.
bool VerifyBackupArchive(const QString& archivePath, QString* error = nullptr, QString* dbVer = nullptr,
                         const BackupProgress& progress = {}, int from = 0, int to = 100);

// Restores `archivePath` into `dbFolder`. Nothing is touched unless the archive passed
// VerifyBackupArchive and its database was unpacked and checked beside the old one. The
// old database (with any -wal or -journal) is first copied to a new folder under
// `keepRoot` ("before-restore_YYYYMMDD_HHMMSS", returned in `keptIn`; it carries the suffix
// ".incomplete" until every old file is in it and on the disk); then the new file
// replaces the old by rename, so dbMain.db is always either the old or the new file.
bool RestoreBackupArchive(const QString& archivePath, const QString& dbFolder, const QString& keepRoot,
                          const BackupProgress& progress = {}, QString* error = nullptr, QString* keptIn = nullptr);

// What a killed backup or restore leaves in `dir` is removed once it has not changed for
// kScrapAgeSecs (a backup of another PC may still be writing a younger one): the hidden
// ".backup-*" and ".verify-*" working folders, "server-copy-*" folders, "*.zip.part" files
// with libzip's "*.zip.part.*" temporaries, unpacked "*.restoring" files and the
// "before-restore_*.incomplete" folders of restores that ended while keeping the old
// files. Of the complete "before-restore_*" folders the newest kKeptRestores stay.
// Writing and restoring call it on the folders they use.
constexpr int kScrapAgeSecs = 3600;
constexpr int kKeptRestores = 3;
void CleanBackupScraps(const QString& dir);

// Archives in `dir` whose names start with `prefix` and end in ".zip", newest first.
QStringList BackupArchives(const QString& dir, const QString& prefix = {});
// Deletes all but the newest `keep` archives of `prefix` in `dir`.
void PruneBackupArchives(const QString& dir, const QString& prefix, int keep);

// Writes `entries` (name → file path) into a new zip `archivePath` (tests, fixtures).
bool WriteZip(const QString& archivePath, const QList<QPair<QString, QString>>& entries, QString* error = nullptr);
// Unpacks the entry `name` of `archivePath` to `target`, checking its checksum. Entry
// names with a folder part are never written. False with `error` when it fails.
// `bytes(done, total)` reports the unpacking.
bool ExtractZipEntry(const QString& archivePath, const QString& name, const QString& target, QString* error = nullptr,
                     const std::function<void(qint64, qint64)>& bytes = {});
