// The schedule windows, opened from the main menu and driven by mouse and keys.
#include "TestEnv.h"
#include "ToolsDriver.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "tools/FrmTool_SCED.h"
#include "tools/FrmTool_SCED_sub.h"
#include "tools/Schedules.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using namespace tools_test;

class tst_schedules : public QObject {
    Q_OBJECT
    TestEnv* m_env = nullptr;
    std::unique_ptr<frmMain> m_frame;

    static void add(const QString& sdate, int cyclic, const QString& note, const QString& stime = {}, int hidden = 0,
                    int ocode = 1) {
        QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO schedules (ocode, sdate, stime, note, hidden, cyclic) VALUES (?,?,?,?,?,?)"),
                         {ocode, sdate, stime, note, hidden, cyclic}),
                 1);
    }
    FrmTool_SCED* openMonth() {
        if (!runMenu(*m_frame, "mnuETCRoot_Schedule")) return nullptr;
        return dynamic_cast<FrmTool_SCED*>(WindowRegistry::find(QStringLiteral("FrmTool_SCED")));
    }
    // Days of the shown month whose cell mentions `note`.
    static QList<int> daysWith(FrmTool_SCED* w, const QString& note) {
        Grid* g = w->findChild<Grid*>(QStringLiteral("spList"));
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
        m_env = new TestEnv;
        QVERIFY(m_env->ok());
        App().ownerCode = 1;
        App().start = QStringLiteral("9");
        Settings::set(App().appTitle, QStringLiteral("Config"), QStringLiteral("스케줄알림"), QStringLiteral("0"));
        m_frame = openFrame();
    }
    void cleanup() {
        m_frame.reset();
        delete m_env;
        m_env = nullptr;
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
        add(sdate, cyclic, QStringLiteral("meet"));
        add(sdate, cyclic, QStringLiteral("other user"), {}, 0, 2);
        FrmTool_SCED* w = openMonth();
        QVERIFY(w);
        // Navigate as a person: type the year, then step months with the arrow button.
        focusAndType(find<QLineEdit>(w, QStringLiteral("txtYear")), QString::number(year));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        for (int m = w->month(); m < month; ++m) click(find<QPushButton>(w, QStringLiteral("btnMoveMonth(1)")));
        for (int m = w->month(); m > month; --m) click(find<QPushButton>(w, QStringLiteral("btnMoveMonth(0)")));
        QCOMPARE(w->year(), year);
        QCOMPARE(w->month(), month);
        QCOMPARE(daysWith(w, QStringLiteral("meet")), days);
        QVERIFY(daysWith(w, QStringLiteral("other user")).isEmpty());
    }

    void monthNavigationAndTodayMark() {
        FrmTool_SCED* w = openMonth();
        QVERIFY(w);
        QCOMPARE(w->month(), 12);
        // Every week of the month in sight at the opening size (December 2026 spans six).
        Grid* g = find<Grid>(w, QStringLiteral("spList"));
        for (int r = 1; r <= 6; ++r)
            QVERIFY2(g->viewport()->rect().contains(g->visualRect(g->model()->index(r - 1, 6))),
                     qPrintable(QString::number(r)));
        QVERIFY(daysWith(w, QStringLiteral("   [오늘]")) == QList<int>{6});
        click(find<QPushButton>(w, QStringLiteral("btnMoveMonth(1)")));
        QCOMPARE(w->year(), 2027);
        QCOMPARE(w->month(), 1);
        QVERIFY(daysWith(w, QStringLiteral("[오늘]")).isEmpty());
        click(find<QPushButton>(w, QStringLiteral("btnToday")));
        QCOMPARE(w->year(), 2026);
        QCOMPARE(w->month(), 12);
        QCOMPARE(FrmTool_SCED::clockText(QDateTime(QDate(2026, 12, 6), QTime(13, 5, 9))),
                 QStringLiteral("2026.12.06(일) 오후 01:05:09"));
        click(find<QCheckBox>(w, QStringLiteral("chkShowmsg")));
        QCOMPARE(Settings::getIn(App().appTitle, QStringLiteral("Config"), QStringLiteral("스케줄알림"), QString()), QStringLiteral("1"));
    }

    // A day cell opens the day window; the note keeps quotes, line breaks and length;
    // a bad time becomes "00"; the month view follows every save.
    void dayWindowSavesAndEdits() {
        FrmTool_SCED* w = openMonth();
        QVERIFY(w);
        Grid* month = find<Grid>(w, QStringLiteral("spList"));
        const QPoint cell = cellOf(w, QDate(2026, 12, 10));
        doubleClickCell(month, cell.x(), cell.y());
        auto* sub = dynamic_cast<FrmTool_SCED_sub*>(WindowRegistry::find(QStringLiteral("FrmTool_SCED_sub")));
        QVERIFY(sub);
        QCOMPARE(sub->date(), QDate(2026, 12, 10));

        click(find<QPushButton>(sub, QStringLiteral("btnSave")));
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("내용이 입력되지 않았습니다."));
        QCOMPARE(QApplication::focusWidget(), find<QPlainTextEdit>(sub, QStringLiteral("txtMemo")));

        const QString note = QStringLiteral("it's ' OR '1'='1\n둘째 줄") + QString(1000, u'가');
        focusAndType(find<QLineEdit>(sub, QStringLiteral("TxtTime(0)")), QStringLiteral("25"));
        focusAndType(find<QLineEdit>(sub, QStringLiteral("TxtTime(1)")), QStringLiteral("61"));
        find<QPlainTextEdit>(sub, QStringLiteral("txtMemo"))->setFocus();
        type(note.left(20));
        find<QPlainTextEdit>(sub, QStringLiteral("txtMemo"))->insertPlainText(note.mid(20));
        click(find<QRadioButton>(sub, QStringLiteral("optCycle(1)")));
        click(find<QPushButton>(sub, QStringLiteral("btnSave")));
        QCOMPARE(m_env->notices().last(), QStringLiteral("자료가 저장되었습니다."));
        // The saved row reads from its left edge, not scrolled to the end of its note.
        {
            Grid* list = find<Grid>(sub, QStringLiteral("spList"));
            QCOMPARE(list->horizontalScrollBar()->value(), 0);
            QVERIFY(list->viewport()->rect().contains(
                list->visualRect(list->model()->index(0, FrmTool_SCED_sub::ColTime - 1))));
        }
        QCOMPARE(GetScalar(QStringLiteral("SELECT note FROM schedules")).toString(), note);
        QCOMPARE(GetScalar(QStringLiteral("SELECT stime || '|' || cyclic || '|' || sdate FROM schedules")).toString(),
                 QStringLiteral("00:00|1|2026-12-10"));
        QVERIFY(sub->currentSeq() > 0);
        QVERIFY(daysWith(w, QStringLiteral("it's")) == QList<int>{10});

        // Edit: no time, weekly; the same row is updated, not a second one added.
        click(find<QCheckBox>(sub, QStringLiteral("chkDate")));
        QVERIFY(!find<QLineEdit>(sub, QStringLiteral("TxtTime(0)"))->isEnabled());
        click(find<QRadioButton>(sub, QStringLiteral("optCycle(3)")));
        click(find<QPushButton>(sub, QStringLiteral("btnSave")));
        QCOMPARE(CountRows(QStringLiteral("schedules")), 1);
        QCOMPARE(GetScalar(QStringLiteral("SELECT stime || '|' || cyclic FROM schedules")).toString(), QStringLiteral("|3"));
        QCOMPARE(daysWith(w, QStringLiteral("it's")), (QList<int>{10, 17, 24, 31}));

        // Finished mark in the list hides it from the month view when asked and from the reminder.
        Grid* list = find<Grid>(sub, QStringLiteral("spList"));
        QCOMPARE(list->dataRowCnt(), 1);
        clickCell(list, FrmTool_SCED_sub::ColDone, 1);
        QCOMPARE(GetScalar(QStringLiteral("SELECT hidden FROM schedules")).toInt(), 1);
        QVERIFY(ScheduleReminderText(QDate(2026, 12, 17), 1).isEmpty());
        RaiseChildWindow(w);
        click(find<QCheckBox>(w, QStringLiteral("chkhide")));
        QVERIFY(daysWith(w, QStringLiteral("it's")).isEmpty());

        // Delete the entry from the day window.
        RaiseChildWindow(sub);
        clickCell(list, FrmTool_SCED_sub::ColNote, 1);
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        click(find<QPushButton>(sub, QStringLiteral("btnRecDel")));
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"));
        QCOMPARE(CountRows(QStringLiteral("schedules")), 0);
    }

    // The finished mark of an entry another PC deleted, or already marked, meanwhile.
    void finishedMarkAfterAnotherPc() {
        add(QStringLiteral("2026-12-06"), 0, QStringLiteral("gone"));
        add(QStringLiteral("2026-12-06"), 0, QStringLiteral("marked"), QStringLiteral("10:00"));
        FrmTool_SCED* w = openMonth();
        QVERIFY(w);
        const QPoint cell = cellOf(w, QDate(2026, 12, 6));
        doubleClickCell(find<Grid>(w, QStringLiteral("spList")), cell.x(), cell.y());
        auto* sub = dynamic_cast<FrmTool_SCED_sub*>(WindowRegistry::find(QStringLiteral("FrmTool_SCED_sub")));
        QVERIFY(sub);
        Grid* list = find<Grid>(sub, QStringLiteral("spList"));
        QCOMPARE(list->dataRowCnt(), 2);
        QVERIFY(TestEnv::runOnOtherConnection(QStringLiteral("UPDATE schedules SET hidden = 1 WHERE note = 'marked'")));
        QVERIFY(TestEnv::runOnOtherConnection(QStringLiteral("DELETE FROM schedules WHERE note = 'gone'")));
        // Marked already: nothing to ask, the list shows it.
        clickCell(list, FrmTool_SCED_sub::ColDone, 2);
        QCOMPARE(list->text(FrmTool_SCED_sub::ColDone, 2), QStringLiteral("1"));
        QCOMPARE(GetScalar(QStringLiteral("SELECT hidden FROM schedules WHERE note = 'marked'")).toInt(), 1);
        // Deleted: said so, and the list is read again.
        m_env->prompt().clear();
        clickCell(list, FrmTool_SCED_sub::ColDone, 1);
        QCOMPARE(m_env->prompt().texts(),
                 QStringList{QStringLiteral("이 스케줄은 다른 곳에서 삭제되어 저장할 수 없습니다.\n목록을 다시 불러옵니다.")});
        QCOMPARE(list->dataRowCnt(), 1);
        QCOMPARE(list->text(FrmTool_SCED_sub::ColNote, 1), QStringLiteral("marked"));
        QCOMPARE(CountRows(QStringLiteral("schedules")), 1);
    }

    void deleteWholeDay() {
        add(QStringLiteral("2026-11-20"), 1, QStringLiteral("monthly from another day"));
        add(QStringLiteral("2026-12-20"), 0, QStringLiteral("one"));
        add(QStringLiteral("2026-12-20"), 2, QStringLiteral("yearly"));
        FrmTool_SCED* w = openMonth();
        QVERIFY(w);
        Grid* month = find<Grid>(w, QStringLiteral("spList"));
        QPoint cell = cellOf(w, QDate(2026, 12, 21));
        clickCell(month, cell.x(), cell.y());
        click(find<QPushButton>(w, QStringLiteral("btnRecDel")));
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("2026년 12월 21일에 등록된 스케줄이 없습니다."));
        cell = cellOf(w, QDate(2026, 12, 20));
        clickCell(month, cell.x(), cell.y());
        m_env->prompt().pushAnswer(Prompt::Answer::No);
        click(find<QPushButton>(w, QStringLiteral("btnRecDel")));
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("2026년 12월 20일의 전체 스케줄을 삭제하시겠습니까?"));
        QCOMPARE(CountRows(QStringLiteral("schedules")), 3);
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        click(find<QPushButton>(w, QStringLiteral("btnRecDel")));
        QCOMPARE(CountRows(QStringLiteral("schedules")), 1);
        QVERIFY(daysWith(w, QStringLiteral("monthly from another day")) == QList<int>{20});
    }
};

QTEST_MAIN(tst_schedules)
#include "tst_schedules.moc"
