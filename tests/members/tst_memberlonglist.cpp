// The member list read a block at a time: what a person sees before scrolling, after
// scrolling to the end, and what covers every member (tick all, export, find, the tree)
// although most rows were never read; another PC changing members between two blocks.
#include "OtherPc.h"
#include "WindowTest.h"

#include "db/Database.h"
#include "members/frmFriend.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/SheetReader.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTreeWidget>
#include <QtTest>

namespace {
constexpr int kBlock = 6;
constexpr int kMembers = 125; // 20 full blocks and a part

// kMembers members spread over groups 3, 2, 4 in turn (codes ascending, groups not), so
// the list's order (group, then code) differs from the order they were added in.
void addMembers(int count = kMembers)
{
    Transaction tx;
    for (const char* g : {"둘", "셋", "넷"})
        ExecSQL("INSERT INTO tblgroup (gname) VALUES (?)", {QString::fromUtf8(g)});
    for (int i = 0; i < count; ++i)
        ExecSQL("INSERT INTO tblfriend (sname, ctblgroup, hpline) VALUES (?, ?, ?)",
                {QString("회원'%1").arg(i, 3, 10, QChar('0')), QList<int>{3, 2, 4}.at(i % 3),
                 QString("010-0000-%1").arg(i, 4, 10, QChar('0'))});
    tx.commit();
}

// The codes the list should show, in its order, straight from the table.
QStringList expectedCodes(const QString& where = "1 = 1")
{
    Recordset rs;
    OpenRecordset(rs, "SELECT code FROM tblfriend WHERE code > 1 AND hidden = 0 AND (" + where
                          + ") ORDER BY ctblgroup, code");
    QStringList out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        out << rs.text("code");
    return out;
}

QStringList gridCodes(Grid* g)
{
    QStringList out;
    for (int r = 1; r <= g->dataRowCnt(); ++r)
        out << g->text(frmFriend::ColCode, r);
    return out;
}
} // namespace

class tst_memberlonglist : public WindowTest {
    Q_OBJECT

    frmFriend* openList() { return m_d->open<frmFriend>("mnuFriend_Friend"); }

    // Scrolls down with Page Down, as a person reading the list, until the view stops.
    void pageDownToEnd(Grid* g)
    {
        m_d->clickCell(g, frmFriend::ColName, 1);
        for (int last = -1; g->activeRow() != last;) {
            last = g->activeRow();
            m_d->key(Qt::Key_PageDown);
        }
    }

private slots:
    void init()
    {
        WindowTest::init();
        GridModel::setFetchBlockRows(kBlock);
    }
    void cleanup()
    {
        GridModel::setFetchBlockRows(256);
        WindowTest::cleanup();
    }

    // The first screen comes from the first blocks; scrolling or Ctrl+End reads the rest,
    // each member once and in the list's order, for the whole list (read by the group
    // index) and for a search (read in the table's order and sorted).
    void scrollingReadsEveryMemberOnce_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("ctrlEnd");
        QTest::newRow("whole list, page down") << "" << "1 = 1" << false;
        QTest::newRow("whole list, ctrl+end") << "" << "1 = 1" << true;
        QTest::newRow("searched name, page down") << "'0" << "sname LIKE '%''0%'" << false;
    }
    void scrollingReadsEveryMemberOnce()
    {
        QFETCH(QString, text);
        QFETCH(QString, where);
        QFETCH(bool, ctrlEnd);
        addMembers();
        frmFriend* list = openList();
        Grid* g = list->grid();
        QAbstractItemModelTester tester(g->gridModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        if (!text.isEmpty()) {
            m_d->click("txtData", list);
            m_d->type(text);
            m_d->key(Qt::Key_Return);
        }
        const QStringList expected = expectedCodes(where);
        QVERIFY(expected.size() > 4 * kBlock);
        QVERIFY2(g->maxRows() < expected.size(), qPrintable(QString::number(g->maxRows())));
        QCOMPARE(gridCodes(g), expected.mid(0, g->maxRows()));
        if (ctrlEnd) {
            m_d->clickCell(g, frmFriend::ColName, 1);
            m_d->key(Qt::Key_End, Qt::ControlModifier);
            QCOMPARE(g->activeRow(), int(expected.size()));
        } else {
            pageDownToEnd(g);
        }
        QCOMPARE(gridCodes(g), expected);
        QVERIFY(!g->hasMoreRows());
    }

    // Tick all, the tree and find act on every member found, also the rows never scrolled
    // to; the export then holds every member, ticks included.
    void wholeListOperationsCoverUnreadRows()
    {
        addMembers();
        frmFriend* list = openList();
        Grid* g = list->grid();
        QVERIFY(g->hasMoreRows());
        const QStringList expected = expectedCodes();
        const QString lastCode = expected.last();
        const QString lastName = m_d->query("SELECT sname FROM tblfriend WHERE code = ?", {lastCode}).toString();

        // Find (Ctrl+F in the grid) reaches the last member.
        m_d->clickCell(g, frmFriend::ColName, 1);
        m_d->key(Qt::Key_F, Qt::ControlModifier);
        QWidget* find = m_d->find("FrmFindInSpread");
        QVERIFY(find);
        m_d->click("txtFindWd", find);
        m_d->type(lastName.mid(3)); // the digits: ASCII keys
        m_d->click("btnFindNext", find);
        QCOMPARE(prompt().texts(), QStringList());
        QCOMPARE(g->text(frmFriend::ColCode, g->activeRow()), lastCode);
        find->close();

        // A member node of the tree selects that member's row, read or not.
        m_d->click("btnQuery", list); // back to the first block
        QVERIFY(g->hasMoreRows());
        QTreeWidget* tree = list->tree();
        QTreeWidgetItem* group = nullptr;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            if (tree->topLevelItem(i)->text(0) == QString::fromUtf8("넷"))
                group = tree->topLevelItem(i);
        QVERIFY(group);
        m_d->click(tree->viewport(), tree->visualItemRect(group).center());
        QTreeWidgetItem* member = group->child(group->childCount() - 1);
        QVERIFY(member && member->text(0) == lastName);
        tree->scrollToItem(member);
        m_d->click(tree->viewport(), tree->visualItemRect(member).center());
        QCOMPARE(g->text(frmFriend::ColCode, g->activeRow()), lastCode);
        QCOMPARE(m_d->find<QLabel>("lblData(0)", list)->text(), lastName);

        // Tick all: the count is the whole result before any scrolling.
        m_d->click("btnQuery", list);
        QVERIFY(g->hasMoreRows());
        m_d->click("chkSelectAll", list);
        QCOMPARE(m_d->find<QLabel>("lblCountRec", list)->text(), QString::number(expected.size()));
        QCOMPARE(g->text(frmFriend::ColCheck, expected.size()), QString("1"));
        const QModelIndex last = g->model()->index(expected.size() - 1, frmFriend::ColName - 1);
        QCOMPARE(last.data(Qt::BackgroundRole).value<QColor>(), QColor(255, 228, 181)); // marked as ticked

        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnExcel", list);
        const QString folder = m_d->env().path("ExpExcel");
        const QStringList files = QDir(folder).entryList({"*.xlsx"}, QDir::Files);
        QCOMPARE(files.size(), 1);
        WorkbookReader reader;
        SheetData sheet;
        QVERIFY(reader.open(folder + "/" + files.first()));
        QVERIFY(reader.loadSheet(0, sheet));
        QCOMPARE(sheet.rows.size(), expected.size() + 1); // the header row first
        QCOMPARE(sheet.rows.last().value(frmFriend::ColName - 1), lastName);
    }

    // Another PC adds and deletes members while the list is read: a member added before
    // the rows read so far does not repeat one, one deleted there does not make the next
    // block skip one; a member added after them shows, one deleted there is missing.
    void otherPcBetweenBlocks()
    {
        if (TestEnv::onServer())
            QSKIP("the other PC here writes the database file");
        addMembers(60);
        frmFriend* list = openList();
        Grid* g = list->grid();
        m_d->clickCell(g, frmFriend::ColName, 1);
        while (g->maxRows() <= 20) // past the first group's 20 members
            m_d->key(Qt::Key_PageDown);
        const int read = g->maxRows();
        QVERIFY(read < 40);
        const QStringList before = expectedCodes();
        const QString gone = before.at(read + 2), shownGone = before.at(3);
        OtherPc other;
        QVERIFY(other.ok());
        // Group 2 is read first: a member added there lies before the read position.
        QVERIFY(other.exec("INSERT INTO tblfriend (sname, ctblgroup) VALUES ('앞', 2);"
                           "INSERT INTO tblfriend (sname, ctblgroup) VALUES ('뒤', 4);"
                           "DELETE FROM tblfriend WHERE code = " + gone + ";"
                           "DELETE FROM tblfriend WHERE code = " + shownGone + ";"));
        const QString front = other.value("SELECT code FROM tblfriend WHERE sname = '앞'").toString();
        const QString back = other.value("SELECT code FROM tblfriend WHERE sname = '뒤'").toString();
        pageDownToEnd(g);
        QStringList wanted = before;
        wanted.removeOne(gone); // the row read before its delete stays on screen
        wanted << back;
        QCOMPARE(gridCodes(g), wanted);
        QVERIFY(!gridCodes(g).contains(front));
    }
};

QTEST_MAIN(tst_memberlonglist)
#include "tst_memberlonglist.moc"
