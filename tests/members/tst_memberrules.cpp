// Window-free member rules: resident numbers, picture paths, group schedule codes and the
// group save checks.
#include "EnvTest.h"

#include "members/GroupSchedule.h"
#include "members/MemberRules.h"

#include <QtTest>

namespace {
// The schedule columns of a data table, and the schedule a row of them describes.
void addScheduleColumns() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("months");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("week");
    QTest::addColumn<int>("weekday");
}

GroupSchedule fetchSchedule() {
    QFETCH(int, kind);
    QFETCH(QList<int>, months);
    QFETCH(int, day);
    QFETCH(int, week);
    QFETCH(int, weekday);
    GroupSchedule s;
    s.kind = kind;
    s.months = months;
    s.day = day;
    s.week = week;
    s.weekday = weekday;
    return s;
}
} // namespace

// A fresh world per case, so a warning nobody expected fails it.
class TestMemberRules : public EnvTest {
    Q_OBJECT
public:
    TestMemberRules() : EnvTest(false) {}

private slots:
    // Twelve, thirteen plain and fourteen digits, all nines and a path of 100 and 101 ASCII
    // characters are typed into the member editor in its test.
    void residentNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("stored");
        QTest::newRow("with hyphen") << "900215-2345674" << true << "900215-2345674";
        QTest::newRow("blanks around") << "  9002152345674 " << true << "900215-2345674";
        QTest::newRow("remainder 1 gives check 0") << "800101-1234560" << true << "800101-1234560";
        QTest::newRow("remainder 0 gives check 1") << "850101-1000031" << true << "850101-1000031";
        QTest::newRow("remainder 10 gives check 1") << "750505-1111111" << true << "750505-1111111";
        QTest::newRow("wrong check digit") << "900215-2345675" << false << "900215-2345675";
        QTest::newRow("letters") << "90021A-2345674" << false << "90021A-2345674";
        QTest::newRow("blank inside") << "900215 234567" << false << "900215 234567";
        QTest::newRow("empty") << "" << false << "";
    }
    void residentNumber() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, stored);
        QCOMPARE(IsValidResidentNo(text), valid);
        QCOMPARE(FormatResidentNo(text), stored);
    }

    void picturePath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("bytes");
        // 46 Hangul characters count 92 bytes.
        const QString hangul100 = "/p/" + QString(46, QChar(0xD55C)) + "1.jpg";
        QTest::newRow("hangul counts two, 100 bytes") << hangul100 << true << 100;
        QTest::newRow("hangul counts two, 101 bytes") << hangul100 + "x" << false << 101;
        QTest::newRow("empty path") << "" << true << 0;
    }
    void picturePath() {
        QFETCH(QString, path);
        QFETCH(bool, accepted);
        QFETCH(int, bytes);
        QCOMPARE(CodePageLength(path), bytes);
        QCOMPARE(CheckPicturePath(path).isEmpty(), accepted);
        if (!accepted)
            QCOMPARE(CheckPicturePath(path),
                     "이미지 경로가 너무 깁니다. 최대 100자까지 허용됩니다. 현재길이:" + QString::number(bytes) + "\n\n" + path);
    }

    void scheduleCodes_data() {
        addScheduleColumns();
        QTest::addColumn<QString>("repeat");
        QTest::addColumn<QString>("dayCode");
        QTest::addColumn<QString>("text");
        using L = QList<int>;
        QTest::newRow("monthly on the 1st") << 0 << L{} << 1 << 0 << 0 << "00000" << "01" << "매달 1일";
        QTest::newRow("odd months on the 28th") << 1 << L{} << 28 << 0 << 0 << "10000" << "28" << "홀수달 28일";
        QTest::newRow("even months last day") << 2 << L{} << 29 << 0 << 0 << "20000" << "29" << "짝수달 말일";
        QTest::newRow("quarterly 2 5 8 11") << 3 << L{2, 5, 8, 11} << 0 << 2 << 2 << "3258B" << "42"
                                             << "분기별 2월 5월 8월 11월 둘째주 월요일";
        QTest::newRow("quarterly 3 6 9 12") << 3 << L{3, 6, 9, 12} << 15 << 0 << 0 << "3369C" << "15"
                                             << "분기별 3월 6월 9월 12월 15일";
        QTest::newRow("half-yearly 6 and 12") << 4 << L{6, 12} << 0 << 4 << 1 << "4006C" << "61" << "반기별 6월 12월 넷째주 일요일";
        QTest::newRow("yearly december") << 5 << L{12} << 0 << 1 << 7 << "5000C" << "37" << "매년 12월 첫주 토요일";
        QTest::newRow("yearly october third week") << 5 << L{10} << 0 << 3 << 4 << "5000A" << "54" << "매년 10월 셋째주 수요일";
    }
    void scheduleCodes() {
        QFETCH(QString, repeat);
        QFETCH(QString, dayCode);
        QFETCH(QString, text);
        const GroupSchedule s = fetchSchedule();
        QCOMPARE(EncodeRepeatClass(s), repeat);
        QCOMPARE(EncodeSettlementDay(s), dayCode);
        QCOMPARE(DecodeGroupSchedule(repeat, dayCode), s);
        QCOMPARE(GroupScheduleDescription(repeat, dayCode), text);
    }

    void scheduleUnknownCodes() {
        // A group without dues: no kind, no text.
        QCOMPARE(DecodeGroupSchedule("", "").kind, int(GroupSchedule::None));
        QCOMPARE(GroupScheduleDescription("", "15"), QString());
        // Codes that cannot be read leave the combos empty instead of guessing.
        const GroupSchedule odd = DecodeGroupSchedule("9ZZZZ", "38");
        QCOMPARE(odd.kind, int(GroupSchedule::None));
        QCOMPARE(odd.week, 0);
        QCOMPARE(odd.day, 0);
        QCOMPARE(DecodeGroupSchedule("30000", "01").months, QList<int>({0, 0, 0, 0}));
    }

    void monthsOffered() {
        QCOMPARE(GroupMonthsOffered(GroupSchedule::Quarterly, 0), QList<int>({1, 2, 3}));
        QCOMPARE(GroupMonthsOffered(GroupSchedule::Quarterly, 3), QList<int>({10, 11, 12}));
        QCOMPARE(GroupMonthsOffered(GroupSchedule::HalfYearly, 1), QList<int>({7, 8, 9, 10, 11, 12}));
        QCOMPARE(GroupMonthsOffered(GroupSchedule::Yearly, 0).size(), 12);
        QCOMPARE(GroupMonthsOffered(GroupSchedule::Yearly, 1), QList<int>());
        QCOMPARE(GroupMonthsOffered(GroupSchedule::Monthly, 0), QList<int>());
        QCOMPARE(GroupDayChoices().size(), 28 + 1 + 4);
        QCOMPARE(GroupDayChoices().at(28), QStringLiteral("말   일"));
    }

    // The empty name and a first-week Monday are refused in the group window test.
    void groupInputChecks_data() {
        QTest::addColumn<QString>("name");
        addScheduleColumns();
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("message");
        using L = QList<int>;
        const QString missing = "회비납부일이 입력되지 않았습니다";
        QTest::newRow("quarterly without months") << "A" << 3 << L{} << 5 << 0 << 0 << 0.0 << missing;
        QTest::newRow("quarterly one month missing") << "A" << 3 << L{1, 4, 0, 10} << 5 << 0 << 0 << 0.0 << missing;
        QTest::newRow("yearly without month") << "A" << 5 << L{0} << 5 << 0 << 0 << 0.0 << missing;
        QTest::newRow("kind without day") << "A" << 0 << L{} << 0 << 0 << 0 << 0.0 << missing;
        QTest::newRow("week without weekday") << "A" << 0 << L{} << 0 << 2 << 0 << 0.0 << missing;
        QTest::newRow("amount without kind") << "A" << -1 << L{} << 0 << 0 << 0 << 5000.0 << missing;
        QTest::newRow("no kind no amount") << "A" << -1 << L{} << 0 << 0 << 0 << 0.0 << "";
        QTest::newRow("first week saturday") << "A" << 0 << L{} << 0 << 1 << 7 << 0.0 << "";
        QTest::newRow("second week monday") << "A" << 0 << L{} << 0 << 2 << 2 << 0.0 << "";
        QTest::newRow("half-yearly complete") << "A" << 4 << L{1, 7} << 29 << 0 << 0 << 1000.0 << "";
    }
    void groupInputChecks() {
        QFETCH(QString, name);
        QFETCH(double, amount);
        QFETCH(QString, message);
        QCOMPARE(CheckGroupInput(name, fetchSchedule(), amount), message);
    }
};

QTEST_MAIN(TestMemberRules)
#include "tst_memberrules.moc"
