// One member's trades opened from the member list, one row per trade line.
#include "TestEnv.h"
#include "SalesTestUtil.h"

#include "members/frmFriend.h"
#include "sales/frmFriend_Trade.h"
#include "ui/Grid.h"

#include <QLabel>

using namespace salestest;

class TestMemberTrades : public SalesWindowTest {
    Q_OBJECT
    int m_member = 0;

    frmFriend_Trade* openFromMemberList()
    {
        auto* list = runCommand<frmFriend>(m_frame.get(), "mnuFriend_Friend", "frmFriend");
        if (!list)
            return nullptr;
        list->Search();
        const int row = list->grid()->searchCol(frmFriend::ColCode, 1, -1, QString::number(m_member));
        if (row < 1)
            return nullptr;
        clickCell(list->grid(), frmFriend::ColName, row);
        click(list, "btnTrade");
        return dynamic_cast<frmFriend_Trade*>(WindowRegistry::find("frmFriend_Trade"));
    }
    static QStringList column(Grid* g, int col)
    {
        QStringList out;
        for (int r = 1; r < g->maxRows(); ++r)
            out << g->text(col, r);
        return out;
    }

private slots:
    void init()
    {
        setUp();
        m_member = addMember("홍길동");
        ExecSQL("UPDATE tblfriend SET codeno = 'A-7', barthday = '1990-01-02', lunarbarth = 1 WHERE code = ?", {m_member});
    }
    void cleanup() { tearDown(); }

    void rowsAndRunningBalance()
    {
        const int a = addTrade(m_member, "2026-12-02", 1000);
        addLine(a, "커트", 2, 5000, addService("커트", 5000));
        addLine(a, "샴푸", 1, 3000);
        const int b = addTrade(m_member, "2026-12-01", 2000); // no lines
        const int c = addTrade(m_member, "2026-12-03");
        addLine(c, "옛 상품", 1, 4000, 99); // its service row is gone
        frmFriend_Trade* w = openFromMemberList();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("회원별 거래 내역 - 관리번호 : [A-7]"));
        QVERIFY(w->memberPanel()->text().contains("1990-01-02 음력"));
        Grid* g = w->list();
        QCOMPARE(column(g, frmFriend_Trade::CTrade),
                 (QStringList{QString::number(b), QString::number(a), QString::number(a), QString::number(c)}));
        QCOMPARE(column(g, frmFriend_Trade::CService), (QStringList{"", "커트", "샴푸", "옛 상품"}));
        QCOMPARE(column(g, frmFriend_Trade::CAmount), (QStringList{"", "10,000", "3,000", "4,000"}));
        // each trade counted once: -2000, +12000, +4000
        QCOMPARE(column(g, frmFriend_Trade::COutstanding), (QStringList{"-2,000", "10,000", "10,000", "14,000"}));
        QCOMPARE(g->number(frmFriend_Trade::COutstanding, 4), FriendBalance(m_member));
        QCOMPARE(w->sums()->number(3, 1), FriendBalance(m_member));
        QCOMPARE(w->sums()->number(2, 1), 3000.0);
    }

    void editingAndNewRow()
    {
        const int a = addTrade(m_member, "2026-12-02");
        const int line = addLine(a, "커트", 1, 5000);
        addService("염색", 30000);
        frmFriend_Trade* w = openFromMemberList();
        QVERIFY(w);
        Grid* g = w->list();
        clickCell(g, frmFriend_Trade::CQty, 1);
        type("3");
        key(Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(scalar("SELECT lnumber FROM tbltradesub WHERE code = ?", {line}), QStringLiteral("3"));
        QCOMPARE(scalar("SELECT dsum FROM tbltradesub WHERE code = ?", {line}), QStringLiteral("15000"));
        QCOMPARE(g->text(frmFriend_Trade::CAmount, 1), QStringLiteral("15,000"));

        // the new row: payment first is refused, then a catalog service makes trade and line
        clickCell(g, frmFriend_Trade::CReceived, 2);
        click(w, "btnInMoney");
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("우선 거래내용을 선택하셔야 합니다."));
        clickCell(g, frmFriend_Trade::CService, 2);
        type("염");
        key(Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltrade"), QStringLiteral("2"));
        QCOMPARE(scalar("SELECT s.servicename || '|' || s.lnumber || '|' || CAST(s.dsum AS INTEGER) || '|' || t.sdate || '|' || t.ctblcard "
                        "FROM tbltradesub AS s, tbltrade AS t WHERE t.code = s.ctbltrade AND t.code <> ?", {a}),
                 QStringLiteral("염색|1|30000|2026-12-06|1"));
        // a free name (No to adding it) is a line of service 1 with the name as typed
        m_env->prompt().pushAnswer(Prompt::Answer::No);
        clickCell(g, frmFriend_Trade::CService, 3);
        type("it's");
        key(Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(scalar("SELECT ctblservice || '|' || lnumber FROM tbltradesub WHERE servicename = 'it''s'"),
                 QStringLiteral("1|1"));

        // delete takes the trade's lines along
        clickCell(g, frmFriend_Trade::CDate, 1);
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        key(Qt::Key_F4);
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltradesub WHERE ctbltrade = ?", {a}), QStringLiteral("0"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltrade WHERE code = ?", {a}), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestMemberTrades)
#include "tst_membertrades.moc"
