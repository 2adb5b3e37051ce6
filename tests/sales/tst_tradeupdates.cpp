// A trade line picking another service, and a trade list following a member edited
// elsewhere, driven through the main window.
#include "MainWindowDriver.h"
#include "WindowTest.h"

#include "app/SalesCommands.h"
#include "db/Database.h"
#include "members/frmFriend.h"
#include "sales/frmTrade.h"
#include "sales/frmTradeSub.h"
#include "ui/Grid.h"
#include "ui/HCText.h"
#include "ui/WindowRegistry.h"

#include <QLabel>
#include <QtTest>

class TestTradeUpdates : public WindowTest {
    Q_OBJECT
    int exec(const QString& sql, const QVariantList& params)
    {
        ExecSQL(sql, params);
        return LastIdentity();
    }
    int addMember(const QString& name)
    {
        return exec("INSERT INTO tblfriend (sname) VALUES (?)", {name});
    }
    int addTrade(int member) { return exec("INSERT INTO tbltrade (sdate, ctblfriend) VALUES ('2026-12-02', ?)", {member}); }

private slots:
    void initTestCase() { RegisterSalesCommands(); }

    void pickedServiceSetsItsPrice_data()
    {
        QTest::addColumn<int>("price");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("the old catalog price follows the new service") << 20000 << "Perm" << "Perm|30000|60000";
        QTest::newRow("a typed price stays with another service") << 18000 << "Perm" << "Perm|18000|36000";
        QTest::newRow("the same service keeps the price set") << 18000 << "Cut" << "Cut|18000|36000";
    }
    void pickedServiceSetsItsPrice()
    {
        QFETCH(int, price);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        const int cut = exec("INSERT INTO tblservice (sname, smoney) VALUES ('Cut', 20000)", {});
        exec("INSERT INTO tblservice (sname, smoney) VALUES ('Perm', 30000)", {});
        const int trade = addTrade(addMember("Lee"));
        const int line = exec("INSERT INTO tbltradesub (ctbltrade, ctblservice, servicename, lnumber, dmoney, dsum) "
                              "VALUES (?, ?, 'Cut', 2, ?, ?)",
                              {trade, cut, price, 2 * price});
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

    void memberEditedInMemberListShowsInTradeList()
    {
        const int member = addMember("Lee");
        addTrade(member);
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
};

QTEST_MAIN(TestTradeUpdates)
#include "tst_tradeupdates.moc"
