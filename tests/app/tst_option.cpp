#include "EnvTest.h"

#include "core/AppState.h"
#include "app/OptionValues.h"
#include "core/Settings.h"
#include "app/frmOption.h"
#include "db/Database.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QtTest>

namespace {
const QString kQuestion = QStringLiteral("변경된 내용이 저장되지 않았습니다. 정말 닫으시겠습니까?");

QString option(const QString& name) {
    return GetScalar(QStringLiteral("SELECT optvalue FROM options WHERE optname = ?"), {name}).toString();
}
} // namespace

class tst_option : public EnvTest {
    Q_OBJECT

    template <class T>
    static T* find(QWidget* w, const QString& name) {
        T* c = w->findChild<T*>(name);
        if (!c) qWarning("control %s missing", qPrintable(name));
        return c;
    }
    static QAbstractButton* button(QWidget* w, const QString& name) { return find<QAbstractButton>(w, name); }
    static QLineEdit* field(QWidget* w) { return find<QLineEdit>(w, QStringLiteral("htField")); }

private slots:
    void freshDatabaseShowsDefaults() {
        frmOption w;
        QCOMPARE(w.windowTitle(), QStringLiteral("환경설정"));
        QVERIFY(!button(&w, "chkFriendcode")->isChecked());
        QCOMPARE(button(&w, "chkFriendcode")->text(), QStringLiteral("사용안함"));
        QVERIFY(button(&w, "opStart(0)")->isChecked());
        QVERIFY(button(&w, "opPoint(0)")->isChecked());
        QCOMPARE(field(&w)->text(), QStringLiteral("10"));
        QVERIFY(field(&w)->isEnabled());
        QVERIFY(button(&w, "opFriend(0)")->isChecked());
        QVERIFY(button(&w, "opClientSort(0)")->isChecked());
        QVERIFY(button(&w, "chkRepetition")->isChecked());
        QVERIFY(!button(&w, "btnSel")->isEnabled());
        QVERIFY(m_env->prompt().shown().isEmpty());
    }

    // Every value written and read back, then the other way round.
    void roundTrip() {
        {
            frmOption w;
            button(&w, "chkFriendcode")->click();
            button(&w, "opStart(4)")->click();
            field(&w)->setText(QStringLiteral("25"));
            button(&w, "opFriend(1)")->click();
            button(&w, "opClientSort(1)")->click();
            button(&w, "chkRepetition")->click();
            QVERIFY(button(&w, "btnSel")->isEnabled());
            button(&w, "btnSel")->click();
            QVERIFY(!button(&w, "btnSel")->isEnabled());
            QVERIFY(!w.isChanged());
        }
        QCOMPARE(option("friendcode"), QStringLiteral("1"));
        QCOMPARE(option("start"), QStringLiteral("4"));
        QCOMPARE(option("pointindex"), QStringLiteral("0"));
        QCOMPARE(option("point"), QStringLiteral("25"));
        QCOMPARE(Settings::get("Config", "FRIEND_CLICK"), QStringLiteral("1"));
        QCOMPARE(Settings::get("Config", "CLIENT_SORT"), QStringLiteral("1"));
        QCOMPARE(Settings::get("Config", "MEMBER_REPETITION"), QStringLiteral("0"));
        // Re-read into the process-wide state, notice after the save.
        QCOMPARE(App().friendCode, QStringLiteral("1"));
        QCOMPARE(App().start, QStringLiteral("4"));
        QCOMPARE(App().point, QStringLiteral("25"));
        QCOMPARE(App().duplicateMemberCheck, false);
        QCOMPARE(m_env->notices(), QStringList{QStringLiteral("자료가 저장되었습니다.")});

        // Read back as saved.
        frmOption w;
        for (const char* name : {"chkFriendcode", "opStart(4)", "opFriend(1)", "opClientSort(1)"})
            QVERIFY2(button(&w, name)->isChecked(), name);
        QVERIFY(!button(&w, "chkRepetition")->isChecked());
        QCOMPARE(field(&w)->text(), QStringLiteral("25"));
    }

    // Stored percentages that cannot be used, and what saving writes back.
    void storedPoint_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("saved");
        QTest::newRow("text") << "abc" << "0" << "0";
        QTest::newRow("empty") << "" << "0" << "0";
        QTest::newRow("leading number") << "12abc" << "12" << "12";
        QTest::newRow("fraction") << "12.5" << "12.5" << "12.5";
        QTest::newRow("negative") << "-5" << "0" << "0";
        QTest::newRow("above 100") << "150" << "100" << "100";
        QTest::newRow("quote") << "1'0" << "1" << "1";
    }
    void storedPoint() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, saved);
        QVERIFY(SetOption(QStringLiteral("point"), stored));
        frmOption w;
        QCOMPARE(field(&w)->text(), shown);
        QVERIFY(w.RecSave());
        QCOMPARE(option("point"), saved);
    }

    void percentAbove100BecomesHundredOnLeaving() {
        frmOption w;
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QLineEdit* f = field(&w);
        f->setFocus(Qt::TabFocusReason);
        f->selectAll();
        QTest::keyClicks(f, QStringLiteral("150"));
        QTest::keyClick(f, Qt::Key_Tab);
        QCOMPARE(f->text(), QStringLiteral("100"));
        QVERIFY(w.isChanged());
        button(&w, "btnOK")->click();
        QCOMPARE(option("point"), QStringLiteral("100"));
        QVERIFY(!w.isVisible());
    }

    void startOutsideRangeIsKept() {
        QVERIFY(SetOption(QStringLiteral("start"), QStringLiteral("9")));
        Settings::set("Config", "FRIEND_CLICK", "x");
        Settings::set("Config", "CLIENT_SORT", "7");
        frmOption w;
        for (int i = 0; i < 5; ++i) QVERIFY(!button(&w, QStringLiteral("opStart(%1)").arg(i))->isChecked());
        QVERIFY(button(&w, "opFriend(0)")->isChecked());
        QVERIFY(button(&w, "opClientSort(0)")->isChecked());
        button(&w, "chkFriendcode")->click();
        QVERIFY(w.RecSave());
        QCOMPARE(option("start"), QStringLiteral("9"));
        QCOMPARE(Settings::get("Config", "FRIEND_CLICK"), QStringLiteral("0"));
    }

    void cancelAsksOnlyAfterChanges() {
        {
            frmOption w;
            w.show();
            button(&w, "btnCancel")->click();
            QVERIFY(!w.isVisible());
            QVERIFY(m_env->prompt().shown().isEmpty());
        }
        frmOption w;
        w.show();
        button(&w, "opStart(2)")->click();
        m_env->prompt().pushAnswer(Prompt::Answer::No);
        button(&w, "btnCancel")->click();
        QVERIFY(w.isVisible());
        QCOMPARE(m_env->prompt().texts(), QStringList{kQuestion});

        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QCOMPARE(m_env->prompt().texts(), (QStringList{kQuestion, kQuestion}));
        QCOMPARE(option("start"), QStringLiteral("0"));
        QVERIFY(m_env->notices().isEmpty());
    }
};

QTEST_MAIN(tst_option)
#include "tst_option.moc"
