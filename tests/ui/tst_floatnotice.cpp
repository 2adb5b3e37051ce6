#include "TestEnv.h"

#include "core/AppState.h"
#include "ui/FloatNotice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <memory>

class TestFloatNotice : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

    QString program() const { return ProgramPath(FloatNoticeProgram()); }

private slots:
    void init() { env = std::make_unique<TestEnv>(false); }
    void cleanup() { env.reset(); }

    void startsProgramWithParameterText_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("duration");
        QTest::addColumn<QString>("argument");
        QTest::newRow("saved") << "자료가 저장되었습니다." << 500 << " 자료가 저장되었습니다./T500";
        QTest::newRow("quote and blanks") << "it's  done " << 1500 << " it's  done /T1500";
    }
    void startsProgramWithParameterText() {
        QFETCH(QString, message);
        QFETCH(int, duration);
        QFETCH(QString, argument);
        ShowFloatNotice(message, duration);
        QCOMPARE(env->launcher().calls.size(), 1);
        const auto& call = env->launcher().calls.first();
        QCOMPARE(call.kind, RecordingLauncher::Call::Start);
        QCOMPARE(call.program, program());
        QCOMPARE(call.args, QStringList{argument});
        QCOMPARE(App().floatNoticeState, 1);
        QVERIFY(env->prompt().texts().isEmpty());
    }

    void missingProgramReportedOncePerRun() {
        QVERIFY(QFile::remove(program()));
        ShowFloatNotice("자료가 저장되었습니다.");
        ShowFloatNotice("자료를 삭제하였습니다.");
        QCOMPARE(env->prompt().texts(),
                 QStringList{program() + "\n" + "플로팅 메시지박스 파일을 찾을 수 없습니다."});
        QVERIFY(env->launcher().calls.isEmpty());
        QCOMPARE(App().floatNoticeState, 2);

        // Once found, the program is not looked for again.
        App().floatNoticeState = 0;
        WriteFileBytes(program(), {});
        ShowFloatNotice("a");
        QVERIFY(QFile::remove(program()));
        ShowFloatNotice("b");
        QCOMPARE(env->notices(), (QStringList{"a", "b"}));
        QCOMPARE(env->prompt().texts().size(), 1);
    }

    // The real program shows even a short notice 1.5 s, then ends by itself.
    void realNoticeProgramEndsByItself_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("short duration") << QStringList{" 자료가 저장되었습니다./T500"};
        QTest::newRow("split arguments") << QStringList{"", "자료를", "삭제하였습니다./T10"};
        QTest::newRow("no duration") << QStringList{" it's /Tx"};
    }
    void realNoticeProgramEndsByItself() {
        QFETCH(QStringList, args);
        const QString built =
            QCoreApplication::applicationDirPath() + "/../../bin/" + FloatNoticeProgram();
        if (!QFileInfo(built).isExecutable()) QSKIP("notice program not built");
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(built, args);
        QVERIFY(p.waitForStarted());
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(t.elapsed() >= 1400);
    }
};

QTEST_MAIN(TestFloatNotice)
#include "tst_floatnotice.moc"
