// The group funds window driven through the main window: the dues-settings question, the
// dues sheet (marking by double click and typing, colours, feestart, members who left),
// income and expense lines with detail lines, deleting and the balance window.
#include "WindowTest.h"

#include "app/MoneyBookCommands.h"
#include "db/Database.h"
#include "members/FundStore.h"
#include "members/GroupSchedule.h"
#include "members/frmAffairs.h"
#include "members/frmFriendAdd.h"
#include "members/frmGroupBalance.h"
#include "members/frmGroupSub.h"
#include "ui/Grid.h"
#include "ui/SheetReader.h"
#include "ui/WindowRegistry.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

namespace {
const QColor kOverdue(255, 204, 204), kPaid(204, 236, 204);

int addGroup(const QString& name, const QString& repeat, const QString& day, double fee) {
    ExecSQL("INSERT INTO tblgroup (gname, repeatclass, settlementday, settlementmon) VALUES (?, ?, ?, ?)",
            {name, repeat, day, fee});
    return LastIdentity();
}

int addMember(const QString& name, int group, const QString& feeStart, int hidden = 0) {
    ExecSQL("INSERT INTO tblfriend (sname, ctblgroup, feestart, hidden) VALUES (?, ?, ?, ?)",
            {name, group, feeStart, hidden});
    return LastIdentity();
}

QString text(const QString& sql, const QVariantList& params = {}) {
    return GetScalar(sql, params).toString();
}
int number(const QString& sql, const QVariantList& params = {}) {
    return GetScalar(sql, params).toInt();
}

} // namespace

class TestFundWindows : public WindowTest {
    Q_OBJECT

    frmAffairs* open() { return m_d->open<frmAffairs>("mnuAffairs_Money"); }
    // Clicks the cell and types into it, Hangul as a Korean input method commits it, then Enter.
    void enter(Grid* g, int col, int row, const QString& text) {
        m_d->clickCell(g, col, row);
        m_d->type(text);
        m_d->key(Qt::Key_Return);
    }
    void showSheet(frmAffairs* w, int index) {
        QTabBar* bar = m_d->find<QTabWidget>("spList", w)->tabBar();
        m_d->click(bar, bar->tabRect(index).center());
    }

private slots:
    void initTestCase() { RegisterMoneyBookCommands(); }
    void cleanup() {
        CloseAllChildren();
        WindowTest::cleanup();
    }

    void groupWithoutDues() {
        prompt().pushAnswer(Prompt::Answer::No);
        frmAffairs* w = open();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString("그룹자금관리"));
        QCOMPARE(prompt().texts(),
                 QStringList{"회비설정이 되어 있지 않습니다.\n자금관리는 그룹관리에서 회비및 납부일을 "
                             "지정한 경우에만 사용 가능합니다.\n지금 지정 하시겠습니까?"});
        QCOMPARE(w->sheet(frmAffairs::SheetDues)->maxRows(), 0);
        QCOMPARE(w->groupCode(), 0);
    }

    // Yes opens the group window on the group; its save reloads the funds window, and F2 on
    // the dues sheet opens the member editor for a new member of that group.
    void settingDuesFromTheQuestion() {
        ExecSQL("INSERT INTO tblgroup (gname) VALUES ('친목회')");
        prompt().pushAnswer(Prompt::Answer::Yes);
        frmAffairs* w = open();
        QVERIFY(w);
        auto* groups = dynamic_cast<frmGroupSub*>(WindowRegistry::find("frmGroupSub"));
        QVERIFY(groups);
        auto* kind = groups->findChild<QComboBox*>("cmbYear");
        kind->setCurrentIndex(kind->findText(GroupKindNames().at(GroupSchedule::Monthly)));
        auto* day = groups->findChild<QComboBox*>("cmbDay");
        day->setCurrentIndex(day->findText("10"));
        m_d->click("btnSave", groups);
        QCOMPARE(text("SELECT repeatclass || settlementday FROM tblgroup WHERE code = 1"), "0000010");
        QCOMPARE(w->groupCode(), 1);

        Grid* dues = w->sheet(frmAffairs::SheetDues);
        dues->setFocus();
        QTest::keyClick(dues, Qt::Key_F2);
        auto* editor = dynamic_cast<frmFriendAdd*>(WindowRegistry::find("frmFriendAdd"));
        QVERIFY(editor);
        QCOMPARE(editor->findChild<QComboBox*>("cmbGroup")->currentText(), GroupNameByCode(1));
    }

    // The year list spans the records' years (payment dates and months paid for) and this year.
    void yearsSpanRecords() {
        const int group = addGroup("옛모임", "00000", "29", 0);
        QCOMPARE(FundYears(group), QList<int>{2026});
        ExecSQL(QString("INSERT INTO tblgroupmon (ctblgroup, inoutclass, sdate, smonth) VALUES "
                        "(?, '0', '', '2023-04'), (?, '1', '2024-02-01', '')"),
                {group, group});
        // Every year from the first record on, those without records (2025) included.
        QCOMPARE(FundYears(group), (QList<int>{2023, 2024, 2025, 2026}));
        // Texts that are no dates, sorting before and after the years, change nothing.
        ExecSQL(QString("INSERT INTO tblgroupmon (ctblgroup, inoutclass, sdate, smonth) VALUES "
                        "(?, '1', 'abc', ''), (?, '1', '19:0', '0999-01')"),
                {group, group});
        QCOMPARE(FundYears(group), (QList<int>{2023, 2024, 2025, 2026}));
        frmAffairs* w = open();
        auto* years = w->findChild<QComboBox*>("cmbYear");
        QCOMPARE(years->count(), 4);
        QCOMPARE(years->itemText(2), QString("2025"));
        QCOMPARE(years->currentText(), QString("2026"));
        // A payment made in advance for next year extends the list to it.
        InsertDuesPayment(1, group, 100, "2026-12-01", "2027-01");
        QCOMPARE(FundYears(group).last(), 2027);
    }

    // The dues sheet keeps its names in sight while the months scroll, its export holds dates
    // (not six-digit numbers), and the balance window keeps its small size beside the funds
    // window maximised.
    void duesSheetReadsWell() {
        const int group = addGroup("모임", "00000", "10", 10000);
        addMember("첫회원", group, "2026-01-01");
        frmAffairs* w = open();
        QVERIFY(w);
        Grid* g = w->sheet(frmAffairs::SheetDues);
        m_d->doubleClickCell(g, frmAffairs::dateCol(1), 1); // January paid today
        QCOMPARE(g->text(frmAffairs::dateCol(1), 1), QString("2026-12-06"));

        // Scrolled to December, the name still shows at the left, and a click on it lands on
        // the member's name cell without scrolling back.
        g->setActiveCell(frmAffairs::moneyCol(12), 1);
        QVERIFY(g->horizontalScrollBar()->value() > 0);
        const int scrolled = g->horizontalScrollBar()->value();
        QPoint at(20, g->rowViewportPosition(0) + 5);
        at = g->viewport()->mapTo(g, at);
        QWidget* hit = WidgetUnder(g, at);
        auto* names = qobject_cast<QTableView*>(hit->parentWidget());
        QVERIFY2(names && hit != g->viewport(), qPrintable(hit->objectName()));
        QCOMPARE(names->indexAt(at).data().toString(), QString("첫회원"));
        QTest::mouseClick(hit, Qt::LeftButton, {}, at);
        QCOMPARE(g->activeCol(), int(frmAffairs::DuesName));
        QCOMPARE(g->horizontalScrollBar()->value(), scrolled);

        // The export holds the payment date as a date.
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnExcel", w);
        const SheetData sheet = m_d->env().exportedSheet();
        QCOMPARE(sheet.rows.value(1).value(1), QString("2026-12-06"));
        QCOMPARE(sheet.rows.value(1).value(2), QString("10000"));

        // The balance window opens at its own small size over the maximised funds window.
        WindowRegistry::subWindowOf(w)->showMaximized();
        m_d->click("btnBalance", w);
        QWidget* bal = WindowRegistry::find("frmGroupBalance");
        QVERIFY(bal);
        QMdiSubWindow* sub = WindowRegistry::subWindowOf(bal);
        QVERIFY(!sub->isMaximized());
        QVERIFY2(sub->width() < 500 && sub->height() < 400,
                 qPrintable(QString("%1x%2").arg(sub->width()).arg(sub->height())));
    }

    // Another PC changes or deletes what the sheets show: no change is lost without a question,
    // and nothing is written for a row that is gone.
    void anotherPcChangedItFirst() {
        const int group = addGroup("모임", "00000", "10", 10000);
        const int a = addMember("가", group, "2026-01-01");
        const int income = InsertFundLine(group, "1", {.sdate = "2026-03-01", .item = "찬조금", .money = 1000,
                                                       .memo = "처음"});
        const int paid = InsertDuesPayment(a, group, 10000, "2026-02-01", "2026-02");
        QVERIFY(income > 0 && paid > 0);
        frmAffairs* w = open();
        QVERIFY(w);
        const auto other = [](const QString& sql) { QVERIFY(TestEnv::runOnOtherConnection(sql)); };

        // Dues: the other PC changed the amount; typing a new one asks, and Yes overwrites.
        Grid* dues = w->sheet(frmAffairs::SheetDues);
        other(QString("UPDATE tblgroupmon SET smoney = 7000 WHERE code = %1").arg(paid));
        prompt().pushAnswer(Prompt::Answer::Yes);
        enter(dues, frmAffairs::moneyCol(2), 1, "12000");
        QCOMPARE(prompt().lastTitle(), QString("다른 곳에서 수정됨"));
        QCOMPARE(number("SELECT smoney FROM tblgroupmon WHERE code = ?", {paid}), 12000);
        // A month the other PC marked meanwhile is not marked twice.
        other(QString("INSERT INTO tblgroupmon (ctblfriend, ctblgroup, smoney, inoutclass, "
                      "sdate, smonth) VALUES (%1, %2, 500, '0', '2026-03-02', '2026-03')")
                  .arg(a)
                  .arg(group));
        prompt().clear();
        m_d->doubleClickCell(dues, frmAffairs::dateCol(3), 1);
        QCOMPARE(prompt().texts(),
                 QStringList{QString("이 달의 회비 납부가 다른 곳에서 이미 입력되었습니다.\n"
                                     "목록을 다시 불러옵니다.")});
        QCOMPARE(number("SELECT COUNT(*) FROM tblgroupmon WHERE smonth = '2026-03'"), 1);
        QTRY_COMPARE(dues->text(frmAffairs::moneyCol(3), 1), "500");

        // Income: the other PC changed the memo; No keeps its text and shows it.
        showSheet(w, frmAffairs::SheetIncome);
        Grid* inc = w->sheet(frmAffairs::SheetIncome);
        other(QString("UPDATE tblgroupmon SET smemo = '다른PC' WHERE code = %1").arg(income));
        prompt().clear();
        prompt().pushAnswer(Prompt::Answer::No);
        enter(inc, frmAffairs::LineMemo, 1, "mine");
        QCOMPARE(prompt().texts().size(), 1);
        QCOMPARE(text("SELECT smemo FROM tblgroupmon WHERE code = ?", {income}), "다른PC");
        QTRY_COMPARE(inc->text(frmAffairs::LineMemo, 1), "다른PC");
        // Another cell of the same row is saved without a question, the other change kept.
        prompt().clear();
        enter(inc, frmAffairs::LineMoney, 1, "2500");
        QCOMPARE(prompt().texts(), QStringList());
        QCOMPARE(text("SELECT smoney || '|' || smemo FROM tblgroupmon WHERE code = ?", {income})
                     .replace(".0|", "|"), "2500|다른PC");
        // Deleted by the other PC: said so, nothing written or inserted.
        other(QString("DELETE FROM tblgroupmon WHERE code = %1").arg(income));
        prompt().clear();
        enter(inc, frmAffairs::LineMemo, 1, "late");
        QCOMPARE(prompt().texts(),
                 QStringList{QString("이 그룹자금 자료는 다른 곳에서 삭제되어 저장할 수 없습니다.\n"
                                     "목록을 다시 불러옵니다.")});
        QCOMPARE(CountRows("tblgroupmon", "inoutclass = '1'"), 0);
        QTRY_COMPARE(inc->dataRowCnt(), 1); // only the new line's date
    }

    void duesSheet() {
        // Quarterly in 2, 5, 8, 11 on the last day; today is 2026-12-06.
        const int group = addGroup("산악회's", "3258B", "29", 10000);
        const int other = addGroup("다른모임", "00000", "10", 5000);
        const int a = addMember("가나", group, "2026-01-01");
        addMember("다라", group, "2026-06-15");
        const int hidden = addMember("쉬는회원", group, "2026-01-01", 1);
        const int left = addMember("떠난회원", other, "2026-01-01");
        QVERIFY(InsertDuesPayment(left, group, 10000, "2026-05-03", "2026-05") > 0);
        QVERIFY(InsertDuesPayment(hidden, group, 10000, "2026-05-04", "2026-05") > 0);

        frmAffairs* w = open();
        QVERIFY(w);
        QCOMPARE(prompt().texts(), QStringList());
        QCOMPARE(w->groupCode(), group);
        // The payment of the member who left became other income; the suspended member's stays.
        QCOMPARE(text("SELECT smemo FROM tblgroupmon WHERE inoutclass = '1'"), "떠난회원 5월분 납부 회비");
        QCOMPARE(number("SELECT COUNT(*) FROM tblgroupmon WHERE inoutclass = '0' AND ctblfriend = ?",
                        {hidden}), 1);

        Grid* g = w->sheet(frmAffairs::SheetDues);
        QCOMPARE(g->maxRows(), 2);
        const auto back = [g](int col, int row) {
            return g->model()->index(row - 1, col - 1).data(Qt::BackgroundRole).value<QColor>();
        };
        QCOMPARE(back(frmAffairs::dateCol(2), 1), kOverdue);
        QVERIFY(g->cellLocked(frmAffairs::dateCol(3), 1)); // not a due month
        QVERIFY(g->cellLocked(frmAffairs::dateCol(5), 2)); // before feestart's month
        QCOMPARE(back(frmAffairs::dateCol(8), 2), kOverdue);

        // A double click marks February paid with today and the group's amount.
        m_d->doubleClickCell(g, frmAffairs::dateCol(2), 1);
        QCOMPARE(text("SELECT sdate || '|' || smonth || '|' || CAST(smoney AS INTEGER) FROM tblgroupmon"
                      " WHERE ctblfriend = ?", {a}), "2026-12-06|2026-02|10000");
        QCOMPARE(back(frmAffairs::dateCol(2), 1), kPaid);
        // A double click on a locked month does nothing.
        m_d->doubleClickCell(g, frmAffairs::dateCol(3), 1);
        QCOMPARE(number("SELECT COUNT(*) FROM tblgroupmon WHERE ctblfriend = ?", {a}), 1);

        // A typed impossible date saves nothing; a real one marks May.
        enter(g, frmAffairs::dateCol(5), 1, "250229");
        QCOMPARE(prompt().texts().size(), 1);
        QVERIFY(prompt().texts().first().startsWith("[250229]는 날짜형식이 아닙니다."));
        QCOMPARE(g->text(frmAffairs::dateCol(5), 1), QString());
        enter(g, frmAffairs::dateCol(5), 1, "260510");
        QCOMPARE(text("SELECT sdate FROM tblgroupmon WHERE ctblfriend = ? AND smonth = '2026-05'", {a}),
                 "2026-05-10");
        // Its amount typed over.
        enter(g, frmAffairs::moneyCol(5), 1, "12000");
        QCOMPARE(number("SELECT smoney FROM tblgroupmon WHERE ctblfriend = ? AND smonth = '2026-05'", {a}),
                 12000);

        // Unmarking asks; No keeps it, Yes deletes it with a notice.
        prompt().clear();
        prompt().pushAnswer(Prompt::Answer::No);
        m_d->doubleClickCell(g, frmAffairs::dateCol(2), 1);
        QCOMPARE(number("SELECT COUNT(*) FROM tblgroupmon WHERE ctblfriend = ?", {a}), 2);
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->doubleClickCell(g, frmAffairs::dateCol(2), 1);
        QCOMPARE(prompt().texts(), QStringList(2, "회비 납부 내역을 삭제하시겠습니까?"));
        QCOMPARE(number("SELECT COUNT(*) FROM tblgroupmon WHERE ctblfriend = ?", {a}), 1);
        QCOMPARE(m_d->env().notices().last(), QString("삭제되었습니다."));
        QCOMPARE(back(frmAffairs::dateCol(2), 1), kOverdue);
    }

    // The upper panel's height comes back with the window; the window's own place stays apart.
    void upperPanelHeightRemembered() {
        addGroup("모임", "00000", "10", 0);
        frmAffairs* w = open();
        auto* split = w->findChild<QSplitter*>();
        split->setSizes({120, split->height() - 120});
        const int height = w->findChild<QWidget*>("pnlMove")->height();
        m_d->click("btnClose", w);
        QTRY_VERIFY(!WindowRegistry::find("frmAffairs"));
        w = open();
        QCOMPARE(w->findChild<QWidget*>("pnlMove")->height(), height);
        m_d->click("btnEx", w);
        QVERIFY(!w->findChild<QWidget*>("pnlMove")->isVisible());
        QCOMPARE(w->findChild<QAbstractButton*>("btnEx")->text(), QString("↓ "));
    }

    void incomeExpenseAndBalance() {
        const int group = addGroup("모임", "00000", "10", 1000);
        ExecSQL("INSERT INTO tblaffairsnote (inoutclass, bigo) VALUES ('1', '찬조금'), ('2', '식대')");
        frmAffairs* w = open();
        QVERIFY(w);

        // Income: the item through the picker, a quote in the memo; the line starts with today.
        showSheet(w, frmAffairs::SheetIncome);
        Grid* inc = w->sheet(frmAffairs::SheetIncome);
        QCOMPARE(inc->text(frmAffairs::LineDate, 1), QString("2026-12-06"));
        enter(inc, frmAffairs::LineItem, 1, "찬조");
        enter(inc, frmAffairs::LineMoney, 1, "30,000");
        enter(inc, frmAffairs::LineMemo, 1, "김's 찬조");
        QCOMPARE(text("SELECT sdate || '|' || ctblaffairsnote || '|' || CAST(smoney AS INTEGER) || '|' ||"
                      " smemo FROM tblgroupmon WHERE inoutclass = '1' AND ctblgroup = ?", {group}),
                 "2026-12-06|찬조금|30000|김's 찬조");
        // A bad date and letters in the amount change nothing.
        enter(inc, frmAffairs::LineDate, 1, "261332");
        enter(inc, frmAffairs::LineMoney, 1, "abc");
        QCOMPARE(prompt().texts().size(), 2);
        QCOMPARE(prompt().texts().last(), QString("금액은 숫자로 입력하세요."));
        QCOMPARE(text("SELECT sdate || CAST(smoney AS INTEGER) FROM tblgroupmon WHERE inoutclass = '1'"),
                 "2026-12-0630000");

        // Detail lines without a saved expense selected are refused.
        showSheet(w, frmAffairs::SheetDetail);
        Grid* det = w->sheet(frmAffairs::SheetDetail);
        enter(det, frmAffairs::DetailBigo, 1, "물");
        QCOMPARE(prompt().texts().last(),
                 QString("지출 내역에서 저장된 지출을 먼저 선택하세요."));
        QCOMPARE(CountRows("tblsubdata"), 0);

        // An expense without lines keeps its amount; with lines it shows their total.
        showSheet(w, frmAffairs::SheetExpense);
        Grid* exp = w->sheet(frmAffairs::SheetExpense);
        enter(exp, frmAffairs::LineItem, 1, "식대");
        enter(exp, frmAffairs::LineMoney, 1, "50000");
        enter(exp, frmAffairs::LineItem, 2, "식대");
        enter(exp, frmAffairs::LineMoney, 2, "9000");
        const int expense = exp->text(frmAffairs::LineCode, 2).toInt();
        QVERIFY(expense > 0);
        m_d->clickCell(exp, frmAffairs::LineItem, 2);
        showSheet(w, frmAffairs::SheetDetail);
        for (const auto& [bigo, money] : {std::pair{"김밥", "3000"}, {"물", "2500"}}) {
            const int row = det->dataRowCnt() + 1;
            enter(det, frmAffairs::DetailBigo, row, bigo);
            enter(det, frmAffairs::DetailMoney, row, money);
        }
        QCOMPARE(CountRows("tblsubdata", "ctblgroupmon = ?", {expense}), 2);
        showSheet(w, frmAffairs::SheetExpense);
        QCOMPARE(exp->text(frmAffairs::LineMoney, 1), QString("50,000"));
        QCOMPARE(exp->text(frmAffairs::LineMoney, 2), QString("5,500"));
        QVERIFY(exp->cellLocked(frmAffairs::LineMoney, 2));

        // Balance: no dues kind at all counts 0; each expense once.
        m_d->click("btnBalance", w);
        auto* bal = dynamic_cast<frmGroupBalance*>(WindowRegistry::find("frmGroupBalance"));
        QVERIFY(bal);
        for (const auto& [label, text] : {std::pair{"lblDues", "0"}, {"lblIncome", "30,000"},
                                          {"lblExpense", "55,500"}, {"lblDetail", "5,500"},
                                          {"lblBalance", "-25,500"}})
            QCOMPARE(m_d->find<QLabel>(label, bal)->text(), QString(text));

        // Deleting the expense takes its lines along.
        prompt().clear();
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->clickCell(exp, frmAffairs::LineItem, 2);
        m_d->click("btnRecDel", w);
        QCOMPARE(prompt().texts(), QStringList{"선택된 자료를 정말로 삭제 하시겠습니까?"});
        QCOMPARE(CountRows("tblgroupmon", "code = ?", {expense}), 0);
        QCOMPARE(CountRows("tblsubdata"), 0);
        QCOMPARE(exp->dataRowCnt(), 2); // one line left and the new line's date
    }
};

QTEST_MAIN(TestFundWindows)
#include "tst_fundwindows.moc"
