#include "EnvTest.h"

#include "db/Database.h"

#include <QtTest>

// The shared look-ups on empty tables and on data, names with quotes included.
class TestLookups : public EnvTest {
    Q_OBJECT
private slots:
    void emptyTables() {
        QCOMPARE(FriendBalance(2), 0.0);
        QCOMPARE(FriendBalance(2, 5), 0.0);
        QCOMPARE(FriendPointBalance(2), 0);
        QCOMPARE(TradeLines(3).count, 0);
        QCOMPARE(TradeLines(3).total, 0.0);
        QCOMPARE(GroupMonDetailTotal(4), 0.0);
        QCOMPARE(GroupSettlementMon("없는 그룹"), 0.0);
        QCOMPARE(GroupRepeatByName("없는 그룹").repeatClass, QString());
        QCOMPARE(GroupNameByCode(9), QString());
        QCOMPARE(GroupCodeByName("없는 그룹"), 0);
        QCOMPARE(FriendNameByCode(1), QString()); // the fixed row is nobody
        QCOMPARE(FriendNameByCode(9), QString());
        QCOMPARE(AccountNameByCode(1), QString()); // cash is not an account
        QCOMPARE(AccountNameCount("1", "현금"), 0);
        QCOMPARE(AccountCodeByName("국민'통장", "1"), 0);
        QCOMPARE(AccountParentByName("BC'카드"), 0);
        QVERIFY(m_env->prompt().shown().isEmpty());
    }

    void memberBalances() {
        const int member = addFriend("홍길동");
        const int other = addFriend("김'철수");
        // Trade A: lines 10000 + 5000, paid 3000 cash + 2000 card + 1000 points + 500 discount.
        const int a = addTrade(member, 3000, 2000, 0, 1000, 500, 150);
        addLine(a, 10000);
        addLine(a, 5000);
        // Trade B: one line 7000, bank transfer 7000, earns 70 points.
        const int b = addTrade(member, 0, 0, 7000, 0, 0, 70);
        addLine(b, 7000);
        // Trade C: nothing paid yet, no lines.
        const int c = addTrade(member, 0, 0, 0, 0, 0, 0);
        // Another member's trade never counts.
        const int d = addTrade(other, 100, 0, 0, 0, 0, 5);
        addLine(d, 900);

        QCOMPARE(FriendBalance(member), 22000.0 - 13500.0);
        QCOMPARE(FriendBalance(member, a), 7000.0 - 7000.0);
        QCOMPARE(FriendBalance(member, c), 8500.0);
        QCOMPARE(FriendBalance(other), 800.0);
        QCOMPARE(FriendPointBalance(member), 150 + 70 - 1000);
        QCOMPARE(FriendPointBalance(member, a), 70);
        QCOMPARE(TradeLines(a).count, 2);
        QCOMPARE(TradeLines(a).total, 15000.0);
        QCOMPARE(TradeLines(c).count, 0);
        QCOMPARE(TradeLines(c).total, 0.0);
    }

    void groups() {
        QCOMPARE(ExecSQL("INSERT INTO tblgroup (gname, repeatclass, settlementday, settlementmon) "
                         "VALUES (?, ?, ?, ?)",
                         {"산악회 'A'", "00101", "05", 20000.0}), 1);
        const int g = LastIdentity();
        QCOMPARE(GroupCodeByName("산악회 'A'"), g);
        QCOMPARE(GroupNameByCode(g), QString("산악회 'A'"));
        QCOMPARE(GroupSettlementMon("산악회 'A'"), 20000.0);
        QCOMPARE(GroupRepeatByName("산악회 'A'").repeatClass, QString("00101"));
        QCOMPARE(GroupRepeatByName("산악회 'A'").settlementDay, QString("05"));
        QCOMPARE(GroupCodeByName("[기본그룹]"), 1);

        ExecSQL("INSERT INTO tblgroupmon (ctblgroup, inoutclass, sdate, smoney) VALUES (?, '2', '2026-12-01', 0)", {g});
        const int entry = LastIdentity();
        ExecSQL("INSERT INTO tblsubdata (ctblgroupmon, bigo, smoney) VALUES (?, '식대', 12000)", {entry});
        ExecSQL("INSERT INTO tblsubdata (ctblgroupmon, bigo, smoney) VALUES (?, '차비', 3500.5)", {entry});
        ExecSQL("INSERT INTO tblsubdata (ctblgroupmon, bigo, smoney) VALUES (?, '다른', 1)", {entry + 1});
        QCOMPARE(GroupMonDetailTotal(entry), 15500.5);
    }

    void namesAndAccounts() {
        const int member = addFriend("O'Neil");
        QCOMPARE(FriendNameByCode(member), QString("O'Neil"));

        ExecSQL("INSERT INTO tblgrouping (accountclass, accountname) VALUES ('1', ?)", {"국민'통장"});
        const int bank = LastIdentity();
        ExecSQL("INSERT INTO tblgrouping (accountclass, accountname, ctblgrouping) VALUES ('2', ?, ?)",
                {"BC'카드", bank});
        const int card = LastIdentity();
        // The same name as a card does not make a bank account.
        ExecSQL("INSERT INTO tblgrouping (accountclass, accountname) VALUES ('2', ?)", {"국민'통장"});

        QCOMPARE(AccountNameByCode(bank), QString("국민'통장"));
        QCOMPARE(AccountNameCount("1", "국민'통장"), 1);
        QCOMPARE(AccountNameCount("1", "국민'통장", bank), 0);
        QCOMPARE(AccountNameCount("2", "국민'통장"), 1);
        QCOMPARE(AccountCodeByName("국민'통장", "1"), bank);
        QCOMPARE(AccountCodeByName("BC'카드", "2"), card);
        QCOMPARE(AccountCodeByName("BC'카드", "1"), 0);
        QCOMPARE(AccountParentByName("BC'카드"), bank);
        QCOMPARE(AccountParentByName("국민'통장"), 1); // a card without a settlement account
    }

private:
    int addFriend(const QString& name) {
        ExecSQL("INSERT INTO tblfriend (sname) VALUES (?)", {name});
        return LastIdentity();
    }
    int addTrade(int member, double cash, double card, double account, int points, double dc, int earned) {
        ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend, dmoney, dcard, daccount, lpoint, ddc, lstackpoint) "
                "VALUES ('2026-12-06', ?, ?, ?, ?, ?, ?, ?)",
                {member, cash, card, account, points, dc, earned});
        return LastIdentity();
    }
    void addLine(int trade, double sum) {
        ExecSQL("INSERT INTO tbltradesub (ctbltrade, lnumber, dmoney, dsum) VALUES (?, 1, ?, ?)", {trade, sum, sum});
    }
};

QTEST_MAIN(TestLookups)
#include "tst_lookups.moc"
