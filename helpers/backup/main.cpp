// memberdesk-backup [SERVERUP | AS | HDDAUTO | UNZIP [HDDAUTO] [archive]] [--quiet]
//
// Reads the database folder from the hand-over setting (Backup / DB경로 / 경로), waits until
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
#include "tools/BackupArchive.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLockFile>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>

#include <cstdio>

namespace {
bool g_quiet = false;
const QString kTitle = QStringLiteral("MemberDesk 데이터백업");

void say(const QString& text, bool failure) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    if (g_quiet) return;
    if (failure) QMessageBox::warning(nullptr, kTitle, text);
    else QMessageBox::information(nullptr, kTitle, text);
}

// Runs `work` on a worker thread while a progress window (or stderr) shows its progress.
bool runWithProgress(const QString& label, const std::function<bool(const BackupProgress&)>& work) {
    QProgressDialog dlg(label, QString(), 0, 100);
    dlg.setWindowTitle(kTitle);
    dlg.setMinimumDuration(0);
    dlg.setAutoClose(false);
    if (!g_quiet) dlg.show();
    bool result = false;
    const BackupProgress progress = [&dlg](int percent, const QString& stage) {
        QMetaObject::invokeMethod(&dlg, [&dlg, percent, stage] { dlg.setValue(percent); dlg.setLabelText(stage); },
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
    return result;
}

bool backupTo(const QString& dbFolder, const QString& dir, const QString& prefix, int keep) {
    const QString archive = QDir(dir).filePath(BackupArchiveName(prefix, QDateTime::currentDateTime()));
    QString error;
    const bool ok = runWithProgress(QStringLiteral("데이터를 백업하고 있습니다..."),
                                    [&](const BackupProgress& p) { return WriteBackupArchive(dbFolder, archive, p, &error); });
    if (!ok) {
        say(QStringLiteral("데이터백업을 실패하였습니다.\n\n") + error, true);
        return false;
    }
    if (keep > 0) PruneBackupArchives(dir, prefix, keep);
    say(QStringLiteral("데이터백업이 완료되었습니다.\n\n") + archive, false);
    return true;
}

bool restoreFrom(const QString& dbFolder, const QString& archive, const QString& keepRoot) {
    QString error, kept;
    const bool ok = runWithProgress(QStringLiteral("데이터를 복구하고 있습니다..."), [&](const BackupProgress& p) {
        return RestoreBackupArchive(archive, dbFolder, keepRoot, p, &error, &kept);
    });
    if (!ok) {
        say(QStringLiteral("데이터 복구를 실패하였습니다. 기존 자료는 그대로 남아 있습니다.\n\n") + error, true);
        return false;
    }
    say(QStringLiteral("데이터 복구가 완료되었습니다.\n\n이전 자료 보관 위치: ") + kept, false);
    return true;
}

QString chooseArchive(const QString& backupDir) {
    if (g_quiet) return {};
    QStringList items = BackupArchives(backupDir, QStringLiteral("MemberDesk_auto"));
    for (const QString& a : BackupArchives(backupDir))
        if (!items.contains(a)) items << a;
    const QString other = QStringLiteral("다른 파일 선택...");
    items << other;
    bool ok = false;
    const QString pick = QInputDialog::getItem(nullptr, kTitle, QStringLiteral("복구할 백업을 선택하세요."), items, 0, false, &ok);
    if (!ok) return {};
    if (pick != other) return pick;
    return QFileDialog::getOpenFileName(nullptr, kTitle, backupDir, QStringLiteral("백업 파일 (*.zip)"));
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("MemberDesk"));
    QCoreApplication::setOrganizationName(QStringLiteral("MemberDesk"));
    QStringList args = app.arguments().mid(1);
    g_quiet = args.removeAll(QStringLiteral("--quiet")) > 0;
    const QString mode = args.value(0).toUpper();

    const QString dataDir = DefaultDataDir();
    ResetAppState(dataDir);
    QString dbFolder = Settings::get(QStringLiteral("Backup"), QStringLiteral("DB경로"), QStringLiteral("경로"), QString());
    if (dbFolder.isEmpty()) dbFolder = dataDir + QStringLiteral("/DBS");
    const QString backupDir = dataDir + QStringLiteral("/Backup");

    // MemberDesk ends after starting this program: wait for its lock, then keep it.
    QLockFile lock(dataDir + QStringLiteral("/memberdesk.lock"));
    if (!lock.tryLock(60000)) {
        say(QStringLiteral("MemberDesk 프로그램이 아직 실행 중입니다.\n프로그램을 종료한 후 다시 시도하세요."), true);
        return 3;
    }
    if (!QFile::exists(dbFolder + QStringLiteral("/dbMain.db")) && mode != QStringLiteral("UNZIP")) {
        say(dbFolder + QStringLiteral("/dbMain.db\n데이터베이스를 찾을 수 없습니다."), true);
        return 1;
    }

    if (mode == QStringLiteral("HDDAUTO")) return backupTo(dbFolder, backupDir, QStringLiteral("MemberDesk_auto"), 10) ? 0 : 1;
    if (mode == QStringLiteral("SERVERUP"))
        return backupTo(dbFolder, QFileInfo(dbFolder).absolutePath() + QStringLiteral("/Backup"), QStringLiteral("MemberDesk_server"), 0) ? 0 : 1;
    if (mode == QStringLiteral("UNZIP")) {
        QString archive;
        for (const QString& a : args.mid(1))
            if (a.toUpper() != QStringLiteral("HDDAUTO")) archive = a;
        if (archive.isEmpty()) archive = chooseArchive(backupDir);
        if (archive.isEmpty()) return 2;
        if (!g_quiet && QMessageBox::question(nullptr, kTitle,
                                              archive + QStringLiteral("\n\n이 백업으로 현재 자료를 바꾸시겠습니까?"),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return 2;
        return restoreFrom(dbFolder, archive, backupDir) ? 0 : 1;
    }
    if (g_quiet) return 2; // every other mode needs a person to choose a folder
    if (mode.isEmpty()) {
        QMessageBox box(QMessageBox::Question, kTitle, QStringLiteral("무엇을 하시겠습니까?"));
        QPushButton* backup = box.addButton(QStringLiteral("데이터 백업"), QMessageBox::AcceptRole);
        QPushButton* restore = box.addButton(QStringLiteral("데이터 복구"), QMessageBox::ActionRole);
        box.addButton(QStringLiteral("취소"), QMessageBox::RejectRole);
        box.exec();
        if (box.clickedButton() == restore) {
            const QString archive = chooseArchive(backupDir);
            return !archive.isEmpty() && restoreFrom(dbFolder, archive, backupDir) ? 0 : 1;
        }
        if (box.clickedButton() != backup) return 2;
    }
    const QString dir = QFileDialog::getExistingDirectory(nullptr, kTitle + QStringLiteral(" - 저장할 폴더"), QDir::homePath());
    if (dir.isEmpty()) return 2;
    const QString prefix = mode == QStringLiteral("AS") ? QStringLiteral("MemberDesk_AS") : QStringLiteral("MemberDesk");
    return backupTo(dbFolder, dir, prefix, 0) ? 0 : 1;
}
