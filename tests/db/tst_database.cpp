#include "EnvTest.h"
#include "OtherPc.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

// The connection and the shared operations every window builds on.
namespace {
// A rejected statement's log line: the engine's own words differ, the statement is the same.
QRegularExpression rejected(const QString& sql) {
    return QRegularExpression("^ExecSQL rejected \\(.*\\): " + QRegularExpression::escape(sql) + "$");
}
} // namespace

class TestDatabase : public EnvTest {
    Q_OBJECT
private slots:
    void openRefusesMissingAndNonDatabaseFiles() {
        if (TestEnv::onServer()) QSKIP("a file of the embedded engine");
        DBTerminate();
        const QString missing = m_env->path("DBS/none.db");
        QVERIFY(!OpenDatabase(missing));
        QVERIFY(!QFile::exists(missing)); // nothing was created
        QVERIFY(!LastDbError().isEmpty());
        QVERIFY(!IsDatabaseOpen());

        const QString text = m_env->path("DBS/notes.db");
        WriteFileBytes(text, "이것은 데이터베이스가 아닙니다. just some text that is long enough to hold a header\n");
        QVERIFY(!OpenDatabase(text));
        QVERIFY(!LastDbError().isEmpty());

        const QString empty = m_env->path("DBS/empty.db");
        WriteFileBytes(empty, {});
        QVERIFY(!OpenDatabase(empty));
        QVERIFY(!IsDatabaseOpen());
    }

    // Opened read-only (and, as a file, without the right to write): reads work, writes and
    // options missing before are refused, nothing changes.
    void readOnlyDatabase() {
        const bool file = !TestEnv::onServer();
        DBTerminate();
        if (file) QFile::setPermissions(App().dbFile, QFile::ReadOwner | QFile::ReadGroup);
        QVERIFY2(OpenDatabase(App().dbFile, {}, true), qPrintable(LastDbError()));
        QCOMPARE(GetOption("DBVer", "0"), QString::number(kSchemaVersion));
        QTest::ignoreMessage(QtWarningMsg, rejected("UPDATE options SET optvalue = 'x' WHERE optname = 'DBVer'"));
        QCOMPARE(ExecSQL("UPDATE options SET optvalue = 'x' WHERE optname = 'DBVer'"), 0);
        QCOMPARE(GetScalar("SELECT optvalue FROM options WHERE optname = 'DBVer'").toString(),
                 QString::number(kSchemaVersion));
        QTest::ignoreMessage(QtWarningMsg, rejected("UPDATE options SET optvalue = ? WHERE optname = ?"));
        QTest::ignoreMessage(QtWarningMsg, rejected("INSERT INTO options (optname, optvalue) VALUES (?, ?)"));
        QTest::ignoreMessage(QtWarningMsg, rejected("INSERT INTO options (optname, optvalue) VALUES (?, ?)"));
        QVERIFY(!SetOption("point", "20"));
        QCOMPARE(GetOption("nothing", "d"), QString("d"));
        DBTerminate();
        if (file) QFile::setPermissions(App().dbFile, QFile::ReadOwner | QFile::WriteOwner);
    }

    void logFolderAndDayFile() {
        // A file left from the same day of an earlier month goes on the first open today.
        DBTerminate();
        WriteFileBytes(SqlLogFile(), "old\n");
        Settings::set("Config", "SQLLogLast", "2026-11-06");
        QVERIFY(OpenDatabase(App().dbFile, {}, false, true));
        QVERIFY(!QFile::exists(SqlLogFile()));
        QCOMPARE(Settings::get("Config", "SQLLogLast"), QString("2026-12-06"));
        QVERIFY(SqlLogFile().endsWith("/log/SQLLog_06.dat"));

        QCOMPARE(ExecSQL("INSERT INTO tblusename (sname) VALUES ('A''B')"), 1);
        QCOMPARE(ExecSQL("UPDATE tblusename SET sname = 'x' WHERE code = -5"), 0);
        const QStringList lines = QString::fromUtf8(FileBytes(SqlLogFile())).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], "261206100000\t" + SqlLogHex("INSERT INTO tblusename (sname) VALUES ('A''B')") + "; -> 1");
        QVERIFY(lines[1].endsWith("; -> 0"));
        // Statements are written as UTF-16 code units in hex.
        QCOMPARE(SqlLogHex("A'가\n"), QString("00410027AC00000A"));
        QCOMPARE(SqlLogHex(""), QString());

        // Reopening the same day keeps the day's log.
        QVERIFY(OpenDatabase(App().dbFile, {}, false, true));
        QVERIFY(QFile::exists(SqlLogFile()));
    }

    void recordsetReadsTypedValues() {
        QTest::ignoreMessage(QtWarningMsg, rejected("INSERT INTO tblservice (sname, smoney, spoint, smemo) VALUES (?, ?, ?, ?)"));
        QCOMPARE(ExecSQL("INSERT INTO tblservice (sname, smoney, spoint, smemo) VALUES (?, ?, ?, ?)",
                         {"커트 'A'", 15000.0, 3, QVariant()}), 0); // NULL into NOT NULL is rejected
        QCOMPARE(ExecSQL("INSERT INTO tblservice (sname, smoney, spoint) VALUES (?, ?, ?)",
                         {"커트 'A'", 15000.0, 3}), 1);
        const int code = LastIdentity();
        QVERIFY(code > 1);
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, "SELECT code, sname, smoney, spoint, smemo, NULL AS empty_value FROM tblservice "
                                   "WHERE code = ?", {code}), 1);
        QVERIFY(rs.isOpen());
        QVERIFY(!rs.eof());
        QCOMPARE(rs.text("SNAME"), QString("커트 'A'"));
        QCOMPARE(rs.value("spoint").typeId(), int(QMetaType::LongLong));
        QCOMPARE(rs.number("smoney"), 15000.0);
        QCOMPARE(rs.text("smoney"), QString("15000"));
        QCOMPARE(rs.text("smemo"), QString(""));
        QVERIFY(!rs.value("empty_value").isValid());
        QCOMPARE(rs.integer("empty_value"), 0);
        QVERIFY(!rs.value("no_such_column").isValid());
        rs.moveNext();
        QVERIFY(rs.eof());
        CloseRecordset(rs);
        QVERIFY(!rs.isOpen());
    }

    void recordsetErrorBoxes_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        const QString check = "Jet Data Base Engine의 식을 확인하세요.";
        QTest::newRow("syntax") << "SELEC * FROM tblfriend" << "Query" << check;
        QTest::newRow("unknown table") << "SELECT * FROM tblnothing" << "Query" << check;
        QTest::newRow("unknown column") << "SELECT nosuchcolumn FROM tblfriend" << "Query" << check;
        QTest::newRow("runtime") << "SELECT MID(sname, 0) FROM tblfriend" << "ERROR"
                                 << "Invalid procedure call or argument";
    }
    void recordsetErrorBoxes() {
        QFETCH(QString, sql);
        QFETCH(QString, title);
        QFETCH(QString, body);
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, sql), -1);
        QCOMPARE(m_env->prompt().shown().size(), 1);
        QCOMPARE(m_env->prompt().lastTitle(), title);
        QCOMPARE(m_env->prompt().lastText(), body + "\n" + sql);
        QCOMPARE(m_env->prompt().shown()[0].icon, Prompt::Icon::Information);
        QVERIFY(!rs.isOpen());
        // The connection goes on working.
        QCOMPARE(OpenRecordset(rs, "SELECT code FROM tblgroup"), 1);
    }

    void recordsetWithoutConnection() {
        DBTerminate();
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, "SELECT * FROM tblfriend"), -1);
        QCOMPARE(m_env->prompt().lastTitle(), QString("MDB 오류"));
        QCOMPARE(m_env->prompt().lastText(), QString("Data Base MDB가 선언되지 않았습니다.\nSELECT * FROM tblfriend"));
        QTest::ignoreMessage(QtWarningMsg, "ExecSQL rejected (no database connection): DELETE FROM tblfriend");
        QTest::ignoreMessage(QtWarningMsg, "GetScalar failed (no database connection): SELECT 1");
        QCOMPARE(ExecSQL("DELETE FROM tblfriend"), 0);
        QCOMPARE(GetScalar("SELECT 1").toString(), QString());
        QCOMPARE(LastIdentity(), 0);
    }

    void recordsetOnBusyDatabase() {
        if (TestEnv::onServer()) QSKIP("a file of the embedded engine");
        // Another PC holds the file: rollback journal as on a shared folder, exclusive lock.
        DBTerminate();
        App().clientMode = 1;
        QVERIFY(OpenDatabase(App().dbFile));
        SetBusyTimeout(50);
        int waits = 0, waitEnds = 0;
        SetBusyWaitHooks([&] { ++waits; }, [&] { ++waitEnds; });
        OtherPc other;
        QVERIFY(other.exec("BEGIN EXCLUSIVE"));
        Recordset rs;
        // The list shows Korean text; the engine's words and the statement go to the log.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("read refused by a lock.*tblgroup"));
        QCOMPARE(OpenRecordset(rs, "SELECT * FROM tblgroup"), -1);
        QCOMPARE(m_env->prompt().lastTitle(), QString("MDB 오류"));
        QCOMPARE(m_env->prompt().lastText(), QString("다른 컴퓨터에서 자료를 저장하고 있어 자료를 읽지 못했습니다.\n잠시 후 다시 시도하세요."));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ExecSQL rejected"));
        QCOMPARE(ExecSQL("INSERT INTO tblusename (sname) VALUES ('x')"), 0);
        QCOMPARE(DbFailureCause(LastDbErrorCode()), QString("다른 컴퓨터에서 자료를 저장하고 있습니다. 잠시 후 다시 시도하세요."));
        // The wait cursor came on for each wait and went off again.
        QCOMPARE(waits, 2);
        QCOMPARE(waitEnds, 2);

        // A check that cannot read is no "nothing found": each guard refuses, with a message.
        m_env->prompt().clear();
        for (int i = 0; i < 5; ++i)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("read refused by a lock"));
        QCOMPARE(CountRows("tbltrade", "ctblfriend = ?", {7}), -1);
        QVERIFY(IsCodeInUse("tbltrade", "ctblfriend", "7", false, "회원거래", true));
        QVERIFY(CheckDuplicate("tblfriend", "sname", "홍", {}, true, "회원명"));
        QVERIFY(CheckDuplicateAny("tblfriend", {"hpline"}, "010", {}, false, "전화번호"));
        QCOMPARE(NextSerialCode("tblfriend", "codeno", 4), QString());
        QCOMPARE(m_env->prompt().shown().size(), 5); // the error each time, no question asked
        for (const auto& s : m_env->prompt().shown()) QCOMPARE(s.kind, ScriptedPrompt::Kind::Message);
        SetBusyWaitHooks({}, {});
        other.exec("ROLLBACK");
        QCOMPARE(OpenRecordset(rs, "SELECT * FROM tblgroup"), 1);
    }

    // Counts, rejections and the key of the last insert (the fixed row holds 1).
    void execCountsRowsAndRejects() {
        QCOMPARE(ExecSQL("INSERT INTO tblusename (sname) VALUES ('" + SqlQuote("O'Brien's") + "')"), 1);
        QCOMPARE(LastIdentity(), 2);
        QCOMPARE(GetScalar("SELECT sname FROM tblusename WHERE code = ?", {LastIdentity()}).toString(),
                 QString("O'Brien's"));
        QCOMPARE(ExecSQL("INSERT INTO tblusename (sname) VALUES ('b')"), 1);
        QCOMPARE(LastIdentity(), 3);
        QCOMPARE(ExecSQL("UPDATE tblusename SET sname = sname || '!' WHERE code <> 1"), 2);
        QCOMPARE(ExecSQL("UPDATE tblusename SET sname = 'z' WHERE code = 999"), 0);
        // DDL counts no rows, even right after a write.
        QCOMPARE(ExecSQL("CREATE TABLE scratch (a INTEGER)"), 0);
        QCOMPARE(TableColumns("scratch"), QStringList{"a"});
        // Rejected statements: no message, 0, and a line in the log.
        QTest::ignoreMessage(QtWarningMsg, rejected("INSERT INTO tblnothing VALUES (1)"));
        QTest::ignoreMessage(QtWarningMsg, rejected("DELETE FROM tblusename WHERE code = 2; DELETE FROM tblusename"));
        QCOMPARE(ExecSQL("INSERT INTO tblnothing VALUES (1)"), 0);
        QCOMPARE(ExecSQL("DELETE FROM tblusename WHERE code = 2; DELETE FROM tblusename"), 0);
        QCOMPARE(CountRows("tblusename"), 3);
        QVERIFY(m_env->prompt().shown().isEmpty());
    }

    // Empty results: an open recordset at its end, and '' for a null or missing scalar.
    void emptyResults() {
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, "SELECT * FROM tblfriend WHERE code <> 1"), 0);
        QVERIFY(rs.isOpen());
        QVERIFY(rs.eof());
        QCOMPARE(GetScalar("SELECT smemo FROM tblgroup WHERE code = 99"), QVariant(QString()));
        QCOMPARE(GetScalar("SELECT NULL"), QVariant(QString()));
        QCOMPARE(GetScalar("SELECT SUM(dsum) FROM tbltradesub"), QVariant(QString()));
        QCOMPARE(GetScalar("SELECT gname FROM tblgroup WHERE code = 1").toString(), QString("[기본그룹]"));
        QVERIFY(m_env->prompt().shown().isEmpty());
    }

    void nextSerialCode_data() {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("message");
        QTest::newRow("empty table") << QStringList() << 4 << "" << "0001" << false;
        QTest::newRow("next after max") << QStringList{"0001", "0042", "0007"} << 4 << "" << "0043" << false;
        QTest::newRow("others ignored") << QStringList{"0005", "12345", "abcd", "12a4", "9", "-001", " 999"} << 4
                                        << "" << "0006" << false;
        QTest::newRow("decimal and exponent texts are no codes")
            << QStringList{"0002", "1.23", "9e99", "0x1F"} << 4 << "" << "0003" << false;
        QTest::newRow("range exhausted") << QStringList{"9999"} << 4 << "" << "" << true;
        QTest::newRow("six digits") << QStringList{"000099"} << 6 << "" << "000100" << false;
        QTest::newRow("prefix") << QStringList{"A001", "A017", "B099"} << 4 << "A" << "A018" << false;
        QTest::newRow("prefix empty") << QStringList{"B001"} << 4 << "A" << "A001" << false;
        QTest::newRow("prefix full") << QStringList{"A999"} << 4 << "A" << "" << true;
        QTest::newRow("prefix quote") << QStringList{"'01"} << 3 << "'" << "'02" << false;
        QTest::newRow("prefix as wide") << QStringList{"A001"} << 2 << "AB" << "AB" << false;
        QTest::newRow("prefix wider") << QStringList() << 2 << "ABC" << "ABC" << false;
        QTest::newRow("hidden rows left out") << QStringList{"0003", "0010 hidden"} << 4 << "" << "0004" << false;
    }
    void nextSerialCode() {
        QFETCH(QStringList, present);
        QFETCH(int, width);
        QFETCH(QString, prefix);
        QFETCH(QString, expected);
        QFETCH(bool, message);
        for (const QString& c : present)
            QCOMPARE(ExecSQL("INSERT INTO tblfriend (sname, codeno, hidden) VALUES ('x', ?, ?)",
                             {c.endsWith(" hidden") ? c.chopped(7) : c, int(c.endsWith(" hidden"))}), 1);
        QCOMPARE(NextSerialCode("tblfriend", "codeno", width, prefix, "hidden = 0"), expected);
        QCOMPARE(m_env->prompt().shown().size(), message ? 1 : 0);
        if (message)
            QCOMPARE(m_env->prompt().lastText(),
                     QString("해당 순번이 최대값을 넘어 자동으로 값을 구할 수가 없습니다.(tblfriend.codeno)"));
    }

    void checkDuplicate() {
        QCOMPARE(ExecSQL("INSERT INTO tblfriend (sname, hpline) VALUES (?, ?)", {"O'Neil 홍", "010"}), 1);
        QVERIFY(!CheckDuplicate("tblfriend", "sname", "O'Neil", {}, true, "이름"));
        QVERIFY(CheckDuplicate("tblfriend", "sname", "O'Neil 홍", {}, false, "이름"));
        QVERIFY(m_env->prompt().shown().isEmpty());
        QVERIFY(!CheckDuplicate("tblfriend", "sname", "O'Neil 홍", "code = 1", false, "이름"));
        // Extra conditions come from the program and carry no parameters of their own.
        QVERIFY(CheckDuplicate("tblfriend", "sname", "O'Neil 홍", "hidden = 0", false, "이름"));
        QVERIFY(!CheckDuplicate("tblfriend", "sname", "O'Neil 홍", "hidden = 1", false, "이름"));

        // Asked: No (the default) stops the registration, Yes lets it go ahead.
        QVERIFY(CheckDuplicate("tblfriend", "sname", "O'Neil 홍", {}, true, "이름"));
        const auto& q = m_env->prompt().shown().last();
        QCOMPARE(q.kind, ScriptedPrompt::Kind::Question);
        QCOMPARE(q.icon, Prompt::Icon::Question);
        QCOMPARE(q.title, QString("동일 이름 발견"));
        QCOMPARE(q.text, QString("『O'Neil 홍』는 이미 등록된 이름입니다.\n\n그래도, 등록하시겠습니까?"));
        QCOMPARE(m_env->prompt().lastDefault(), Prompt::Answer::No);
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        QVERIFY(!CheckDuplicate("tblfriend", "sname", "O'Neil 홍", {}, true, "이름", "홍 (010)"));
        QCOMPARE(m_env->prompt().lastText(), QString("『홍 (010)』는 이미 등록된 이름입니다.\n\n그래도, 등록하시겠습니까?"));
    }

    void checkDuplicateAnyQuotesTheValue() {
        ExecSQL("INSERT INTO tblfriend (sname, hline1, hpline) VALUES ('a', '02-1', '010-1')");
        QVERIFY(CheckDuplicateAny("tblfriend", {"hpline", "hline1", "hline2"}, "02-1", {}, false, "전화번호"));
        QVERIFY(!CheckDuplicateAny("tblfriend", {"hpline", "hline1"}, "x' OR '1'='1", {}, false, "전화번호"));
        QVERIFY(!CheckDuplicateAny("tblfriend", {"hpline"}, "02-1", {}, false, "전화번호"));
        QVERIFY(CheckDuplicateAny("tblfriend", {"hpline"}, "010-1", "code > 1", true, "전화번호"));
        QCOMPARE(m_env->prompt().lastTitle(), QString("동일 전화번호 발견"));
        QCOMPARE(m_env->prompt().shown().size(), 1);
    }

    void isCodeInUse() {
        ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend) VALUES ('2026-12-01', 7)");
        QVERIFY(!IsCodeInUse("tbltrade", "ctblfriend", "8", false, "회원거래", true));
        QVERIFY(m_env->prompt().shown().isEmpty());
        QVERIFY(IsCodeInUse("tbltrade", "ctblfriend", "7", false, "회원거래", false));
        QVERIFY(m_env->prompt().shown().isEmpty());
        QVERIFY(IsCodeInUse("tbltrade", "ctblfriend", "7", false, "회원거래", true));
        QCOMPARE(m_env->prompt().lastText(), QString("해당 데이터가 「회원거래」에서 사용중이기 때문에 삭제할 수 없습니다."));
        QCOMPARE(m_env->prompt().lastTitle(), App().appTitle);
        QVERIFY(!IsCodeInUse("tbltrade", "ctblfriend", "7", false, "회원거래", false, "sdate > '2026-12-01'"));
        // Text references and a value that is no number at all.
        ExecSQL("INSERT INTO tbljangbu (sdate, ctblitem) VALUES ('2026-12-01', ?)", {"식대'비"});
        QVERIFY(IsCodeInUse("tbljangbu", "ctblitem", "식대'비", true, "금전출납부", false));
        QVERIFY(!IsCodeInUse("tbltrade", "ctblfriend", "7 OR 1=1", false, "회원거래", false));
    }

    void options() {
        QCOMPARE(CountRows("options", "optname = 'userfieldname_0'"), 0);
        QCOMPARE(GetOption("userfieldname_0", "취미'1"), QString("취미'1"));
        QCOMPARE(CountRows("options", "optname = 'userfieldname_0'"), 1);
        QCOMPARE(GetOption("userfieldname_0", "other"), QString("취미'1"));
        QVERIFY(SetOption("userfieldname_0", "it's"));
        QCOMPARE(GetOption("userfieldname_0", ""), QString("it's"));
        QVERIFY(SetOption("new'one", "v"));
        QCOMPARE(CountRows("options", "optname = ?", {"new'one"}), 1);
        QVERIFY(SetOption("new'one", "v")); // same value again still counts as written
        QCOMPARE(CountRows("options", "optname = ?", {"new'one"}), 1);
    }

    void transactionCommitAndRollback() {
        {
            Transaction t;
            ExecSQL("INSERT INTO tblusename (sname) VALUES ('kept')");
            QVERIFY(t.commit());
        }
        {
            Transaction t;
            ExecSQL("INSERT INTO tblusename (sname) VALUES ('dropped')");
            {
                Transaction inner; // joins the outer one
                ExecSQL("INSERT INTO tblusename (sname) VALUES ('dropped too')");
                QVERIFY(inner.commit());
            }
        }
        QCOMPARE(CountRows("tblusename", "code <> 1"), 1);
        QCOMPARE(GetScalar("SELECT sname FROM tblusename WHERE code <> 1").toString(), QString("kept"));
    }
};

QTEST_MAIN(TestDatabase)
#include "tst_database.moc"
