#include "EnvTest.h"

#include "core/AppState.h"
#include "core/PrivateData.h"
#include "db/Database.h"
#include "db/SchemaUpgrade.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString kStartBox = QStringLiteral("데이터베이스가 업그레이드 되었습니다.\n\n곧 업그레이드 작업이 진행 됩니다.");
const QString kDoneBox = QStringLiteral("업그레이드가 완료되었습니다.");

int indexCount(const QString& name) {
    return TestEnv::onServer() ? CountRows("pg_indexes", "schemaname = current_schema() AND indexname = ?", {name})
                               : CountRows("sqlite_master", "type = 'index' AND name = ?", {name});
}

QStringList userFieldColumns(const QStringList& cols) {
    QStringList out;
    for (const QString& c : cols)
        if (c.startsWith("userfieldnote")) out << c;
    return out;
}

} // namespace

// Databases made by earlier versions are brought up to the current schema at start.
class TestUpgrade : public EnvTest {
    Q_OBJECT
public:
    TestUpgrade() : EnvTest(false) {}

private slots:
    void init() {
        EnvTest::init();
        QDir().mkpath(App().dbFolder);
    }

    // Duplicate option rows (hand-made or from an old copy) leave the unique index out but
    // never stop the start; the other indexes are still made.
    void duplicateOptionsDoNotStopTheStart() {
        QVERIFY(CreateNewDatabase(App().dbFile) && OpenDatabase(App().dbFile));
        QVERIFY(RunSilent("DROP INDEX ix_options_optname").ok);
        QVERIFY(RunSilent("DROP INDEX ix_tbltrade_sdate").ok);
        QCOMPARE(ExecSQL("INSERT INTO options (optname, optvalue) VALUES ('start', '1')"), 1);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("index left out.*ix_options_optname"));
        QVERIFY(UpgradeSchema());
        QVERIFY(m_env->prompt().shown().isEmpty());
        QCOMPARE(indexCount("ix_tbltrade_sdate"), 1);
    }

    // The ledger's single place indexes, which the place-and-section indexes cover, are
    // dropped at start (twice: nothing left to drop the second time); a look-up by place
    // still searches an index instead of reading the ledger.
    void coveredIndexesDropped() {
        QVERIFY(CreateNewDatabase(App().dbFile) && OpenDatabase(App().dbFile));
        for (const QString c : {"cgroupin", "cgroupout"})
            QVERIFY(RunSilent(QString("CREATE INDEX ix_tbljangbu_%1 ON tbljangbu (%1)").arg(c)).ok);
        QVERIFY(UpgradeSchema());
        QVERIFY(UpgradeSchema());
        QCOMPARE(indexCount("ix_tbljangbu_cgroupin") + indexCount("ix_tbljangbu_cgroupout"), 0);
        if (TestEnv::onServer()) return;
        Recordset rs;
        QVERIFY(OpenRecordset(rs, "EXPLAIN QUERY PLAN SELECT COUNT(*) FROM tbljangbu WHERE cgroupin = ? OR cgroupout = ?",
                              {2, 2}) > 0);
        QStringList plan;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) plan << rs.text(3);
        QVERIFY2(plan.join(';').contains("ix_tbljangbu_in_section") && plan.join(';').contains("ix_tbljangbu_out_section"),
                 qPrintable(plan.join(';')));
    }

    // Versions 0 (with or without the DBVer row) and 1 get every step.
    void oldDatabaseGetsEverything_data() {
        QTest::addColumn<QString>("dbVer"); // empty: no row at all
        QTest::newRow("no DBVer row") << QString();
        QTest::newRow("version 0") << "0";
        QTest::newRow("version 1") << "1";
        QTest::newRow("not a number") << "abc";
    }
    void oldDatabaseGetsEverything() {
        QFETCH(QString, dbVer);
        makeOldDatabase(dbVer, false);
        ExecSQL("INSERT INTO tblfriend (sname, picture) VALUES ('O''Hara', 'a.jpg')");

        QVERIFY(UpgradeSchema());
        QCOMPARE(m_env->prompt().texts(), (QStringList{kStartBox, kDoneBox}));
        QCOMPARE(m_env->prompt().shown()[0].title, QString("DB업그레이드"));
        QCOMPARE(m_env->prompt().shown()[1].title, App().appTitle);

        const QStringList cols = TableColumns("tblfriend");
        QCOMPARE(userFieldColumns(cols).size(), 18);
        QVERIFY(cols.contains("hidden"));
        QCOMPARE(TableColumns("tbluserfieldlist"), (QStringList{"code", "branchclass", "bigo"}));
        QCOMPARE(GetScalar("SELECT optvalue FROM options WHERE optname = 'DBVer'").toString(), QString::number(kSchemaVersion));
        QCOMPARE(CountRows("options", "optname = 'DBVer'"), 1);
        QCOMPARE(indexCount("ix_tbltrade_ctblfriend"), 1);
        QVERIFY(LedgerTotalsKept());
        QCOMPARE(indexCount("ix_tbljangbusum_section_date"), 1);
        // Existing members read as before, with empty user fields and active.
        QCOMPARE(CountRows("tblfriend", "sname = 'O''Hara' AND userfieldnote7 = '' AND userfieldnote18 = '' "
                                        "AND hidden = 0"), 1);
        // New rows get the defaults; the pick list numbers its rows itself.
        QCOMPARE(ExecSQL("INSERT INTO tblfriend (sname) VALUES ('new')"), 1);
        QCOMPARE(CountRows("tblfriend", "sname = 'new' AND userfieldnote1 = '' AND hidden = 0"), 1);
        QCOMPARE(ExecSQL("INSERT INTO tbluserfieldlist (bigo) VALUES ('골프')"), 1);
        QCOMPARE(LastIdentity(), 1);

        // A second start finds the current version, says nothing and changes nothing.
        m_env->prompt().clear();
        QVERIFY(UpgradeSchema());
        QVERIFY(m_env->prompt().shown().isEmpty());
        QCOMPARE(TableColumns("tblfriend"), cols);
    }

    // Version 4 with the suspension flag only gets the new version number: a suspended
    // member stays suspended, nothing is reset. Without the flag it gets the column.
    void version4_data() {
        QTest::addColumn<bool>("withHidden");
        QTest::newRow("with the flag") << true;
        QTest::newRow("without the flag") << false;
    }
    void version4() {
        QFETCH(bool, withHidden);
        makeOldDatabase("4", true, withHidden);
        ExecSQL(withHidden ? "INSERT INTO tblfriend (sname, hidden, userfieldnote2) VALUES ('a', 1, 'x')"
                           : "INSERT INTO tblfriend (sname, userfieldnote2) VALUES ('a', 'x')");
        const QStringList before = TableColumns("tblfriend");
        QVERIFY(UpgradeSchema());
        QCOMPARE(m_env->prompt().texts(), (QStringList{kStartBox, kDoneBox}));
        QCOMPARE(TableColumns("tblfriend"), before + (withHidden ? QStringList() : QStringList{"hidden"}));
        QCOMPARE(CountRows("tblfriend", "sname = 'a' AND userfieldnote2 = 'x' AND hidden = ?", {withHidden ? 1 : 0}), 1);
        QCOMPARE(GetOption("DBVer", ""), QString::number(kSchemaVersion));
    }

    // A database of the previous version holds passwords and resident numbers in plain text:
    // the first start seals them (the file keeps no plain copy), the old password still
    // matches, and a second start changes nothing.
    void plainPersonalDataIsSealed() {
        makeOldDatabase("5", true);
        QCOMPARE(ExecSQL("UPDATE local_user SET loginpwd = 'o''pen 1' WHERE code = '00'"), 1);
        QCOMPARE(ExecSQL("INSERT INTO tblfriend (sname, idno) VALUES ('가', '900101-1234567'), "
                         "('나', '8501012345678'), ('다', '')"), 3);
        QVERIFY(UpgradeSchema());
        QCOMPARE(m_env->prompt().texts(), (QStringList{kStartBox, kDoneBox}));
        QCOMPARE(GetOption("DBVer", ""), QString::number(kSchemaVersion));
        const QString hash = GetScalar("SELECT loginpwd FROM local_user WHERE code = '00'").toString();
        QVERIFY(IsPasswordHash(hash));
        QVERIFY(PasswordMatches(hash, "o'pen 1"));
        QVERIFY(!PasswordMatches(hash, "o'pen 2"));
        QVERIFY(!PasswordMatches(hash, ""));
        QCOMPARE(DecryptIdNo(GetScalar("SELECT idno FROM tblfriend WHERE sname = '가'").toString()),
                 QString("900101-1234567"));
        QCOMPARE(DecryptIdNo(GetScalar("SELECT idno FROM tblfriend WHERE sname = '나'").toString()),
                 QString("8501012345678"));
        QCOMPARE(CountRows("tblfriend", "sname = '다' AND idno = ''"), 1);
        // The key sits beside the database folder, readable by the owner alone.
        QCOMPARE(QFileInfo(DataKeyPath()).path(), QFileInfo(App().dbFolder).path());
        QCOMPARE(FileMode(DataKeyPath()), 0600);

        auto sealedValues = [] {
            QStringList out;
            Recordset rs;
            OpenRecordset(rs, "SELECT idno FROM tblfriend UNION ALL SELECT loginpwd FROM local_user");
            for (rs.moveFirst(); !rs.eof(); rs.moveNext()) out << rs.text(0);
            out.sort();
            return out;
        };
        const QStringList once = sealedValues();
        m_env->prompt().clear();
        DataKey::clear();
        QVERIFY(UpgradeSchema());
        QVERIFY(m_env->prompt().shown().isEmpty());
        QCOMPARE(sealedValues(), once);
        QVERIFY(DataKey::loaded());

        if (TestEnv::onServer()) return;
        DBTerminate();
        QByteArray bytes;
        for (const char* suffix : {"", "-wal", "-journal"}) bytes += FileBytes(App().dbFile + suffix);
        QVERIFY(bytes.size() > 4096);
        for (const char* plain : {"900101-1234567", "8501012345678", "o'pen 1"})
            QVERIFY2(!bytes.contains(plain), plain);
    }

    // User fields already there are kept: version 2 holds 1 to 15 and gets 16 to 18; an
    // upgrade stopped half-way resumes from the stored version.
    void userFieldsAlreadyThereAreKept_data() {
        QTest::addColumn<QString>("dbVer");
        QTest::addColumn<int>("present");
        QTest::newRow("version 2 with fields 1 to 15") << "2" << 15;
        QTest::newRow("stopped half-way through version 1") << "0" << 6;
    }
    void userFieldsAlreadyThereAreKept() {
        QFETCH(QString, dbVer);
        QFETCH(int, present);
        makeOldDatabase(dbVer, false);
        addUserFields(present);
        if (dbVer == "2")
            QVERIFY(RunSilent("CREATE TABLE tbluserfieldlist (code INTEGER PRIMARY KEY AUTOINCREMENT, "
                              "branchclass INTEGER NOT NULL DEFAULT 0, bigo TEXT NOT NULL DEFAULT '')").ok);
        ExecSQL("INSERT INTO tblfriend (sname, userfieldnote3) VALUES ('a', '값''3')");
        for (int i = 1; dbVer == "0" && i <= present; ++i)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QString("^upgrade DBVer_1: statement rejected \\(.*"
                                                                          "userfieldnote%1.*\\): ALTER TABLE tblfriend ADD "
                                                                          "COLUMN userfieldnote%1 TEXT NOT NULL DEFAULT ''$")
                                                                      .arg(i)));
        QVERIFY(UpgradeSchema());
        QCOMPARE(userFieldColumns(TableColumns("tblfriend")).size(), 18);
        QVERIFY(TableExists("tbluserfieldlist"));
        QCOMPARE(GetScalar("SELECT userfieldnote3 FROM tblfriend WHERE sname = 'a'").toString(), QString("값'3"));
        QCOMPARE(GetOption("DBVer", ""), QString::number(kSchemaVersion));
        QCOMPARE(m_env->prompt().texts(), (QStringList{kStartBox, kDoneBox}));
    }

    void missingMemberTableStops() {
        makeOldDatabase("1", false);
        QVERIFY(RunSilent("DROP TABLE tblfriend").ok);
        QVERIFY(!UpgradeSchema());
        QCOMPARE(m_env->prompt().texts().size(), 2);
        QCOMPARE(m_env->prompt().texts()[0], kStartBox);
        QVERIFY(QRegularExpression("^Error 1 \\(.*tblfriend.*\\) in procedure DBVer_1 of Module modMain$")
                    .match(m_env->prompt().texts()[1]).hasMatch());
        QCOMPARE(GetOption("DBVer", ""), QString("1"));
        QVERIFY(!TableExists("tbluserfieldlist"));
    }

    void readOnlyDatabaseStops() {
        makeOldDatabase("3", false);
        DBTerminate();
        QVERIFY(OpenDatabase(App().dbFile, {}, true));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^AddColumnIfMissing: .*: ALTER TABLE tblfriend ADD COLUMN "
                                                              "hidden INTEGER DEFAULT 0 NOT NULL$"));
        QVERIFY(!UpgradeSchema());
        QCOMPARE(m_env->prompt().texts().size(), 2);
        QVERIFY(QRegularExpression("^Error 8 \\(.*\\) in procedure DBVer_5 of Module modMain$")
                    .match(m_env->prompt().texts()[1]).hasMatch());
        DBTerminate();
        QVERIFY(OpenDatabase(App().dbFile));
        QCOMPARE(GetOption("DBVer", ""), QString("3"));
        QVERIFY(!TableColumns("tblfriend").contains("hidden"));
    }

    void noConnectionStops() {
        QVERIFY(!UpgradeSchema());
        QCOMPARE(m_env->prompt().texts().size(), 1);
        QVERIFY(m_env->prompt().lastText().startsWith("Error 91 ("));
        QVERIFY(m_env->prompt().lastText().endsWith(" in procedure DBVer_1 of Module modMain"));
    }

    void addColumnTypesAndFollowUps() {
        makeOldDatabase("4", true);
        ExecSQL("INSERT INTO tblfriend (sname) VALUES ('a')");
        QVERIFY(AddColumnIfMissing("tblfriend", "score", ColumnType::Double, 0, 1.5, "DEF_UPDATE"));
        QVERIFY(AddColumnIfMissing("tblfriend", "tag", ColumnType::VarChar, 10, QString("it's"), QString()));
        QVERIFY(AddColumnIfMissing("tblfriend", "opt", ColumnType::SmallInt, 0, QVariant(), QString()));
        QVERIFY(AddColumnIfMissing("tblfriend", "flag", ColumnType::TinyInt, 0, 0, "UPDATE tblfriend SET flag = 7"));
        QCOMPARE(CountRows("tblfriend", "sname = 'a' AND score = 1.5 AND tag = 'it''s' AND opt IS NULL AND flag = 7"), 1);
        // Present already: nothing runs, not even the follow-up.
        QVERIFY(AddColumnIfMissing("tblfriend", "flag", ColumnType::TinyInt, 0, 0, "UPDATE tblfriend SET flag = 9"));
        QCOMPARE(CountRows("tblfriend", "flag = 7"), 2);

        // What the steps ask before adding: tables and columns, missing ones and unknown kinds.
        QVERIFY(DBChkExistence(1, "tblfriend"));
        QVERIFY(!DBChkExistence(1, "tblnothing"));
        QVERIFY(DBChkExistence(2, "tblfriend", "flag"));
        QVERIFY(!DBChkExistence(2, "tblfriend", "nothing"));
        QVERIFY(!DBChkExistence(2, "tblnothing", "code"));
        QVERIFY(!DBChkExistence(3, "tblfriend", "code"));
        QVERIFY(m_env->prompt().shown().isEmpty());
    }

private:
    // Adds user fields 1..`last` as an upgrade step would.
    static void addUserFields(int last) {
        for (int i = 1; i <= last; ++i) {
            const QString sql = QString("ALTER TABLE tblfriend ADD COLUMN userfieldnote%1 TEXT NOT NULL DEFAULT ''").arg(i);
            QVERIFY2(RunSilent(sql).ok, qPrintable(sql));
        }
    }
    // Builds the shape an earlier version left: every table of today's schema but no indexes,
    // members without the user fields and the suspension flag (unless
    // `withUserFields`/`withHidden`), no pick-list table before version 2, and the given DBVer
    // row (none when empty).
    void makeOldDatabase(const QString& dbVer, bool withUserFields, bool withHidden = true) {
        QVERIFY(CreateNewDatabase(App().dbFile) && OpenDatabase(App().dbFile));
        QStringList sql;
        Recordset rs;
        const QString indexes = TestEnv::onServer()
                                    ? "SELECT indexname FROM pg_indexes WHERE schemaname = current_schema() AND "
                                      "substr(indexname, 1, 3) = 'ix_'"
                                    : "SELECT name FROM sqlite_master WHERE type = 'index' AND substr(name, 1, 3) = 'ix_'";
        QVERIFY(OpenRecordset(rs, indexes) > 0);
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) sql << "DROP INDEX " + rs.text(0);
        if (!withUserFields) {
            for (int i = 1; i <= 18; ++i) sql << QString("ALTER TABLE tblfriend DROP COLUMN userfieldnote%1").arg(i);
            sql << "DROP TABLE tbluserfieldlist";
        }
        if (!withUserFields || !withHidden) sql << "ALTER TABLE tblfriend DROP COLUMN hidden";
        sql << "DELETE FROM options WHERE optname = 'DBVer'";
        if (!dbVer.isEmpty()) sql << "INSERT INTO options (optname, optvalue) VALUES ('DBVer', '" + dbVer + "')";
        for (const QString& s : sql) QVERIFY2(RunSilent(s).ok, qPrintable(s));
        // Reopened, as the program finds it at start.
        DBTerminate();
        QVERIFY(OpenDatabase(App().dbFile));
    }
};

QTEST_MAIN(TestUpgrade)
#include "tst_upgrade.moc"
