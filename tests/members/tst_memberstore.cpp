// Member search (and the list's order: by group, then by code), member and group storage,
// deleting with guards, the detail panel's data, user fields and the lookup picker, on a
// fresh database per test.
#include "EnvTest.h"
#include "MemberTestUtil.h"

#include "core/PrivateData.h"
#include "db/Database.h"
#include "members/GroupStore.h"
#include "members/MemberSearch.h"
#include "members/MemberStore.h"
#include "ui/PickOrAdd.h"
#include "members/UserFields.h"
#include "members/frmFriend.h"

#include <QLineEdit>
#include <QtTest>

using namespace MemberSearchText;

namespace {
// The `column` texts of the members `in` finds, in the list's order ({"<error>"} on failure).
QStringList found(const MemberSearchInput& in, const QString& column = "code") {
    const SqlPart part = MemberSearchSql(in);
    Recordset rs;
    if (OpenRecordset(rs, part.sql, part.params) < 0)
        return {"<error>"};
    QStringList out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        out << rs.text(column);
    return out;
}

QStringList names(const MemberSearchInput& in) {
    QStringList out = found(in, "sname");
    out.sort();
    return out;
}

MemberSearchInput birthdays(const QString& start, const QString& end) {
    MemberSearchInput in = memberSearch(MenuAll);
    in.dateKind = DateBirth;
    in.start = start;
    in.end = end;
    return in;
}

int addTrade(int member, int earned, int spent) {
    return ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend, lstackpoint, lpoint) VALUES ('2026-01-01', ?, ?, ?)",
                   {member, earned, spent});
}
} // namespace

class TestMemberStore : public EnvTest {
    Q_OBJECT
private slots:
    void saveAndReadBackEveryColumn() {
        const int group = addGroup("동호회");
        MemberValues v;
        for (const QString& column : MemberColumns()) {
            if (IsMemberNumberColumn(column))
                v.insert(column, 1);
            else
                v.insert(column, column + "'s \"value\"");
        }
        v.insert("ctblgroup", group);
        int code = 0;
        QCOMPARE(SaveMember(0, v, &code), 1);
        QVERIFY(code > 1);
        MemberValues back = LoadMember(code);
        for (const QString& column : MemberColumns()) {
            if (column == "finalday")
                QCOMPARE(back.value(column).toString(), QString("2026-12-06"));
            else if (column == "idno") // stored sealed only
                QCOMPARE(DecryptIdNo(back.value(column).toString()), v.value(column).toString());
            else
                QCOMPARE(back.value(column).toString(), v.value(column).toString());
        }
        // An update writes every column again and stamps the day.
        v.insert("sname", "O'Brien");
        v.insert("hidden", 0);
        QCOMPARE(SaveMember(code, v), 1);
        back = LoadMember(code);
        QCOMPARE(back.value("sname").toString(), QString("O'Brien"));
        QCOMPARE(back.value("hidden").toInt(), 0);
        // Updating a member that is gone saves nothing.
        QCOMPARE(SaveMember(9999, v), 0);
    }

    void searchByField() {
        const int group = addGroup("산악회");
        addMember("김철수", {{"hpline", "010-1234-5678"}, {"homeadd", "서울시 강남구"}, {"abo", "A"}, {"male", "남"},
                             {"marryox", 1}, {"codeno", "000012"}, {"smemo", "VIP 고객"}});
        addMember("이영희", {{"hline3", "02-555-9876"}, {"comadd2", "부산시"}, {"abo", "AB"}, {"male", "여"},
                             {"ctblgroup", group}});
        addMember("박민수", {{"keyline", "031-777-1234"}, {"abo", "O"}});

        QCOMPARE(names(memberSearch(MenuAll)), QStringList({"김철수", "박민수", "이영희"}));
        QCOMPARE(names(memberSearch(MenuAll, "1234")), QStringList({"김철수", "박민수"}));
        QCOMPARE(names(memberSearch(MenuAll, "000012")), QStringList({"김철수"}));
        QCOMPARE(names(memberSearch(MenuAll, "A")), QStringList({"김철수"})); // blood type matches whole
        QCOMPARE(names(memberSearch(MenuName, "영")), QStringList({"이영희"}));
        QCOMPARE(names(memberSearch(MenuPhone, "9876")), QStringList({"이영희"}));
        QCOMPARE(names(memberSearch(MenuAddress, "부산")), QStringList({"이영희"}));
        QCOMPARE(names(memberSearch(MenuMemo, "VIP")), QStringList({"김철수"}));
        QCOMPARE(names(memberSearch(MenuSex, {}, "여")), QStringList({"이영희"}));
        QCOMPARE(names(memberSearch(MenuMarried, {}, "미혼")), QStringList({"박민수", "이영희"}));
        QCOMPARE(names(memberSearch(MenuMarried, {}, "기혼")), QStringList({"김철수"}));
        QCOMPARE(names(memberSearch(MenuCodeNo, "000012")), QStringList({"김철수"}));
        QCOMPARE(names(memberSearch(MenuCodeNo, "00001")), QStringList());
        QCOMPARE(names(memberSearch(MenuCodeNo)).size(), 3);
        MemberSearchInput byGroup = memberSearch(MenuGroup);
        byGroup.groupCode = group;
        QCOMPARE(names(byGroup), QStringList({"이영희"}));
    }

    void searchTextIsLiteral() {
        for (const char* name : {"O'Neil", "100% 회원", "1000 회원", "a_b", "axb"})
            addMember(QString::fromUtf8(name));
        QCOMPARE(names(memberSearch(MenuName, "O'N")), QStringList({"O'Neil"}));
        QCOMPARE(names(memberSearch(MenuAll, "'")), QStringList({"O'Neil"}));
        QCOMPARE(names(memberSearch(MenuName, "0%")), QStringList({"100% 회원"}));
        QCOMPARE(names(memberSearch(MenuName, "a_b")), QStringList({"a_b"}));
        QCOMPARE(names(memberSearch(MenuName, "\\")), QStringList());
        QCOMPARE(names(memberSearch(MenuCodeNo, "' OR '1'='1")), QStringList());
        // Control characters are no search text.
        addMember("김철수");
        for (const QString& text : {QString("철") + QChar(0), QChar(0) + QString("철"), QString("철\t\n")})
            QCOMPARE(names(memberSearch(MenuName, text)), QStringList({"김철수"}));
    }

    void searchNeverListsFixedRowAndHonoursHidden() {
        QCOMPARE(names(memberSearch(MenuAll)), QStringList()); // only the fixed row exists
        addMember("활동회원");
        addMember("중지회원", {{"hidden", 1}});
        QCOMPARE(names(memberSearch(MenuAll)), QStringList({"활동회원"}));
        MemberSearchInput hidden = memberSearch(MenuAll);
        hidden.hidden = true;
        QCOMPARE(names(hidden), QStringList({"중지회원"}));
        // A member whose group is gone is listed, without a group name, and in the tree stands
        // under the default group.
        const int orphan = addMember("고아", {{"ctblgroup", 999}});
        QCOMPARE(names(memberSearch(MenuAll)), QStringList({"고아", "활동회원"}));
        const QStringList codes = found(memberSearch(MenuAll));
        QCOMPARE(codes.size(), 2);
        QCOMPARE(found(memberSearch(MenuAll), "gname").at(codes.indexOf(QString::number(orphan))), QString());
        QList<int> inDefault;
        for (const MemberNode& m : GroupMembers(1))
            inDefault << m.code;
        QVERIFY(inDefault.contains(orphan));
    }

    void searchByUserField() {
        addMember("가", {{"userfieldnote5", "골드"}});
        addMember("나", {{"userfieldnote5", "실버"}, {"userfieldnote6", "골드"}});
        MemberSearchInput in = memberSearch("등급", "골");
        in.userFieldNames[4] = "등급";
        QCOMPARE(names(in), QStringList({"가"}));
        // A name that is no field searches nothing special.
        in.userFieldNames[4] = "";
        QCOMPARE(names(in).size(), 2);
    }

    // Solar birthdays match by month and day in this year's periods, by the whole date in another
    // year's; lunar ones by this year's solar day. Lunar 2026-01-01 is solar 2026-02-17, so March
    // 2026 is lunar 01-13 .. 02-13.
    void birthdaySearches() {
        const QList<std::tuple<QString, QString, bool>> born = {
            {"양력3월", "1970-03-15", false},  {"양력4월", "1970-04-01", false},
            {"음력2월", "1970-02-01", true},   {"음력3월", "1970-03-15", true},
            {"성탄", "1980-12-25", false},     {"신정", "1980-01-05", false},
            {"여름", "1980-06-01", false},     {"음력섣달", "1970-12-15", true},
            {"음력정월", "1970-01-05", true},  {"음력오월", "1970-05-05", true},
            {"2020년생", "2020-03-15", false}};
        for (const auto& [name, day, lunar] : born)
            addMember(name, lunar ? MemberValues{{"barthday", day}, {"lunarbarth", 1}} : MemberValues{{"barthday", day}});
        addMember("생일없음");
        QCOMPARE(names(birthdays("2026-03-01", "2026-03-31")), QStringList({"2020년생", "양력3월", "음력2월"}));
        // Boundaries are inclusive.
        QCOMPARE(names(birthdays("2026-03-15", "2026-03-15")), QStringList({"2020년생", "양력3월"}));
        QCOMPARE(names(birthdays("2026-04-01", "2026-04-01")), QStringList({"양력4월"}));
        // Solar month-days wrap: Dec 20 .. Jan 10. Lunar ends fall inside the 11th month.
        QCOMPARE(names(birthdays("2026-12-20", "2027-01-10")), QStringList({"성탄", "신정"}));
        // Lunar ends on both sides of the lunar new year (12th month .. 1st month 2026).
        QCOMPARE(names(birthdays("2026-01-20", "2026-02-28")), QStringList({"음력섣달", "음력정월"}));
        QCOMPARE(names(birthdays("2020-03-01", "2020-03-31")), QStringList({"2020년생"}));
        // Joined-on and last-modified compare whole dates too.
        MemberSearchInput modified = memberSearch(MenuAll);
        modified.dateKind = DateModified;
        modified.start = "2026-12-06";
        modified.end = "2026-12-06";
        QCOMPARE(names(modified).size(), 12);
    }

    void deleteSingleOrder() {
        const int a = addMember("거래있음");
        addTrade(a, 0, 0);
        QVERIFY(!DeleteOneMember(0));
        QCOMPARE(m_env->prompt().texts(), QStringList({"삭제할 자료를 선택하세요."}));
        m_env->prompt().clear();
        // The guard speaks before any question.
        QVERIFY(!DeleteOneMember(a));
        QCOMPARE(m_env->prompt().texts(),
                 QStringList({"해당 데이터가 「회원거래」에서 사용중이기 때문에 삭제할 수 없습니다."}));
        // A plain delete is driven through the member list (F4); the fixed row is never deleted.
        QVERIFY(!DeleteOneMember(1));
        QCOMPARE(CountRows("tblfriend", "code = 1"), 1);
    }

    void detailPointsAndLunarDates() {
        const int group = addGroup("가족");
        const int a = addMember("포인트", {{"ctblgroup", group}, {"finalline", "02-1"}, {"inline", "305"},
                                           {"barthday", "1970-01-30"}, {"lunarbarth", 1},
                                           {"marryday", "1999-05-05"}, {"marryox", 1}});
        addTrade(a, 100, 30);
        addTrade(a, 50, 0);
        MemberDetail d = LoadMemberDetail(a);
        QVERIFY(d.found);
        QCOMPARE(d.groupName, QString("가족"));
        QCOMPARE(d.phoneWork, QString("02-1, 305"));
        QCOMPARE(d.marriedText, QString("기혼"));
        QCOMPARE(d.marryday, QString("1999-05-05"));
        QCOMPARE(d.accumulatedPoints, 150);
        QCOMPARE(d.usedPoints, 30);
        QCOMPARE(d.availablePoints, 120);
        QCOMPARE(d.availablePoints, qint64(FriendPointBalance(a)));
        // Lunar month 1 of 2026 has 29 days: the 30th is kept on the 29th (2026-03-18).
        QCOMPARE(d.birthday, QString("1970-01-30 올해 양력  :  2026-03-18"));

        const int b = addMember("거래없음");
        d = LoadMemberDetail(b);
        QCOMPARE(d.accumulatedPoints, 0);
        QCOMPARE(d.availablePoints, 0);
        QCOMPARE(d.phoneWork, QString());
        QCOMPARE(d.marriedText, QString("미혼"));
        QVERIFY(!LoadMemberDetail(1).found);
        QVERIFY(!LoadMemberDetail(424242).found);
    }

    // Saving and the members guard are driven through the group window; what it cannot reach:
    // the fixed group's name, an emptied schedule, the fund-record guard, the fixed row itself.
    void groupSaveRulesAndDelete() {
        GroupRecord g;
        g.name = "[기본그룹]";
        QCOMPARE(CheckGroupSave(g), QString("[[기본그룹]]은 이미 등록된 그룹명입니다."));
        g.name = "O'Hara 모임";
        g.schedule.kind = GroupSchedule::Quarterly;
        g.schedule.months = {2, 5, 8, 11};
        g.schedule.day = 29;
        QCOMPARE(SaveGroup(g), 1);
        QCOMPARE(LoadGroup(g.code).repeatClass, QString("3258B"));
        // Dropping the schedule empties both codes.
        g.schedule = {};
        QCOMPARE(SaveGroup(g), 1);
        QCOMPARE(LoadGroup(g.code).repeatClass, QString());
        QCOMPARE(LoadGroup(g.code).settlementDay, QString());

        ExecSQL("INSERT INTO tblgroupmon (ctblgroup, inoutclass) VALUES (?, '1')", {g.code});
        QVERIFY(!GroupDeleteAllowed(g.code));
        QCOMPARE(m_env->prompt().lastText(), QString("해당 데이터가 「tblgroupmon」에서 사용중이기 때문에 삭제할 수 없습니다."));
        ExecSQL("DELETE FROM tblgroupmon");
        QVERIFY(GroupDeleteAllowed(g.code));
        QVERIFY(DeleteGroupRow(g.code));
        QVERIFY(!DeleteGroupRow(1));
        QCOMPARE(GroupNameByCode(1), QString("[기본그룹]"));
    }

    // Moving a whole group's members (renaming and moving one member is driven through the tree).
    void renameAndMove() {
        const int g1 = addGroup("하나");
        const int g2 = addGroup("둘");
        addMember("갑", {{"ctblgroup", g1}});
        addMember("을", {{"ctblgroup", g1}});
        QVERIFY(MoveGroupMembers(g1, g2));
        QCOMPARE(GroupMembers(g2).size(), 2);
        QCOMPARE(GroupMembers(g1).size(), 0);
        QVERIFY(MoveGroupMembers(g1, g2)); // an empty group moves nothing and fails nothing
        addMember("기본", {{"ctblgroup", 1}});
        QVERIFY(MoveGroupMembers(1, g2)); // the fixed member row stays in the default group
        QCOMPARE(CountRows("tblfriend", "code = 1 AND ctblgroup = 1"), 1);
        QCOMPARE(GroupMembers(g2).size(), 3);
        QVERIFY(!MoveMember(1, g1));
        QCOMPARE(GroupNames(false).size(), 2);
        QCOMPARE(GroupNames().first().second, QString("[기본그룹]"));
    }

    void userFieldsAndPickLists() {
        QCOMPARE(LoadUserFieldNames(), QStringList(18, QString()));
        QCOMPARE(UserFieldHeading(4), QString("사용자정의"));
        QCOMPARE(GetOption("userfieldname_4", "x"), QString()); // created empty when read

        QStringList names(18);
        names[4] = "회원's 등급";
        QVERIFY(SaveUserFieldNames(names));
        QCOMPARE(LoadUserFieldNames().at(4), QString("회원's 등급"));
        QCOMPARE(UserFieldHeading(4), QString("회원's 등급"));

        QCOMPARE(FilledUserFields(), QList<int>());
        addMember("가", {{"userfieldnote5", "골드"}, {"userfieldnote18", "x"}});
        QCOMPARE(FilledUserFields(), QList<int>({4, 17}));

        // A value deleted twice (from two windows) fails the second time.
        int code = 0;
        QCOMPARE(SavePickListValue(2, 0, "it's", &code), 1);
        QVERIFY(DeletePickListValue(code));
        QVERIFY(!DeletePickListValue(code));
    }

    // The list window and the member editor behind the picker are driven in the member window
    // tests; here what needs no window.
    void pickOneManyNone() {
        const int kim = addMember("김's", {{"hpline", "010-2222-4321"}});
        addMember("김중지", {{"hidden", 1}});

        // One match by the last four digits of the mobile number: taken without any window.
        SetPickChooser([](const QString&, const QString&) -> std::optional<PickRow> {
            qWarning("the list window was shown");
            return std::nullopt;
        });
        QCOMPARE(PickOrAdd("tblfriend", "4321"), QString("김's"));
        QCOMPARE(LastPickedCode(), kim);
        SetPickChooser({});

        // A suspended member is never offered; its exact name offers to add a new member.
        m_env->prompt().pushAnswer(Prompt::Answer::No);
        QCOMPARE(PickOrAdd("tblfriend", "김중지"), QString());
        QCOMPARE(LastPickedCode(), 0);
        QCOMPARE(m_env->prompt().lastText(),
                 QString("[김중지]은(는) 등록된 회원명이 아닙니다.\n입력하신 회원명을 추가하시겠습니까?"));

        // Accounts: nothing registered and nothing typed: the none message, no result.
        m_env->prompt().clear();
        QCOMPARE(PickOrAdd("Card", ""), QString());
        QCOMPARE(m_env->prompt().texts(), QStringList({"등록된 신용카드가 없습니다."}));
        // A kind served elsewhere and not plugged in answers nothing.
        QCOMPARE(PickOrAdd("tblservice", "커트"), QString());
    }

    void pickUsagePlace() {
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        QCOMPARE(PickOrAdd("tblusename", "Joe's 마트"), QString("Joe's 마트"));
        const int code = LastPickedCode();
        QVERIFY(code > 1);
        QCOMPARE(CountRows("tblusename", "sname = ?", {"Joe's 마트"}), 1);
        // Found once, taken again without adding.
        QCOMPARE(PickOrAdd("tblusename", "s 마"), QString("Joe's 마트"));
        QCOMPARE(LastPickedCode(), code);
        QCOMPARE(CountRows("tblusename", "code > 1"), 1);
        // Nothing typed and nothing there besides: message, empty result.
        ExecSQL("DELETE FROM tblusename WHERE code > 1");
        m_env->prompt().clear();
        QCOMPARE(PickOrAdd("tblusename", ""), QString());
        QCOMPARE(m_env->prompt().texts(), QStringList({"등록된 사용처가 없습니다."}));

        // Deleting: refused while a ledger line uses it.
        ExecSQL("INSERT INTO tblusename (sname) VALUES ('가게')");
        const int shop = LastIdentity();
        ExecSQL("INSERT INTO tbljangbu (sdate, ctblusename) VALUES ('2026-01-01', ?)", {shop});
        m_env->prompt().clear();
        QVERIFY(!DeleteUsagePlace(shop, "가게"));
        QCOMPARE(m_env->prompt().texts(), QStringList({"[가게] 가 다른곳에 사용되고 있어 삭제할수 없습니다."}));
        ExecSQL("DELETE FROM tbljangbu");
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        QVERIFY(DeleteUsagePlace(shop, "가게"));
        QCOMPARE(CountRows("tblusename", "code = ?", {shop}), 0);
    }

    // Members are added alternating between two groups, starting with the higher group code,
    // so that neither code order nor group order alone gives the expected list.
    void groupThenCode_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("dateKind");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("byGroup");
        QTest::addColumn<QList<int>>("expected"); // indexes into the members made below

        const QList<int> active = {6, 1, 3, 0, 2, 4};
        QTest::newRow("whole list") << MenuAll << QString() << DateNone << false << false << active;
        QTest::newRow("text over all fields") << MenuAll << QString("김'") << DateNone << false << false << active;
        QTest::newRow("last phone digits") << MenuPhone << QString("1234") << DateNone << false << false << QList<int>{1, 3, 0, 2};
        QTest::newRow("name with a quote") << MenuName << QString("김'") << DateNone << false << false << active;
        QTest::newRow("birthdays of the month") << MenuAll << QString() << DateBirth << false << false << QList<int>{1, 3, 0, 2, 4};
        QTest::newRow("one group") << MenuGroup << QString() << DateNone << false << true << QList<int>{1, 3};
        QTest::newRow("suspended members") << MenuAll << QString() << DateNone << true << false << QList<int>{7, 5};
        QTest::newRow("nothing found") << MenuPhone << QString("9999") << DateNone << false << false << QList<int>{};
    }
    void groupThenCode() {
        QFETCH(QString, menu);
        QFETCH(QString, text);
        QFETCH(QString, dateKind);
        QFETCH(bool, hidden);
        QFETCH(bool, byGroup);
        QFETCH(QList<int>, expected);

        const int low = addGroup("가모임");  // the lower group code
        const int high = addGroup("나모임"); // the higher one, which gets the first member
        QVERIFY(low > 1 && high > low);
        const QString phone = "010-555-1234";
        QList<int> m;
        m << addMember("김'하나", {{"ctblgroup", high}, {"hpline", phone}, {"barthday", "1980-12-01"}});
        m << addMember("김'둘", {{"ctblgroup", low}, {"hline3", phone}, {"barthday", "1990-12-31"}});
        m << addMember("김'셋", {{"ctblgroup", high}, {"faxline", phone}, {"barthday", "2000-12-15"}});
        m << addMember("김'넷", {{"ctblgroup", low}, {"keyline", phone}, {"barthday", "1970-12-06"}});
        m << addMember("김'다섯", {{"ctblgroup", high}, {"barthday", "1965-12-20"}});
        m << addMember("김'여섯", {{"ctblgroup", high}, {"hidden", 1}, {"hpline", phone}});
        m << addMember("김'일곱", {{"barthday", "1999-01-01"}}); // the default group
        m << addMember("김'여덟", {{"ctblgroup", low}, {"hidden", 1}});
        for (int code : m)
            QVERIFY(code > 1);

        MemberSearchInput in = memberSearch(menu, text);
        in.dateKind = dateKind;
        in.start = "2026-12-01";
        in.end = "2026-12-31";
        in.hidden = hidden;
        if (byGroup)
            in.groupCode = low;
        QStringList want;
        for (int i : expected)
            want << QString::number(m[i]);
        QCOMPARE(found(in), want);
    }

    // A full member followed by an empty one: the empty row must not show anything of the row
    // filled before it, user fields included.
    void gridRowsHoldOnlyTheirOwnValues() {
        const int g = addGroup("모임's");
        SetOption("userfieldname_2", "등급");
        const int full = addMember("가득's", {{"ctblgroup", g},           {"hpline", "010-1"},   {"hline1", "02-1"},
                                              {"barthday", "1990-01-02"}, {"hzipno", "04524"},   {"homeadd", "서울's"},
                                              {"homeadd2", "1번지"},      {"smemo", "메모'"},    {"idno", "800101"},
                                              {"mail", "a@b"},            {"homepi", "h.kr"},    {"hline2", "02-2"},
                                              {"faxline", "02-9"},        {"insertday", "2026-01-01"},
                                              {"feestart", "2026-02-01"}, {"marryox", 1},        {"marryday", "2000-05-05"},
                                              {"ectday", "2001-06-06"},   {"relation", "친구"},  {"male", "남"},
                                              {"abo", "AB"},              {"userfieldnote3", "골드"}});
        const int empty = addMember("빈", {{"ctblgroup", g}});
        frmFriend w;
        Grid* grid = w.grid();
        QCOMPARE(grid->maxCols(), frmFriend::BaseColumns + 1);
        QCOMPARE(grid->dataRowCnt(), 2);
        QCOMPARE(grid->text(frmFriend::ColCode, 1), QString::number(full));
        QCOMPARE(grid->text(frmFriend::ColCode, 2), QString::number(empty));

        const QStringList fullRow = {"모임's", "가득's", "010-1", "02-1", "1990-01-02", "04524 서울's 1번지", "메모'", "",
                                     "800101", "a@b", "h.kr", "02-2", "02-9", "2026-01-01", "2026-02-01", "기혼",
                                     "2000-05-05", "2001-06-06", "친구", "남", "AB", QString::number(full), "서울's",
                                     "1번지", "04524", "골드"};
        const QStringList emptyRow = {"모임's", "빈", "", "", "", "  ", "", "", "", "", "", "", "", "", "", "미혼",
                                      "", "", "", "", "", QString::number(empty), "", "", "", ""};
        for (int c = 1; c <= grid->maxCols(); ++c) {
            QCOMPARE(grid->text(c, 1), fullRow.at(c - 1));
            QCOMPARE(grid->text(c, 2), emptyRow.at(c - 1));
        }

        // A narrower search afterwards leaves only its own row.
        w.findChild<QLineEdit*>("txtData")->setText("빈");
        w.Search();
        QCOMPARE(grid->dataRowCnt(), 1);
        QCOMPARE(grid->text(frmFriend::ColName, 1), QString("빈"));
        QCOMPARE(grid->text(26, 1), QString());
    }
};

QTEST_MAIN(TestMemberStore)
#include "tst_memberstore.moc"
