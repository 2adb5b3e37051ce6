// One member's trades opened from the member list, one row per trade line.
#include "SalesTestUtil.h"

#include "members/frmFriend.h"
#include "ui/CellChanges.h"
#include "sales/frmFriend_Trade.h"

#include <QLabel>

using namespace salestest;

class TestMemberTrades : public SalesWindowTest {
    Q_OBJECT
    int m_member = 0;

    frmFriend_Trade* openFromMemberList() {
        auto* list = open<frmFriend>("mnuFriend_Friend");
        if (!list) return nullptr;
        list->Search();
        const int row = list->grid()->searchCol(frmFriend::ColCode, 1, -1, QString::number(m_member));
        if (row < 1) return nullptr;
        m_d->clickCell(list->grid(), frmFriend::ColName, row);
        m_d->click("btnTrade", list);
        return dynamic_cast<frmFriend_Trade*>(WindowRegistry::find("frmFriend_Trade"));
    }
    // A trade of 12-02 with one 커트 line, 염색 in the catalog, opened from the member list.
    frmFriend_Trade* openWithOneCut(int* trade, int* line) {
        *trade = addTrade(m_member, "2026-12-02");
        *line = addLine(*trade, "커트", 1, 5000);
        addService("염색", 30000);
        return openFromMemberList();
    }
    static QString lineText(int line) {
        return scalar("SELECT lnumber || '|' || CAST(dmoney AS INTEGER) || '|' || CAST(dsum AS INTEGER) FROM tbltradesub "
                      "WHERE code = ?", {line});
    }
    static QStringList column(Grid* g, int col) {
        QStringList out;
        for (int r = 1; r < g->maxRows(); ++r)
            out << g->text(col, r);
        return out;
    }

private slots:
    void init() {
        WindowTest::init();
        m_member = addMember("홍길동");
        ExecSQL("UPDATE tblfriend SET codeno = 'A-7', barthday = '1990-01-02', lunarbarth = 1 WHERE code = ?", {m_member});
    }

    void rowsAndRunningBalance() {
        const int a = addTrade(m_member, "2026-12-02", 1000);
        addLine(a, "커트", 2, 5000, addService("커트", 5000));
        addLine(a, "샴푸", 1, 3000);
        const int b = addTrade(m_member, "2026-12-01", 2000); // no lines
        const int c = addTrade(m_member, "2026-12-03");
        addLine(c, "옛 상품", 1, 4000, 99); // its service row is gone
        frmFriend_Trade* w = openFromMemberList();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), "회원별 거래 내역 - 관리번호 : [A-7]");
        QVERIFY(w->memberPanel()->text().contains("1990-01-02 음력"));
        Grid* g = w->list();
        QCOMPARE(column(g, frmFriend_Trade::CTrade),
                 (QStringList{QString::number(b), QString::number(a), QString::number(a), QString::number(c)}));
        QCOMPARE(column(g, frmFriend_Trade::CService), (QStringList{"", "커트", "샴푸", "옛 상품"}));
        QCOMPARE(column(g, frmFriend_Trade::CAmount), (QStringList{"", "10,000", "3,000", "4,000"}));
        // each trade counted once: -2000, +12000, +4000
        QCOMPARE(column(g, frmFriend_Trade::COutstanding), (QStringList{"-2,000", "10,000", "10,000", "14,000"}));
        QCOMPARE(g->number(frmFriend_Trade::COutstanding, 4), FriendBalance(m_member));
        QCOMPARE(w->sums()->number(frmFriend_Trade::COutstanding, 1), FriendBalance(m_member));
        QCOMPARE(w->sums()->number(frmFriend_Trade::CReceived, 1), 3000.0);
    }

    void editingAndNewRow() {
        int a = 0, line = 0;
        frmFriend_Trade* w = openWithOneCut(&a, &line);
        QVERIFY(w);
        Grid* g = w->list();
        // the new row: payment first is refused, then a catalog service makes trade and line
        m_d->clickCell(g, frmFriend_Trade::CReceived, 2);
        m_d->click("btnInMoney", w);
        QCOMPARE(prompt().lastText(), "우선 거래내용을 선택하셔야 합니다.");
        typeCell(g, frmFriend_Trade::CService, 2, "염");
        QCoreApplication::processEvents();
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltrade"), "2");
        QCOMPARE(scalar("SELECT s.servicename || '|' || s.lnumber || '|' || CAST(s.dsum AS INTEGER) || '|' || t.sdate || '|' || t.ctblcard "
                        "FROM tbltradesub AS s, tbltrade AS t WHERE t.code = s.ctbltrade AND t.code <> ?", {a}),
                 "염색|1|30000|2026-12-06|1");
        // a free name (No to adding it) is a line of service 1 with the name as typed
        prompt().pushAnswer(Prompt::Answer::No);
        typeCell(g, frmFriend_Trade::CService, 3, "it's");
        QCoreApplication::processEvents();
        QCOMPARE(scalar("SELECT ctblservice || '|' || lnumber FROM tbltradesub WHERE servicename = 'it''s'"),
                 "1|1");

        // delete takes the trade's lines along
        m_d->clickCell(g, frmFriend_Trade::CDate, 1);
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->key(Qt::Key_F4);
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltradesub WHERE ctbltrade = ?", {a}), "0");
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltrade WHERE code = ?", {a}), "0");
    }

    // A day typed by keyboard: Enter after a saved cell leads on along the same line, the
    // member panel follows every save and F5, and refused values show the stored ones.
    void keyboardEntryKeepsCursorAndPanel() {
        const int a = addTrade(m_member, "2026-12-02");
        const int line = addLine(a, "커트", 1, 5000);
        frmFriend_Trade* w = openFromMemberList();
        QVERIFY(w);
        Grid* g = w->list();
        QVERIFY(w->memberPanel()->text().contains("미수금 : 5,000"));
        m_d->clickCell(g, frmFriend_Trade::CQty, 1);
        m_d->type("3");
        m_d->key(Qt::Key_Return);
        QCOMPARE(g->activeCol(), int(frmFriend_Trade::CPrice));
        m_d->type("6000");
        m_d->key(Qt::Key_Return);
        QCOMPARE(lineText(line), "3|6000|18000");
        QCOMPARE(g->text(frmFriend_Trade::CAmount, 1), "18,000");
        QCOMPARE(scalar("SELECT sdate FROM tbltrade WHERE code = ?", {a}), "2026-12-02");
        QVERIFY(w->memberPanel()->text().contains("미수금 : 18,000"));
        otherPc(QStringLiteral("UPDATE tbltrade SET dmoney = 8000 WHERE code = %1").arg(a));
        m_d->key(Qt::Key_F5);
        QVERIFY(w->memberPanel()->text().contains("미수금 : 10,000"));

        // an emptied date, a fraction of a quantity: refused, the stored value shows again
        m_d->clickCell(g, frmFriend_Trade::CDate, 1);
        m_d->key(Qt::Key_Delete);
        m_d->key(Qt::Key_Return);
        QCOMPARE(g->text(frmFriend_Trade::CDate, 1), "2026-12-02");
        QCOMPARE(scalar("SELECT sdate FROM tbltrade WHERE code = ?", {a}), "2026-12-02");
        prompt().clear();
        typeCell(g, frmFriend_Trade::CQty, 1, "1.5");
        QCOMPARE(prompt().texts(), QStringList{"수량은 정수로 입력하세요."});
        QCOMPARE(g->text(frmFriend_Trade::CQty, 1), "3");
        QCOMPARE(lineText(line), "3|6000|18000");

        // a typed price stays when a catalog service is picked for the line
        addService("펌", 40000);
        typeCell(g, frmFriend_Trade::CService, 1, "펌");
        QCOMPARE(lineText(line), "3|6000|18000");
        QCOMPARE(scalar("SELECT servicename FROM tbltradesub WHERE code = ?", {line}), "펌");

        // points: sums beyond 32 bits are right, and a cell refuses to push them past the limit
        ExecSQL("UPDATE tbltrade SET lstackpoint = 2000000000 WHERE code = ?", {a});
        const int b = addTrade(m_member, "2026-12-03");
        ExecSQL("UPDATE tbltrade SET lstackpoint = 2000000000 WHERE code = ?", {b});
        const int c = addTrade(m_member, "2026-12-04");
        m_d->key(Qt::Key_F5);
        QVERIFY(w->memberPanel()->text().contains("포인트 : 4,000,000,000"));
        QCOMPARE(w->sums()->text(frmFriend_Trade::CPoint, 1), "4,000,000,000");
        typeCell(g, frmFriend_Trade::CPoint, 3, "2000000000");
        QCOMPARE(prompt().lastText(), "입력하신 숫자가 너무 큽니다.");
        QCOMPARE(scalar("SELECT lstackpoint FROM tbltrade WHERE code = ?", {c}), "0");
    }

    // Another PC changed the line or deleted the member meanwhile.
    void anotherPcChangesTheMember() {
        int a = 0, line = 0;
        frmFriend_Trade* w = openWithOneCut(&a, &line);
        QVERIFY(w);
        Grid* g = w->list();
        // the amount needs the price too: a price changed elsewhere is asked about
        otherPc(QStringLiteral("UPDATE tbltradesub SET dmoney = 7000, dsum = 7000 WHERE code = %1").arg(line));
        prompt().pushAnswer(Prompt::Answer::No);
        typeCell(g, frmFriend_Trade::CQty, 1, "2");
        QCOMPARE(prompt().lastTitle(), "다른 곳에서 수정됨");
        QCOMPARE(lineText(line), "1|7000|7000");
        QCOMPARE(g->text(frmFriend_Trade::CPrice, 1), "7,000");

        otherPc("DELETE FROM tbltradesub");
        otherPc("DELETE FROM tbltrade");
        otherPc(QStringLiteral("DELETE FROM tblfriend WHERE code = %1").arg(m_member));
        prompt().clear();
        typeCell(g, frmFriend_Trade::CService, 2, "염");
        QCOMPARE(prompt().texts(), QStringList{RowGoneMessage("tblfriend")});
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltrade"), "0");
        QCOMPARE(g->maxRows(), 1);
    }
};

QTEST_MAIN(TestMemberTrades)
#include "tst_membertrades.moc"
