// The member list read a block at a time: what a person sees before scrolling, after
// scrolling to the end, and what covers every member (tick all, export, find, the tree)
// although most rows were never read; another PC changing members between two blocks.
#include "OtherPc.h"
#include "WindowTest.h"
#include "MemberTestUtil.h"

#include "app/CommCommands.h"
#include "app/SmsCommands.h"
#include "core/AppState.h"
#include "core/PrivateData.h"
#include "db/Database.h"
#include "members/frmFriend.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/SheetReader.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QLabel>
#include <QTreeWidget>
#include <QtTest>

namespace {
constexpr int kBlock = 6;
constexpr int kMembers = 125; // 20 full blocks and a part

// kMembers members spread over groups 3, 2, 4 in turn (codes ascending, groups not), so
// the list's order (group, then code) differs from the order they were added in.
void addMembers(int count = kMembers) {
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
QStringList expectedCodes(const QString& where = "1 = 1") {
    Recordset rs;
    OpenRecordset(rs, "SELECT code FROM tblfriend WHERE code > 1 AND hidden = 0 AND (" + where
                          + ") ORDER BY ctblgroup, code");
    QStringList out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        out << rs.text("code");
    return out;
}

QStringList gridCodes(Grid* g) { return gridColumn(g, frmFriend::ColCode); }
} // namespace

class tst_memberlonglist : public WindowTest {
    Q_OBJECT

    frmFriend* openList() { return m_d->open<frmFriend>("mnuFriend_Friend"); }

    // Scrolls down with Page Down, as a person reading the list, until the view stops.
    void pageDownToEnd(Grid* g) {
        m_d->clickCell(g, frmFriend::ColName, 1);
        for (int last = -1; g->activeRow() != last;) {
            last = g->activeRow();
            m_d->key(Qt::Key_PageDown);
        }
    }

private slots:
    void initTestCase() {
        RegisterSmsCommands();
        RegisterLabelCommands();
    }
    void init() {
        WindowTest::init();
        GridModel::setFetchBlockRows(kBlock);
    }
    void cleanup() {
        GridModel::setFetchBlockRows(256);
        WindowTest::cleanup();
    }

    // The first screen comes from the first blocks; scrolling or Ctrl+End reads the rest,
    // each member once and in the list's order, for the whole list (read by the group
    // index) and for a search (read in the table's order and sorted).
    void scrollingReadsEveryMemberOnce_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("ctrlEnd");
        QTest::newRow("whole list, page down") << "" << "1 = 1" << false;
        QTest::newRow("whole list, ctrl+end") << "" << "1 = 1" << true;
        QTest::newRow("searched name, page down") << "'0" << "sname LIKE '%''0%'" << false;
    }
    void scrollingReadsEveryMemberOnce() {
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

    // Tick all, export, find and the tree act on every member found, also the rows never
    // scrolled to; a resident number there is masked as in the rows read.
    void wholeListOperationsCoverUnreadRows() {
        addMembers();
        frmFriend* list = openList();
        Grid* g = list->grid();
        QVERIFY(g->hasMoreRows());
        const QStringList expected = expectedCodes();
        const QString lastCode = expected.last();
        const QString lastName = m_d->query("SELECT sname FROM tblfriend WHERE code = ?", {lastCode}).toString();
        QVERIFY(ExecSQL("UPDATE tblfriend SET idno = ? WHERE code = ?", {EncryptIdNo("900215-2345674"), lastCode}) == 1);
        const QString masked = "900215-2******";

        // Tick all reads nothing more: the count is the whole result, and the export holds
        // every member, ticked, although the list never read them.
        m_d->click("chkSelectAll", list);
        QCOMPARE(m_d->find<QLabel>("lblCountRec", list)->text(), QString::number(expected.size()));
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnExcel", list);
        QVERIFY(g->maxRows() < expected.size() / 2);
        const SheetData sheet = m_d->env().exportedSheet();
        QCOMPARE(sheet.rows.size(), expected.size() + 1); // the header row first
        QCOMPARE(sheet.rows.last().value(frmFriend::ColName - 1), lastName);
        QCOMPARE(sheet.rows.last().value(frmFriend::ColCheck - 1), QString("1"));
        QCOMPARE(sheet.rows.last().value(frmFriend::ColIdNo - 1), masked);

        // Rows read afterwards arrive ticked and marked.
        m_d->clickCell(g, frmFriend::ColName, 1);
        m_d->key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(g->text(frmFriend::ColCheck, expected.size()), QString("1"));
        QCOMPARE(g->text(frmFriend::ColIdNo, expected.size()), masked);
        const QModelIndex last = g->model()->index(expected.size() - 1, frmFriend::ColName - 1);
        QCOMPARE(last.data(Qt::BackgroundRole).value<QColor>(), QColor(255, 228, 181));
        QCOMPARE(m_d->find<QLabel>("lblCountRec", list)->text(), QString::number(expected.size()));

        // Find (Ctrl+F in the grid) reads the list up to its next hit, not further, and
        // reaches the last member.
        m_d->click("btnQuery", list); // back to the first block
        const qsizetype said = prompt().texts().size();
        m_d->clickCell(g, frmFriend::ColName, 1);
        m_d->key(Qt::Key_F, Qt::ControlModifier);
        QWidget* find = m_d->find("FrmFindInSpread");
        QVERIFY(find);
        m_d->click("txtFindWd", find);
        m_d->type("062"); // the member added 63rd: in the last group, not read yet
        m_d->click("btnFindNext", find);
        QCOMPARE(g->text(frmFriend::ColName, g->activeRow()), QString("회원'062"));
        QVERIFY(g->hasMoreRows());
        m_d->click("txtFindWd", find);
        m_d->key(Qt::Key_A, Qt::ControlModifier);
        m_d->type(lastName.mid(3)); // the digits: ASCII keys
        m_d->click("btnFindNext", find);
        QCOMPARE(prompt().texts().mid(said), QStringList());
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
    }

    // Find down the columns (Ctrl+F, "열(세로방향)") goes through the members not read yet
    // without keeping them, reads the list up to the hit and selects the cell: the name of
    // the member added 31st (in the middle group), then its mobile number right of it, then
    // back round to the name. A text found nowhere reads nothing into the list.
    void findDownColumnsReadsUpToHit_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QList<int>>("cols"); // the columns of the hits in turn
        QTest::newRow("part of a cell") << "030" << false << QList<int>{frmFriend::ColName, frmFriend::ColMobile, frmFriend::ColName};
        QTest::newRow("whole cell, found again") << "010-0000-0030" << true << QList<int>{frmFriend::ColMobile, frmFriend::ColMobile};
        QTest::newRow("nowhere") << "999" << false << QList<int>{};
    }
    void findDownColumnsReadsUpToHit()
    {
        QFETCH(QString, what);
        QFETCH(bool, whole);
        QFETCH(QList<int>, cols);
        addMembers();
        frmFriend* list = openList();
        Grid* g = list->grid();
        const int row = int(expectedCodes().indexOf(m_d->query("SELECT code FROM tblfriend WHERE sname = ?", {"회원'030"}).toString())) + 1;
        QVERIFY(row > 4 * kBlock && row < kMembers / 2);
        m_d->clickCell(g, frmFriend::ColName, 1);
        m_d->key(Qt::Key_F, Qt::ControlModifier);
        QWidget* find = m_d->find("FrmFindInSpread");
        QVERIFY(find);
        m_d->click("cboFindDir", find);
        m_d->key(Qt::Key_Down);
        m_d->key(Qt::Key_Return);
        QCOMPARE(m_d->find<QComboBox>("cboFindDir", find)->currentText(), QString("열(세로방향)"));
        if (whole)
            m_d->click("chkSameAll", find);
        m_d->click("txtFindWd", find);
        m_d->type(what);
        for (int col : cols) {
            m_d->click("btnFindNext", find);
            QCOMPARE(g->activeCol(), col);
            QCOMPARE(g->activeRow(), row);
            if (col == cols.first()) // the first hit read the list up to it, not whole
                QVERIFY2(g->hasMoreRows() && g->maxRows() < kMembers, qPrintable(QString::number(g->maxRows())));
        }
        QCOMPARE(prompt().texts(), QStringList());
        if (cols.isEmpty()) {
            const int read = g->maxRows();
            m_d->click("btnFindNext", find);
            QCOMPARE(prompt().texts(), QStringList{"일치하는 데이터가 없습니다."});
            QCOMPARE(g->maxRows(), read);
            QCOMPARE(g->activeRow(), 1);
        }
    }

    // A tick given to a row read far down stays after the rows around it were read again
    // (kept packed away meanwhile), and so does one taken off; the count follows.
    void ticksOnRowsReadAgain()
    {
        addMembers();
        frmFriend* list = openList();
        Grid* g = list->grid();
        m_d->clickCell(g, frmFriend::ColName, 1);
        m_d->key(Qt::Key_End, Qt::ControlModifier);
        const int last = g->activeRow();
        QCOMPARE(last, kMembers);
        m_d->click("chkSelectAll", list);
        QStringList ticked = gridCodes(g);
        for (int r : {last, last - kBlock, 2 * kBlock + 1}) { // untick a few, far apart
            m_d->clickCell(g, frmFriend::ColCheck, r);
            ticked.removeOne(g->text(frmFriend::ColCode, r));
        }
        m_d->clickCell(g, frmFriend::ColName, 1);
        m_d->key(Qt::Key_End, Qt::ControlModifier);
        m_d->clickCell(g, frmFriend::ColCheck, last); // and tick the last one again
        ticked << g->text(frmFriend::ColCode, last);
        m_d->key(Qt::Key_Home, Qt::ControlModifier);
        QStringList shown;
        for (int r = 1; r <= g->dataRowCnt(); ++r)
            if (g->text(frmFriend::ColCheck, r) == "1")
                shown << g->text(frmFriend::ColCode, r);
        QCOMPARE(shown, ticked);
        QCOMPARE(m_d->find<QLabel>("lblCountRec", list)->text(), QString::number(ticked.size()));
    }

    // After tick all, the text-message list, the DM labels and the deletion take every
    // ticked member, also those never read into the list; a member unticked afterwards is
    // left out, and so is one another PC adds afterwards: it arrives unticked, as the count
    // said. The rows shown ticked are exactly the rows used.
    void tickAllThenCommandsUseUnreadRows() {
        addMembers();
        WriteFileBytes(App().programDir + "/SMSSend", "#!/bin/sh\n");
        QFile::setPermissions(App().programDir + "/SMSSend", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        frmFriend* list = openList();
        Grid* g = list->grid();
        QStringList used = expectedCodes();
        auto phoneOf = [this](const QString& code) {
            return m_d->query("SELECT hpline FROM tblfriend WHERE code = ?", {code}).toString();
        };
        QLabel* count = m_d->find<QLabel>("lblCountRec", list);

        m_d->click("chkSelectAll", list);
        m_d->clickCell(g, frmFriend::ColCheck, 2); // untick one
        const QString unticked = g->text(frmFriend::ColCode, 2);
        used.removeOne(unticked);
        QCOMPARE(count->text(), QString::number(used.size()));
        // In the last group, so it sorts among the rows not read yet.
        const QString add = "INSERT INTO tblfriend (sname, ctblgroup, hpline) VALUES ('늦게', 4, '010-9999-9999')";
        if (TestEnv::onServer()) {
            QVERIFY(ExecSQL(add) > 0);
        } else {
            OtherPc other;
            QVERIFY(other.exec(add));
        }
        const QString late = m_d->query("SELECT code FROM tblfriend WHERE sname = '늦게'").toString();
        const int read = g->maxRows();
        QVERIFY(read < used.size() / 2);

        m_d->click("btnSMS", list);
        QFile file(App().programDir + "/ExternTelNo.txt");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), used.size());
        QVERIFY(lines.first().endsWith("," + phoneOf(used.first())));
        QVERIFY(lines.last().endsWith("," + phoneOf(used.last())));
        QVERIFY(!lines.join("|").contains(phoneOf(unticked)));
        QVERIFY(!lines.join("|").contains("010-9999-9999"));

        m_d->click("btnDM", list);
        Grid* labels = m_d->activeWindow()->findChild<Grid*>();
        QVERIFY(labels);
        QCOMPARE(labels->dataRowCnt(), used.size());
        QCOMPARE(labels->text(5, used.size()), phoneOf(used.last()));
        QCOMPARE(g->maxRows(), read); // none of it read the list whole
        RaiseChildWindow(list);

        // Read to the end: ticked as used, the count unchanged.
        m_d->clickCell(g, frmFriend::ColName, 1);
        m_d->key(Qt::Key_End, Qt::ControlModifier);
        QStringList ticked;
        for (int r = 1; r <= g->dataRowCnt(); ++r)
            if (g->text(frmFriend::ColCheck, r) == "1")
                ticked << g->text(frmFriend::ColCode, r);
        QCOMPARE(ticked, used);
        QVERIFY(gridCodes(g).contains(late));
        QCOMPARE(count->text(), QString::number(used.size()));

        // A new search clears the ticks and the box; delete (F4) after tick all again takes
        // the members never read too, the late one included now.
        m_d->click("btnQuery", list);
        QVERIFY(!m_d->find<QCheckBox>("chkSelectAll", list)->isChecked());
        QCOMPARE(count->text(), QString("0"));
        m_d->click("chkSelectAll", list);
        m_d->clickCell(g, frmFriend::ColCheck, 2);
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->key(Qt::Key_F4);
        QCOMPARE(m_d->query("SELECT COUNT(*) FROM tblfriend WHERE code > 1").toInt(), 1);
        QCOMPARE(m_d->query("SELECT code FROM tblfriend WHERE code > 1").toString(), unticked);
        QCOMPARE(gridCodes(g), QStringList{unticked});
        QCOMPARE(count->text(), QString("0"));
    }

    // Another PC adds and deletes members while the list is read: a member added before
    // the rows read so far does not repeat one, one deleted there does not make the next
    // block skip one; a member added after them shows, one deleted there is missing.
    void otherPcBetweenBlocks() {
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
