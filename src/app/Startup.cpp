#include "app/Startup.h"

#include "app/ClientShare.h"
#include "app/ServerConnect.h"

#include "core/AppState.h"
#include "core/PrivateData.h"
#include "core/Log.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "ui/LockWaitCursor.h"
#include "core/Prompt.h"
#include "reports/PrintService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStorageInfo>
#include <QThread>

#include <sys/stat.h>

namespace {

const QString SecEnv = QStringLiteral("환경설정");
const QString SecConfig = QStringLiteral("Config");
const QString KeyCSType = QStringLiteral("CSType");
const QString KeyNetPath = QStringLiteral("네트웍경로");
const QString KeyNetDrive = QStringLiteral("네트웍드라이브");
const QString KeyDbPath = QStringLiteral("DB경로");
const QString DbFileName = QStringLiteral("dbMain.db");

// A settings number counts as its leading integer; anything else as 0.
int leadingInt(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) ++i;
    while (i < t.size() && t[i].isDigit())
        ++i;
    bool ok = false;
    const int v = t.left(i).toInt(&ok);
    return ok ? v : 0;
}

bool folderExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString localDbFolder() {
    return App().appDir + QStringLiteral("/DBS");
}

// The mount point of the server's share plays the part of the mapped drive: the stored
// drive when the database folder lies inside it, otherwise the folder holding the database
// folder (DB경로 is written as drive + "/DBS").
QString driveOf(const QString& dbFolder, const QString& storedDrive) {
    const QString clean = QDir::cleanPath(dbFolder);
    const QString stored = QDir::cleanPath(storedDrive);
    if (!storedDrive.isEmpty() && clean.startsWith(stored + u'/')) return stored;
    const QFileInfo fi(clean);
    return fi.path() == clean ? clean : fi.path();
}

void showConnectionFailure(const QString& file) {
    if (IsDamageCode(LastDbErrorCode())) {
        // The cause already names the file and what to do about it.
        MsgInfo(QStringLiteral("데이터베이스에 연결할 수 없어 프로그램을 종료합니다.") +
                QStringLiteral("\n\n") + LastDbError());
        return;
    }
    // The cause line is Korean and names the file; the engine's text went to the log.
    QString cause = LastDbError().trimmed();
    const QString fileLine = QStringLiteral("파일: ") + file;
    cause.remove(QStringLiteral("\n") + fileLine);
    MsgInfo(QStringLiteral("데이터베이스에 연결할 수 없어 프로그램을 종료합니다.") +
            QStringLiteral("\n\n") + fileLine + QStringLiteral("\n") + QStringLiteral("원인: ") +
            (cause.isEmpty() ? QStringLiteral("알 수 없는 오류") : cause));
}

} // namespace

QString ServerNotFoundText() {
    const QStringList lines = {
        QStringLiteral("서버 컴퓨터를 찾을 수 없습니다."),
        QStringLiteral("다음 사항을 확인바랍니다."),
        QString(),
        QStringLiteral("1. 서버컴퓨터가 켜져 있는지 확인하세요."),
        QString(),
        QStringLiteral("2. 서버컴퓨터를 현 컴퓨터보다 늦게 켰는지 확인하세요."),
        QStringLiteral("   서버컴퓨터는 항상 제일 먼저 켜야 하며,"),
        QStringLiteral("   완전히 부팅후 다른 컴퓨터를 켜야 합니다."),
        QString(),
        QStringLiteral("3. 서버컴퓨터의 이름이 바뀌었는지 확인하세요."),
        QString(),
        QStringLiteral("4. 서버컴퓨터를 다른 컴퓨터로 이전 했는지 확인하세요."),
        QString(),
        QStringLiteral("5. 위 모든 사항이 아니라면 파일 관리자에서"),
        QStringLiteral("   서버컴퓨터의 공유 폴더가 연결(마운트)되어 있는지 확인하세요."),
        QStringLiteral("   서버컴퓨터를 찾을수 없거나 접근이 불가능하다면"),
        QStringLiteral("   네트워크 장애이므로 컴퓨터를 구매한 곳이나"),
        QStringLiteral("   네트워크 공사를 한 업체에 문의하셔서 장애를 복구하시면 됩니다."),
    };
    return lines.join(u'\n');
}

namespace {
// The share at `drive`, or else at `networkPath`, when reachable; "" otherwise. With
// `retry` a failed check is repeated once after a short wait.
QString reachableShare(const QString& networkPath, const QString& drive, bool retry) {
    const QString target = drive.isEmpty() ? networkPath : drive;
    const bool alsoNetPath = !drive.isEmpty() && !networkPath.isEmpty() && networkPath != drive;
    for (int attempt = 0; attempt < (retry ? 2 : 1); ++attempt) {
        if (attempt > 0) QThread::msleep(300);
        if (IsShareReachable(target)) return target;
        if (alsoNetPath && IsShareReachable(networkPath)) return networkPath;
    }
    return {};
}

bool resolveMissingDatabase(const QString& file);
} // namespace

bool IsShareReachable(const QString& path) {
    if (path.isEmpty()) return false;
    const QFileInfo fi(path);
    if (!fi.isDir() || !fi.isReadable()) return false;
    if (QFileInfo(path + QStringLiteral("/DBS")).isDir()) return true;
    // A mount point of its own (the share mounted there) counts even before DBS exists.
    const QStorageInfo storage(fi.absoluteFilePath());
    return storage.isValid() && storage.isReady() &&
           QDir::cleanPath(storage.rootPath()) == fi.canonicalFilePath();
}

QString RemapNetworkDrive(const QString& networkPath, const QString& password, const QString& drive,
                          bool retry) {
    Q_UNUSED(password);
    // Without a drive the share may be named by its local path directly. The stored drive
    // first; when it is gone but the network path itself is reachable (the share mounted
    // somewhere else), that path is the share.
    const QString found = reachableShare(networkPath, drive, retry);
    if (!found.isEmpty()) return found;
    const QString target = drive.isEmpty() ? networkPath : drive;
    const bool alsoNetPath = !drive.isEmpty() && !networkPath.isEmpty() && networkPath != drive;
    QString text = target + QStringLiteral(" ") + QStringLiteral("드라이브 연결이 실패되었습니다.");
    if (alsoNetPath)
        text += QStringLiteral("\n\n") + QStringLiteral("확인한 경로:") + QStringLiteral("\n") +
                drive + QStringLiteral("\n") + networkPath;
    MsgInfo(text);
    return {};
}

bool ReadOptions() {
    if (!IsDatabaseOpen()) {
        ReportTrappedError(91, QStringLiteral("데이터베이스가 열려 있지 않습니다."),
                           QStringLiteral("ReadOptions"), QStringLiteral("modMain"), true);
        return false;
    }
    // GetOption creates each missing row with its default, so later SetOption calls find it.
    App().friendCode = GetOption(QStringLiteral("friendcode"), QStringLiteral("0"));
    App().start = GetOption(QStringLiteral("start"), QStringLiteral("0"));
    App().pointIndex = GetOption(QStringLiteral("pointindex"), QStringLiteral("0"));
    App().point = GetOption(QStringLiteral("point"), QStringLiteral("10"));
    if (CountRows(QStringLiteral("options"), QStringLiteral("optname = ?"),
                  {QStringLiteral("point")}) < 1) {
        ReportTrappedError(3027, QStringLiteral("옵션을 저장할 수 없습니다. ") + LastDbError(),
                           QStringLiteral("ReadOptions"), QStringLiteral("modMain"), true);
        return false;
    }
    App().duplicateMemberCheck =
        Settings::get(SecConfig, QStringLiteral("MEMBER_REPETITION")) != QStringLiteral("0");
    return true;
}

bool InitApp() {
    // The print service every list prints through, under the application title.
    InstallPrintService(App().appTitle);
    if (ServerEngineChosen()) {
        // Several PCs on one database server: no file, no share to mount.
        App().sharedDatabase = true;
        App().dbFolder = localDbFolder();
        return OpenServerDatabase() && ReadOptions();
    }
    App().clientMode =
        leadingInt(Settings::getIn(App().appTitle, SecEnv, KeyCSType, QStringLiteral("0")));
    // A stored CSType means the network setup chose server or client: either way the
    // file is shared by several PCs.
    App().sharedDatabase =
        App().clientMode != 0 || Settings::contains(App().appTitle, SecEnv, KeyCSType);

    bool localThisRun = false; // a client that could not reach its share uses this PC's file
    if (App().clientMode != 0) {
        QString folder = Settings::getIn(App().appTitle, SecConfig, KeyDbPath, localDbFolder());
        if (folder.isEmpty()) {
            folder = localDbFolder();
            Settings::set(SecConfig, KeyDbPath, folder);
        }
        if (!folderExists(folder)) {
            const QString netPath = Settings::get(SecEnv, KeyNetPath);
            const QString netDrive = Settings::get(SecEnv, KeyNetDrive);
            // With either value missing nothing is reconnected; opening then fails below.
            if (!netPath.isEmpty() && !netDrive.isEmpty()) {
                // The share is mounted by the system, so there is no old connection to drop.
                const QString tried = driveOf(folder, netDrive);
                QString drive = reachableShare(netPath, tried, false);
                while (drive.isEmpty()) {
                    switch (AskShareGone(tried, netPath)) {
                    case ShareGone::Retry:
                        drive = reachableShare(netPath, tried, true);
                        continue;
                    case ShareGone::NetworkSetup:
                        // Saved settings are used at once: the start begins again with them.
                        if (OpenNetworkSetupAtStart()) return InitApp();
                        continue;
                    case ShareGone::LocalDatabase:
                        localThisRun = true;
                        break;
                    case ShareGone::Quit:
                        return false;
                    }
                    break;
                }
                if (!localThisRun && drive != netDrive) {
                    folder = drive + QStringLiteral("/DBS");
                    Settings::set(SecConfig, KeyDbPath, folder);
                    Settings::set(SecEnv, KeyNetDrive, drive);
                }
            }
        }
        App().dbFolder = QDir::cleanPath(folder);
    }
    if (localThisRun) {
        // This run only; the client settings stay for the next start.
        App().clientMode = 0;
        App().sharedDatabase = false;
        App().dbFolder = localDbFolder();
        const QString file = App().dbFolder + u'/' + DbFileName;
        if (!QFileInfo::exists(file) && !resolveMissingDatabase(file)) return false;
    } else if (App().clientMode == 0) {
        App().dbFolder = localDbFolder();
        Settings::set(SecConfig, KeyDbPath, App().dbFolder);
        if (!folderExists(App().dbFolder)) {
            MsgInfo(QStringLiteral("데이터베이스 파일을 찾을수 없습니다.") + QStringLiteral("\n") +
                    App().dbFolder);
            return false;
        }
    }

    // OpenDatabase never creates a file: a missing, unreadable, foreign or locked file
    // fails here and is reported once, with the file and the cause, before the end.
    // A file named with --database is used for this run instead of the usual one.
    const QString file = DatabaseSwitch().isEmpty() ? App().dbFolder + u'/' + DbFileName : DatabaseSwitch();
    // The embedded engine has no database password.
    if (!OpenDatabase(file, QString(), false, false)) {
        showConnectionFailure(file);
        return false;
    }
    App().dbFile = file;
    if (DatabaseReadOnly())
        MsgInfo(QStringLiteral("데이터베이스 파일이 읽기 전용이라 자료를 저장할 수 없습니다.") +
                QStringLiteral("\n") + QStringLiteral("파일: ") + file + QStringLiteral("\n") +
                QStringLiteral("파일의 읽기 전용 속성과 폴더의 쓰기 권한을 확인하세요."));
    return ReadOptions();
}

Startup::Startup() = default;

Startup::~Startup() = default;

bool Startup::acquireSingleCopy() {
    QDir().mkpath(App().appDir);
    m_lock = std::make_unique<QLockFile>(App().appDir + QStringLiteral("/memberdesk.lock"));
    // A lock left by a copy that crashed is stale (its process is gone) and is taken over.
    bool locked = m_lock->tryLock(0);
    if (!locked && m_lock->error() == QLockFile::LockFailedError) {
        // A copy killed between creating the lock file and writing its owner leaves a file
        // that names no process. Give a copy starting right now time to write it; a file
        // that still names nobody is abandoned.
        qint64 pid = 0;
        QString host, app;
        if (!m_lock->getLockInfo(&pid, &host, &app)) {
            locked = m_lock->tryLock(300);
            if (!locked && !m_lock->getLockInfo(&pid, &host, &app)) {
                m_lock->removeStaleLockFile();
                locked = m_lock->tryLock(0);
            }
        }
    }
    if (!locked) {
        const bool heldByOther = m_lock->error() == QLockFile::LockFailedError;
        m_lock.reset();
        if (heldByOther)
            MsgInfo(QStringLiteral("이미 프로그램이 실행 중입니다."), App().appTitle);
        else // not another copy: the data folder cannot be written
            MsgInfo(QStringLiteral("데이터 폴더를 만들거나 쓸 수 없어 프로그램을 종료합니다.") +
                        QStringLiteral("\n\n") + QStringLiteral("폴더: ") + App().appDir,
                    App().appTitle);
        return false;
    }
    return true;
}

namespace {

// What a first start leaves when it is interrupted before the new database is in place:
// nothing, or the creation's own files.
bool onlyCreationLeftovers(const QString& folder) {
    if (!folderExists(folder)) return true;
    const QStringList names = QDir(folder).entryList(
        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    const QString temp = QFileInfo(CreationTempPath(DbFileName)).fileName();
    for (const QString& n : names)
        if (!n.startsWith(temp) && n != DbFileName + QStringLiteral("-journal")) return false;
    return true;
}

// The database file is missing although this is not a first start (the file was moved or
// renamed, a disk is not mounted). Never replaced without the user's word: choose the
// file, create an empty one after a second question, or quit. True when a database is in
// place afterwards.
bool resolveMissingDatabase(const QString& file) {
    const Prompt::Answer a = AskYesNoCancel(
        QStringLiteral("데이터베이스 파일이 없습니다.") + QStringLiteral("\n") + file +
            QStringLiteral("\n\n") +
            QStringLiteral(
                "파일을 옮겼거나 이름을 바꾸었거나, 디스크가 연결되지 않았을 수 있습니다.") +
            QStringLiteral("\n\n") + QStringLiteral("예: 데이터베이스 파일을 직접 선택합니다.") +
            QStringLiteral("\n") + QStringLiteral("아니오: 새 빈 데이터베이스를 만듭니다.") +
            QStringLiteral("\n") + QStringLiteral("취소: 프로그램을 종료합니다."),
        QStringLiteral("데이터베이스 없음"), Prompt::Answer::Cancel);
    if (a == Prompt::Answer::Yes) {
        const QString chosen =
            prompt().openFileName(QStringLiteral("데이터베이스 파일 선택"), QFileInfo(file).path(),
                                  QStringLiteral("데이터베이스 (*.db);;모든 파일 (*)"));
        if (chosen.isEmpty()) return false;
        QString error;
        if (!CopyDatabaseFile(chosen, file, &error)) {
            MsgInfo(
                QStringLiteral("선택한 파일을 데이터베이스로 쓸 수 없어 프로그램을 종료합니다.") +
                QStringLiteral("\n\n") + QStringLiteral("파일: ") + chosen + QStringLiteral("\n") +
                QStringLiteral("원인: ") + error);
            return false;
        }
        return true;
    }
    if (a != Prompt::Answer::No) return false;
    if (!AskYesNo(
            QStringLiteral("새 빈 데이터베이스를 만들면 지금까지의 자료는 이 프로그램에서 보이지 "
                           "않습니다.") +
                QStringLiteral("\n\n") + QStringLiteral("정말 새 데이터베이스를 만드시겠습니까?"),
            QStringLiteral("데이터베이스 없음"), false))
        return false;
    QString error;
    if (!QDir().mkpath(QFileInfo(file).path()) || !CreateNewDatabase(file, &error)) {
        MsgInfo(QStringLiteral("새 데이터베이스를 만들 수 없어 프로그램을 종료합니다.") +
                QStringLiteral("\n\n") + QStringLiteral("파일: ") + file + QStringLiteral("\n") +
                QStringLiteral("원인: ") + error);
        return false;
    }
    return true;
}

} // namespace

bool Startup::prepareDataFolder() {
    const QDir data(App().appDir);
    for (const char* sub : {"FormIni", "log", "ExpExcel", "Image", "doc"})
        data.mkpath(QString::fromLatin1(sub));

    // The first stand-alone start creates the database; client mode never creates one
    // (the database lives on the server), and neither does a start on a database server.
    if (ServerEngineChosen()) return true;
    if (leadingInt(Settings::getIn(App().appTitle, SecEnv, KeyCSType, QStringLiteral("0"))) != 0)
        return true;
    const QString file = localDbFolder() + u'/' + DbFileName;
    // Whatever lies under the database's name (an empty file, a folder) is opened or
    // refused with its cause, never removed: creation builds beside it and renames.
    if (QFileInfo::exists(file)) return true;

    // Only a true first start creates a database silently: no folder was ever stored, and
    // the database folder holds nothing but what an interrupted creation left.
    const bool firstStart =
        Settings::getIn(App().appTitle, SecConfig, KeyDbPath, QString()).isEmpty() &&
        onlyCreationLeftovers(localDbFolder());
    if (!firstStart) return resolveMissingDatabase(file);
    QString error;
    if (!data.mkpath(QStringLiteral("DBS")) || !CreateNewDatabase(file, &error)) {
        MsgInfo(QStringLiteral("새 데이터베이스를 만들 수 없어 프로그램을 종료합니다.") +
                QStringLiteral("\n\n") + QStringLiteral("파일: ") + file + QStringLiteral("\n") +
                QStringLiteral("원인: ") +
                (error.isEmpty() ? QStringLiteral("폴더를 만들 수 없습니다.") : error));
        return false;
    }
    return true;
}

namespace {

// Members' personal data stays with the user who runs the program: every file made from
// now on is 0600 and every folder 0700 (database, key, backups, exports, logs), and a data
// folder made by an earlier version is closed the same way.
void makeDataPrivate() {
    ::umask(077);
    const QFileDevice::Permissions folder = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    const QFileDevice::Permissions file = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const QDir data(App().appDir);
    if (!data.exists()) return;
    QFile::setPermissions(App().appDir, folder);
    for (const QFileInfo& fi : data.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (fi.isSymLink()) continue;
        QFile::setPermissions(fi.filePath(), fi.isDir() ? folder : file);
        if (!fi.isDir()) continue;
        for (const QFileInfo& in : QDir(fi.filePath()).entryInfoList(QDir::Files | QDir::Hidden))
            if (!in.isSymLink()) QFile::setPermissions(in.filePath(), file);
    }
}

} // namespace

bool Startup::run() {
    makeDataPrivate();
    if (!acquireSingleCopy()) return false;
    InstallLockWaitCursor();
    // The data-access check of other platforms is not needed: the database engine is
    // linked into the program, so there is nothing to check before opening.
    if (!prepareDataFolder()) return false;
    if (!InitApp()) {
        DBTerminate();
        return false;
    }
    if (!UpgradeSchema()) {
        DBTerminate();
        return false;
    }
    if (!DataKey::loaded())
        MsgInfo(QStringLiteral("주민번호 암호키 파일이 없거나 이 데이터베이스의 키가 아닙니다.") + QStringLiteral("\n") +
                QStringLiteral("주민번호는 \"") + NoKeyText() + QStringLiteral("\"으로 표시되며 고칠 수 없습니다.") +
                QStringLiteral("\n\n") + QStringLiteral("키 파일 위치: ") + DataKey::expectedPath() +
                QStringLiteral("\n\n") +
                QStringLiteral("이 데이터베이스를 쓰던 PC의 키 파일을 위 위치에 복사하거나, 네트워크 설정 창에서 "
                               "가져오세요."));
    return true;
}
