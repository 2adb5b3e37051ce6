#include "tools/BackupArchive.h"

#include "db/Database.h"
#include "core/Log.h"
#include "db/FileDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

double CheckPace::at(double reported, double seconds) {
    reported = std::clamp(reported, 0.0, 0.99);
    // The pace so far, from what was reported: a share a second.
    const double pace = seconds > 0 ? reported / seconds : 0;
    const double ahead = std::min(reported + m_lead, m_shown + pace * (seconds - m_lastSeconds));
    m_shown = std::min(0.99, std::max({m_shown, reported, ahead}));
    m_lastSeconds = seconds;
    return m_shown;
}

namespace {
const QString kMainDb = QStringLiteral("dbMain.db");
const QString kPostDb = QStringLiteral("dbPost.db");
const QStringList kMemberTables = {QStringLiteral("tblfriend"), QStringLiteral("options"),
                                   QStringLiteral("schedules")};

// What the person reads when an archive is damaged or is no backup of this program.
const QString kUnreadable =
    QStringLiteral("백업 파일이 손상되었거나 MemberDesk의 백업 파일이 아닙니다.");
const QString kFolderEntry =
    QStringLiteral("백업 파일에 폴더가 붙은 이름이 있어 사용할 수 없습니다: ");

bool report(const BackupProgress& p, int percent, const QString& stage) {
    return !p || p(percent, stage);
}

// The library's and the system's own words stay in brackets behind a Korean reason, for
// whoever looks into the fault.
QString zipText(const char* detail) {
    return QStringLiteral("압축 파일을 처리할 수 없습니다 (") + QString::fromUtf8(detail) + u')';
}

QString zipError(zip_t* z) {
    return zipText(zip_strerror(z));
}

QString writeError(const QFile& out) {
    return QFileInfo(out).fileName() + QStringLiteral(" 파일에 쓸 수 없습니다 (") + out.errorString() + u')';
}

bool flatName(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') &&
           name != QStringLiteral(".") && name != QStringLiteral("..");
}

struct ZipProgress {
    const BackupProgress* progress;
    int from, to;
    bool cancelled = false;
};

// Copies a file in pieces, calling `tick` with the size of each.
bool copyFile(const QString& from, const QString& to, const std::function<void(qint64)>& tick) {
    QFile in(from), out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray buf(4 << 20, Qt::Uninitialized);
    qint64 n;
    while ((n = in.read(buf.data(), buf.size())) > 0) {
        if (out.write(buf.constData(), n) != n) return false;
        tick(n);
    }
    return n == 0 && out.flush();
}

bool renameOver(const QString& from, const QString& to, QString* error) {
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(from).toStdString(),
                            QFile::encodeName(to).toStdString(), ec);
    if (ec && error)
        *error = QFileInfo(to).fileName() + QStringLiteral(" 파일의 이름을 바꿀 수 없습니다 (") +
                 QString::fromStdString(ec.message()) + u')';
    return !ec;
}
} // namespace

QString BackupArchiveName(const QString& prefix, const QDateTime& when) {
    return prefix + u'_' + when.toString(QStringLiteral("yyyyMMdd_HHmmss")) +
           QStringLiteral(".zip");
}

bool WriteZip(const QString& archivePath, const QList<QPair<QString, QString>>& entries,
              QString* error) {
    int err = 0;
    zip_t* z =
        zip_open(QFile::encodeName(archivePath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, err);
        if (error) *error = zipText(zip_error_strerror(&ze));
        zip_error_fini(&ze);
        return false;
    }
    for (const auto& [name, path] : entries) {
        zip_source_t* src = zip_source_file(z, QFile::encodeName(path).constData(), 0, -1);
        zip_int64_t idx = src ? zip_file_add(z, name.toUtf8().constData(), src,
                                             ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE)
                              : -1;
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

bool ExtractZipEntry(const QString& archivePath, const QString& name, const QString& target,
                     QString* error, const std::function<void(qint64, qint64)>& bytes) {
    if (!flatName(name)) {
        if (error) *error = kFolderEntry + name;
        return false;
    }
    int err = 0;
    zip_t* z =
        zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!z) {
        if (error) *error = kUnreadable;
        return false;
    }
    zip_file_t* f = zip_fopen(z, name.toUtf8().constData(), 0);
    if (!f) {
        if (error)
            *error = QStringLiteral("백업 파일에 ") + name + QStringLiteral("이(가) 없습니다.");
        zip_discard(z);
        return false;
    }
    zip_stat_t st;
    const qint64 total = zip_stat(z, name.toUtf8().constData(), 0, &st) == 0 ? qint64(st.size) : 0;
    qint64 done = 0;
    QFile out(target);
    bool ok = out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (!ok && error) *error = writeError(out);
    QByteArray buf(1 << 20, Qt::Uninitialized);
    zip_int64_t n = 0;
    while (ok && (n = zip_fread(f, buf.data(), zip_uint64_t(buf.size()))) > 0) {
        ok = out.write(buf.constData(), n) == n;
        done += n;
        if (bytes) bytes(done, total);
    }
    if (ok && n < 0) {
        ok = false;
        if (error) *error = zipText(zip_error_strerror(zip_file_get_error(f)));
    }
    zip_fclose(f);
    zip_discard(z);
    out.close();
    if (!ok) QFile::remove(target);
    return ok;
}

namespace {
// Reads every entry of the archive to its end, so the library compares each with its
// checksum; the database entry is written to `dbOut` on the way when one is given (a
// restore and a check unpack it in the same pass). `bytes(done, total)` over all entries.
bool readEntries(const QString& archivePath, const QString& dbOut, QString* error,
                 const std::function<void(qint64, qint64)>& bytes) {
    int err = 0;
    zip_t* z =
        zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!z) {
        if (error) *error = kUnreadable;
        return false;
    }
    qint64 totalBytes = 0, readBytes = 0;
    const zip_int64_t count = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(z, zip_uint64_t(i), 0, &st) == 0) totalBytes += qint64(st.size);
    }
    bool ok = true, hasMain = false;
    QByteArray buf(1 << 20, Qt::Uninitialized);
    for (zip_int64_t i = 0; ok && i < count; ++i) {
        const QString name = QString::fromUtf8(zip_get_name(z, zip_uint64_t(i), ZIP_FL_ENC_GUESS));
        if (!flatName(name)) {
            ok = false;
            if (error) *error = kFolderEntry + name;
            break;
        }
        const bool isMain = name == kMainDb;
        if (isMain && hasMain) {
            ok = false;
            if (error)
                *error = QStringLiteral("백업 파일에 ") + kMainDb +
                         QStringLiteral("이(가) 두 개 있습니다.");
            break;
        }
        hasMain = hasMain || isMain;
        QFile out(dbOut);
        const bool writing = isMain && !dbOut.isEmpty();
        if (writing && !out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            ok = false;
            if (error) *error = writeError(out);
            break;
        }
        zip_file_t* f = zip_fopen_index(z, zip_uint64_t(i), 0);
        if (!f) {
            ok = false;
            if (error) *error = zipError(z);
            break;
        }
        zip_int64_t n;
        while ((n = zip_fread(f, buf.data(), zip_uint64_t(buf.size()))) > 0) {
            if (writing && out.write(buf.constData(), n) != n) {
                ok = false;
                if (error) *error = writeError(out);
                break;
            }
            readBytes += n;
            if (bytes) bytes(readBytes, totalBytes);
        }
        if (ok && n < 0) {
            ok = false;
            if (error)
                *error = QStringLiteral("백업 파일이 손상되었습니다. ") + name +
                         QStringLiteral("을(를) 읽을 수 없습니다 (") +
                         QString::fromUtf8(zip_error_strerror(zip_file_get_error(f))) + u')';
        }
        zip_fclose(f);
        if (writing && ok && !out.flush()) {
            ok = false;
            if (error) *error = writeError(out);
        }
    }
    zip_discard(z);
    if (ok && !hasMain) {
        ok = false;
        if (error)
            *error = QStringLiteral("백업 파일에 데이터베이스(") + kMainDb +
                     QStringLiteral(")가 없습니다.");
    }
    if (!ok && !dbOut.isEmpty()) QFile::remove(dbOut);
    return ok;
}

// The integrity check's length is not known beforehand; it calls back about this many
// times per megabyte of database (measured on member, trade and ledger data): split over
// more than one connection the quick check of the whole file adds half again.
constexpr double kCheckTicksPerMB = 6.2;
constexpr double kSplitCheckTicksPerMB = 9.4;

// Connections for the check, in a backup too: there it runs beside the compression, three
// threads sharing the cores, so the check, the longest part, no longer rests on one core.
constexpr int kCheckWorkers = 2;

// Integrity, MemberDesk's tables and a schema version this program reads. `fraction`
// gets the estimated share of the check done (0..1, never reaching 1 before the end).
bool checkMemberDatabase(const QString& db, QString* error, QString* dbVer,
                         const std::function<void(double)>& fraction, int workers) {
    const double expected = std::max(
        1.0, QFileInfo(db).size() / 1e6 * (workers > 1 ? kSplitCheckTicksPerMB : kCheckTicksPerMB));
    int ticks = 0;
    CheckPace pace;
    QElapsedTimer clock;
    clock.start();
    const DatabaseFileCheck c = CheckDatabaseFile(
        db, kMemberTables,
        [&] {
            ++ticks;
            if (fraction) fraction(pace.at(ticks / expected, clock.nsecsElapsed() / 1e9));
        },
        workers);
    if (!c.ok || !c.hasTables) {
        if (error)
            *error = c.ok ? QStringLiteral("MemberDesk의 데이터베이스가 아닙니다.")
                          : QStringLiteral("데이터베이스가 손상되었습니다 (") + c.error + u')';
        return false;
    }
    bool verOk = false;
    const int ver = c.dbVer.toInt(&verOk);
    if (!verOk || ver < 1 || ver > kSchemaVersion) {
        if (error)
            *error = QStringLiteral("이 프로그램이 읽을 수 없는 데이터베이스 버전입니다 "
                                    "(데이터베이스: %1, 프로그램: %2).")
                         .arg(c.dbVer)
                         .arg(kSchemaVersion);
        return false;
    }
    if (dbVer) *dbVer = c.dbVer;
    if (fraction) fraction(1.0);
    return true;
}

// Forces a written file (or a folder's entries) to the disk.
bool syncToDisk(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Progress reported from more than one thread: one call at a time, never going back, nor
// back to a stage it already left (a thread may report a stage it read just before
// another thread moved on).
// Workers report very often (every few kilobytes compressed); the window hears of it when
// the percentage or the stage changes, or at least every kHeartbeatMs while work goes on.
class SharedProgress {
public:
    static constexpr int kHeartbeatMs = 40;
    SharedProgress(const BackupProgress& p) : m_progress(p) { m_since.start(); }
    bool operator()(int percent, const QString& stage) {
        std::lock_guard<std::mutex> lock(m_mutex);
        percent = std::max(m_last, percent);
        const QString shown = stage != m_stage && m_left.contains(stage) ? m_stage : stage;
        if (percent == m_last && shown == m_stage && m_since.elapsed() < kHeartbeatMs)
            return !m_cancelled;
        if (shown != m_stage) m_left << m_stage;
        m_last = percent;
        m_stage = shown;
        m_since.restart();
        if (!report(m_progress, m_last, m_stage)) m_cancelled = true;
        return !m_cancelled;
    }
    bool cancelled() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_cancelled;
    }

private:
    const BackupProgress& m_progress;
    std::mutex m_mutex;
    int m_last = -1;
    QString m_stage;
    QStringList m_left;
    QElapsedTimer m_since;
    bool m_cancelled = false;
};

// A file handed to the archive that counts what the compressor reads of it, so the
// compression reports its progress as it goes (and stops when `read` returns false).
struct CountedFile {
    QFile file;
    std::function<bool(qint64)> read;
    zip_error_t error;
};

zip_int64_t countedFileSource(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
    auto* f = static_cast<CountedFile*>(state);
    switch (cmd) {
    case ZIP_SOURCE_OPEN:
        if (!f->file.open(QIODevice::ReadOnly)) {
            zip_error_set(&f->error, ZIP_ER_OPEN, 0);
            return -1;
        }
        return 0;
    case ZIP_SOURCE_READ: {
        const qint64 n = f->file.read(static_cast<char*>(data), qint64(len));
        if (n < 0) {
            zip_error_set(&f->error, ZIP_ER_READ, 0);
            return -1;
        }
        if (f->read && !f->read(n)) {
            zip_error_set(&f->error, ZIP_ER_CANCELLED, 0);
            return -1;
        }
        return n;
    }
    case ZIP_SOURCE_CLOSE:
        f->file.close();
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        const QFileInfo fi(f->file.fileName());
        st->size = zip_uint64_t(fi.size());
        st->mtime = time_t(fi.lastModified().toSecsSinceEpoch());
        st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&f->error, data, len);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&f->error);
        delete f;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                              -1);
    default:
        zip_error_set(&f->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

zip_source_t* countedFile(zip_t* z, const QString& path, std::function<bool(qint64)> read) {
    auto* f = new CountedFile{QFile(path), std::move(read), {}};
    zip_error_init(&f->error);
    zip_source_t* src = zip_source_function(z, countedFileSource, f);
    if (!src) {
        zip_error_fini(&f->error);
        delete f;
    }
    return src;
}
} // namespace

namespace {
const QString kIncomplete = QStringLiteral(".incomplete");
const QString kRestoreKeep = QStringLiteral("before-restore_");

// The newest change of a scrap: the entry itself or anything directly in it.
QDateTime lastChange(const QFileInfo& fi) {
    QDateTime newest = fi.lastModified();
    if (fi.isDir())
        for (const QFileInfo& in : QDir(fi.absoluteFilePath())
                                       .entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
            newest = qMax(newest, in.lastModified());
    return newest;
}

void pruneRestoreKeeps(const QString& dir) {
    const QFileInfoList keeps = QDir(dir).entryInfoList({kRestoreKeep + QStringLiteral("*")},
                                                        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    int whole = 0;
    for (const QFileInfo& fi : keeps) {
        if (fi.fileName().endsWith(kIncomplete)) continue;
        if (++whole > kKeptRestores) QDir(fi.absoluteFilePath()).removeRecursively();
    }
}
} // namespace

void CleanBackupScraps(const QString& dir) {
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) return;
    const QDateTime stale = QDateTime::currentDateTime().addSecs(-kScrapAgeSecs);
    const QFileInfoList entries =
        QDir(dir).entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& fi : entries) {
        const QString n = fi.fileName();
        const bool scrapDir = fi.isDir() && !fi.isSymLink() &&
                              (n.startsWith(QStringLiteral(".backup-")) || n.startsWith(QStringLiteral(".verify-")) ||
                               n.startsWith(QStringLiteral("server-copy-")) ||
                               (n.startsWith(kRestoreKeep) && n.endsWith(kIncomplete)));
        const bool scrapFile = fi.isFile() && (n.endsWith(QStringLiteral(".zip.part")) ||
                                               n.contains(QStringLiteral(".zip.part.")) ||
                                               n.endsWith(QStringLiteral(".db.restoring")));
        if ((!scrapDir && !scrapFile) || lastChange(fi) > stale) continue;
        qCInfo(lcStartup, "removing what an ended backup or restore left: %s", qPrintable(fi.absoluteFilePath()));
        if (scrapDir)
            QDir(fi.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(fi.absoluteFilePath());
    }
    pruneRestoreKeeps(dir);
}

bool VerifyBackupArchive(const QString& archivePath, QString* error, QString* dbVer,
                         const BackupProgress& progress, int from, int to) {
    // Reading (and unpacking) the entries takes the first third of the range, the check the rest.
    const int mid = from + (to - from) / 3;
    QTemporaryDir tmp(QFileInfo(archivePath).absolutePath() + QStringLiteral("/.verify-XXXXXX"));
    QTemporaryDir fallback;
    const QString db = (tmp.isValid() ? tmp.path() : fallback.path()) + u'/' + kMainDb;
    if (!readEntries(archivePath, db, error, [&](qint64 done, qint64 total) {
            if (total > 0)
                report(progress, from + int((mid - from) * done / total), QStringLiteral("verify"));
        }))
        return false;
    return checkMemberDatabase(
        db, error, dbVer,
        [&](double f) { report(progress, mid + int((to - mid) * f), QStringLiteral("verify")); },
        kCheckWorkers);
}

bool WriteBackupArchive(const QString& dbFolder, const QString& archivePath,
                        const BackupProgress& progress, QString* error,
                        const std::function<void()>& copied) {
    QString why;
    const QString part = archivePath + QStringLiteral(".part");
    QDir().mkpath(QFileInfo(archivePath).absolutePath());
    CleanBackupScraps(QFileInfo(archivePath).absolutePath());
    QTemporaryDir tmp(QFileInfo(archivePath).absolutePath() + QStringLiteral("/.backup-XXXXXX"));
    auto fail = [&](const QString& reason) {
        QFile::remove(part);
        if (error) *error = reason;
        return false;
    };
    if (!tmp.isValid())
        return fail(QFileInfo(archivePath).absolutePath() + QStringLiteral(" 폴더에 쓸 수 없습니다"));
    if (!report(progress, 0, QStringLiteral("snapshot"))) return fail(QStringLiteral("취소되었습니다"));

    // 0..20: the consistent copy of the database.
    QList<QPair<QString, QString>> entries;
    const QString mainCopy = tmp.path() + u'/' + kMainDb;
    if (!SnapshotDatabase(
            dbFolder + u'/' + kMainDb, mainCopy,
            [&](int done, int total) {
                return report(progress, total ? done * 20 / total : 20, QStringLiteral("snapshot"));
            },
            &why))
        return fail(why);
    entries << qMakePair(kMainDb, mainCopy);
    if (QFile::exists(dbFolder + u'/' + kPostDb)) {
        const QString postCopy = tmp.path() + u'/' + kPostDb;
        if (!SnapshotDatabase(dbFolder + u'/' + kPostDb, postCopy, {}, &why)) return fail(why);
        entries << qMakePair(kPostDb, postCopy);
    }
    // The settings copies are copied too: the program, free to start again from here on,
    // replaces them when it closes.
    for (const QFileInfo& fi :
         QDir(dbFolder).entryInfoList({QStringLiteral("환경설정_*.mdb")}, QDir::Files)) {
        const QString copy = tmp.path() + u'/' + fi.fileName();
        QFile in(fi.absoluteFilePath()), out(copy);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) ||
            out.write(in.readAll()) != in.size() || !out.flush())
            return fail(fi.absoluteFilePath() + QStringLiteral(" 파일을 복사할 수 없습니다"));
        out.setFileTime(fi.lastModified(), QFileDevice::FileModificationTime);
        entries << qMakePair(fi.fileName(), copy);
    }
    if (copied) copied();
    if (!report(progress, 20, QStringLiteral("compress"))) return fail(QStringLiteral("취소되었습니다"));

    // 20..99: the copy is checked on two connections (threads) while a third compresses it,
    // reads the written archive back against its checksums and puts it on the disk. The
    // checksums are taken from the same copy, so an archive whose entries match them holds
    // exactly the database that passed the check.
    SharedProgress shared(progress);
    std::atomic<double> compressed{0}, reread{0}, checked{0};
    auto parallelStep = [&] {
        // Shares of the processor time as measured: compressing 2, reading back 1, the check
        // on its two connections 7.
        const double done = (2 * compressed.load() + reread.load() + 7 * checked.load()) / 10;
        return shared(20 + int(79 * done), compressed.load() < 1 ? QStringLiteral("compress")
                                                                 : QStringLiteral("verify"));
    };
    QString checkError;
    bool checkOk = false;
    std::thread checker([&] {
        checkOk = checkMemberDatabase(
            mainCopy, &checkError, nullptr,
            [&](double f) {
                checked = f;
                parallelStep();
            },
            kCheckWorkers);
    });
    int err = 0;
    bool zipOk = false;
    qint64 entryBytes = 0, readBytes = 0;
    for (const auto& entry : entries)
        entryBytes += QFileInfo(entry.second).size();
    zip_t* z = zip_open(QFile::encodeName(part).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) why = part + QStringLiteral(" 파일을 만들 수 없습니다");
    for (const auto& [name, path] : entries) {
        if (!z) break;
        zip_source_t* src = countedFile(z, path, [&](qint64 n) {
            readBytes += n;
            compressed = entryBytes > 0 ? std::min(1.0, double(readBytes) / entryBytes) : 1.0;
            return parallelStep();
        });
        const zip_int64_t idx =
            src ? zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) : -1;
        if (idx < 0) {
            if (src) zip_source_free(src);
            why = zipError(z);
            zip_discard(z);
            z = nullptr;
            break;
        }
        zip_set_file_compression(z, zip_uint64_t(idx), ZIP_CM_DEFLATE, 1);
    }
    if (z) {
        zipOk = zip_close(z) == 0;
        if (!zipOk) {
            why = zipError(z);
            zip_discard(z);
        }
    }
    compressed = 1.0;
    bool readOk = false;
    if (zipOk && !shared.cancelled())
        readOk = readEntries(part, {}, &why, [&](qint64 done, qint64 total) {
            if (total > 0) reread = double(done) / total;
            parallelStep();
        });
    // The archive goes to the disk while the check may still run: writing waits for the
    // disk, the check for the processor.
    const bool synced = readOk && syncToDisk(part);
    checker.join();
    if (shared.cancelled()) return fail(QStringLiteral("취소되었습니다"));
    if (!zipOk) return fail(why);
    if (!readOk)
        return fail(QStringLiteral("저장한 백업 파일을 다시 읽어 검사하지 못했습니다. ") + why);
    if (!checkOk)
        return fail(QStringLiteral("백업할 데이터베이스의 검사에서 문제가 발견되었습니다. ") +
                    checkError);
    if (!synced)
        return fail(part + QStringLiteral(" 파일을 디스크에 기록할 수 없습니다"));
    if (!renameOver(part, archivePath, &why)) return fail(why);
    syncToDisk(QFileInfo(archivePath).absolutePath());
    report(progress, 100, QStringLiteral("done"));
    return true;
}

bool RestoreBackupArchive(const QString& archivePath, const QString& dbFolder,
                          const QString& keepRoot, const BackupProgress& progress, QString* error,
                          QString* keptIn) {
    QString why;
    auto fail = [&](const QString& reason) {
        if (error) *error = reason;
        return false;
    };
    // Unpacked beside the old files (same file system, so the swap is a rename), in the
    // same pass that checks every entry; then the unpacked database itself is checked.
    const QString mainNew = dbFolder + u'/' + kMainDb + QStringLiteral(".restoring");
    const QString postNew = dbFolder + u'/' + kPostDb + QStringLiteral(".restoring");
    auto cleanup = [&] {
        QFile::remove(mainNew);
        QFile::remove(postNew);
    };
    report(progress, 0, QStringLiteral("unpack"));
    QDir().mkpath(dbFolder); // a computer that has no data yet
    CleanBackupScraps(dbFolder);
    if (QFileInfo(keepRoot).absoluteFilePath() != QFileInfo(dbFolder).absoluteFilePath())
        CleanBackupScraps(keepRoot);
    if (!readEntries(archivePath, mainNew, &why, [&](qint64 done, qint64 total) {
            if (total > 0) report(progress, int(25 * done / total), QStringLiteral("unpack"));
        })) {
        cleanup();
        return fail(why);
    }
    // 25..80: the unpacked database is checked (on two connections) while this thread keeps
    // the old database as it is, log files included. Both must succeed before anything changes.
    const QString kept = keepRoot + QStringLiteral("/before-restore_") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    // Filled under a name that says it is not whole; renamed once every copy is on the disk.
    const QString keep = kept + kIncomplete;
    const bool keepRootExisted = QFileInfo::exists(keepRoot);
    bool keepWhole = false;
    auto dropKeep = [&] {
        QDir(keep).removeRecursively(); // nothing was changed: the copies are not needed
        if (keepWhole) QDir(kept).removeRecursively();
        if (!keepRootExisted) QDir().rmdir(keepRoot);
    };
    QDir(keep).removeRecursively();
    if (!QDir().mkpath(keep)) {
        cleanup();
        dropKeep();
        return fail(keep + QStringLiteral(" 폴더를 만들 수 없습니다"));
    }
    SharedProgress shared(progress);
    std::atomic<double> checked{0}, copied{0};
    auto step = [&] {
        // Shares of the work as measured: the check 3, the copy 1.
        return shared(25 + int(55 * (3 * checked.load() + copied.load()) / 4),
                      checked.load() < 1 ? QStringLiteral("check") : QStringLiteral("keep"));
    };
    QString checkError;
    bool checkOk = false;
    std::thread checker([&] {
        checkOk = checkMemberDatabase(
            mainNew, &checkError, nullptr,
            [&](double f) {
                checked = f;
                step();
            },
            kCheckWorkers);
    });
    const QStringList oldFiles = {kMainDb, kMainDb + QStringLiteral("-wal"),
                                  kMainDb + QStringLiteral("-journal"),
                                  kMainDb + QStringLiteral("-shm"), kPostDb};
    qint64 oldBytes = 0, copiedBytes = 0;
    for (const QString& name : oldFiles)
        oldBytes += QFileInfo(dbFolder + u'/' + name).size();
    QString copyError;
    for (const QString& name : oldFiles) {
        const QString from = dbFolder + u'/' + name;
        if (QFile::exists(from) && !copyFile(from, keep + u'/' + name, [&](qint64 n) {
                copiedBytes += n;
                copied = oldBytes > 0 ? double(copiedBytes) / oldBytes : 1.0;
                step();
            })) {
            copyError =
                QStringLiteral("이전 ") + name + QStringLiteral(" 파일을 ") + keep + QStringLiteral(" 폴더에 보관할 수 없습니다");
            break;
        }
    }
    copied = 1.0;
    for (const QString& name : oldFiles)
        if (copyError.isEmpty() && QFile::exists(keep + u'/' + name) && !syncToDisk(keep + u'/' + name))
            copyError = QStringLiteral("이전 ") + name + QStringLiteral(" 파일을 디스크에 기록할 수 없습니다");
    if (copyError.isEmpty() && (QFileInfo::exists(kept) || !QDir().rename(keep, kept)))
        copyError = keep + QStringLiteral(" 폴더의 이름을 바꿀 수 없습니다");
    keepWhole = copyError.isEmpty();
    if (keepWhole) syncToDisk(keepRoot);
    // The new file goes to the disk while the check still runs (it is only read from now on).
    if (copyError.isEmpty() && !syncToDisk(mainNew))
        copyError = QStringLiteral("복구한 데이터베이스를 디스크에 기록할 수 없습니다");
    checker.join();
    if (!checkOk || !copyError.isEmpty()) {
        cleanup();
        dropKeep();
        return fail(checkOk ? copyError : checkError);
    }
    bool hasPost = ExtractZipEntry(archivePath, kPostDb, postNew, nullptr);
    if (hasPost && !CheckDatabaseFile(postNew, {QStringLiteral("Post")}).hasTables) {
        QFile::remove(postNew);
        hasPost = false;
    }
    if (keptIn) *keptIn = kept;
    // No log may outlive the file it belongs to: fold it into the old file first.
    if (QFile::exists(dbFolder + u'/' + kMainDb) &&
        !SettleDatabaseFile(dbFolder + u'/' + kMainDb, &why)) {
        cleanup();
        dropKeep();
        if (keptIn) keptIn->clear();
        return fail(why);
    }
    report(progress, 80, QStringLiteral("swap"));
    // The new file is on the disk before it takes the old one's name.
    if (hasPost && !syncToDisk(postNew)) {
        cleanup();
        return fail(QStringLiteral("복구한 데이터베이스를 디스크에 기록할 수 없습니다"));
    }
    if (!renameOver(mainNew, dbFolder + u'/' + kMainDb, &why)) {
        cleanup();
        return fail(why);
    }
    QFile::remove(dbFolder + u'/' + kMainDb + QStringLiteral("-shm"));
    if (hasPost) renameOver(postNew, dbFolder + u'/' + kPostDb, nullptr);
    cleanup();
    syncToDisk(dbFolder);
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
    pruneRestoreKeeps(keepRoot);
    report(progress, 100, QStringLiteral("done"));
    return true;
}

QStringList BackupArchives(const QString& dir, const QString& prefix) {
    QStringList out;
    const auto infos = QDir(dir).entryInfoList({prefix + QStringLiteral("*.zip")}, QDir::Files,
                                               QDir::Name | QDir::Reversed);
    for (const QFileInfo& fi : infos)
        out << fi.absoluteFilePath();
    return out;
}

void PruneBackupArchives(const QString& dir, const QString& prefix, int keep) {
    const QStringList all = BackupArchives(dir, prefix);
    for (int i = keep; i < all.size(); ++i)
        QFile::remove(all[i]);
}
