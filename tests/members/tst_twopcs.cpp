#include "TestEnv.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "members/MemberStore.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kSaves = 40;

// One PC: saves `kSaves` new members with automatic codes and changes the shared group
// after each; prints how many of each landed. A save that does not land must say so.
int writer(const QString& location, const QString& tag, int group) {
    QTemporaryDir data, config;
    ResetAppState(data.path());
    Settings::setConfigDir(config.path());
    if (!OpenDatabase(location)) {
        std::fprintf(stderr, "open: %s\n", qPrintable(LastDbError()));
        return 2;
    }
    int members = 0, changes = 0, unreported = 0;
    for (int i = 0; i < kSaves; ++i) {
        if (SaveNewMember({{QStringLiteral("sname"), tag + QString::number(i)}, {QStringLiteral("ctblgroup"), group}},
                          true) > 0)
            ++members;
        else if (!LastStatementFailed() && LastDbErrorCode() == 0)
            ++unreported;
        if (ExecSQL(QStringLiteral("UPDATE tblgroup SET settlementmon = settlementmon + 1, smemo = ? WHERE code = ?"),
                    {tag, group}) == 1)
            ++changes;
    }
    DBTerminate();
    std::printf("%d %d %d\n", members, changes, unreported);
    return 0;
}

} // namespace

// Two PCs on one database at once: every save lands or reports, no automatic member code
// is handed out twice, and no change of the shared group is lost.
class TestTwoPcs : public QObject {
    Q_OBJECT
private slots:
    void savesFromTwoProcesses() {
        TestEnv env;
        QVERIFY(env.ok());
        QCOMPARE(ExecSQL("INSERT INTO tblgroup (gname) VALUES ('공용')"), 1);
        const int group = LastIdentity();
        const QString location = App().dbFile;
        DBTerminate();
        QProcess a, b;
        for (QProcess* p : {&a, &b}) p->setProcessChannelMode(QProcess::SeparateChannels);
        a.start(QCoreApplication::applicationFilePath(), {"--writer", location, "A", QString::number(group)});
        b.start(QCoreApplication::applicationFilePath(), {"--writer", location, "B", QString::number(group)});
        int members = 0, changes = 0;
        for (QProcess* p : {&a, &b}) {
            QVERIFY(p->waitForFinished(120000));
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
            const QList<QByteArray> counts = p->readAllStandardOutput().trimmed().split(' ');
            QCOMPARE(counts.size(), 3);
            members += counts[0].toInt();
            changes += counts[1].toInt();
            QCOMPARE(counts[2].toInt(), 0);
        }
        QVERIFY(OpenDatabase(location));
        QCOMPARE(CountRows("tblfriend", "code <> 1"), members);
        QCOMPARE(GetScalar("SELECT COUNT(DISTINCT codeno) FROM tblfriend WHERE code <> 1").toInt(), members);
        QCOMPARE(GetScalar("SELECT settlementmon FROM tblgroup WHERE code = ?", {group}).toInt(), changes);
        // Both PCs got their saves through (the waits are short next to the lock limit).
        QCOMPARE(members, 2 * kSaves);
        QCOMPARE(changes, 2 * kSaves);
        // The numbers run without a gap.
        QCOMPARE(GetScalar("SELECT MAX(codeno) FROM tblfriend").toString(),
                 QString("%1").arg(2 * kSaves, 6, 10, QChar('0')));
    }
};

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--writer") == 0) {
        QCoreApplication app(argc, argv);
        return writer(QString::fromUtf8(argv[2]), QString::fromUtf8(argv[3]), std::atoi(argv[4]));
    }
    QApplication app(argc, argv);
    TestTwoPcs t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}

#include "tst_twopcs.moc"
