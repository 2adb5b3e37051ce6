// How windows come and go for a person who works with the keyboard: the window that opened
// an editor comes back with the keyboard where it was, editors open over their caller at
// their own size, Escape closes, drop-downs keep Up/Down, a continued entry starts in the
// first input, first openings show every column.
#include "WindowTest.h"

#include "app/MoneyBookCommands.h"
#include "app/SalesCommands.h"
#include "app/ToolCommands.h"
#include "app/frmMain.h"
#include "db/Database.h"
#include "members/MemberStore.h"
#include "members/frmFriend.h"
#include "sales/frmCardInfo.h"
#include "sales/frmServiceSub.h"
#include "sales/frmTrade.h"
#include "sales/frmTradeSub.h"
#include "ui/Grid.h"
#include "ui/HCText.h"
#include "ui/HelpWindow.h"
#include "ui/TotalsGrid.h"
#include "ui/WindowRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScrollBar>
#include <QTextBrowser>
#include <QtTest>

class tst_windowflow : public WindowTest {
    Q_OBJECT

    QMdiArea* area() const { return m_d->frame()->mdiArea(); }
    QRect areaRect() const { return QRect(QPoint(0, 0), area()->viewport()->size()); }
    static QMdiSubWindow* frameOf(QWidget* w) { return WindowRegistry::subWindowOf(w); }
    static bool inside(const QWidget* focus, const QWidget* window) {
        return focus && window && (focus == window || window->isAncestorOf(focus));
    }
    // The trade window with one trade of member "Kim" on its first row.
    frmTrade* tradeForKim() {
        int code = 0;
        SaveMember(0, {{"sname", "Kim"}}, &code);
        ExecSQL("INSERT INTO tblservice (sname, smoney) VALUES ('Cut', 20000)");
        auto* w = m_d->open<frmTrade>("mnuTrade_List");
        if (!w) return nullptr;
        m_d->clickCell(w->list(), frmTrade::CName, 1);
        m_d->type("Kim");
        m_d->key(Qt::Key_Return);
        return w;
    }

    // The cell of row 1 in column `col` as placed in its window (of the header when the
    // grid has no rows).
    static QRect cellInWindow(Grid* g, int col) {
        if (g->maxRows() == 0) {
            const QHeaderView* h = g->horizontalHeader();
            const QPoint at = h->viewport()->mapTo(g->window(), QPoint(h->sectionViewportPosition(col - 1), 0));
            return QRect(at, QSize(h->sectionSize(col - 1) - (g->showGrid() ? 1 : 0), h->height()));
        }
        QRect r = g->visualRect(g->model()->index(0, col - 1));
        r.moveTopLeft(g->viewport()->mapTo(g->window(), r.topLeft()));
        return r;
    }
    // Every sum of the totals grid whose x-range is not that of its column in the list
    // (a hidden column must be hidden in both), one line each; "" when all stand right.
    static QString misplacedSums(TotalsGrid* sums) {
        Grid* list = sums->list();
        QStringList wrong;
        for (int c = 1; c <= list->maxCols(); ++c) {
            if (sums->headerText(c).isEmpty() && sums->text(c, 1).isEmpty()) continue;
            if (list->colHidden(c) || sums->colHidden(c)) {
                if (list->colHidden(c) != sums->colHidden(c)) wrong << QString("%1 hidden in one only").arg(c);
                continue;
            }
            const QRect a = cellInWindow(list, c), b = cellInWindow(sums, c);
            if (a.left() != b.left() || a.right() != b.right())
                wrong << QString("%1: %2..%3 under %4..%5").arg(c).arg(b.left()).arg(b.right()).arg(a.left()).arg(a.right());
        }
        return wrong.join("; ");
    }

    // Runs `key` in the focus widget; while the program waits in the window of class T that
    // it opens, notes that window's centre and presses Escape there.
    template <class T>
    QPoint escapeFromTopLevel(Qt::Key key) {
        QPoint centre;
        OnModal([&](QWidget* w) {
            QVERIFY(qobject_cast<T*>(w));
            centre = w->geometry().center();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        m_d->key(key);
        return centre;
    }

private slots:
    void initTestCase() {
        RegisterSalesCommands();
        RegisterMoneyBookCommands();
        RegisterToolCommands();
    }

    // 회원관리 open behind: after the line editor saves and after the payment editor is
    // left with Escape, the trade window is in front with the keyboard on its list.
    void openerComesBackAfterEditors() {
        m_d->open("mnuFriend_Friend");
        frmTrade* trades = tradeForKim();
        QVERIFY(trades);
        QCOMPARE(m_d->query("SELECT COUNT(*) FROM tbltrade").toInt(), 1);
        m_d->clickCell(trades->list(), frmTrade::CLines, 1);
        m_d->key(Qt::Key_Return);
        auto* lines = qobject_cast<frmTradeSub*>(m_d->activeWindow());
        QVERIFY(lines);
        m_d->type("Cut");
        m_d->key(Qt::Key_Return);
        m_d->key(Qt::Key_F2);
        QCOMPARE(m_d->query("SELECT servicename FROM tbltradesub").toString(), QString("Cut"));
        QTRY_COMPARE(m_d->activeWindow(), static_cast<QWidget*>(trades));
        QVERIFY2(inside(m_d->focus(), trades->list()), qPrintable(m_d->focus()->objectName()));

        m_d->key(Qt::Key_F6);
        QWidget* payment = m_d->activeWindow();
        QVERIFY(payment && payment != trades);
        m_d->key(Qt::Key_Escape);
        QTRY_COMPARE(m_d->activeWindow(), static_cast<QWidget*>(trades));
        QVERIFY(inside(m_d->focus(), trades->list()));
    }

    // Over a maximised list an editor opens at its own size, centred, inside the frame; a
    // picker's editor window opens over the window that called it and, when it closes, the
    // keyboard is back in the input the name was typed into.
    void editorsOpenOverTheirCaller() {
        frmTrade* trades = tradeForKim();
        QVERIFY(trades);
        frameOf(trades)->showMaximized();
        m_d->clickCell(trades->list(), frmTrade::CLines, 1);
        m_d->key(Qt::Key_Return);
        auto* lines = qobject_cast<frmTradeSub*>(m_d->activeWindow());
        QVERIFY(lines);
        QMdiSubWindow* sub = frameOf(lines);
        QVERIFY(!sub->isMaximized());
        QVERIFY(trades->window() && frameOf(trades)->isMaximized());
        QVERIFY(areaRect().contains(sub->geometry()));
        QVERIFY((sub->geometry().center() - areaRect().center()).manhattanLength() < 40);

        prompt().pushAnswer(Prompt::Answer::Yes); // add the unknown service
        m_d->type("Perm");
        const QPoint pickerCentre = escapeFromTopLevel<frmServiceSub>(Qt::Key_Return);
        const QRect caller(lines->mapToGlobal(QPoint(0, 0)), lines->size());
        QVERIFY2(caller.contains(pickerCentre), qPrintable(QString("%1,%2").arg(pickerCentre.x()).arg(pickerCentre.y())));
        QTRY_VERIFY(inside(m_d->focus(), lines));

        // The card picker of the payment editor: over its caller, Escape leaves it.
        ExecSQL("INSERT INTO tblcard (sname, dfee) VALUES ('BC', 2), ('KB', 2)");
        CloseWindow(lines);
        m_d->clickCell(trades->list(), frmTrade::CName, 1);
        m_d->key(Qt::Key_F6);
        QWidget* payment = m_d->activeWindow();
        QVERIFY(payment && payment != trades);
        m_d->click("htField(2)", payment);
        m_d->type("10000");
        const QPoint cardCentre = escapeFromTopLevel<frmCardInfo>(Qt::Key_Return);
        const QRect paymentRect(payment->mapToGlobal(QPoint(0, 0)), payment->size());
        QVERIFY(paymentRect.contains(cardCentre));
        QTRY_VERIFY(inside(m_d->focus(), payment));
    }

    // Escape closes list and tool windows; an editor with typed data asks first.
    void escapeCloses_data() {
        QTest::addColumn<QString>("command");
        for (const char* c : {"mnuFriend_Friend", "mnuFriend_Group", "mnuTrade_List", "mnuTrade_Sub", "mnuTrade_Card",
                              "mnuTrade_Receipt", "mnuRecord_Record", "mnuRecord_Account", "mnuRecord_Balance",
                              "mnuAffairs_Money", "mnuETCRoot_Schedule"})
            QTest::newRow(c) << QString(c);
    }
    void escapeCloses() {
        QFETCH(QString, command);
        QPointer<QWidget> w = m_d->open(command);
        QVERIFY(w);
        QVERIFY(m_d->focus());
        m_d->key(Qt::Key_Escape);
        QTRY_VERIFY(!w);
    }
    void escapeAsksBeforeLosingTypedData() {
        QPointer<QWidget> untouched = m_d->open("mnuFriend_FriendSub");
        QVERIFY(untouched);
        m_d->key(Qt::Key_Escape); // nothing typed: no question
        QTRY_VERIFY(!untouched);
        QVERIFY(prompt().shown().isEmpty());

        QPointer<QWidget> editor = m_d->open("mnuFriend_FriendSub");
        QVERIFY(editor);
        m_d->type("Lee");
        prompt().pushAnswer(Prompt::Answer::No);
        m_d->key(Qt::Key_Escape);
        QCOMPARE(prompt().texts(), QStringList{"변경된 내용이 저장되지 않았습니다. 정말 닫으시겠습니까?"});
        QCOMPARE(prompt().lastDefault(), Prompt::Answer::No);
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(m_d->focus()->property("text").toString(), QString("Lee"));
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->key(Qt::Key_Escape);
        QTRY_VERIFY(!editor);
        QCOMPARE(m_d->query("SELECT COUNT(*) FROM tblfriend WHERE sname = 'Lee'").toInt(), 0);

        // The group window too, though it is no record editor.
        QPointer<QWidget> groups = m_d->open("mnuFriend_Group");
        m_d->click("htField(1)", groups);
        m_d->type("Club");
        prompt().clear();
        prompt().pushAnswer(Prompt::Answer::No);
        m_d->key(Qt::Key_Escape);
        QVERIFY(prompt().lastText().contains("저장되지 않았습니다"));
        QVERIFY(groups && groups->isVisible());
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->key(Qt::Key_Escape);
        QTRY_VERIFY(!groups);
    }

    // Up and Down change a drop-down's choice and leave the keyboard there.
    void dropDownKeepsUpDown() {
        ExecSQL("INSERT INTO tblgroup (gname) VALUES ('Club')");
        QWidget* editor = m_d->open("mnuFriend_FriendSub");
        auto* group = m_d->find<QComboBox>("cmbGroup", editor);
        QVERIFY(group && group->count() >= 2);
        m_d->click(group);
        if (group->view()->isVisible()) m_d->key(Qt::Key_Escape); // the list the click opened
        group->setCurrentIndex(0);
        m_d->key(Qt::Key_Down);
        QCOMPARE(group->currentIndex(), 1);
        QCOMPARE(m_d->focus(), static_cast<QWidget*>(group));
        m_d->key(Qt::Key_Up);
        QCOMPARE(group->currentIndex(), 0);
        QCOMPARE(m_d->focus(), static_cast<QWidget*>(group));
    }

    // "계속 등록하기": after a save the next record is typed into the first input.
    void continuedEntryStartsAtFirstInput() {
        QWidget* list = m_d->open("mnuTrade_Sub");
        QVERIFY(list);
        m_d->key(Qt::Key_F2);
        auto* editor = qobject_cast<frmServiceSub*>(m_d->activeWindow());
        QVERIFY(editor);
        m_d->find<QAbstractButton>("chkCun", editor)->setChecked(true);
        m_d->type("Cut");
        for (const char* typed : {"20000", "10", "it's"}) {
            m_d->key(Qt::Key_Return);
            m_d->type(typed);
        }
        m_d->key(Qt::Key_F2);
        QCOMPARE(m_d->query("SELECT smemo FROM tblservice WHERE sname = 'Cut'").toString(), QString("it's"));
        QCOMPARE(m_d->focus(), m_d->find("htField(1)", editor));
        // The group window likewise: tst_frameclicks savedNoticeOverItsWindow.
    }

    // F1 and 도움말 open the guide at the window's page, in the program's own window:
    // search, back and forward, and Escape brings the window back.
    void guideOpensAtTheWindowsPage() {
        QWidget* ledger = m_d->open("mnuRecord_Record");
        QVERIFY(ledger);
        m_d->key(Qt::Key_F1);
        auto* help = qobject_cast<HelpWindow*>(WindowRegistry::find("frmHelp"));
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->currentPage(), QString("frmRecord"));
        auto* page = m_d->find<QTextBrowser>("txtPage", help);
        QVERIFY(page->toPlainText().contains("통장간이동"));
        QVERIFY(!page->loadResource(QTextDocument::ImageResource, QUrl("../screenshots/moneybook_ledger.png")).isNull());
        m_d->click("txtFind", help);
        m_d->type("백업");
        m_d->key(Qt::Key_Return);
        QVERIFY(m_d->find<QListWidget>("lstFound", help)->count() >= 2);
        QCOMPARE(help->currentPage(), QString("backup"));
        m_d->click("btnBack", help);
        QCOMPARE(help->currentPage(), QString("frmRecord"));
        m_d->click("btnForward", help);
        QCOMPARE(help->currentPage(), QString("backup"));
        m_d->key(Qt::Key_Escape);
        QTRY_COMPARE(m_d->activeWindow(), ledger);
        m_d->click("btnHelp", ledger);
        QTRY_VERIFY(WindowRegistry::find("frmHelp"));
        QCOMPARE(qobject_cast<HelpWindow*>(WindowRegistry::find("frmHelp"))->currentPage(), QString("frmRecord"));
    }

    // On a first start (no layout file) a window shows all its grid columns, or fills the
    // frame's area when it cannot.
    void firstOpeningShowsAllColumns_data() {
        QTest::addColumn<QString>("command");
        for (const char* c : {"mnuTrade_List", "mnuTrade_Sub", "mnuTrade_Card", "mnuTrade_Receipt", "mnuFriend_Group"})
            QTest::newRow(c) << QString(c);
    }
    void firstOpeningShowsAllColumns() {
        QFETCH(QString, command);
        m_d->frame()->resize(1366, 740);
        QCoreApplication::processEvents();
        QWidget* w = m_d->open(command);
        QVERIFY(w);
        QMdiSubWindow* sub = frameOf(w);
        QVERIFY(areaRect().contains(sub->geometry()));
        // Within a laptop's frame without filling it, and no wider than its columns need:
        // the widest grid's columns reach (nearly) its right edge.
        QVERIFY(sub->width() < areaRect().width());
        int spare = INT_MAX;
        for (Grid* g : w->findChildren<Grid*>()) {
            if (!g->isVisible()) continue;
            QVERIFY2(!g->horizontalScrollBar()->isVisible(), qPrintable(g->objectName()));
            spare = qMin(spare, g->viewport()->width() - g->horizontalHeader()->length());
        }
        QVERIFY2(spare < 40, qPrintable(QString::number(spare)));
    }

    // A totals grid's sums stand under the columns they sum as the window opens, after a
    // person widens a summed column, scrolls sideways, when a column is hidden and when
    // the window comes back from its layout file.
    void totalsStandUnderTheirColumns_data() {
        QTest::addColumn<QString>("command");
        for (const char* c : {"mnuTrade_List", "mnuTrade_Receipt", "mnuRecord_Record", "mnuRecord_Balance", "btnTrade"})
            QTest::newRow(c) << QString(c);
    }
    // The window of `command`; "btnTrade": one member's trades, from the member list.
    QWidget* openForTotals(const QString& command) {
        if (command != "btnTrade") return m_d->open(command);
        auto* members = m_d->open<frmFriend>("mnuFriend_Friend");
        if (!members) return nullptr;
        members->Search();
        m_d->clickCell(members->grid(), frmFriend::ColName, 1);
        m_d->click("btnTrade", members);
        return m_d->activeWindow();
    }
    void totalsStandUnderTheirColumns() {
        QFETCH(QString, command);
        int kim = 0;
        SaveMember(0, {{"sname", "Kim"}}, &kim);
        // Sums past 32 bits: 5,500,000,000 sold, 1,000,000,000 in cash and 500,000,000 by card.
        ExecSQL("INSERT INTO tblcard (sname, dfee) VALUES ('BC', 2)");
        const int card = LastIdentity();
        ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend, dmoney) VALUES ('2026-12-03', ?, 1000000000)", {kim});
        ExecSQL("INSERT INTO tbltradesub (ctbltrade, servicename, lnumber, dmoney, dsum) "
                "VALUES (?, 'Cut', 1, 3000000000, 3000000000)", {LastIdentity()});
        ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend, dcard, ctblcard) VALUES ('2026-12-04', ?, 500000000, ?)",
                {kim, card});
        ExecSQL("INSERT INTO tbltradesub (ctbltrade, servicename, lnumber, dmoney, dsum) "
                "VALUES (?, 'Perm', 1, 2500000000, 2500000000)", {LastIdentity()});
        m_d->frame()->resize(1366, 740);
        QWidget* w = openForTotals(command);
        QVERIFY(w);
        auto* sums = w->findChild<TotalsGrid*>("spSum");
        QVERIFY(sums);
        Grid* list = sums->list();
        QCOMPARE(misplacedSums(sums), QString());
        if (command == "mnuTrade_List") {
            QCOMPARE(sums->text(frmTrade::CTotal, 1), QString("5,500,000,000"));
            QCOMPARE(sums->text(frmTrade::CReceived, 1), QString("1,500,000,000"));
            QCOMPARE(sums->text(frmTrade::COutstanding, 1), QString("4,000,000,000"));
            QCOMPARE(sums->headerText(frmTrade::CTotal), QString("총액 합계"));
        }
        int summed = 1;
        while (sums->headerText(summed).isEmpty() && sums->text(summed, 1).isEmpty() && summed < list->maxCols())
            ++summed;

        // Dragging the right edge of the summed column's header 60 pixels wider.
        QHeaderView* head = list->horizontalHeader();
        const int width = list->colWidth(summed);
        const int edge = head->sectionViewportPosition(summed - 1) + head->sectionSize(summed - 1) - 1;
        const int y = head->height() / 2;
        m_d->drag(head->viewport(), QPoint(edge, y), QPoint(edge + 60, y));
        QCOMPARE(list->colWidth(summed), width + 60);
        QCOMPARE(misplacedSums(sums), QString());

        // Too narrow for its columns: a click on the last column scrolls the list sideways.
        frameOf(w)->resize(420, frameOf(w)->height());
        int last = list->maxCols();
        while (list->colHidden(last)) --last;
        m_d->clickCell(list, last, 1);
        QVERIFY(list->horizontalScrollBar()->value() > 0);
        QCOMPARE(misplacedSums(sums), QString());

        list->setColHidden(summed, true);
        QCOMPARE(misplacedSums(sums), QString());
        list->setColHidden(summed, false);
        QCOMPARE(misplacedSums(sums), QString());

        // Closed and opened again from its layout file, widths and all.
        QVERIFY(CloseWindow(w));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w = openForTotals(command);
        QVERIFY(w);
        sums = w->findChild<TotalsGrid*>("spSum");
        QVERIFY(sums);
        QCoreApplication::processEvents();
        QCOMPARE(sums->list()->colWidth(summed), width + 60);
        QCOMPARE(misplacedSums(sums), QString());
    }
};

QTEST_MAIN(tst_windowflow)
#include "tst_windowflow.moc"
