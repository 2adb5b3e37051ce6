// A full disk and a read-only file, on a small file system mounted for the test (in a
// private mount namespace; skipped where the machine does not allow that). Each failed
// save names its cause.
#include "TestEnv.h"

#include "app/Startup.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "members/frmFriendAdd.h"
#include "ui/HCText.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

namespace {

// Starts the program as a client of the database folder `share`, then tries to save a new
// member; prints what was shown.
int child(const QString& kind, const QString& share, const QString& config, const QString& data) {
    Settings::setConfigDir(config);
    ResetAppState(data);
    auto* shown = new ScriptedPrompt;
    setPrompt(std::unique_ptr<Prompt>(shown));
    const QString folder = share + "/DBS";
    if (kind == "full" && (!QDir().mkpath(folder) || !CreateNewDatabase(folder + "/dbMain.db")))
        return 4;
    Settings::set(App().appTitle, "환경설정", "CSType", "1");
    Settings::set(App().appTitle, "Config", "DB경로", folder);
    Startup s;
    s.run();
    if (!IsDatabaseOpen()) {
        std::printf("%s not open: %s\n", qPrintable(kind), qPrintable(shown->texts().join('|')));
        return 3;
    }
    if (kind == "full") {
        // Fill the disk to the last page.
        for (int size : {30000, 3000, 300, 30, 1})
            while (ExecSQL("INSERT INTO tblusename (sname) VALUES (?)", {QString(size, u'가')}) == 1) {
            }
    }
    for (const QString& t : shown->texts())
        std::printf("%s start: %s\n", qPrintable(kind), qPrintable(QString(t).replace('\n', '|')));
    shown->clear();
    frmFriendAdd w;
    w.SetFormMode(RecordEditor::NewMode);
    w.findChild<HCText*>("htField(1)")->setText(QString(2000, u'나'));
    w.RecSave();
    std::printf("%s save: %s\n", qPrintable(kind), qPrintable(shown->lastText().replace('\n', '|')));
    std::fflush(stdout);
    DBTerminate();
    return 0;
}

} // namespace

class TestFullAndReadOnly : public QObject {
    Q_OBJECT

private slots:
    void savesNameTheCause() {
        const QString unshare = QStandardPaths::findExecutable("unshare");
        if (unshare.isEmpty()) QSKIP("unshare is not installed");
        TestEnv env(false);
        QTemporaryDir mnt;
        const QString script = "mount -t tmpfs -o size=1m tmpfs \"$1\" || exit 77; "
                               "\"$0\" --child full \"$1\" \"$2\" \"$3\" || exit $?; "
                               "mount -o remount,ro \"$1\" || exit 77; "
                               "\"$0\" --child readonly \"$1\" \"$2\" \"$3\"";
        QProcess p;
        p.start(unshare, {"-rm", "sh", "-c", script, QCoreApplication::applicationFilePath(),
                          mnt.path(), env.configDir(), env.dataDir()});
        QVERIFY(p.waitForFinished(120000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        if (!out.contains("full save:"))
            QSKIP(qPrintable("no small file system can be mounted here: " +
                             QString::fromUtf8(p.readAllStandardError())));
        QVERIFY2(p.exitCode() == 0, qPrintable(out));
        const QString failed = "수정된 내용이 없거나, 자료저장을 실패하였습니다.|";
        QVERIFY2(out.contains("full save: " + failed + "디스크 공간이 부족합니다."), qPrintable(out));
        QVERIFY2(out.contains("readonly start: 데이터베이스 파일이 읽기 전용이라 자료를 저장할 수 없습니다."),
                 qPrintable(out));
        QVERIFY2(out.contains("readonly save: " + failed + "데이터베이스 파일이 읽기 전용입니다."), qPrintable(out));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 6 && args[1] == "--child") return child(args[2], args[3], args[4], args[5]);
    TestFullAndReadOnly t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_fullandreadonly.moc"
