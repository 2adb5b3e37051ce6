// The member list's order and its grid rows: every kind of search lists members by group
// and then by code, and each grid row holds only its own member's values.
#include "EnvTest.h"

#include "db/Database.h"
#include "members/GroupStore.h"
#include "members/MemberSearch.h"
#include "members/MemberStore.h"
#include "members/frmFriend.h"
#include "ui/Grid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

using namespace MemberSearchText;

namespace {
int addMember(const QString& name, MemberValues extra = {})
{
    extra.insert("sname", name);
    int code = 0;
    SaveMember(0, extra, &code);
    return code;
}

int addGroup(const QString& name)
{
    GroupRecord g;
    g.name = name;
    return SaveGroup(g) == 1 ? g.code : 0;
}

MemberSearchInput search(const QString& menu, const QString& text = {})
{
    MemberSearchInput in;
    in.dateKind = DateNone;
    in.menu = menu;
    in.text = text;
    for (int i = 0; i < 18; ++i)
        in.userFieldNames << QString();
    return in;
}

QList<int> codes(const MemberSearchInput& in)
{
    const SqlPart part = MemberSearchSql(in);
    Recordset rs;
    QList<int> out;
    if (OpenRecordset(rs, part.sql, part.params) < 0)
        return {-1};
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        out << rs.integer("code");
    return out;
}
} // namespace

class TestMemberListOrder : public EnvTest {
    Q_OBJECT
private slots:

    void groupThenCode_data();
    void groupThenCode();
    void gridRowsHoldOnlyTheirOwnValues();

private:
};

// Members are added alternating between two groups, starting with the higher group code,
// so that neither code order nor group order alone gives the expected list.
void TestMemberListOrder::groupThenCode_data()
{
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

void TestMemberListOrder::groupThenCode()
{
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

    MemberSearchInput in = search(menu, text);
    in.dateKind = dateKind;
    in.start = "2026-12-01";
    in.end = "2026-12-31";
    in.hidden = hidden;
    if (byGroup)
        in.groupCode = low;
    QList<int> want;
    for (int i : expected)
        want << m[i];
    QCOMPARE(codes(in), want);
}

// A full member followed by an empty one: the empty row must not show anything of the row
// filled before it, user fields included.
void TestMemberListOrder::gridRowsHoldOnlyTheirOwnValues()
{
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

QTEST_MAIN(TestMemberListOrder)
#include "tst_memberlistorder.moc"
