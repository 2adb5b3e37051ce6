#include "EnvTest.h"

#include "core/AppState.h"
#include "db/Database.h"

#include <QtTest>

// The Jet functions as statements see them: counted in characters, null-transparent.
namespace {
const QVariant Fails(QStringLiteral("<statement error>"));
}

class TestSqlFunctions : public EnvTest {
    Q_OBJECT
private slots:
    void textFunctions_data() {
        QTest::addColumn<QString>("expr");
        QTest::addColumn<QVariant>("expected");
        // QVariant() is SQL NULL.
        QTest::newRow("mid korean") << "MID('홍길동전', 2, 2)" << QVariant("길동");
        QTest::newRow("mid to end") << "MID('홍길동전', 3)" << QVariant("동전");
        QTest::newRow("mid past end") << "MID('abc', 5, 2)" << QVariant("");
        QTest::newRow("mid huge length takes the rest") << "MID('abc', 2, 9223372036854775807)" << QVariant("bc");
        QTest::newRow("mid huge start") << "MID('abc', 9223372036854775807, 2)" << QVariant("");
        QTest::newRow("mid null") << "MID(NULL, 1, 1)" << QVariant();
        QTest::newRow("left korean") << "\"LEFT\"('서울특별시', 2)" << QVariant("서울");
        QTest::newRow("left over") << "\"LEFT\"('ab', 5)" << QVariant("ab");
        QTest::newRow("right korean") << "\"RIGHT\"('서울특별시', 3)" << QVariant("특별시");
        QTest::newRow("right number") << "\"RIGHT\"(12345, 2)" << QVariant("45");
        QTest::newRow("right null") << "\"RIGHT\"(NULL, 2)" << QVariant();
        QTest::newRow("len korean") << "LEN('홍길동')" << QVariant(3);
        QTest::newRow("len empty") << "LEN('')" << QVariant(0);
        QTest::newRow("len null") << "LEN(NULL)" << QVariant();
        QTest::newRow("len quote") << "LEN('O''Neil')" << QVariant(6);
        QTest::newRow("ucase mixed") << "UCASE('abC가')" << QVariant("ABC가");
        // Jet refuses a start below 1 or a negative count; so do we, as a statement error.
        QTest::newRow("mid start 0 fails") << "MID('abc', 0, 1)" << Fails;
        QTest::newRow("left negative fails") << "\"LEFT\"('abc', -1)" << Fails;
        QTest::newRow("right negative fails") << "\"RIGHT\"('abc', -1)" << Fails;
    }
    void textFunctions() {
        QFETCH(QString, expr);
        QFETCH(QVariant, expected);
        const SqlOutcome o = RunSilent("SELECT " + expr);
        if (expected == Fails) {
            QVERIFY(!o.ok);
            return;
        }
        QVERIFY2(o.ok, qPrintable(o.error));
        if (!expected.isValid()) {
            QVERIFY(!o.value.isValid());
        } else if (expected.typeId() == QMetaType::Int) {
            QCOMPARE(o.value.toInt(), expected.toInt());
        } else {
            QCOMPARE(o.value.toString(), expected.toString());
        }
    }

    void isNumeric_data() {
        QTest::addColumn<QString>("arg");
        QTest::addColumn<int>("expected");
        QTest::newRow("digits") << "'0012'" << 1;
        QTest::newRow("blanks sign point") << "' -12.5 '" << 1;
        QTest::newRow("exponent") << "'1e3'" << 1;
        QTest::newRow("integer value") << "42" << 1;
        QTest::newRow("empty") << "''" << 0;
        QTest::newRow("letters") << "'12a'" << 0;
        QTest::newRow("korean") << "'일이삼'" << 0;
        QTest::newRow("two points") << "'1.2.3'" << 0;
        QTest::newRow("bad exponent") << "'1e'" << 0;
        QTest::newRow("null") << "NULL" << 0;
    }
    void isNumeric() {
        QFETCH(QString, arg);
        QFETCH(int, expected);
        const SqlOutcome o = RunSilent("SELECT ISNUMERIC(" + arg + ")");
        QVERIFY2(o.ok, qPrintable(o.error));
        QCOMPARE(o.value.toInt(), expected);
    }

    // Every connection gets the functions, not just the first one, also in WHERE clauses
    // over stored Korean text.
    void registeredAfterReopenAndInWhere() {
        QCOMPARE(ExecSQL("INSERT INTO tblfriend (sname, hpline) VALUES (?, ?)", {"김철수", "010-1234-5678"}), 1);
        DBTerminate();
        QVERIFY(OpenDatabase(App().dbFile));
        QCOMPARE(CountRows("tblfriend", "\"RIGHT\"(hpline, 4) = '5678' AND \"LEFT\"(sname, 1) = '김' AND LEN(sname) = 3"), 1);
    }
};

QTEST_MAIN(TestSqlFunctions)
#include "tst_sqlfunctions.moc"
