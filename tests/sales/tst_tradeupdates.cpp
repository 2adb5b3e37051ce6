// A trade line picking another service, and a trade list following a member edited
// elsewhere, driven through the main window.
#include "SalesTestUtil.h"

#include "members/frmFriend.h"
#include "sales/frmTrade.h"
#include "sales/frmTradeSub.h"
#include "ui/GridModel.h"
#include "ui/HCText.h"

#include <QLabel>
#include <QScopeGuard>

using namespace salestest;

class TestTradeUpdates : public SalesWindowTest {
    Q_OBJECT

private slots:
    void pickedServiceSetsItsPrice_data() {
        QTest::addColumn<int>("price");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("the old catalog price follows the new service") << 20000 << "Perm" << "Perm|30000|60000";
        QTest::newRow("a typed price stays with another service") << 18000 << "Perm" << "Perm|18000|36000";
        QTest::newRow("the same service keeps the price set") << 18000 << "Cut" << "Cut|18000|36000";
    }
    void pickedServiceSetsItsPrice() {
        QFETCH(int, price);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        const int cut = addService("Cut", 20000);
        addService("Perm", 30000);
        const int trade = addTrade(addMember("Lee"), "2026-12-02");
        const int line = addLine(trade, "Cut", 2, price, cut);
        auto* w = m_d->open<frmTrade>("mnuTrade_List");
        QVERIFY(w);
        m_d->clickCell(w->lines(), 1, 1);
        m_d->click("btnRecEdit", w);
        auto* ed = qobject_cast<frmTradeSub*>(WindowRegistry::find("frmTradeSub"));
        QVERIFY(ed);
        m_d->click(ed->field(frmTradeSub::FName));
        m_d->key(Qt::Key_A, Qt::ControlModifier);
        m_d->type(typed);
        m_d->key(Qt::Key_Return);
        m_d->key(Qt::Key_F2);
        QCOMPARE(m_d->query("SELECT servicename || '|' || CAST(dmoney AS INTEGER) || '|' || CAST(dsum AS INTEGER) FROM tbltradesub "
                            "WHERE code = ?", {line})
                     .toString(),
                 stored);
    }

    void memberEditedInMemberListShowsInTradeList() {
        const int member = addMember("Lee");
        addTrade(member, "2026-12-02");
        auto* trades = m_d->open<frmTrade>("mnuTrade_List");
        QVERIFY(trades);
        QCOMPARE(trades->list()->text(frmTrade::CName, 1), QString("Lee"));
        auto* list = m_d->open<frmFriend>("mnuFriend_Friend");
        QVERIFY(list);
        const int row = list->grid()->searchCol(frmFriend::ColCode, 1, -1, QString::number(member));
        QVERIFY(row >= 1);
        m_d->clickCell(list->grid(), frmFriend::ColName, row);
        m_d->click("btnRecEdit", list);
        QWidget* editor = WindowRegistry::find("frmFriendAdd");
        QVERIFY(editor);
        m_d->click("htField(1)", editor);
        m_d->key(Qt::Key_A, Qt::ControlModifier);
        m_d->type("Kim");
        m_d->key(Qt::Key_F2);
        QCOMPARE(m_d->query("SELECT sname FROM tblfriend WHERE code = ?", {member}).toString(), QString("Kim"));
        QCOMPARE(trades->list()->text(frmTrade::CName, 1), QString("Kim"));
        QVERIFY(trades->memberPanel()->text().contains("Kim"));
    }

    // A month of many trades is read a block at a time: the sums are the whole month's
    // before any scrolling (past 32 bits), Ctrl+End reaches the last trade and the row for
    // a new one, and a trade typed there comes once, under the whole list.
    void longMonthInBlocks() {
        GridModel::setFetchBlockRows(4);
        const auto restore = qScopeGuard([] { GridModel::setFetchBlockRows(256); });
        const int member = addMember("Kim", "010-1234-5678");
        for (int i = 29; i >= 0; --i) { // five a day over the month so far, codes against the dates
            ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend, dmoney, lstackpoint) VALUES (?, ?, 1000, 10)",
                    {QString("2026-12-0%1").arg(1 + i / 5), member});
            addLine(LastIdentity(), "Cut", 1, 100000000);
        }
        addTrade(member, "2026-11-30", 5);
        auto* w = m_d->open<frmTrade>("mnuTrade_List");
        QVERIFY(w);
        Grid* g = w->list();
        QVERIFY(g->hasMoreRows());
        QVERIFY(g->maxRows() < 31);
        const QStringList sums = {"3,000,000,000", "30,000", "2,999,970,000", "300"};
        const auto shownSums = [w] {
            QStringList out;
            for (int col : {frmTrade::CTotal, frmTrade::CReceived, frmTrade::COutstanding, frmTrade::CPoint})
                out << w->sums()->text(col, 1);
            return out;
        };
        QCOMPARE(shownSums(), sums);
        m_d->clickCell(g, frmTrade::CDate, 1);
        m_d->key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(g->maxRows(), 31);
        QCOMPARE(g->activeRow(), 31);
        QCOMPARE(g->text(frmTrade::CDate, 1), QString("2026-12-01"));
        QCOMPARE(g->text(frmTrade::CDate, 30), QString("2026-12-06"));
        QCOMPARE(g->text(frmTrade::COutstanding, 30), QString("99,999,000"));
        // A new trade in the last row.
        m_d->clickCell(g, frmTrade::CName, 31);
        m_d->type("5678");
        m_d->key(Qt::Key_Return);
        QCOMPARE(m_d->query("SELECT COUNT(*) FROM tbltrade WHERE sdate = '2026-12-06'").toInt(), 6);
        QCOMPARE(g->maxRows(), 32);
        QCOMPARE(g->text(frmTrade::CName, 31), QString("Kim"));
        QSet<QString> codes;
        for (int r = 1; r <= 31; ++r)
            codes.insert(g->text(frmTrade::CCode, r));
        QCOMPARE(codes.size(), 31);
        QCOMPARE(shownSums(), sums);
    }
};

QTEST_MAIN(TestTradeUpdates)
#include "tst_tradeupdates.moc"
