#include "TestEnv.h"

#include "core/Clock.h"
#include "ui/FrmEasyDate.h"
#include "ui/HCDateBox.h"
#include "ui/HCTerm.h"
#include "ui/QuickPeriod.h"

#include <QPushButton>
#include <QtTest>

Q_DECLARE_METATYPE(QuickPeriod)

namespace {
// Start and end date of a period control or window.
template <class T> QStringList period(const T* w) { return {w->Text1(), w->Text2()}; }
QDate D(const char* text) { return QDate::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd")); }
} // namespace

class TstEasyDate : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env = new TestEnv(false); }
    void cleanup() {
        delete m_term;
        m_term = nullptr;
        delete m_env;
    }

    // 4분기 and a quarter moved forward are chosen in the window below.
    void quickPeriods_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QuickPeriod>("period");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        // The clock stands on Sunday 2026-12-06.
        const QDate today = D("2026-12-06");
        QTest::newRow("오늘") << today << QuickPeriod::Today << D("2026-12-06") << D("2026-12-06");
        QTest::newRow("어제") << today << QuickPeriod::Yesterday << D("2026-12-05") << D("2026-12-05");
        QTest::newRow("그제") << today << QuickPeriod::DayBeforeYesterday << D("2026-12-04") << D("2026-12-04");
        QTest::newRow("내일") << today << QuickPeriod::Tomorrow << D("2026-12-07") << D("2026-12-07");
        QTest::newRow("이번주 starts today, a Sunday") << today << QuickPeriod::ThisWeek << D("2026-12-06") << D("2026-12-12");
        QTest::newRow("지난주") << today << QuickPeriod::LastWeek << D("2026-11-29") << D("2026-12-05");
        QTest::newRow("지지난주") << today << QuickPeriod::WeekBeforeLast << D("2026-11-22") << D("2026-11-28");
        QTest::newRow("다음주") << today << QuickPeriod::NextWeek << D("2026-12-13") << D("2026-12-19");
        QTest::newRow("이번달") << today << QuickPeriod::ThisMonth << D("2026-12-01") << D("2026-12-31");
        QTest::newRow("지난달") << today << QuickPeriod::LastMonth << D("2026-11-01") << D("2026-11-30");
        QTest::newRow("지지난달") << today << QuickPeriod::MonthBeforeLast << D("2026-10-01") << D("2026-10-31");
        QTest::newRow("다음달 crosses the year") << today << QuickPeriod::NextMonth << D("2027-01-01") << D("2027-01-31");
        QTest::newRow("올해") << today << QuickPeriod::ThisYear << D("2026-01-01") << D("2026-12-31");
        QTest::newRow("지난해") << today << QuickPeriod::LastYear << D("2025-01-01") << D("2025-12-31");
        QTest::newRow("지지난해") << today << QuickPeriod::YearBeforeLast << D("2024-01-01") << D("2024-12-31");
        QTest::newRow("다음해") << today << QuickPeriod::NextYear << D("2027-01-01") << D("2027-12-31");
        QTest::newRow("1분기") << today << QuickPeriod::Quarter1 << D("2026-01-01") << D("2026-03-31");
        QTest::newRow("2분기") << today << QuickPeriod::Quarter2 << D("2026-04-01") << D("2026-06-30");
        QTest::newRow("3분기") << today << QuickPeriod::Quarter3 << D("2026-07-01") << D("2026-09-30");
        QTest::newRow("전반기") << today << QuickPeriod::FirstHalf << D("2026-01-01") << D("2026-06-30");
        QTest::newRow("후반기") << today << QuickPeriod::SecondHalf << D("2026-07-01") << D("2026-12-31");
        QTest::newRow("최근1개월") << today << QuickPeriod::Recent1Month << D("2026-11-06") << D("2026-12-06");
        QTest::newRow("최근2개월") << today << QuickPeriod::Recent2Months << D("2026-10-06") << D("2026-12-06");
        QTest::newRow("최근3개월") << today << QuickPeriod::Recent3Months << D("2026-09-06") << D("2026-12-06");
        QTest::newRow("최근6개월") << today << QuickPeriod::Recent6Months << D("2026-06-06") << D("2026-12-06");
        QTest::newRow("최근1년") << today << QuickPeriod::Recent1Year << D("2025-12-06") << D("2026-12-06");
        // Other days: week, month and year edges.
        QTest::newRow("이번주 on a Saturday") << D("2026-12-12") << QuickPeriod::ThisWeek << D("2026-12-06") << D("2026-12-12");
        QTest::newRow("다음주 across new year") << D("2026-12-31") << QuickPeriod::NextWeek << D("2027-01-03") << D("2027-01-09");
        QTest::newRow("지난주 across new year") << D("2027-01-01") << QuickPeriod::LastWeek << D("2026-12-20") << D("2026-12-26");
        QTest::newRow("지난달 in January") << D("2027-01-15") << QuickPeriod::LastMonth << D("2026-12-01") << D("2026-12-31");
        QTest::newRow("지난달 of a leap March") << D("2024-03-31") << QuickPeriod::LastMonth << D("2024-02-01") << D("2024-02-29");
        QTest::newRow("최근1개월 from March 31st") << D("2026-03-31") << QuickPeriod::Recent1Month << D("2026-02-28") << D("2026-03-31");
        QTest::newRow("최근1년 from February 29th") << D("2024-02-29") << QuickPeriod::Recent1Year << D("2023-02-28") << D("2024-02-29");
    }
    void quickPeriods() {
        QFETCH(QDate, today);
        QFETCH(QuickPeriod, period);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QCOMPARE(QuickPeriodDates(period, today), (DatePeriod{start, end}));
    }

    void movePeriod_data() {
        QTest::addColumn<QuickPeriod>("unit");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QDate>("newStart");
        QTest::addColumn<QDate>("newEnd");
        const auto row = [](const char* name, QuickPeriod unit, const char* start, const char* end, int direction,
                            const char* newStart, const char* newEnd) {
            QTest::newRow(name) << unit << D(start) << D(end) << direction << D(newStart) << D(newEnd);
        };
        row("day back", QuickPeriod::Today, "2026-12-01", "2026-12-01", -1, "2026-11-30", "2026-11-30");
        row("week forward", QuickPeriod::LastWeek, "2026-12-27", "2027-01-02", 1, "2027-01-03", "2027-01-09");
        row("month keeps month ends", QuickPeriod::ThisMonth, "2026-01-01", "2026-01-31", 1, "2026-02-01",
            "2026-02-28");
        row("month back over the year", QuickPeriod::NextMonth, "2027-01-01", "2027-01-31", -1, "2026-12-01",
            "2026-12-31");
        row("half back", QuickPeriod::FirstHalf, "2026-01-01", "2026-06-30", -1, "2025-07-01", "2025-12-31");
        row("year forward", QuickPeriod::ThisYear, "2026-01-01", "2026-12-31", 1, "2027-01-01", "2027-12-31");
        row("recent months shift by their length", QuickPeriod::Recent3Months, "2026-09-06", "2026-12-06", -1,
            "2026-06-06", "2026-09-06");
        row("hand-set period by its length", QuickPeriod::None, "2026-12-01", "2026-12-10", 1, "2026-12-11",
            "2026-12-20");
        row("reversed hand-set period by a day", QuickPeriod::None, "2026-12-10", "2026-12-01", 1, "2026-12-11",
            "2026-12-02");
    }
    void movePeriod() {
        QFETCH(QuickPeriod, unit);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(int, direction);
        QFETCH(QDate, newStart);
        QFETCH(QDate, newEnd);
        QCOMPARE(MovePeriod(unit, {start, end}, direction), (DatePeriod{newStart, newEnd}));
    }

    void quickButtonThenMoveThenOk() {
        FrmEasyDate* dlg = openFromTerm();
        QVERIFY(dlg);
        click(dlg, QStringLiteral("btnQuick(19)")); // 4분기
        QCOMPARE(period(dlg), (QStringList{"2026-10-01", "2026-12-31"}));
        click(dlg, QStringLiteral("btnNext"));
        click(dlg, QStringLiteral("btnNext"));
        click(dlg, QStringLiteral("btnPrev"));
        QCOMPARE(period(dlg), (QStringList{"2027-01-01", "2027-03-31"}));
        // Day up/down of the end date.
        QTest::mouseClick(dlg->findChild<QWidget*>(QStringLiteral("btnDown2")), Qt::LeftButton);
        QCOMPARE(dlg->Text2(), QStringLiteral("2027-03-30"));
        QCOMPARE(m_term->Text1(), QString());
        click(dlg, QStringLiteral("btnOK"));
        QCOMPARE(period(m_term), (QStringList{"2027-01-01", "2027-03-30"}));
        QTRY_VERIFY(!m_term->EasyDate());
        QVERIFY(m_env->prompt().shown().isEmpty());
    }

    void closeLeavesPeriodAlone() {
        FrmEasyDate* dlg = openFromTerm();
        QVERIFY(dlg);
        m_term->SetText1(QStringLiteral("2026-01-05"));
        m_term->SetText2(QStringLiteral("2026-01-09"));
        click(dlg, QStringLiteral("btnQuick(13)")); // 지난해
        click(dlg, QStringLiteral("btnClose"));
        QCOMPARE(period(m_term), (QStringList{"2026-01-05", "2026-01-09"}));
        QTRY_VERIFY(!m_term->EasyDate());
        // Esc closes without a change as well; the window starts from the control's period.
        dlg = openFromTerm();
        QVERIFY(dlg);
        QCOMPARE(dlg->Text1(), QStringLiteral("2026-01-05"));
        click(dlg, QStringLiteral("btnQuick(0)"));
        QTest::keyClick(dlg, Qt::Key_Escape);
        QCOMPARE(m_term->Text2(), QStringLiteral("2026-01-09"));
    }

    // Opened without a period it starts from today; dates typed by hand move by their length.
    void handEditedDatesMoveByLength() {
        FrmEasyDate dlg;
        QCOMPARE(period(&dlg), (QStringList{"2026-12-06", "2026-12-06"}));
        dlg.show();
        dlg.ChooseQuick(QuickPeriod::ThisMonth);
        auto* box2 = dlg.findChild<HCDateBox*>(QStringLiteral("txtDate2"));
        box2->setFocus();
        box2->selectAll();
        QTest::keyClicks(box2, QStringLiteral("20261203"));
        QCOMPARE(dlg.Unit(), QuickPeriod::None);
        dlg.Move(1);
        QCOMPARE(period(&dlg), (QStringList{"2026-12-04", "2026-12-06"}));
    }

    void badDateIsRefusedBeforeOk() {
        FrmEasyDate* dlg = openFromTerm();
        QVERIFY(dlg);
        QVERIFY(dlg->isVisible());
        auto* box1 = dlg->findChild<HCDateBox*>(QStringLiteral("txtDate1"));
        box1->SetText(QStringLiteral("2026-02-30"));
        QVERIFY(dlg->isVisible());
        click(dlg, QStringLiteral("btnOK"));
        QCOMPARE(m_env->prompt().shown().size(), 1);
        QCOMPARE(m_env->prompt().lastTitle(), QStringLiteral("날짜입력 확인"));
        QVERIFY(dlg->isVisible());
        QCOMPARE(dlg->Text1(), QStringLiteral("2026-12-06"));
        QCOMPARE(m_term->Text1(), QString());
        // A move checks the dates first as well.
        box1->SetText(QStringLiteral("2026-13-01"));
        click(dlg, QStringLiteral("btnNext"));
        QCOMPARE(m_env->prompt().shown().size(), 2);
        QCOMPARE(dlg->Text1(), QStringLiteral("2026-12-07"));
        click(dlg, QStringLiteral("btnOK"));
        QCOMPARE(period(m_term), (QStringList{"2026-12-07", "2026-12-07"}));
    }

private:
    FrmEasyDate* openFromTerm() {
        if (!m_term) {
            m_term = new HCTerm;
            m_term->setObjectName(QStringLiteral("htTerm"));
            m_term->show();
        }
        QTest::mouseClick(m_term->findChild<QWidget*>(QStringLiteral("btnEasyDate")), Qt::LeftButton);
        FrmEasyDate* dlg = m_term->EasyDate();
        if (dlg && !QTest::qWaitForWindowExposed(dlg)) return nullptr;
        return dlg;
    }
    static void click(QWidget* dlg, const QString& name) {
        auto* b = dlg->findChild<QPushButton*>(name);
        QVERIFY2(b, qPrintable(name));
        QTest::mouseClick(b, Qt::LeftButton);
    }

    TestEnv* m_env = nullptr;
    HCTerm* m_term = nullptr;
};

QTEST_MAIN(TstEasyDate)
#include "tst_easydate.moc"
