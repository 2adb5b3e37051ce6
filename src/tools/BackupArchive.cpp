#include "tools/BackupArchive.h"

#include "db/Database.h"
#include "db/FileDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <zip.h>

namespace {
const QString kMainDb = QStringLiteral("dbMain.db");
const QString kPostDb = QStringLiteral("dbPost.db");
const QStringList kMemberTables = {QStringLiteral("tblfriend"), QStringLiteral("options"), QStringLiteral("schedules")};

bool report(const BackupProgress& p, int percent, const QString& stage) { return !p || p(percent, stage); }

QString zipError(zip_t* z) { return QString::fromUtf8(zip_strerror(z)); }

bool flatName(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && name != QStringLiteral(".") &&
           name != QStringLiteral("..");
}

struct ZipProgress {
    const BackupProgress* progress;
    int from, to;
    bool cancelled = false;
};

// Copies a file in pieces, calling `tick` after each.
bool copyFile(const QString& from, const QString& to, const std::function<void()>& tick) {
    QFile in(from), out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    QByteArray buf(4 << 20, Qt::Uninitialized);
    qint64 n;
    while ((n = in.read(buf.data(), buf.size())) > 0) {
        if (out.write(buf.constData(), n) != n) return false;
        tick();
    }
    return n == 0 && out.flush();
}

bool renameOver(const QString& from, const QString& to, QString* error) {
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(), ec);
    if (ec && error) *error = QString::fromStdString(ec.message());
    return !ec;
}
} // namespace

QString BackupArchiveName(const QString& prefix, const QDateTime& when) {
    return prefix + u'_' + when.toString(QStringLiteral("yyyyMMdd_HHmmss")) + QStringLiteral(".zip");
}

bool WriteZip(const QString& archivePath, const QList<QPair<QString, QString>>& entries, QString* error) {
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(archivePath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, err);
        if (error) *error = QString::fromUtf8(zip_error_strerror(&ze));
        zip_error_fini(&ze);
        return false;
    }
    for (const auto& [name, path] : entries) {
        zip_source_t* src = zip_source_file(z, QFile::encodeName(path).constData(), 0, -1);
        zip_int64_t idx = src ? zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) : -1;
        if (idx < 0) {
            if (src) zip_source_free(src);
            if (error) *error = zipError(z);
            zip_discard(z);
            return false;
        }
        zip_set_file_compression(z, zip_uint64_t(idx), ZIP_CM_DEFLATE, 1);
    }
    if (zip_close(z) != 0) {
        if (error) *error = zipError(z);
        zip_discard(z);
        return false;
    }
    return true;
}

bool ExtractZipEntry(const QString& archivePath, const QString& name, const QString& target, QString* error,
                     const std::function<void(qint64, qint64)>& bytes) {
    if (!flatName(name)) {
        if (error) *error = QStringLiteral("entry name with a folder: ") + name;
        return false;
    }
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!z) {
        if (error) *error = QStringLiteral("not a readable zip archive");
        return false;
    }
    zip_file_t* f = zip_fopen(z, name.toUtf8().constData(), 0);
    if (!f) {
        if (error) *error = QStringLiteral("missing entry ") + name;
        zip_discard(z);
        return false;
    }
    zip_stat_t st;
    const qint64 total = zip_stat(z, name.toUtf8().constData(), 0, &st) == 0 ? qint64(st.size) : 0;
    qint64 done = 0;
    QFile out(target);
    bool ok = out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (!ok && error) *error = out.errorString();
    QByteArray buf(1 << 20, Qt::Uninitialized);
    zip_int64_t n = 0;
    while (ok && (n = zip_fread(f, buf.data(), zip_uint64_t(buf.size()))) > 0) {
        ok = out.write(buf.constData(), n) == n;
        done += n;
        if (bytes) bytes(done, total);
    }
    if (ok && n < 0) {
        ok = false;
        if (error) *error = QString::fromUtf8(zip_error_strerror(zip_file_get_error(f)));
    }
    zip_fclose(f);
    zip_discard(z);
    out.close();
    if (!ok) QFile::remove(target);
    return ok;
}

bool VerifyBackupArchive(const QString& archivePath, QString* error, QString* dbVer, const BackupProgress& progress,
                         int from, int to) {
    // Reading the entries takes the first half of the range, the database check the rest.
    const int mid = (from + to) / 2;
    qint64 totalBytes = 0, readBytes = 0;
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!z) {
        if (error) *error = QStringLiteral("not a readable zip archive");
        return false;
    }
    // Every entry read to its end: the library compares each with its checksum.
    bool ok = true, hasMain = false;
    QByteArray buf(1 << 20, Qt::Uninitialized);
    const zip_int64_t count = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(z, zip_uint64_t(i), 0, &st) == 0) totalBytes += qint64(st.size);
    }
    for (zip_int64_t i = 0; ok && i < count; ++i) {
        const QString name = QString::fromUtf8(zip_get_name(z, zip_uint64_t(i), ZIP_FL_ENC_GUESS));
        if (!flatName(name)) {
            ok = false;
            if (error) *error = QStringLiteral("entry name with a folder: ") + name;
            break;
        }
        hasMain = hasMain || name == kMainDb;
        zip_file_t* f = zip_fopen_index(z, zip_uint64_t(i), 0);
        if (!f) {
            ok = false;
            if (error) *error = zipError(z);
            break;
        }
        zip_int64_t n;
        while ((n = zip_fread(f, buf.data(), zip_uint64_t(buf.size()))) > 0) {
            readBytes += n;
            if (totalBytes > 0) report(progress, from + int((mid - from) * readBytes / totalBytes), QStringLiteral("verify"));
        }
        if (n < 0) {
            ok = false;
            if (error) *error = name + QStringLiteral(": ") + QString::fromUtf8(zip_error_strerror(zip_file_get_error(f)));
        }
        zip_fclose(f);
    }
    zip_discard(z);
    if (ok && !hasMain) {
        ok = false;
        if (error) *error = QStringLiteral("no ") + kMainDb + QStringLiteral(" in the archive");
    }
    if (!ok) return false;
    QTemporaryDir tmp(QFileInfo(archivePath).absolutePath() + QStringLiteral("/.verify-XXXXXX"));
    if (!tmp.isValid()) tmp.setAutoRemove(true);
    QTemporaryDir fallback;
    const QString dir = tmp.isValid() ? tmp.path() : fallback.path();
    const QString db = dir + u'/' + kMainDb;
    if (!ExtractZipEntry(archivePath, kMainDb, db, error, [&](qint64 done, qint64 total) {
            if (total > 0) report(progress, mid + int((to - mid) / 3 * done / total), QStringLiteral("verify"));
        }))
        return false;
    int ticks = 0;
    const DatabaseFileCheck c = CheckDatabaseFile(db, kMemberTables, [&] {
        // The length of the check is not known: creep towards the end of the range.
        ++ticks;
        report(progress, std::min(to - 1, mid + (to - mid) / 3 + ticks / 16), QStringLiteral("verify"));
    });
    if (!c.ok || !c.hasTables) {
        if (error) *error = c.ok ? QStringLiteral("not a MemberDesk database") : c.error;
        return false;
    }
    bool verOk = false;
    const int ver = c.dbVer.toInt(&verOk);
    if (!verOk || ver < 1 || ver > kSchemaVersion) {
        if (error) *error = QStringLiteral("database version %1 is not supported (this program: %2)").arg(c.dbVer).arg(kSchemaVersion);
        return false;
    }
    if (dbVer) *dbVer = c.dbVer;
    return true;
}

bool WriteBackupArchive(const QString& dbFolder, const QString& archivePath, const BackupProgress& progress,
                        QString* error) {
    QString why;
    const QString part = archivePath + QStringLiteral(".part");
    QDir().mkpath(QFileInfo(archivePath).absolutePath());
    QTemporaryDir tmp(QFileInfo(archivePath).absolutePath() + QStringLiteral("/.backup-XXXXXX"));
    auto fail = [&](const QString& reason) {
        QFile::remove(part);
        if (error) *error = reason;
        return false;
    };
    if (!tmp.isValid()) return fail(QStringLiteral("cannot write into ") + QFileInfo(archivePath).absolutePath());
    if (!report(progress, 0, QStringLiteral("snapshot"))) return fail(QStringLiteral("cancelled"));

    QList<QPair<QString, QString>> entries;
    const QString mainCopy = tmp.path() + u'/' + kMainDb;
    if (!SnapshotDatabase(dbFolder + u'/' + kMainDb, mainCopy,
                          [&](int done, int total) { return report(progress, total ? done * 50 / total : 50, QStringLiteral("snapshot")); },
                          &why))
        return fail(why);
    entries << qMakePair(kMainDb, mainCopy);
    if (QFile::exists(dbFolder + u'/' + kPostDb)) {
        const QString postCopy = tmp.path() + u'/' + kPostDb;
        if (!SnapshotDatabase(dbFolder + u'/' + kPostDb, postCopy, {}, &why)) return fail(why);
        entries << qMakePair(kPostDb, postCopy);
    }
    for (const QFileInfo& fi : QDir(dbFolder).entryInfoList({QStringLiteral("환경설정_*.mdb")}, QDir::Files))
        entries << qMakePair(fi.fileName(), fi.absoluteFilePath());
    if (!report(progress, 55, QStringLiteral("compress"))) return fail(QStringLiteral("cancelled"));

    // The archive itself, with the library's progress mapped to 55..85.
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(part).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) return fail(QStringLiteral("cannot create ") + part);
    for (const auto& [name, path] : entries) {
        zip_source_t* src = zip_source_file(z, QFile::encodeName(path).constData(), 0, -1);
        const zip_int64_t idx = src ? zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) : -1;
        if (idx < 0) {
            if (src) zip_source_free(src);
            why = zipError(z);
            zip_discard(z);
            return fail(why);
        }
        zip_set_file_compression(z, zip_uint64_t(idx), ZIP_CM_DEFLATE, 1);
    }
    ZipProgress zp{&progress, 55, 85};
    zip_register_progress_callback_with_state(
        z, 0.02,
        [](zip_t*, double done, void* state) {
            auto* s = static_cast<ZipProgress*>(state);
            if (!report(*s->progress, s->from + int(done * (s->to - s->from)), QStringLiteral("compress"))) s->cancelled = true;
        },
        nullptr, &zp);
    if (zip_close(z) != 0) {
        why = zipError(z);
        zip_discard(z);
        return fail(why);
    }
    if (zp.cancelled) return fail(QStringLiteral("cancelled"));
    if (!report(progress, 85, QStringLiteral("verify"))) return fail(QStringLiteral("cancelled"));
    if (!VerifyBackupArchive(part, &why, nullptr, progress, 85, 100))
        return fail(QStringLiteral("the written archive failed its check: ") + why);
    if (!renameOver(part, archivePath, &why)) return fail(why);
    report(progress, 100, QStringLiteral("done"));
    return true;
}

bool RestoreBackupArchive(const QString& archivePath, const QString& dbFolder, const QString& keepRoot,
                          const BackupProgress& progress, QString* error, QString* keptIn) {
    QString why;
    auto fail = [&](const QString& reason) {
        if (error) *error = reason;
        return false;
    };
    report(progress, 0, QStringLiteral("verify"));
    if (!VerifyBackupArchive(archivePath, &why, nullptr, progress, 0, 30)) return fail(why);
    report(progress, 30, QStringLiteral("unpack"));

    // Unpacked beside the old files (same file system, so the swap is a rename).
    const QString mainNew = dbFolder + u'/' + kMainDb + QStringLiteral(".restoring");
    const QString postNew = dbFolder + u'/' + kPostDb + QStringLiteral(".restoring");
    auto cleanup = [&] {
        QFile::remove(mainNew);
        QFile::remove(postNew);
    };
    if (!ExtractZipEntry(archivePath, kMainDb, mainNew, &why, [&](qint64 done, qint64 total) {
            if (total > 0) report(progress, 30 + int(20 * done / total), QStringLiteral("unpack"));
        })) {
        cleanup();
        return fail(why);
    }
    int ticks = 0;
    const DatabaseFileCheck c = CheckDatabaseFile(mainNew, kMemberTables, [&] {
        ++ticks;
        report(progress, std::min(59, 50 + ticks / 16), QStringLiteral("check"));
    });
    if (!c.ok || !c.hasTables || c.dbVer.toInt() > kSchemaVersion || c.dbVer.toInt() < 1) {
        cleanup();
        return fail(c.ok ? QStringLiteral("not a MemberDesk database of a supported version") : c.error);
    }
    bool hasPost = ExtractZipEntry(archivePath, kPostDb, postNew, nullptr);
    if (hasPost && !CheckDatabaseFile(postNew, {QStringLiteral("Post")}).hasTables) {
        QFile::remove(postNew);
        hasPost = false;
    }
    report(progress, 60, QStringLiteral("keep"));

    // The old database as it is, log files included.
    const QString keep = keepRoot + QStringLiteral("/before-restore_") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    if (!QDir().mkpath(keep)) {
        cleanup();
        return fail(QStringLiteral("cannot create ") + keep);
    }
    for (const QString& name : {kMainDb, kMainDb + QStringLiteral("-wal"), kMainDb + QStringLiteral("-journal"),
                                kMainDb + QStringLiteral("-shm"), kPostDb}) {
        const QString from = dbFolder + u'/' + name;
        int pieces = 0;
        if (QFile::exists(from) && !copyFile(from, keep + u'/' + name, [&] {
                ++pieces;
                report(progress, std::min(79, 60 + pieces / 4), QStringLiteral("keep"));
            })) {
            cleanup();
            return fail(QStringLiteral("cannot keep the old ") + name + QStringLiteral(" in ") + keep);
        }
    }
    if (keptIn) *keptIn = keep;
    // No log may outlive the file it belongs to: fold it into the old file first.
    if (QFile::exists(dbFolder + u'/' + kMainDb) && !SettleDatabaseFile(dbFolder + u'/' + kMainDb, &why)) {
        cleanup();
        QDir(keep).removeRecursively(); // nothing was changed: the copies are not needed
        if (keptIn) keptIn->clear();
        return fail(why);
    }
    report(progress, 80, QStringLiteral("swap"));
    if (!renameOver(mainNew, dbFolder + u'/' + kMainDb, &why)) {
        cleanup();
        return fail(why);
    }
    QFile::remove(dbFolder + u'/' + kMainDb + QStringLiteral("-shm"));
    if (hasPost) renameOver(postNew, dbFolder + u'/' + kPostDb, nullptr);
    cleanup();
    // Settings copies come back only where none of that name exists.
    int err = 0;
    if (zip_t* z = zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY, &err)) {
        QStringList names;
        for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i)
            names << QString::fromUtf8(zip_get_name(z, zip_uint64_t(i), ZIP_FL_ENC_GUESS));
        zip_discard(z);
        for (const QString& n : names)
            if (n.startsWith(QStringLiteral("환경설정_")) && !QFile::exists(dbFolder + u'/' + n))
                ExtractZipEntry(archivePath, n, dbFolder + u'/' + n, nullptr);
    }
    report(progress, 100, QStringLiteral("done"));
    return true;
}

QStringList BackupArchives(const QString& dir, const QString& prefix) {
    QStringList out;
    const auto infos = QDir(dir).entryInfoList({prefix + QStringLiteral("*.zip")}, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QFileInfo& fi : infos) out << fi.absoluteFilePath();
    return out;
}

void PruneBackupArchives(const QString& dir, const QString& prefix, int keep) {
    const QStringList all = BackupArchives(dir, prefix);
    for (int i = keep; i < all.size(); ++i) QFile::remove(all[i]);
}
