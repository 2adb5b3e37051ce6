#include "app/Startup.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "core/Prompt.h"
#include "reports/PrintService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStorageInfo>
#include <QThread>

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
    QString cause = LastDbError().trimmed();
    if (!QFileInfo::exists(file)) cause = QStringLiteral("데이터베이스 파일이 없습니다.");
    MsgInfo(QStringLiteral("데이터베이스에 연결할 수 없어 프로그램을 종료합니다.") +
            QStringLiteral("\n\n") + QStringLiteral("파일: ") + file + QStringLiteral("\n") +
            QStringLiteral("원인: ") +
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
        QStringLiteral("5. 위 모든 사항이 아니라면 윈도우탐색기에서"),
        QStringLiteral("   서버컴퓨터에 접근이 가능한지 확인하세요."),
        QStringLiteral("   서버컴퓨터를 찾을수 없거나 접근이 불가능하다면"),
        QStringLiteral("   네트워크 장애이므로 컴퓨터를 구매한 곳이나"),
        QStringLiteral("   네트워크 공사를 한 업체에 문의하셔서 장애를 복구하시면 됩니다."),
        QString(),
        QString(),
        QStringLiteral("※ 만약, 현 컴퓨터의 DB로 연결하고자 할 경우"),
        QStringLiteral("[헬프데스크]프로그램 창에서 [레지스트리 삭제]버튼을 클릭하시면 됩니다."),
    };
    return lines.join(u'\n');
}

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
    // Without a drive the share may be named by its local path directly.
    const QString target = drive.isEmpty() ? networkPath : drive;
    if (IsShareReachable(target)) return target;
    if (retry) {
        QThread::msleep(300);
        if (IsShareReachable(target)) return target;
    }
    MsgInfo(target + QStringLiteral("드라이브 연결이 실패되었습니다."));
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
    App().clientMode =
        leadingInt(Settings::get(App().appTitle, SecEnv, KeyCSType, QStringLiteral("0")));

    if (App().clientMode != 0) {
        QString folder = Settings::get(App().appTitle, SecConfig, KeyDbPath, localDbFolder());
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
                const QString drive =
                    RemapNetworkDrive(netPath, QString(), driveOf(folder, netDrive), false);
                if (drive.isEmpty()) {
                    MsgInfo(ServerNotFoundText());
                    return false;
                }
                if (drive != netDrive) {
                    folder = drive + QStringLiteral("/DBS");
                    Settings::set(SecConfig, KeyDbPath, folder);
                    Settings::set(SecEnv, KeyNetDrive, drive);
                }
            }
        }
        App().dbFolder = QDir::cleanPath(folder);
    } else {
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
    const QString file = App().dbFolder + u'/' + DbFileName;
    // The embedded engine has no database password.
    if (!OpenDatabase(file, QString(), false, false)) {
        showConnectionFailure(file);
        return false;
    }
    App().dbFile = file;
    return ReadOptions();
}

Startup::Startup() = default;

Startup::~Startup() = default;

bool Startup::acquireSingleCopy() {
    QDir().mkpath(App().appDir);
    m_lock = std::make_unique<QLockFile>(App().appDir + QStringLiteral("/memberdesk.lock"));
    // A lock left by a copy that crashed is stale (its process is gone) and is taken over.
    if (!m_lock->tryLock(0)) {
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

bool Startup::prepareDataFolder() {
    const QDir data(App().appDir);
    for (const char* sub : {"FormIni", "log", "ExpExcel", "Image", "doc"})
        data.mkpath(QString::fromLatin1(sub));

    // The first stand-alone start creates the database; client mode never creates one
    // (the database lives on the server).
    if (leadingInt(Settings::get(App().appTitle, SecEnv, KeyCSType, QStringLiteral("0"))) != 0)
        return true;
    const QString file = localDbFolder() + u'/' + DbFileName;
    const QFileInfo fi(file);
    if (fi.exists()) {
        // An empty file with no journal beside it is what an interrupted first start
        // leaves behind: it holds nothing, so it is replaced by a new database.
        const bool emptyLeftover = fi.isFile() && fi.size() == 0 &&
                                   !QFileInfo::exists(file + QStringLiteral("-journal")) &&
                                   !QFileInfo::exists(file + QStringLiteral("-wal"));
        if (!emptyLeftover || !QFile::remove(file)) return true;
    }
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

bool Startup::run() {
    if (!acquireSingleCopy()) return false;
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
    return true;
}
