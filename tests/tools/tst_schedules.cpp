// The schedule windows, opened from the main menu and driven by mouse and keys.
#include "WindowTest.h"
#include "app/ToolCommands.h"
#include "ui/Grid.h"
#include "ui/WindowRegistry.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "tools/FrmTool_SCED.h"
#include "tools/FrmTool_SCED_sub.h"
#include "tools/Schedules.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

class tst_schedules : public WindowTest {
    Q_OBJECT

    static void add(const QString& sdate, int cyclic, const QString& note, const QString& stime = {},
                    int ocode = 1) {
        QCOMPARE(ExecSQL("INSERT INTO schedules (ocode, sdate, stime, note, cyclic) VALUES (?,?,?,?,?)",
                         {ocode, sdate, stime, note, cyclic}), 1);
    }
    FrmTool_SCED* openMonth() { return m_d->open<FrmTool_SCED>("mnuETCRoot_Schedule"); }
    // Clicks (or double-clicks) the day `d` of the month view.
    void clickDay(FrmTool_SCED* w, const QDate& d, bool twice = false) {
        const QPoint cell = cellOf(w, d);
        Grid* g = m_d->find<Grid>("spList", w);
        twice ? m_d->doubleClickCell(g, cell.x(), cell.y()) : m_d->clickCell(g, cell.x(), cell.y());
    }
    // Double-clicks the day `d` of the month view and returns the day window it opens.
    FrmTool_SCED_sub* openDay(FrmTool_SCED* w, const QDate& d) {
        clickDay(w, d, true);
        return dynamic_cast<FrmTool_SCED_sub*>(WindowRegistry::find("FrmTool_SCED_sub"));
    }
    // Days of the shown month whose cell mentions `note`.
    static QList<int> daysWith(FrmTool_SCED* w, const QString& note) {
        Grid* g = w->findChild<Grid*>("spList");
        QList<int> out;
        for (int r = 1; r <= 6; ++r)
            for (int c = 1; c <= 7; ++c)
                if (g->text(c, r).contains(note)) out << w->cellDate(c, r).day();
        return out;
    }
    static QPoint cellOf(FrmTool_SCED* w, const QDate& d) {
        for (int r = 1; r <= 6; ++r)
            for (int c = 1; c <= 7; ++c)
                if (w->cellDate(c, r) == d) return {c, r};
        return {};
    }

private slots:
    void init() {
        WindowTest::init();
        RegisterToolCommands();
        App().ownerCode = 1;
        Settings::set(App().appTitle, "Config", "스케줄알림", "0");
    }

    void monthPlacement_data() {
        QTest::addColumn<QString>("sdate");
        QTest::addColumn<int>("cyclic");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<QList<int>>("days");
        QTest::newRow("monthly 31st in a 31-day month") << "2026-01-31" << 1 << 2027 << 3 << QList<int>{31};
        QTest::newRow("monthly 31st skips a 30-day month") << "2026-01-31" << 1 << 2027 << 4 << QList<int>{};
        QTest::newRow("monthly not before its first date") << "2027-05-10" << 1 << 2027 << 4 << QList<int>{};
        QTest::newRow("yearly 02-29 in a leap year") << "2024-02-29" << 2 << 2028 << 2 << QList<int>{29};
        QTest::newRow("yearly 02-29 skips a common year") << "2024-02-29" << 2 << 2027 << 2 << QList<int>{};
        QTest::newRow("weekly across months (Wednesdays)") << "2026-12-30" << 3 << 2027 << 1
                                                           << QList<int>{6, 13, 20, 27};
        QTest::newRow("one-time on its date only") << "2027-01-15" << 0 << 2027 << 1 << QList<int>{15};
    }
    void monthPlacement() {
        QFETCH(QString, sdate);
        QFETCH(int, cyclic);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(QList<int>, days);
        add(sdate, cyclic, "meet");
        add(sdate, cyclic, "other user", {}, 2);
        FrmTool_SCED* w = openMonth();
        QVERIFY(w);
        // Navigate as a person: type the year, then step months with the arrow button.
        m_d->retype("txtYear", QString::number(year), w);
        m_d->key(Qt::Key_Return);
        for (int m = w->month(); m < month; ++m) m_d->click("btnMoveMonth(1)", w);
        for (int m = w->month(); m > month; --m) m_d->click("btnMoveMonth(0)", w);
        QCOMPARE(std::pair(w->year(), w->month()), std::pair(year, month));
        QCOMPARE(daysWith(w, "meet"), days);
        QVERIFY(daysWith(w, "other user").isEmpty());
    }

    void monthNavigationAndTodayMark() {
        FrmTool_SCED* w = openMonth();
        QVERIFY(w);
        QCOMPARE(w->month(), 12);
        // Every week of the month in sight at the opening size (December 2026 spans six).
        Grid* g = m_d->find<Grid>("spList", w);
        for (int r = 1; r <= 6; ++r)
            QVERIFY2(g->viewport()->rect().contains(g->visualRect(g->model()->index(r - 1, 6))),
                     qPrintable(QString::number(r)));
        QVERIFY(daysWith(w, "   [오늘]") == QList<int>{6});
        m_d->click("btnMoveMonth(1)", w);
        QCOMPARE(std::pair(w->year(), w->month()), std::pair(2027, 1));
        QVERIFY(daysWith(w, "[오늘]").isEmpty());
        m_d->click("btnToday", w);
        QCOMPARE(std::pair(w->year(), w->month()), std::pair(2026, 12));
        QCOMPARE(FrmTool_SCED::clockText(QDateTime(QDate(2026, 12, 6), QTime(13, 5, 9))),
                 "2026.12.06(일) 오후 01:05:09");
        m_d->click("chkShowmsg", w);
        QCOMPARE(Settings::getIn(App().appTitle, "Config", "스케줄알림", QString()), "1");
    }

    // A day cell opens the day window; the note keeps quotes, line breaks and length;
    // a bad time becomes "00"; the month view follows every save.
    void dayWindowSavesAndEdits() {
        FrmTool_SCED* w = openMonth();
        QVERIFY(w);
        FrmTool_SCED_sub* sub = openDay(w, QDate(2026, 12, 10));
        QVERIFY(sub);
        QCOMPARE(sub->date(), QDate(2026, 12, 10));

        m_d->click("btnSave", sub);
        QCOMPARE(prompt().lastText(), "내용이 입력되지 않았습니다.");
        QCOMPARE(QApplication::focusWidget(), m_d->find<QPlainTextEdit>("txtMemo", sub));

        const QString note = "it's ' OR '1'='1\n둘째 줄" + QString(1000, u'가');
        m_d->retype("TxtTime(0)", "25", sub);
        m_d->retype("TxtTime(1)", "61", sub);
        m_d->find<QPlainTextEdit>("txtMemo", sub)->setFocus();
        m_d->type(note.left(20));
        m_d->find<QPlainTextEdit>("txtMemo", sub)->insertPlainText(note.mid(20));
        m_d->click("optCycle(1)", sub);
        m_d->click("btnSave", sub);
        QCOMPARE(m_d->env().notices().last(), "자료가 저장되었습니다.");
        // The saved row reads from its left edge, not scrolled to the end of its note.
        {
            Grid* list = m_d->find<Grid>("spList", sub);
            QCOMPARE(list->horizontalScrollBar()->value(), 0);
            QVERIFY(list->viewport()->rect().contains(
                list->visualRect(list->model()->index(0, FrmTool_SCED_sub::ColTime - 1))));
        }
        QCOMPARE(GetScalar("SELECT note FROM schedules").toString(), note);
        QCOMPARE(GetScalar("SELECT stime || '|' || cyclic || '|' || sdate FROM schedules").toString(),
                 "00:00|1|2026-12-10");
        QVERIFY(sub->currentSeq() > 0);
        QVERIFY(daysWith(w, "it's") == QList<int>{10});

        // Edit: no time, weekly; the same row is updated, not a second one added.
        m_d->click("chkDate", sub);
        QVERIFY(!m_d->find<QLineEdit>("TxtTime(0)", sub)->isEnabled());
        m_d->click("optCycle(3)", sub);
        m_d->click("btnSave", sub);
        QCOMPARE(CountRows("schedules"), 1);
        QCOMPARE(GetScalar("SELECT stime || '|' || cyclic FROM schedules").toString(), "|3");
        QCOMPARE(daysWith(w, "it's"), (QList<int>{10, 17, 24, 31}));

        // Finished mark in the list hides it from the month view when asked and from the reminder.
        Grid* list = m_d->find<Grid>("spList", sub);
        QCOMPARE(list->dataRowCnt(), 1);
        m_d->clickCell(list, FrmTool_SCED_sub::ColDone, 1);
        QCOMPARE(GetScalar("SELECT hidden FROM schedules").toInt(), 1);
        QVERIFY(ScheduleReminderText(QDate(2026, 12, 17), 1).isEmpty());
        RaiseChildWindow(w);
        m_d->click("chkhide", w);
        QVERIFY(daysWith(w, "it's").isEmpty());

        // Delete the entry from the day window.
        RaiseChildWindow(sub);
        m_d->clickCell(list, FrmTool_SCED_sub::ColNote, 1);
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnRecDel", sub);
        QCOMPARE(prompt().lastText(), "선택된 자료를 정말로 삭제 하시겠습니까?");
        QCOMPARE(CountRows("schedules"), 0);
    }

    // The finished mark of an entry another PC deleted, or already marked, meanwhile.
    void finishedMarkAfterAnotherPc() {
        add("2026-12-06", 0, "gone");
        add("2026-12-06", 0, "marked", "10:00");
        FrmTool_SCED* w = openMonth();
        QVERIFY(w);
        FrmTool_SCED_sub* sub = openDay(w, QDate(2026, 12, 6));
        QVERIFY(sub);
        Grid* list = m_d->find<Grid>("spList", sub);
        QCOMPARE(list->dataRowCnt(), 2);
        QVERIFY(TestEnv::runOnOtherConnection("UPDATE schedules SET hidden = 1 WHERE note = 'marked'"));
        QVERIFY(TestEnv::runOnOtherConnection("DELETE FROM schedules WHERE note = 'gone'"));
        // Marked already: nothing to ask, the list shows it.
        m_d->clickCell(list, FrmTool_SCED_sub::ColDone, 2);
        QCOMPARE(list->text(FrmTool_SCED_sub::ColDone, 2), "1");
        QCOMPARE(GetScalar("SELECT hidden FROM schedules WHERE note = 'marked'").toInt(), 1);
        // Deleted: said so, and the list is read again.
        prompt().clear();
        m_d->clickCell(list, FrmTool_SCED_sub::ColDone, 1);
        QCOMPARE(prompt().texts(),
                 QStringList{"이 스케줄은 다른 곳에서 삭제되어 저장할 수 없습니다.\n목록을 다시 불러옵니다."});
        QCOMPARE(list->dataRowCnt(), 1);
        QCOMPARE(list->text(FrmTool_SCED_sub::ColNote, 1), "marked");
        QCOMPARE(CountRows("schedules"), 1);
    }

    void deleteWholeDay() {
        add("2026-11-20", 1, "monthly from another day");
        add("2026-12-20", 0, "one");
        add("2026-12-20", 2, "yearly");
        FrmTool_SCED* w = openMonth();
        QVERIFY(w);
        clickDay(w, QDate(2026, 12, 21));
        m_d->click("btnRecDel", w);
        QCOMPARE(prompt().lastText(), "2026년 12월 21일에 등록된 스케줄이 없습니다.");
        clickDay(w, QDate(2026, 12, 20));
        prompt().pushAnswer(Prompt::Answer::No);
        m_d->click("btnRecDel", w);
        QCOMPARE(prompt().lastText(), "2026년 12월 20일의 전체 스케줄을 삭제하시겠습니까?");
        QCOMPARE(CountRows("schedules"), 3);
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnRecDel", w);
        QCOMPARE(CountRows("schedules"), 1);
        QVERIFY(daysWith(w, "monthly from another day") == QList<int>{20});
    }
};

QTEST_MAIN(tst_schedules)
#include "tst_schedules.moc"
