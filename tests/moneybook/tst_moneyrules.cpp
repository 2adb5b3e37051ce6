// Balances of every section against sums worked out by hand, and the window-free rules of
// the money book: section texts, periods, the ledger query's filters, graph grouping.
#include "EnvTest.h"
#include "MoneyTestUtil.h"

#include "moneybook/GraphAnalysis.h"
#include "moneybook/MoneyBookRules.h"
#include "sales/MoneyBalance.h"

#include <QtTest>

using namespace MoneyBook;

class TestMoneyRules : public EnvTest {
    Q_OBJECT
    int m_a = 0, m_b = 0, m_card = 0;

private slots:
    void init() {
        EnvTest::init();
        ExecSQL("UPDATE tblgrouping SET sbalance = 10000 WHERE code = 1");
        m_a = addPlace("1", "국민", 100000);
        m_b = addPlace("1", "신한", 50000);
        m_card = addPlace("2", "비씨", 0, m_a);
    }

    void emptyLedger();
    void balancesBySection_data();
    void balancesBySection();
    void sectionTexts_data();
    void sectionTexts();
    void periods_data();
    void periods();
    void ledgerFilters();
    void graphGrouping();
};

// Nothing stored at all: every balance is 0, not an empty value.
void TestMoneyRules::emptyLedger() {
    ExecSQL("DELETE FROM tblgrouping WHERE code > 1");
    ExecSQL("UPDATE tblgrouping SET sbalance = 0");
    QCOMPARE(CashBalance(), 0.0);
    QCOMPARE(AccountBalance(1), 0.0);
    QCOMPARE(BalanceBefore(false, "2026-12-31"), 0.0);
    QCOMPARE(BalanceBefore(true, "2026-12-31"), 0.0);
    QVERIFY(m_env->prompt().shown().isEmpty());
}

void TestMoneyRules::balancesBySection_data() {
    QTest::addColumn<int>("section");
    QTest::addColumn<QString>("in"); // "A", "B", "C" (card) or "" (cash box)
    QTest::addColumn<QString>("out");
    QTest::addColumn<int>("cash"); // change of each balance for 1000
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("all");
    QTest::addColumn<int>("allCash");
    QTest::newRow("0 cash expense") << 0 << "" << "" << -1 << 0 << 0 << -1 << -1;
    QTest::newRow("1 cash income") << 1 << "" << "" << 1 << 0 << 0 << 1 << 1;
    QTest::newRow("2 account expense") << 2 << "" << "A" << 0 << -1 << 0 << -1 << 0;
    QTest::newRow("3 account income") << 3 << "A" << "" << 0 << 1 << 0 << 1 << 0;
    QTest::newRow("4 withdrawal moves, total stays") << 4 << "" << "A" << 1 << -1 << 0 << 0 << 1;
    QTest::newRow("5 deposit moves, total stays") << 5 << "A" << "" << -1 << 1 << 0 << 0 << -1;
    QTest::newRow("6 card expense lowers settlement account") << 6 << "C" << "A" << 0 << -1 << 0 << -1 << 0;
    QTest::newRow("7 cash advance: cash up, settlement down") << 7 << "C" << "A" << 1 << -1 << 0 << 0 << 1;
    QTest::newRow("8 transfer changes both, total stays") << 8 << "B" << "A" << 0 << -1 << 1 << 0 << 0;
    QTest::newRow("9 balance record moves nothing") << 9 << "A" << "" << 0 << 0 << 0 << 0 << 0;
}

void TestMoneyRules::balancesBySection() {
    QFETCH(int, section);
    QFETCH(QString, in);
    QFETCH(QString, out);
    QFETCH(int, cash);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, all);
    QFETCH(int, allCash);
    auto place = [this](const QString& p) {
        return p == "A" ? m_a : p == "B" ? m_b : p == "C" ? m_card : 1;
    };
    // On the last day of the year: counted before the next year, not before its own day.
    addEntry("2026-12-31", section, 1000, place(in), place(out));
    QCOMPARE(CashBalance(), 10000.0 + 1000 * cash);
    QCOMPARE(AccountBalance(m_a), 100000.0 + 1000 * a);
    QCOMPARE(AccountBalance(m_b), 50000.0 + 1000 * b);
    QCOMPARE(BalanceBefore(false, "2027-01-01"), 160000.0 + 1000 * all);
    QCOMPARE(BalanceBefore(true, "2027-01-01"), 10000.0 + 1000 * allCash);
    QCOMPARE(BalanceBefore(false, "2026-12-31"), 160000.0);
    QCOMPARE(BalanceBefore(true, "2026-12-31"), 10000.0);
    QCOMPARE(BalanceBefore(false, "2026'12"), 160000.0); // dates compare as text
    // Every place together is all money; a place that does not exist holds nothing.
    QCOMPARE(CashBalance() + AccountBalance(m_a) + AccountBalance(m_b) + AccountBalance(m_card),
             BalanceBefore(false, "9999-12-31"));
    QCOMPARE(AccountBalance(9999), 0.0);
    QVERIFY(m_env->prompt().shown().isEmpty());
}

void TestMoneyRules::sectionTexts_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("shortcut");
    QTest::addColumn<int>("byName");
    QTest::addColumn<QString>("itemClass");
    // 8, 0, 11 and a part of a name are typed into the ledger in the window tests.
    QTest::newRow("1 is cash expense") << "1" << 0 << -1 << "2";
    QTest::newRow("10 is balance record") << "10" << 9 << -1 << "";
    QTest::newRow("01 is no shortcut") << "01" << -1 << -1 << "";
    QTest::newRow("cell text") << "통장수입" << -1 << 3 << "1";
    QTest::newRow("balance record picker text") << "통장잔액기록" << -1 << 9 << "";
}

void TestMoneyRules::sectionTexts() {
    QFETCH(QString, typed);
    QFETCH(int, shortcut);
    QFETCH(int, byName);
    QFETCH(QString, itemClass);
    QCOMPARE(SectionByShortcut(typed), shortcut);
    QCOMPARE(SectionByName(typed), byName);
    const int section = shortcut >= 0 ? shortcut : byName;
    if (section >= 0) QCOMPARE(ItemClassOfSection(section), itemClass);
}

void TestMoneyRules::periods_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("wantFrom");
    QTest::addColumn<QString>("wantTo");
    QTest::newRow("in order") << "2026-12-01" << "2026-12-31" << "2026-12-01" << "2026-12-31";
    QTest::newRow("backwards is swapped") << "2026-12-31" << "2026-12-01" << "2026-12-01" << "2026-12-31";
    QTest::newRow("one date is that day") << "" << "20261205" << "2026-12-05" << "2026-12-05";
    QTest::newRow("30 February is no date") << "2026-02-30" << "2026-03-01" << "2026-03-01" << "2026-03-01";
    QTest::newRow("month 13 is no date") << "20261301" << "" << "" << "";
}

void TestMoneyRules::periods() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    const Period p = NormalizePeriod(from, to);
    QTEST(p.from, "wantFrom");
    QTEST(p.to, "wantTo");
}

void TestMoneyRules::ledgerFilters() {
    const int use = (ExecSQL("INSERT INTO tblusename (sname) VALUES ('a_b')"), LastIdentity());
    addEntry("2026-11-30", 1, 5000);
    const int pct = addEntry("2026-12-01", 0, 100, 1, 1, "50%", use, "it's");
    const int plain = addEntry("2026-12-02", 0, 200, 1, 1, "50 won", 1, "itxs");
    // An entry pointing at a place row that is gone still shows.
    const int orphan = addEntry("2026-12-03", 2, 300, 1, 999);
    auto codes = [](const LedgerFilter& f) {
        QList<int> out;
        for (const LedgerEntry& e : LoadLedger(f))
            out << e.code;
        return out;
    };
    LedgerFilter f;
    f.period = NormalizePeriod("2026-12-01", "2026-12-31");
    QCOMPARE(codes(f), QList<int>({pct, plain, orphan}));
    QVERIFY(CarriesBalance(f));
    f.item = "50%"; // % and _ are matched literally
    QCOMPARE(codes(f), QList<int>({pct}));
    QVERIFY(!CarriesBalance(f));
    f.item.clear();
    f.memo = "it'";
    QCOMPARE(codes(f), QList<int>({pct}));
    QVERIFY(!CarriesBalance(f));
    f.memo.clear();
    f.usePlace = use;
    QCOMPARE(codes(f), QList<int>({pct}));
    f.usePlace = 0;
    f.kind = 2;
    QCOMPARE(codes(f), QList<int>({pct, plain, orphan}));
    f.cashOnly = true;
    QCOMPARE(codes(f), QList<int>({pct, plain}));
    f.kind = 0;
    f.period = NormalizePeriod("", "2026-12-02");
    QCOMPARE(codes(f), QList<int>({plain}));
}

void TestMoneyRules::graphGrouping() {
    const int shop = (ExecSQL("INSERT INTO tblusename (sname) VALUES ('마트')"), LastIdentity());
    addEntry("2025-12-30", 0, 100, 1, 1, "식비", shop); // Tuesday: the week runs into 2026
    addEntry("2026-01-02", 2, 200, 1, m_a, "식비");     // Friday, same week
    addEntry("2026-01-04", 6, 400, m_card, m_a, "");    // Sunday: a new week
    addEntry("2026-01-05", 4, 9999, 1, m_a);            // withdrawals are never counted
    addEntry("2026-01-06", 9, 9999, m_a);
    auto run = [](int basis, bool income = false) {
        GraphAnalysis::Filter f;
        f.basis = basis;
        f.income = income;
        f.from = "2025-01-01";
        f.to = "2026-12-31";
        QStringList out;
        for (const GraphAnalysis::Point& p : GraphAnalysis::Run(f))
            out << p.label + "=" + QString::number(p.value);
        return out;
    };
    QCOMPARE(run(GraphAnalysis::ByWeek),
             QStringList({"2025-12월 5주차=300", "2026-1월 2주차=400"}));
    QCOMPARE(run(GraphAnalysis::ByMonth), QStringList({"2025-12=100", "2026-01=600"}));
    QCOMPARE(run(GraphAnalysis::ByYear), QStringList({"2025=100", "2026=600"}));
    QCOMPARE(run(GraphAnalysis::BySection),
             QStringList({"현금지출=100", "통장지출=200", "카드지출=400"}));
    QCOMPARE(run(GraphAnalysis::ByItem), QStringList({"(없음)=400", "식비=300"}));
    QCOMPARE(run(GraphAnalysis::ByAccount), QStringList({"현금=100", "국민=600"}));
    QCOMPARE(run(GraphAnalysis::ByDay, true), QStringList());
}

QTEST_MAIN(TestMoneyRules)
#include "tst_moneyrules.moc"
