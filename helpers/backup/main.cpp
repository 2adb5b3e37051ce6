// memberdesk-backup [SERVERUP | AS | HDDAUTO | UNZIP [HDDAUTO] [archive]] [--quiet]
//
// Reads the database folder from the hand-over setting (Backup / DB경로 / 경로) and, when
// MemberDesk works on a database server, the server's location (Backup / DB경로 / 서버): the
// backup then holds a copy of the server database as one moment, taken while other PCs go
// on working; a server database is never restored from here. Waits until
// MemberDesk has ended (its lock in the data folder is free), holds that lock while it
// works, and backs up or restores:
//   (none)    backup into a folder the user chooses; restore offered too
//   SERVERUP  backup into Backup/ beside the database folder
//   AS        support copy into a folder the user chooses
//   HDDAUTO   backup into the data folder's Backup/, the newest ten kept
//   UNZIP     restore a chosen archive (automatic backups listed first)
// --quiet shows no window (progress and result on stderr); the exit code is 0 on success.
#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "tools/BackupArchive.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QDateTime>
#include <QElapsedTimer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QLockFile>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTranslator>

#include <atomic>
#include <cstdio>

namespace {
bool g_quiet = false;
// MemberDesk's lock, held while the database is read; a backup gives it back once the
// database is copied, so MemberDesk can start again while the archive is made.
QLockFile* g_lock = nullptr;
std::atomic<bool> g_freeAgain{false};
const QString kTitle = QStringLiteral("MemberDesk 데이터백업");

// Korean buttons in Qt's own dialogs and the font MemberDesk uses, whatever LANG says.
void setUpLook() {
    QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
    auto* t = new QTranslator(qApp);
    if (t->load(QLocale(QLocale::Korean, QLocale::SouthKorea), QStringLiteral("qtbase"),
                QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(t);
    if (QFontDatabase::families().contains(QStringLiteral("NanumBarunGothic"))) {
        QFont f(QStringLiteral("NanumBarunGothic"));
        f.setPointSize(QApplication::font().pointSize());
        QApplication::setFont(f);
    }
}

// What the person reads for each step the archive code reports.
QString stageText(const QString& stage) {
    static const QHash<QString, QString> texts = {
        {QStringLiteral("server"), QStringLiteral("서버의 데이터베이스를 복사하고 있습니다")},
        {QStringLiteral("snapshot"), QStringLiteral("데이터베이스를 복사하고 있습니다")},
        {QStringLiteral("compress"), QStringLiteral("백업 파일로 압축하고 있습니다")},
        {QStringLiteral("verify"), QStringLiteral("백업 파일을 검사하고 있습니다")},
        {QStringLiteral("unpack"), QStringLiteral("백업 파일을 풀고 있습니다")},
        {QStringLiteral("check"), QStringLiteral("복구할 데이터베이스를 검사하고 있습니다")},
        {QStringLiteral("keep"), QStringLiteral("기존 자료를 보관하고 있습니다")},
        {QStringLiteral("swap"), QStringLiteral("자료를 바꾸고 있습니다")},
        {QStringLiteral("done"), QStringLiteral("마무리하고 있습니다")}};
    return texts.value(stage, stage);
}

void say(const QString& text, bool failure) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    if (g_quiet) return;
    QMessageBox box(failure ? QMessageBox::Warning : QMessageBox::Information, kTitle, text,
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// A progress window that stays until the work is done: the work cannot be stopped half
// way, so neither Escape nor the window's close button may hide it.
class WorkProgress : public QProgressDialog {
public:
    using QProgressDialog::QProgressDialog;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() != Qt::Key_Escape) QProgressDialog::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override { e->ignore(); }
};

// Runs `work` on a worker thread while a progress window (or stderr) shows its progress.
bool runWithProgress(const QString& label, const std::function<bool(const BackupProgress&)>& work) {
    WorkProgress dlg(label, QString(), 0, 100);
    dlg.setWindowTitle(kTitle);
    dlg.setMinimumDuration(0);
    dlg.setAutoClose(false);
    dlg.setAutoReset(false);
    dlg.setMinimumWidth(460);
    if (!g_quiet) dlg.show();
    bool result = false;
    const BackupProgress progress = [&dlg, label](int percent, const QString& stage) {
        QString text = label + QStringLiteral("\n\n") + stageText(stage) + QStringLiteral("...");
        if (g_freeAgain)
            text += QStringLiteral("\n\n데이터베이스 복사를 마쳤습니다.\n백업이 끝나기 전에도 "
                                   "MemberDesk를 다시 사용할 수 있습니다.");
        QMetaObject::invokeMethod(
            &dlg,
            [&dlg, percent, text] {
                if (dlg.labelText() != text) dlg.setLabelText(text);
                dlg.setValue(percent);
            },
            Qt::QueuedConnection);
        if (g_quiet) std::fprintf(stderr, "%3d%% %s\n", percent, stage.toLocal8Bit().constData());
        return true;
    };
    QThread* t = QThread::create([&] { result = work(progress); });
    QEventLoop loop;
    QObject::connect(t, &QThread::finished, &loop, &QEventLoop::quit);
    t->start();
    loop.exec();
    t->wait();
    delete t;
    QCoreApplication::processEvents(); // the last queued updates, so 100% is seen
    return result;
}

// The server database copied into a database file in `folder`, with the zip-code file and
// the settings copies of the local database folder beside it.
bool copyServerDatabase(const QString& location, const QString& dbFolder, const QString& folder,
                        const BackupProgress& progress, QString* error) {
    const bool copied = CopyDatabase(location, folder + QStringLiteral("/dbMain.db"), nullptr, error,
                                     [&](int done, int total) {
                                         progress(total ? done * 40 / total : 0, QStringLiteral("server"));
                                     });
    DBTerminate();
    if (!copied) return false;
    const QDir from(dbFolder);
    for (const QString& name :
         from.entryList({QStringLiteral("dbPost.db"), QStringLiteral("환경설정_*.mdb")}, QDir::Files)) {
        if (!QFile::copy(from.filePath(name), folder + u'/' + name)) {
            *error = QDir::toNativeSeparators(from.filePath(name)) + QStringLiteral("\n파일을 복사할 수 없습니다.");
            return false;
        }
    }
    return true;
}

// `server` names the database server to back up, "" for the database file of `dbFolder`.
bool backupTo(const QString& dbFolder, const QString& server, const QString& dir, const QString& prefix, int keep) {
    const QString archive =
        QDir(dir).filePath(BackupArchiveName(prefix, QDateTime::currentDateTime()));
    QString error;
    // Runs on the worker once everything is copied: the lock goes back on the main thread.
    const auto copied = [] {
        g_freeAgain = true;
        if (g_quiet) std::fprintf(stderr, "copied: MemberDesk may start again\n");
        QMetaObject::invokeMethod(
            qApp,
            [] {
                if (g_lock) g_lock->unlock();
            },
            Qt::QueuedConnection);
    };
    const bool ok = runWithProgress(
        QStringLiteral("데이터를 백업하고 있습니다. 잠시 기다려 주십시오."),
        [&](const BackupProgress& p) {
            if (server.isEmpty()) return WriteBackupArchive(dbFolder, archive, p, &error, copied);
            QDir().mkpath(dir);
            QTemporaryDir copy(QDir(dir).filePath(QStringLiteral("server-copy-XXXXXX")));
            if (!copy.isValid()) {
                error = copy.errorString();
                return false;
            }
            return copyServerDatabase(server, dbFolder, copy.path(), p, &error) &&
                   WriteBackupArchive(
                       copy.path(), archive,
                       [&p](int percent, const QString& stage) {
                           return p(40 + percent * 60 / 100, stage);
                       },
                       &error, copied);
        });
    if (!ok) {
        say(QStringLiteral("데이터백업을 실패하였습니다.\n\n") + error, true);
        return false;
    }
    if (keep > 0) PruneBackupArchives(dir, prefix, keep);
    say(QStringLiteral("데이터백업이 완료되었습니다.\n\n백업 파일: ") +
            QDir::toNativeSeparators(archive),
        false);
    return true;
}

bool restoreFrom(const QString& dbFolder, const QString& archive, const QString& keepRoot) {
    QString error, kept;
    const bool ok = runWithProgress(
        QStringLiteral("데이터를 복구하고 있습니다. 잠시 기다려 주십시오."),
        [&](const BackupProgress& p) {
            return RestoreBackupArchive(archive, dbFolder, keepRoot, p, &error, &kept);
        });
    if (!ok) {
        say(QStringLiteral("데이터 복구를 실패하였습니다. 기존 자료는 그대로 남아 있습니다.\n\n") +
                error,
            true);
        return false;
    }
    say(QStringLiteral("데이터 복구가 완료되었습니다.\n\n이전 자료 보관 위치: ") +
            QDir::toNativeSeparators(kept),
        false);
    return true;
}

// One line per archive: when it was made, what kind, its size and its file name.
QString archiveLine(const QString& path) {
    const QFileInfo fi(path);
    const QString kind = fi.fileName().startsWith(QStringLiteral("MemberDesk_auto"))
                             ? QStringLiteral("자동 백업")
                         : fi.fileName().startsWith(QStringLiteral("MemberDesk_server"))
                             ? QStringLiteral("서버 백업")
                             : QStringLiteral("백업");
    return fi.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral("  ") +
           kind + QStringLiteral("  (") +
           QLocale().formattedDataSize(fi.size(), 1, QLocale::DataSizeTraditionalFormat) +
           QStringLiteral(")  ") + fi.fileName();
}

QString chooseFile(const QString& dir) {
    return QFileDialog::getOpenFileName(nullptr, kTitle + QStringLiteral(" - 복구할 백업 파일"),
                                        dir, QStringLiteral("백업 파일 (*.zip)"));
}

// Automatic backups first, newest first; any other archive of the folder after them.
QString chooseArchive(const QString& backupDir) {
    if (g_quiet) return {};
    QStringList paths = BackupArchives(backupDir, QStringLiteral("MemberDesk_auto"));
    for (const QString& a : BackupArchives(backupDir))
        if (!paths.contains(a)) paths << a;
    if (paths.isEmpty()) return chooseFile(backupDir);
    QStringList items;
    for (const QString& p : paths)
        items << archiveLine(p);
    const QString other = QStringLiteral("다른 파일 선택...");
    items << other;
    QInputDialog dlg;
    dlg.setWindowTitle(kTitle);
    dlg.setLabelText(QStringLiteral("복구할 백업을 선택하세요."));
    dlg.setComboBoxItems(items);
    dlg.setComboBoxEditable(false);
    dlg.setOption(QInputDialog::UseListViewForComboBoxItems);
    dlg.setOkButtonText(QStringLiteral("복구"));
    dlg.setCancelButtonText(QStringLiteral("취소"));
    dlg.resize(620, 360);
    if (dlg.exec() != QDialog::Accepted) return {};
    const int i = items.indexOf(dlg.textValue());
    if (i >= 0 && i < paths.size()) return paths[i];
    return chooseFile(backupDir);
}
// MemberDesk ends right after starting this program: waits up to a minute for its lock,
// showing that it waits (the person may give up). True when the lock is held.
bool waitForLock(QLockFile& lock) {
    if (lock.tryLock(0)) return true;
    QProgressDialog dlg(QStringLiteral("MemberDesk 프로그램이 끝나기를 기다리고 있습니다..."),
                        QStringLiteral("취소"), 0, 0);
    dlg.setWindowTitle(kTitle);
    dlg.setMinimumDuration(0);
    dlg.setMinimumWidth(460);
    if (!g_quiet) dlg.show();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 60000 && !dlg.wasCanceled()) {
        QCoreApplication::processEvents();
        if (lock.tryLock(200)) return true;
    }
    if (!dlg.wasCanceled())
        say(QStringLiteral(
                "MemberDesk 프로그램이 아직 실행 중입니다.\n프로그램을 종료한 후 다시 시도하세요."),
            true);
    return false;
}

// Asks before anything is replaced (No is the default), then restores.
int restoreChosen(const QString& dbFolder, const QString& archive, const QString& keepRoot) {
    if (archive.isEmpty()) return 2;
    if (!g_quiet) {
        QMessageBox box(QMessageBox::Question, kTitle,
                        QStringLiteral("선택한 백업으로 현재 자료를 바꾸시겠습니까?\n\n") +
                            QDir::toNativeSeparators(archive) +
                            QStringLiteral("\n\n현재 자료는 복구 전에 따로 보관됩니다."),
                        QMessageBox::Yes | QMessageBox::No);
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes) return 2;
    }
    return restoreFrom(dbFolder, archive, keepRoot) ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("MemberDesk"));
    QCoreApplication::setOrganizationName(QStringLiteral("MemberDesk"));
    QStringList args = app.arguments().mid(1);
    g_quiet = args.removeAll(QStringLiteral("--quiet")) > 0;
    if (!g_quiet) setUpLook();
    const QString mode = args.value(0).toUpper();

    const QString dataDir = DefaultDataDir();
    ResetAppState(dataDir);
    QString dbFolder = Settings::getIn(QStringLiteral("Backup"), QStringLiteral("DB경로"),
                                     QStringLiteral("경로"), QString());
    if (dbFolder.isEmpty()) dbFolder = dataDir + QStringLiteral("/DBS");
    const QString backupDir = dataDir + QStringLiteral("/Backup");
    const QString server = Settings::getIn(QStringLiteral("Backup"), QStringLiteral("DB경로"),
                                         QStringLiteral("서버"), QString());

    QLockFile lock(dataDir + QStringLiteral("/memberdesk.lock"));
    if (!waitForLock(lock)) return 3;
    g_lock = &lock;
    if (!server.isEmpty() && mode == QStringLiteral("UNZIP")) {
        say(QStringLiteral("데이터베이스 서버의 자료는 여기서 복구하지 않습니다."), true);
        return 1;
    }
    if (server.isEmpty() && !QFile::exists(dbFolder + QStringLiteral("/dbMain.db")) &&
        mode != QStringLiteral("UNZIP")) {
        say(QDir::toNativeSeparators(dbFolder + QStringLiteral("/dbMain.db")) +
                QStringLiteral("\n데이터베이스를 찾을 수 없습니다."),
            true);
        return 1;
    }

    if (mode == QStringLiteral("HDDAUTO"))
        return backupTo(dbFolder, server, backupDir, QStringLiteral("MemberDesk_auto"), 10) ? 0 : 1;
    if (mode == QStringLiteral("SERVERUP"))
        return backupTo(dbFolder, server, QFileInfo(dbFolder).absolutePath() + QStringLiteral("/Backup"),
                        QStringLiteral("MemberDesk_server"), 0)
                   ? 0
                   : 1;
    if (mode == QStringLiteral("UNZIP")) {
        QString archive;
        for (const QString& a : args.mid(1))
            if (a.toUpper() != QStringLiteral("HDDAUTO")) archive = a;
        if (archive.isEmpty()) archive = chooseArchive(backupDir);
        return restoreChosen(dbFolder, archive, backupDir);
    }
    if (g_quiet) return 2; // every other mode needs a person to choose a folder
    if (mode.isEmpty()) {
        QMessageBox box(
            QMessageBox::Question, kTitle,
            QStringLiteral("무엇을 하시겠습니까?\n\n데이터 백업: 자료를 백업 파일로 저장합니다.\n"
                           "데이터 복구: 백업 파일의 자료로 되돌립니다."));
        QPushButton* backup = box.addButton(QStringLiteral("데이터 백업"), QMessageBox::AcceptRole);
        QPushButton* restore =
            box.addButton(QStringLiteral("데이터 복구"), QMessageBox::ActionRole);
        QPushButton* cancel = box.addButton(QStringLiteral("취소"), QMessageBox::RejectRole);
        box.setDefaultButton(backup);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() == restore && !server.isEmpty()) {
            say(QStringLiteral("데이터베이스 서버의 자료는 여기서 복구하지 않습니다."), true);
            return 1;
        }
        if (box.clickedButton() == restore)
            return restoreChosen(dbFolder, chooseArchive(backupDir), backupDir);
        if (box.clickedButton() != backup) return 2;
    }
    const QString dir = QFileDialog::getExistingDirectory(
        nullptr, kTitle + QStringLiteral(" - 백업 파일을 저장할 폴더"), QDir::homePath());
    if (dir.isEmpty()) return 2;
    const QString prefix = mode == QStringLiteral("AS") ? QStringLiteral("MemberDesk_AS")
                                                        : QStringLiteral("MemberDesk");
    return backupTo(dbFolder, server, dir, prefix, 0) ? 0 : 1;
}
