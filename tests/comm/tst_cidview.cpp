// The caller pop-up program: plain text fields, and a newer call taking over a shown pop-up.
#include <QProcess>
#include <QtTest>

class TestCidView : public QObject {
    Q_OBJECT

    static QProcessEnvironment env(int exitMs, const QString& display = QStringLiteral(":0"))
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        e.insert(QStringLiteral("MEMBERDESK_CIDVIEW_PRINT"), QStringLiteral("1"));
        e.insert(QStringLiteral("MEMBERDESK_CIDVIEW_EXIT_MS"), QString::number(exitMs));
        // A pop-up of this test only, whatever else runs on the machine.
        e.insert(QStringLiteral("USER"), QStringLiteral("tst-cidview-%1").arg(QCoreApplication::applicationPid()));
        e.remove(QStringLiteral("WAYLAND_DISPLAY"));
        e.insert(QStringLiteral("DISPLAY"), display);
        return e;
    }
    static void start(QProcess& p, const QString& text, int exitMs, const QString& display = QStringLiteral(":0"))
    {
        p.setProcessEnvironment(env(exitMs, display));
        p.start(QStringLiteral(CIDVIEW_EXE), {text});
        QVERIFY(p.waitForStarted());
    }

private slots:
    void burstLeavesOnePopup()
    {
        QProcess first, second;
        start(first, QStringLiteral("02-1234-5678;홍길동;단골; <b>VIP</b>"), 3000);
        QTRY_VERIFY(first.bytesAvailable() > 0 || first.state() == QProcess::NotRunning);
        start(second, QStringLiteral("031-123-4567;등록되지 않은 번호입니다."), 3000);
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardOutput(), QByteArray()); // handed over, nothing shown
        QVERIFY(first.waitForFinished(10000));
        const QString out = QString::fromUtf8(first.readAllStandardOutput());
        QCOMPARE(out, QStringLiteral("02-1234-5678\n홍길동\n단골; <b>VIP</b>\n"
                                     "031-123-4567\n등록되지 않은 번호입니다.\n\n"));
    }

    // The same user on a second display gets a pop-up of its own there.
    void secondDisplayHasItsOwn()
    {
        QProcess first, second;
        start(first, QStringLiteral("02-1234-5678;홍길동;"), 1500, QStringLiteral(":0"));
        QTRY_VERIFY(first.bytesAvailable() > 0 || first.state() == QProcess::NotRunning);
        start(second, QStringLiteral("031-123-4567;김철수;"), 1500, QStringLiteral(":1"));
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(QString::fromUtf8(second.readAllStandardOutput()), QStringLiteral("031-123-4567\n김철수\n\n"));
        QVERIFY(first.waitForFinished(5000));
        QCOMPARE(QString::fromUtf8(first.readAllStandardOutput()), QStringLiteral("02-1234-5678\n홍길동\n\n"));
    }
};

QTEST_GUILESS_MAIN(TestCidView)
#include "tst_cidview.moc"
