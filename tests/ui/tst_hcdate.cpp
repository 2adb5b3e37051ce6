#include "ControlForm.h"
#include "TestEnv.h"

#include "core/Clock.h"
#include "ui/FrmCalendar.h"
#include "ui/HCDate.h"
#include "ui/HCDateAdv.h"
#include "ui/HCDateBox.h"
#include "ui/HCTerm.h"
#include "ui/HCText.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

namespace {
// Start and end date of a period control or window.
template <class T> QStringList period(const T* w) { return {w->Text1(), w->Text2()}; }
const QString kTitle = QStringLiteral("날짜입력 확인");
const QString kMessage = QStringLiteral("날짜의 입력형식이 잘못 되었거나,          \n존재하지 않는 날짜입니다.");
} // namespace

class TstHCDate : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_env = new TestEnv(false);
        m_form = new ControlForm;
        m_before = m_form->add<HCText>("htBefore");
        m_date = m_form->add<HCDate>("hdInsert");
        m_adv = m_form->add<HCDateAdv>("hdFee");
        m_term = m_form->add<HCTerm>("htTerm");
        m_after = m_form->add<HCText>("htAfter");
        QVERIFY(m_form->showActive());
    }
    void cleanup() {
        delete m_form;
        delete m_env;
    }

    void typedAndLeft_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("allowEmpty");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("message");
        // The clock stands on 2026-12-06.
        QTest::newRow("full date") << "20261206" << false << "2026-12-06" << false;
        QTest::newRow("2000-02-29 exists") << "20000229" << false << "2000-02-29" << false;
        QTest::newRow("1900-02-29 does not") << "19000229" << false << "2026-12-06" << true;
        QTest::newRow("2100-02-29 does not") << "21000229" << false << "2026-12-06" << true;
        QTest::newRow("30 February") << "20260230" << false << "2026-12-06" << true;
        QTest::newRow("month 13") << "20261301" << false << "2026-12-06" << true;
        QTest::newRow("day 00") << "20261200" << false << "2026-12-06" << true;
        QTest::newRow("empty, not allowed") << "" << false << "2026-12-06" << false;
        QTest::newRow("empty, allowed") << "" << true << "" << false;
        QTest::newRow("month and day") << "1001" << false << "2026-10-01" << false;
        QTest::newRow("day of this month") << "5" << true << "2026-12-05" << false;
        QTest::newRow("YYMMDD") << "040101" << false << "2004-01-01" << false;
        QTest::newRow("seven digits") << "2026120" << true << "" << true;
    }
    void typedAndLeft() {
        QFETCH(QString, typed);
        QFETCH(bool, allowEmpty);
        QFETCH(QString, result);
        QFETCH(bool, message);
        m_date->SetAllowEmpty(allowEmpty);
        m_date->setFocus();
        QTest::keyClicks(m_date->Box(), typed);
        leave();
        QCOMPARE(m_date->Text(), result);
        QCOMPARE(m_date->Box()->displayText(), result.isEmpty() ? QStringLiteral("____-__-__") : result);
        const auto& shown = m_env->prompt().shown();
        QCOMPARE(shown.size(), message ? 1 : 0);
        if (message) {
            QCOMPARE(shown[0].title, kTitle);
            QCOMPARE(shown[0].text, kMessage);
            QCOMPARE(shown[0].icon, Prompt::Icon::Information);
        }
    }

    void maskTextAndKeys() {
        QCOMPARE(m_date->Box()->displayText(), QStringLiteral("____-__-__"));
        QCOMPARE(m_date->Text(), QString());
        m_date->SetText(QStringLiteral("2026-01-02"));
        QCOMPARE(m_date->Text(), QStringLiteral("2026-01-02"));
        // Texts the mask would change are shown and kept as given until the user edits.
        for (const QString& stored : {QStringLiteral("2026-2-3"), QStringLiteral("봄")}) {
            m_date->SetText(stored);
            m_date->setFocus();
            leave();
            QCOMPARE(m_date->Box()->displayText(), stored);
            QCOMPARE(m_date->Text(), stored);
            m_date->setFocus();
            QTest::keyClicks(m_date->Box(), QStringLiteral("20260105"));
            QCOMPARE(m_date->Text(), QStringLiteral("2026-01-05"));
        }
        m_date->SetText(QStringLiteral("1990-1-5"));
        m_date->setFocus();
        QTest::keyClick(m_date->Box(), Qt::Key_Backspace);
        QCOMPARE(m_date->Box()->displayText(), QStringLiteral("____-__-__"));
        QVERIFY(m_env->prompt().shown().isEmpty());
        m_date->SetText(QString());
        QCOMPARE(m_date->Box()->displayText(), QStringLiteral("____-__-__"));
        QCOMPARE(m_date->Text(), QString());
        // A stored text that is no date is shown as typed and refused on leaving.
        m_date->SetText(QStringLiteral("2026-02-30"));
        QCOMPARE(m_date->Text(), QStringLiteral("2026-02-30"));
        m_date->setFocus();
        leave();
        QCOMPARE(m_date->Text(), QStringLiteral("2026-12-06"));
        QCOMPARE(m_env->prompt().shown().size(), 1);
        // Keys other than digits are refused, Korean typed into the box as well.
        m_date->SetText(QString());
        m_date->setFocus();
        QTest::keyClicks(m_date->Box(), QStringLiteral("2a0'2-5 0x1.1/5"));
        QCOMPARE(m_date->Box()->displayText(), QStringLiteral("2025-01-15"));
        m_date->Box()->selectAll();
        QTest::sendKeyEvent(QTest::Click, m_date->Box(), Qt::Key_unknown, QStringLiteral("한"), Qt::NoModifier);
        QTest::keyClicks(m_date->Box(), QStringLiteral("1"));
        QCOMPARE(m_date->Box()->displayText(), QStringLiteral("1___-__-__"));
    }

    void dayUpDown() {
        auto* up = m_adv->findChild<QToolButton*>(QStringLiteral("btnUp"));
        auto* down = m_adv->findChild<QToolButton*>(QStringLiteral("btnDown"));
        QVERIFY(up && down);
        QTest::mouseClick(up, Qt::LeftButton); // empty box: today
        QCOMPARE(m_adv->Text(), QStringLiteral("2026-12-06"));
        m_adv->SetText(QStringLiteral("2026-12-31"));
        QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(m_adv->Text(), QStringLiteral("2027-01-01"));
        m_adv->SetText(QStringLiteral("2024-03-01"));
        QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(m_adv->Text(), QStringLiteral("2024-02-29"));
        // Keyboard: PgDn / PgUp.
        m_adv->setFocus();
        QTest::keyClick(m_adv->Box(), Qt::Key_PageDown);
        QTest::keyClick(m_adv->Box(), Qt::Key_PageDown);
        QTest::keyClick(m_adv->Box(), Qt::Key_PageUp);
        QCOMPARE(m_adv->Text(), QStringLiteral("2024-02-28"));
        // A date that does not exist is refused first, then stepped from today.
        m_adv->SetText(QStringLiteral("2026-02-30"));
        QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(m_env->prompt().shown().size(), 1);
        QCOMPARE(m_adv->Text(), QStringLiteral("2026-12-07"));
        // Each date of a period steps on its own.
        m_term->SetText1(QStringLiteral("2026-01-01"));
        QTest::mouseClick(m_term->findChild<QToolButton*>(QStringLiteral("btnDown1")), Qt::LeftButton);
        QTest::mouseClick(m_term->findChild<QToolButton*>(QStringLiteral("btnUp2")), Qt::LeftButton);
        QCOMPARE(period(m_term), (QStringList{"2025-12-31", "2026-12-06"}));
    }

    void autoTabKeys() {
        m_date->SetAutoTab(true);
        m_term->SetAutoTab(true);
        m_date->setFocus();
        QTest::keyClicks(m_date->Box(), QStringLiteral("20260101"));
        QTest::keyClick(m_date->Box(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), m_adv->Box());
        QCOMPARE(m_date->Text(), QStringLiteral("2026-01-01"));
        m_date->setFocus();
        QTest::keyClick(m_date->Box(), Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), m_before);
        // Within a period Enter and Down go from the start to the end date, then on.
        m_term->setFocus();
        QCOMPARE(QApplication::focusWidget(), m_term->Box1());
        QTest::keyClick(m_term->Box1(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), m_term->Box2());
        QTest::keyClick(m_term->Box2(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), m_after);
        // Without AutoTab the keys stay in the box.
        m_adv->setFocus();
        QTest::keyClick(m_adv->Box(), Qt::Key_Return);
        QTest::keyClick(m_adv->Box(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), m_adv->Box());
    }

    // Today, this month and this year, also on the first day of a year.
    void todayAndThisMonth_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("monthStart");
        QTest::addColumn<QString>("yearStart");
        QTest::newRow("6 December") << QDate(2026, 12, 6) << "2026-12-01" << "2026-01-01";
        QTest::newRow("1 January") << QDate(2027, 1, 1) << "2027-01-01" << "2027-01-01";
    }
    void todayAndThisMonth() {
        QFETCH(QDate, today);
        QFETCH(QString, monthStart);
        QFETCH(QString, yearStart);
        Clock::setFixed(QDateTime(today, QTime(0, 0)));
        const QString day = today.toString(Qt::ISODate);
        m_date->ToDay();
        QCOMPARE(m_date->Text(), day);
        m_term->ToDay();
        QCOMPARE(period(m_term), (QStringList{day, day}));
        m_term->ThisMonth();
        QCOMPARE(period(m_term), (QStringList{monthStart, day}));
        m_term->ThisYear();
        QCOMPARE(period(m_term), (QStringList{yearStart, day}));
    }

    // The calendar opens on the box's date (today when empty); Enter or a click picks a
    // day and closes it, Esc closes it leaving the date alone.
    void calendarPicks() {
        m_date->SetText(QStringLiteral("2026-02-27"));
        QTest::mouseClick(m_date->CalendarButton(), Qt::LeftButton);
        QTableView* grid = monthGrid(m_date->Box());
        QVERIFY(grid && grid->isVisible());
        QCOMPARE(m_date->Box()->Calendar()->MonthView()->selectedDate(), QDate(2026, 2, 27));
        QTest::keyClick(grid, Qt::Key_Right); // two days on crosses into March
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(m_date->Text(), QStringLiteral("2026-03-01"));
        QTRY_VERIFY(!m_date->Box()->Calendar());

        m_date->SetText(QString());
        m_date->setFocus();
        QTest::keyClick(m_date->Box(), Qt::Key_F4);
        grid = monthGrid(m_date->Box());
        QVERIFY(grid);
        QCOMPARE(m_date->Box()->Calendar()->MonthView()->selectedDate(), QDate(2026, 12, 6));
        const QAbstractItemModel* model = grid->model();
        QModelIndex day15; // only one 15 in a six-week view
        for (int i = 0; i < model->rowCount() * model->columnCount(); ++i)
            if (model->index(i / model->columnCount(), i % model->columnCount()).data().toString() == u"15")
                day15 = model->index(i / model->columnCount(), i % model->columnCount());
        QVERIFY(day15.isValid());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(day15).center());
        QCOMPARE(m_date->Text(), QStringLiteral("2026-12-15"));
        QTRY_VERIFY(!m_date->Box()->Calendar());

        m_term->SetText2(QStringLiteral("2026-05-05"));
        QTest::mouseClick(m_term->findChild<QToolButton*>(QStringLiteral("btnCalendar2")), Qt::LeftButton);
        grid = monthGrid(m_term->Box2());
        QVERIFY(grid);
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Escape);
        QTRY_VERIFY(!m_term->Box2()->Calendar());
        QCOMPARE(period(m_term), (QStringList{QString(), "2026-05-05"}));
        QVERIFY(m_env->prompt().shown().isEmpty());
    }

private:
    void leave() {
        m_after->setFocus();
        QCoreApplication::processEvents();
    }
    // The day grid of the calendar open on `box`, null when none is open.
    static QTableView* monthGrid(HCDateBox* box) {
        return box->Calendar() ? box->Calendar()->MonthView()->findChild<QTableView*>() : nullptr;
    }

    TestEnv* m_env = nullptr;
    ControlForm* m_form = nullptr;
    HCText* m_before = nullptr;
    HCDate* m_date = nullptr;
    HCDateAdv* m_adv = nullptr;
    HCTerm* m_term = nullptr;
    HCText* m_after = nullptr;
};

QTEST_MAIN(TstHCDate)
#include "tst_hcdate.moc"
