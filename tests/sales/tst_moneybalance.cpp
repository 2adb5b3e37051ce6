#include "TestEnv.h"

#include "db/Database.h"
#include "sales/MoneyBalance.h"

#include <QtTest>

// Balances over a hand-built ledger holding one entry of every section.
// Places: cash (code 1, opening 100000), bank A (2, 50000), bank B (3, 20000), card C (4, 0).
class TestMoneyBalance : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = new TestEnv; QVERIFY(m_env->ok()); }
    void cleanup() { delete m_env; m_env = nullptr; }

    void emptyLedger() {
        QCOMPARE(CashBalance(), 0.0);
        QCOMPARE(AccountBalance(1), 0.0);
        QCOMPARE(AccountBalance(77), 0.0);
        QCOMPARE(BalanceBefore(false, "2026-12-31"), 0.0);
        QCOMPARE(BalanceBefore(true, "2026-12-31"), 0.0);
        QVERIFY(m_env->prompt().shown().isEmpty());
    }

    void balances_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("date");
        QTest::addColumn<double>("expected");
        // cash: +1 income 10000, +4 withdrawal 5000, +7 cash advance 2000, -0 expense 3000,
        // -5 deposit 6000
        QTest::newRow("cash") << "cash" << 0 << "" << 108000.0;
        // A: +3 income 8000; -2 expense 4000, -4 withdrawal 5000, -8 transfer out 9000
        QTest::newRow("account A") << "account" << 2 << "" << 40000.0;
        // B: +5 deposit 6000, +8 transfer in 9000
        QTest::newRow("account B") << "account" << 3 << "" << 35000.0;
        // C: -6 card expense 7000, -7 cash advance 2000
        QTest::newRow("card C") << "account" << 4 << "" << -9000.0;
        QTest::newRow("unknown account") << "account" << 99 << "" << 0.0;
        // all money only by income (1, 3) and expenses (0, 2, 6)
        QTest::newRow("all, before any entry") << "all" << 0 << "2026-01-01" << 170000.0;
        QTest::newRow("all, date of first entry excluded") << "all" << 0 << "2026-01-05" << 170000.0;
        QTest::newRow("all, after cash expense") << "all" << 0 << "2026-01-06" << 167000.0;
        QTest::newRow("all, before transfer") << "all" << 0 << "2026-01-13" << 174000.0;
        QTest::newRow("all, after transfer and record") << "all" << 0 << "2027-01-01" << 174000.0;
        QTest::newRow("cash, before any entry") << "cashBefore" << 0 << "2026-01-05" << 100000.0;
        QTest::newRow("cash, before deposit") << "cashBefore" << 0 << "2026-01-10" << 112000.0;
        QTest::newRow("cash, before advance") << "cashBefore" << 0 << "2026-01-12" << 106000.0;
        QTest::newRow("cash, all") << "cashBefore" << 0 << "2027-01-01" << 108000.0;
        // compared as text: the quote sorts before "-"
        QTest::newRow("quote in date") << "all" << 0 << "2026'01" << 170000.0;
    }
    void balances() {
        QFETCH(QString, kind);
        QFETCH(int, code);
        QFETCH(QString, date);
        QFETCH(double, expected);
        buildLedger();
        double got = 0;
        if (kind == "cash")
            got = CashBalance();
        else if (kind == "account")
            got = AccountBalance(code);
        else
            got = BalanceBefore(kind == "cashBefore", date);
        QCOMPARE(got, expected);
        // Every place together equals the balance of all money.
        QCOMPARE(CashBalance() + AccountBalance(2) + AccountBalance(3) + AccountBalance(4),
                 BalanceBefore(false, "9999-12-31"));
        QVERIFY(m_env->prompt().shown().isEmpty());
    }

private:
    void buildLedger() {
        QCOMPARE(ExecSQL("UPDATE tblgrouping SET sbalance = 100000 WHERE code = 1"), 1);
        const char* places[][4] = {{"2", "1", "국민'통장", "50000"},
                                   {"3", "1", "신한", "20000"},
                                   {"4", "2", "BC카드", "0"}};
        for (const auto& p : places)
            QCOMPARE(ExecSQL("INSERT INTO tblgrouping (code, accountclass, accountname, sbalance) "
                             "VALUES (?, ?, ?, ?)",
                             {QString(p[0]).toInt(), p[1], QString::fromUtf8(p[2]),
                              QString(p[3]).toDouble()}),
                     1);
        struct Entry { const char* date; const char* section; int in; int out; double money; };
        const Entry entries[] = {
            {"2026-01-05", "0", 1, 1, 3000},   {"2026-01-06", "1", 1, 1, 10000},
            {"2026-01-07", "2", 1, 2, 4000},   {"2026-01-08", "3", 2, 1, 8000},
            {"2026-01-09", "4", 1, 2, 5000},   {"2026-01-10", "5", 3, 1, 6000},
            {"2026-01-11", "6", 1, 4, 7000},   {"2026-01-12", "7", 1, 4, 2000},
            {"2026-01-13", "8", 3, 2, 9000},   {"2026-01-14", "9", 2, 1, 123456},
        };
        for (const auto& e : entries)
            QCOMPARE(ExecSQL("INSERT INTO tbljangbu (sdate, sectionclass, cgroupin, cgroupout, "
                             "smoney) VALUES (?, ?, ?, ?, ?)",
                             {e.date, e.section, e.in, e.out, e.money}),
                     1);
    }

    TestEnv* m_env = nullptr;
};

QTEST_MAIN(TestMoneyBalance)
#include "tst_moneybalance.moc"
