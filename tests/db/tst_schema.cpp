#include "EnvTest.h"

#include "core/AppState.h"
#include "db/Database.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

// A fresh database: every table, the fixed rows, the defaults the windows rely on.
class TestSchema : public EnvTest {
    Q_OBJECT
private slots:
    void everyTableAndItsFixedRows() {
        for (const char* t : {"tblfriend", "tblgroup", "tblgroupmon", "tblsubdata", "tblaffairsnote", "tblitem",
                              "tblservice", "tbltrade", "tbltradesub", "tblcard", "tblgrouping", "tbljangbu",
                              "tblusename", "tbluserfieldlist", "options", "schedules", "local_user"})
            QVERIFY2(DBChkExistence(1, t), t);
        const QStringList cols = TableColumns("tblfriend");
        QVERIFY(cols.contains("userfieldnote18") && cols.contains("hidden") && cols.contains("inline"));
        for (const char* t : {"tblfriend", "tblservice", "tblcard", "tblitem", "tblaffairsnote", "tblusename",
                              "tblgrouping", "tblgroup"}) {
            QVERIFY2(CountRows(t, "code = 1") == 1, t);
            QVERIFY2(CountRows(t, "code <> 1") == 0, t);
        }
        QCOMPARE(GetScalar("SELECT accountname FROM tblgrouping WHERE code = 1").toString(), QString("현금"));
        QCOMPARE(GroupNameByCode(1), QString("[기본그룹]"));
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, "SELECT code, loginid, name, loginpwd FROM local_user"), 1);
        QCOMPARE(rs.text("code"), QString("00"));
        QCOMPARE(rs.text("loginid"), QString("ADMIN"));
        QCOMPARE(rs.text("name"), QString("관리자"));
        QCOMPARE(rs.text("loginpwd"), QString(""));
        QCOMPARE(GetOption("DBVer", "0"), QString::number(kSchemaVersion));
        QCOMPARE(GetOption("point", ""), QString("10"));
        // Option names are unique.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^ExecSQL rejected \\(.*\\): INSERT INTO options "
                                                              "\\(optname, optvalue\\) VALUES \\('DBVer', '9'\\)$"));
        QCOMPARE(ExecSQL("INSERT INTO options (optname, optvalue) VALUES ('DBVer', '9')"), 0);
        QCOMPARE(CountRows("options", "optname = 'DBVer'"), 1);
        QCOMPARE(CountRows("schedules"), 0);
        QCOMPARE(CountRows("tbluserfieldlist"), 0);
        // The caller look-up's indexes on the six telephone columns.
        QCOMPARE(TestEnv::onServer() ? CountRows("pg_indexes", "indexname LIKE 'ix_tblfriend_%_last4'")
                                     : CountRows("sqlite_master", "type = 'index' AND name LIKE 'ix_tblfriend_%_last4'"),
                 6);
    }

    // Rows that never set a column still satisfy "= ''" and reference the fixed rows.
    void defaultsOfNewRows() {
        QCOMPARE(ExecSQL("INSERT INTO tbljangbu (sdate, sectionclass, smoney) VALUES ('2026-12-06', '0', 500)"), 1);
        const int code = LastIdentity();
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, "SELECT * FROM tbljangbu WHERE code = ?", {code}), 1);
        QCOMPARE(rs.integer("cgroupin"), 1);
        QCOMPARE(rs.integer("cgroupout"), 1);
        QCOMPARE(rs.integer("ctblusename"), 1);
        QCOMPARE(rs.value("ctblitem").toString(), QString(""));
        QCOMPARE(rs.value("smemo").toString(), QString(""));

        QCOMPARE(ExecSQL("INSERT INTO tblfriend (sname) VALUES ('x')"), 1);
        QCOMPARE(CountRows("tblfriend", "code = ? AND barthday = '' AND userfieldnote18 = '' AND hidden = 0 "
                                        "AND ctblgroup = 1",
                           {LastIdentity()}), 1);
        // An empty date never falls into a range.
        QCOMPARE(CountRows("tblfriend", "barthday BETWEEN '2026-01-01' AND '2026-12-31'"), 0);
        QCOMPARE(ExecSQL("INSERT INTO tbltrade (sdate) VALUES ('2026-12-06')"), 1);
        QCOMPARE(CountRows("tbltrade", "ctblcard = 1 AND ctblfriend = 1 AND cardchk = '' AND dmoney = 0"), 1);
        QCOMPARE(ExecSQL("INSERT INTO schedules (sdate, note) VALUES ('2026-12-06', 'n')"), 1);
        QCOMPARE(LastIdentity(), 1);
    }

    void createRefusesExistingFile() {
        if (TestEnv::onServer()) QSKIP("files of the embedded engine");
        QString error;
        QTest::ignoreMessage(QtWarningMsg, qPrintable("CreateNewDatabase: file exists: " + App().dbFile));
        QVERIFY(!CreateNewDatabase(App().dbFile, &error));
        QVERIFY(!error.isEmpty());
        // The existing database is untouched.
        QCOMPARE(CountRows("tblgroup"), 1);
        const QString other = m_env->path("DBS/second.db");
        QVERIFY(CreateNewDatabase(other, &error));
        QVERIFY(error.isEmpty());
        QVERIFY(OpenDatabase(other));
        QCOMPARE(DatabasePath(), other);
        QCOMPARE(CountRows("tblfriend"), 1);
        QTest::ignoreMessage(QtWarningMsg, "CreateNewDatabase: unable to open database file");
        QVERIFY(!CreateNewDatabase(m_env->path("no/such/folder/x.db"), &error));
        QVERIFY(!QFile::exists(m_env->path("no/such/folder/x.db")));
    }
};

QTEST_MAIN(TestSchema)
#include "tst_schema.moc"
