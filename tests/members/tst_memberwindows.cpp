// The member windows driven as a user would: group window, member editor, member list,
// lookup list and pick-list editor, checked against the database and the prompts shown.
#include "MainWindowDriver.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "members/FrmSearch.h"
#include "members/GroupStore.h"
#include "members/MemberSearch.h"
#include "members/MemberStore.h"
#include "members/PickOrAdd.h"
#include "members/UserFields.h"
#include "members/frmFriend.h"
#include "members/frmFriendAdd.h"
#include "members/frmFriendUserSet.h"
#include "members/frmGroupSub.h"
#include "ui/Grid.h"
#include "ui/HCDate.h"
#include "ui/HCTerm.h"
#include "ui/HCText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {
template <class T>
T* child(QWidget* w, const QString& name)
{
    T* c = w->findChild<T*>(name);
    if (!c)
        qWarning() << "missing control" << name;
    return c;
}

int addMember(const QString& name, MemberValues extra = {})
{
    extra.insert("sname", name);
    int code = 0;
    SaveMember(0, extra, &code);
    return code;
}

QStringList gridColumn(Grid* g, int col)
{
    QStringList out;
    for (int r = 1; r <= g->dataRowCnt(); ++r)
        out << g->text(col, r);
    return out;
}

void choose(QComboBox* c, const QString& text)
{
    const int i = c->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    c->setCurrentIndex(i);
}
} // namespace

class TestMemberWindows : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_driver = std::make_unique<MainWindowDriver>();
        QVERIFY(m_driver->ok());
        m_env = &m_driver->env();
        App().duplicateMemberCheck = true;
    }
    void cleanup()
    {
        m_env = nullptr;
        m_driver.reset();
    }

    void groupWindowSavesSchedules();
    void groupWindowRefusesBadInput();
    void groupWindowDelete();
    void editorSavesEveryFieldAndReadsBack();
    void editorChecksOnLeaving();
    void editorDuplicateQuestions();
    void editorPictureAndContinue();
    void editorManagementNumber();
    void listSearchesThroughControls();
    void listChecksAndDeletes();
    void listTreeRenameAndMove();
    void listUserFieldColumns();
    void pickerListWindow();
    void pickerAddsMemberThroughEditor();
    void pickListEditor();

private:
    std::unique_ptr<MainWindowDriver> m_driver;
    TestEnv* m_env = nullptr;
};

void TestMemberWindows::groupWindowSavesSchedules()
{
    frmGroupSub w;
    w.show();
    auto* name = child<HCText>(&w, "htField(1)");
    child<HCText>(&w, "htField(2)")->setText("12,000");
    name->setText("O'Neil 모임");
    choose(child<QComboBox>(&w, "cmbYear"), "분기별");
    QVERIFY(child<QComboBox>(&w, "cmbMon(3)")->isVisible());
    choose(child<QComboBox>(&w, "cmbMon(0)"), "2");
    choose(child<QComboBox>(&w, "cmbMon(1)"), "5");
    choose(child<QComboBox>(&w, "cmbMon(2)"), "8");
    choose(child<QComboBox>(&w, "cmbMon(3)"), "11");
    choose(child<QComboBox>(&w, "cmbDay"), "말   일");
    child<QTextEdit>(&w, "MemoBox")->setPlainText("it's memo");
    QTest::mouseClick(child<QPushButton>(&w, "btnSave"), Qt::LeftButton);
    QCOMPARE(m_env->prompt().texts(), QStringList());
    QCOMPARE(m_env->notices(), QStringList({"자료가 저장되었습니다."}));
    const int code = GroupCodeByName("O'Neil 모임");
    QVERIFY(code > 1);
    const GroupRecord g = LoadGroup(code);
    QCOMPARE(g.repeatClass, QString("3258B"));
    QCOMPARE(g.settlementDay, QString("29"));
    QCOMPARE(g.amount, 12000.0);
    QCOMPARE(g.memo, QString("it's memo"));
    // The window empties its inputs for the next group and lists the new one.
    QCOMPARE(name->text(), QString());
    const int row = w.grid()->searchCol(frmGroupSub::ColCode, 1, -1, QString::number(code));
    QVERIFY(row > 0);
    QCOMPARE(w.grid()->text(frmGroupSub::ColSchedule, row), QString("분기별 2월 5월 8월 11월 말일"));

    // Selecting it decodes the schedule; a yearly second-week Tuesday then replaces it.
    w.selectRow(row);
    QCOMPARE(name->text(), QString("O'Neil 모임"));
    QCOMPARE(child<QComboBox>(&w, "cmbMon(3)")->currentText(), QString("11"));
    QCOMPARE(child<QComboBox>(&w, "cmbDay")->currentText(), QString("말   일"));
    choose(child<QComboBox>(&w, "cmbYear"), "매   년");
    QVERIFY(!child<QComboBox>(&w, "cmbMon(1)")->isVisible());
    choose(child<QComboBox>(&w, "cmbMon(0)"), "12");
    choose(child<QComboBox>(&w, "cmbDay"), "2 째주");
    QVERIFY(child<QComboBox>(&w, "cmbWeek")->isVisible());
    choose(child<QComboBox>(&w, "cmbWeek"), "화");
    QVERIFY(w.RecSave()); // its own unchanged name is fine
    QCOMPARE(LoadGroup(code).repeatClass, QString("5000C"));
    QCOMPARE(LoadGroup(code).settlementDay, QString("43"));
    QCOMPARE(w.grid()->text(frmGroupSub::ColSchedule, row), QString("매년 12월 둘째주 화요일"));
}

void TestMemberWindows::groupWindowRefusesBadInput()
{
    GroupRecord other;
    other.name = "기존";
    SaveGroup(other);
    frmGroupSub w;
    w.show();
    auto* name = child<HCText>(&w, "htField(1)");
    const int groupsBefore = CountRows("tblgroup");

    QVERIFY(!w.RecSave());
    name->setText("새그룹");
    choose(child<QComboBox>(&w, "cmbYear"), "반기별");
    choose(child<QComboBox>(&w, "cmbDay"), "5");
    QVERIFY(!w.RecSave()); // no months
    choose(child<QComboBox>(&w, "cmbYear"), "매   달");
    choose(child<QComboBox>(&w, "cmbDay"), "1 째주");
    choose(child<QComboBox>(&w, "cmbWeek"), "월");
    QVERIFY(!w.RecSave()); // first-week Monday
    name->setText("기존");
    choose(child<QComboBox>(&w, "cmbWeek"), "토");
    QVERIFY(!w.RecSave()); // another group's name
    QCOMPARE(name->text(), QString());
    QCOMPARE(m_env->prompt().texts(),
             QStringList({"통장이름이 입력되지 않았습니다", "회비납부일이 입력되지 않았습니다",
                          "반복선택이 잘못되었습니다.\n매달 첫주에는 월요일이 없을수도 있습니다.",
                          "[기존]은 이미 등록된 그룹명입니다."}));
    QCOMPARE(CountRows("tblgroup"), groupsBefore);
}

void TestMemberWindows::groupWindowDelete()
{
    GroupRecord used;
    used.name = "회원있음";
    SaveGroup(used);
    addMember("회원", {{"ctblgroup", used.code}});
    GroupRecord empty;
    empty.name = "빈그룹";
    SaveGroup(empty);
    frmGroupSub w;
    w.show();
    Grid* g = w.grid();
    auto rowOf = [g](int code) { return g->searchCol(frmGroupSub::ColCode, 1, -1, QString::number(code)); };

    g->setActiveCell(1, rowOf(1));
    QVERIFY(!w.RecDelete());
    QCOMPARE(m_env->prompt().lastText(), QString("[[기본그룹]]은 삭제할수 없습니다."));
    g->setActiveCell(1, rowOf(used.code));
    QVERIFY(!w.RecDelete());
    QCOMPARE(m_env->prompt().lastText(), QString("해당 데이터가 「tblfriend」에서 사용중이기 때문에 삭제할 수 없습니다."));
    g->setActiveCell(1, rowOf(empty.code));
    m_env->prompt().pushAnswer(Prompt::Answer::Yes);
    QVERIFY(w.RecDelete());
    QCOMPARE(rowOf(empty.code), -1);
    QCOMPARE(CountRows("tblgroup", "code = ?", {empty.code}), 0);
}

void TestMemberWindows::editorSavesEveryFieldAndReadsBack()
{
    GroupRecord g;
    g.name = "동창's";
    SaveGroup(g);
    SetOption("friendcode", "1");
    Settings::set(App().appTitle, "Config", "FRIEND_CHKAUTO", "0");
    frmFriendAdd w;
    w.SetFormMode(1);
    w.show();
    QCOMPARE(w.windowTitle(), QString("회원등록 - 『신규등록』"));
    QMap<int, QString> typed;
    for (int i = 0; i < frmFriendAdd::FieldCount; ++i) {
        if (i == frmFriendAdd::FCode || i == frmFriendAdd::FUnused || i == frmFriendAdd::FIdNo)
            continue;
        typed[i] = QString("v%1'\"").arg(i);
        child<HCText>(&w, QString("htField(%1)").arg(i))->setText(typed[i]);
    }
    child<HCText>(&w, "htField(2)")->setText("9002152345674");
    choose(child<QComboBox>(&w, "cmbGroup"), "동창's");
    choose(child<QComboBox>(&w, "cmbSex"), "여");
    choose(child<QComboBox>(&w, "cmbABO"), "AB");
    choose(child<QComboBox>(&w, "cmbState"), "중지");
    child<HCDate>(&w, "hdBarth")->SetText("1970-01-30");
    child<HCDate>(&w, "hdMarry")->SetText("1995-05-05");
    child<HCDate>(&w, "hdECT")->SetText("2001-02-03");
    child<HCDate>(&w, "hdInsert")->SetText("2020-01-01");
    child<HCDate>(&w, "hdFee")->SetText("2020-02-01");
    QTest::mouseClick(child<QPushButton>(&w, "btnOX(0)"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(&w, "btnOX(2)"), Qt::LeftButton);
    QCOMPARE(child<QPushButton>(&w, "btnOX(0)")->text(), QString("음 "));
    child<QRadioButton>(&w, "opMarry(1)")->setChecked(true);
    child<QTextEdit>(&w, "MemoBox")->setPlainText("여러 줄\n메모's");
    child<HCDate>(&w, "HDUser(1)")->SetText("2026-01-02");
    child<QComboBox>(&w, "cmbUser(15)")->setEditText("목록에 없는 값'");
    QVERIFY(w.RecSave());
    const int code = w.savedCode();
    QVERIFY(code > 1);

    const MemberValues v = LoadMember(code);
    QCOMPARE(v.value("sname").toString(), typed[1]);
    QCOMPARE(v.value("codeno").toString(), typed[0]);
    QCOMPARE(v.value("hline3").toString(), typed[27]);
    QCOMPARE(v.value("comadd2").toString(), typed[17]);
    QCOMPARE(v.value("idno").toString(), QString("900215-2345674"));
    QCOMPARE(v.value("ctblgroup").toInt(), g.code);
    QCOMPARE(v.value("male").toString(), QString("여"));
    QCOMPARE(v.value("abo").toString(), QString("AB"));
    QCOMPARE(v.value("hidden").toInt(), 1);
    QCOMPARE(v.value("barthday").toString(), QString("1970-01-30"));
    QCOMPARE(v.value("lunarbarth").toInt(), 1);
    QCOMPARE(v.value("lunarmarry").toInt(), 0);
    QCOMPARE(v.value("lunarect").toInt(), 1);
    QCOMPARE(v.value("marryox").toInt(), 1);
    QCOMPARE(v.value("insertday").toString(), QString("2020-01-01"));
    QCOMPARE(v.value("feestart").toString(), QString("2020-02-01"));
    QCOMPARE(v.value("finalday").toString(), QString("2026-12-06"));
    QCOMPARE(v.value("smemo").toString(), QString("여러 줄\n메모's"));
    QCOMPARE(v.value("userfieldnote2").toString(), QString("2026-01-02"));
    QCOMPARE(v.value("userfieldnote18").toString(), QString("목록에 없는 값'"));
    QCOMPARE(PickListValues(15).size(), 0); // the list is not changed by a typed value

    // Edit mode shows it all again, with the work panel open.
    frmFriendAdd e;
    e.SetFormMode(2, code);
    e.show();
    QCOMPARE(e.windowTitle(), QString("회원등록 - 『수정』"));
    QCOMPARE(child<HCText>(&e, "htField(16)")->text(), typed[16]);
    QCOMPARE(child<QComboBox>(&e, "cmbGroup")->currentText(), QString("동창's"));
    QCOMPARE(child<QComboBox>(&e, "cmbState")->currentText(), QString("중지"));
    QCOMPARE(child<QPushButton>(&e, "btnOX(2)")->text(), QString("음 "));
    QCOMPARE(child<QLabel>(&e, "lblDate")->text(), QString("2026-12-06"));
    QVERIFY(child<QCheckBox>(&e, "chkEx")->isChecked());
    QVERIFY(!child<QCheckBox>(&e, "chkCun")->isVisible());
    child<HCText>(&e, "htField(1)")->setText("바뀐 이름");
    QVERIFY(e.RecSave());
    QCOMPARE(FriendNameByCode(code), QString("바뀐 이름"));
    QCOMPARE(CountRows("tblfriend", "code > 1"), 1);
}

void TestMemberWindows::editorChecksOnLeaving()
{
    frmFriendAdd w;
    w.SetFormMode(1);
    w.show();
    auto* id = child<HCText>(&w, "htField(2)");
    const QStringList bad = {"900215234567", "90021523456741", "9002152345675", "abcdefghijklm"};
    for (const QString& text : bad) {
        id->setText(text);
        QVERIFY(!w.checkField(frmFriendAdd::FIdNo));
    }
    QCOMPARE(m_env->prompt().texts(), QStringList(4, "유효한 주민등록 번호가 아닙니다."));
    id->setText("9999999999999");
    QVERIFY(w.checkField(frmFriendAdd::FIdNo));
    QCOMPARE(id->text(), QString("999999-9999999"));

    // An invalid number never reaches the record, even when the field was not left.
    child<HCText>(&w, "htField(1)")->setText("홍길동");
    id->setText("1234");
    m_env->prompt().clear();
    QVERIFY(!w.RecSave());
    QCOMPARE(m_env->prompt().texts(), QStringList({"유효한 주민등록 번호가 아닙니다."}));
    // An empty name is refused before anything else.
    child<HCText>(&w, "htField(1)")->clear();
    QVERIFY(!w.RecSave());
    QCOMPARE(m_env->prompt().lastText(), QString("이름이 입력되지 않았습니다"));
    QCOMPARE(CountRows("tblfriend", "code > 1"), 0);
}

void TestMemberWindows::editorDuplicateQuestions()
{
    const int first = addMember("김중복", {{"hline2", "010-1111-2222"}, {"hpline", "010-9999-0000"}});
    frmFriendAdd w;
    w.SetFormMode(1);
    w.show();
    auto* name = child<HCText>(&w, "htField(1)");
    name->setText("김중복");
    m_env->prompt().pushAnswer(Prompt::Answer::No);
    QVERIFY(!w.checkField(frmFriendAdd::FName));
    QCOMPARE(name->text(), QString());
    QCOMPARE(m_env->prompt().lastTitle(), QString("동일 이름 발견"));
    QCOMPARE(m_env->prompt().lastText(), QString("『김중복』는 이미 등록된 이름입니다.\n\n그래도, 등록하시겠습니까?"));
    name->setText("김중복");
    m_env->prompt().pushAnswer(Prompt::Answer::Yes);
    QVERIFY(w.checkField(frmFriendAdd::FName));
    QCOMPARE(name->text(), QString("김중복"));

    auto* phone = child<HCText>(&w, "htField(4)");
    phone->setText("010-1111-2222");
    m_env->prompt().pushAnswer(Prompt::Answer::No);
    QVERIFY(!w.checkField(frmFriendAdd::FPhone1));
    QCOMPARE(m_env->prompt().lastTitle(), QString("동일 전화번호 발견"));
    child<HCText>(&w, "htField(3)")->setText("010-9999-0000");
    m_env->prompt().pushAnswer(Prompt::Answer::No);
    QVERIFY(!w.checkField(frmFriendAdd::FMobile)); // a shared mobile number is asked too

    // Its own name while editing asks nothing.
    frmFriendAdd e;
    e.SetFormMode(2, first);
    m_env->prompt().clear();
    QVERIFY(e.checkField(frmFriendAdd::FName));
    QCOMPARE(m_env->prompt().texts(), QStringList());

    // With the check off nothing is asked at all.
    App().duplicateMemberCheck = false;
    name->setText("김중복");
    phone->setText("010-1111-2222");
    QVERIFY(w.checkField(frmFriendAdd::FName));
    QVERIFY(w.checkField(frmFriendAdd::FPhone1));
    QCOMPARE(m_env->prompt().texts(), QStringList());
}

void TestMemberWindows::editorPictureAndContinue()
{
    Settings::set(App().appTitle, "Config", "FRIEND_CHKCUNTINUE", "1");
    frmFriendAdd w;
    w.SetFormMode(1);
    w.show();
    const QString path101 = "/pictures/" + QString(87, 'p') + ".jpg";
    QCOMPARE(path101.size(), 101);
    m_env->prompt().pushText(path101);
    QVERIFY(!w.choosePicture());
    QCOMPARE(m_env->prompt().lastText(),
             "이미지 경로가 너무 깁니다. 최대 100자까지 허용됩니다. 현재길이:101\n\n" + path101);
    QCOMPARE(w.picturePath(), QString());
    const QString path100 = path101.left(95) + ".jpg";
    m_env->prompt().pushText(path100);
    QVERIFY(w.choosePicture());
    QCOMPARE(m_env->prompt().shown().last().title, QString("고객 이미지(그림) 선택"));

    child<HCText>(&w, "htField(1)")->setText("사진회원");
    QVERIFY(w.RecSave());
    // "계속 등록하기": the window stays open and empty for the next member.
    QVERIFY(w.isVisible());
    QCOMPARE(child<HCText>(&w, "htField(1)")->text(), QString());
    QCOMPARE(w.picturePath(), QString());
    QCOMPARE(child<HCDate>(&w, "hdInsert")->Text(), QString("2026-12-06"));
    Recordset rs;
    QCOMPARE(OpenRecordset(rs, "SELECT picture FROM tblfriend WHERE sname = '사진회원'"), 1);
    QCOMPARE(rs.text("picture"), path100);
}

void TestMemberWindows::editorManagementNumber()
{
    SetOption("friendcode", "1");
    addMember("a", {{"codeno", "120003"}});
    Settings::set(App().appTitle, "Config", "FRIEND_CHKAUTO", "0");
    frmFriendAdd w;
    w.SetFormMode(1);
    w.show();
    auto* codeNo = child<HCText>(&w, "htField(0)");
    QVERIFY(codeNo->isVisible());
    codeNo->setText("12");
    m_env->prompt().pushAnswer(Prompt::Answer::Yes);
    w.checkField(frmFriendAdd::FCodeNo);
    QCOMPARE(m_env->prompt().lastText(), QString("코드는 6자리를 사용하길 권장합니다. 나머지를 자동으로 채울까요?"));
    QCOMPARE(codeNo->text(), QString("120004"));
    codeNo->setText("ab");
    m_env->prompt().pushAnswer(Prompt::Answer::No);
    w.checkField(frmFriendAdd::FCodeNo);
    QCOMPARE(codeNo->text(), QString("AB"));

    // Ticking "자동" numbers the new member on save and remembers the choice.
    QTest::mouseClick(child<QCheckBox>(&w, "chkAuto"), Qt::LeftButton);
    QCOMPARE(Settings::get(App().appTitle, "Config", "FRIEND_CHKAUTO", "x"), QString("1"));
    QCOMPARE(codeNo->text(), QString());
    child<HCText>(&w, "htField(1)")->setText("자동번호");
    QVERIFY(w.RecSave());
    QCOMPARE(LoadMember(w.savedCode()).value("codeno").toString(), QString("120004"));
}

void TestMemberWindows::listSearchesThroughControls()
{
    addMember("김철수", {{"hpline", "010-1234-5678"}, {"barthday", "1970-03-15"}, {"abo", "A"}});
    addMember("이영희", {{"barthday", "1970-02-01"}, {"lunarbarth", 1}, {"abo", "B"}});
    addMember("O'Neil", {{"hline1", "02-777-8888"}});
    frmFriend w;
    w.show();
    Grid* g = w.grid();
    QCOMPARE(g->dataRowCnt(), 3); // the full list on opening
    QCOMPARE(g->maxCols(), frmFriend::BaseColumns);
    QVERIFY(g->colHidden(frmFriend::ColCode));

    auto* text = child<QLineEdit>(&w, "txtData");
    text->setText("O'N");
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(gridColumn(g, frmFriend::ColName), QStringList({"O'Neil"}));

    choose(child<QComboBox>(&w, "cmbMenu"), "전화번호");
    text->setText("5678");
    QTest::keyClick(text, Qt::Key_F5);
    QCOMPARE(gridColumn(g, frmFriend::ColName), QStringList({"김철수"}));
    QCOMPARE(g->text(frmFriend::ColMobile, 1), QString("010-1234-5678"));

    choose(child<QComboBox>(&w, "cmbMenu"), "혈 액 형");
    QVERIFY(child<QComboBox>(&w, "cmbData")->isVisible());
    QVERIFY(!text->isVisible());
    choose(child<QComboBox>(&w, "cmbData"), "B");
    w.Search();
    QCOMPARE(gridColumn(g, frmFriend::ColName), QStringList({"이영희"}));

    choose(child<QComboBox>(&w, "cmbMenu"), "전      체");
    text->clear();
    choose(child<QComboBox>(&w, "cmbDate"), "생         일");
    child<HCTerm>(&w, "htDate")->SetText1("2026-03-01");
    child<HCTerm>(&w, "htDate")->SetText2("2026-03-31");
    w.Search();
    QCOMPARE(gridColumn(g, frmFriend::ColName), QStringList({"김철수", "이영희"}));

    // Nothing found: empty grid and the notice.
    child<HCTerm>(&w, "htDate")->SetText1("2026-07-01");
    child<HCTerm>(&w, "htDate")->SetText2("2026-07-02");
    w.Search();
    QCOMPARE(g->dataRowCnt(), 0);
    QCOMPARE(m_env->notices().last(), QString("검색된 결과가 없습니다."));
}

void TestMemberWindows::listChecksAndDeletes()
{
    const int a = addMember("거래회원");
    addMember("일반1");
    addMember("일반2");
    ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend, lstackpoint, lpoint) VALUES ('2026-01-01', ?, 1200, 200)", {a});
    frmFriend w;
    w.show();
    Grid* g = w.grid();
    auto* count = child<QLabel>(&w, "lblCountRec");
    child<QCheckBox>(&w, "chkSelectAll")->setChecked(true);
    QCOMPARE(count->text(), QString("3"));
    w.setRowChecked(2, false);
    QCOMPARE(count->text(), QString("2"));
    w.invertChecks(1, 3);
    QCOMPARE(gridColumn(g, frmFriend::ColCheck), QStringList({"", "1", ""}));
    child<QCheckBox>(&w, "chkSelectAll")->setChecked(false);
    QCOMPARE(count->text(), QString("0"));

    // Detail of the member with trades.
    g->setActiveCell(frmFriend::ColName, 1);
    w.ShowMemberDetail(a);
    QCOMPARE(child<QLabel>(&w, "lblData(0)")->text(), QString("거래회원"));
    QCOMPARE(child<QLabel>(&w, "lblPoint(0)")->text(), QString("1,200"));
    QCOMPARE(child<QLabel>(&w, "lblPoint(1)")->text(), QString("1,000"));
    QCOMPARE(child<QLabel>(&w, "lblPoint(2)")->text(), QString("200"));

    // Checked rows: the member with trades stays, the other goes.
    w.setRowChecked(1, true);
    w.setRowChecked(2, true);
    m_env->prompt().pushAnswer(Prompt::Answer::Yes);
    QTest::keyClick(g, Qt::Key_F4);
    QCOMPARE(gridColumn(g, frmFriend::ColName), QStringList({"거래회원", "일반2"}));
    QCOMPARE(m_env->prompt().texts().last(), QString("해당 데이터가 「회원거래」에서 사용중이기 때문에 삭제할 수 없습니다."));
    QCOMPARE(count->text(), QString("1"));

    // No check and no row: nothing asked.
    w.setRowChecked(1, false);
    g->setActiveCell(0, 0);
    m_env->prompt().clear();
    w.DeleteMembers();
    if (w.GetSelectedCode() == 0)
        QCOMPARE(m_env->prompt().texts(), QStringList({"삭제할 자료를 선택하세요."}));
    m_env->prompt().clear();
    child<QPushButton>(&w, "btnRecEdit");
    g->setActiveCell(0, 0);
    if (w.GetSelectedCode() == 0) {
        w.editSelected();
        QCOMPARE(m_env->prompt().texts(), QStringList({"먼저 그리드에서 수정할 자료를 선택하세요."}));
    }
}

void TestMemberWindows::listTreeRenameAndMove()
{
    GroupRecord g1;
    g1.name = "하나";
    SaveGroup(g1);
    GroupRecord g2;
    g2.name = "둘";
    SaveGroup(g2);
    const int m = addMember("이동회원", {{"ctblgroup", g1.code}, {"male", "여"}});
    frmFriend w;
    w.show();
    QTreeWidget* tree = w.tree();
    QCOMPARE(tree->topLevelItemCount(), 3);
    QTreeWidgetItem* defaultGroup = tree->topLevelItem(0);
    QTreeWidgetItem* one = tree->topLevelItem(1);

    defaultGroup->setText(0, "다른이름");
    QCOMPARE(defaultGroup->text(0), QString("[기본그룹]"));
    QCOMPARE(m_env->prompt().lastText(), QString("[기본그룹]은 수정할수 없습니다."));
    one->setText(0, "둘");
    QCOMPARE(one->text(0), QString("하나"));
    QCOMPARE(m_env->prompt().lastText(), QString("[둘]은 이미 등록된 그룹명입니다."));
    one->setText(0, "하나's");
    QCOMPARE(GroupNameByCode(g1.code), QString("하나's"));

    w.runNodeCommand(defaultGroup, "03");
    QCOMPARE(m_env->prompt().lastText(), QString("[기본그룹]은 삭제할수 없습니다."));

    // Members load on a click; a member node renames and moves.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(one).center());
    QCOMPARE(one->childCount(), 1);
    QTreeWidgetItem* member = one->child(0);
    member->setText(0, "O'Brien");
    QCOMPARE(FriendNameByCode(m), QString("O'Brien"));
    QCOMPARE(w.grid()->text(frmFriend::ColName, 1), QString("O'Brien"));

    frmFriend::setGroupPicker([] { return 0; });
    w.runNodeCommand(member, "03");
    QCOMPARE(m_env->prompt().lastText(), QString("그룹선택에 실패 하였습니다."));
    frmFriend::setGroupPicker([&] { return g2.code; });
    w.runNodeCommand(member, "03");
    QCOMPARE(LoadMember(m).value("ctblgroup").toInt(), g2.code);
    QCOMPARE(tree->topLevelItem(2)->childCount(), 1);
    frmFriend::setGroupPicker({});

    // A group still holding members is not deleted.
    w.runNodeCommand(tree->topLevelItem(2), "03");
    QCOMPARE(m_env->prompt().lastText(), QString("해당 데이터가 「tblfriend」에서 사용중이기 때문에 삭제할 수 없습니다."));
    w.runNodeCommand(tree->topLevelItem(1), "03");
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(CountRows("tblgroup", "code = ?", {g1.code}), 0);
}

void TestMemberWindows::listUserFieldColumns()
{
    SetOption("userfieldname_4", "등급");
    addMember("골드회원", {{"userfieldnote5", "골드"}});
    addMember("무명", {{"userfieldnote7", "x"}});
    frmFriend w;
    w.show();
    Grid* g = w.grid();
    QCOMPARE(g->maxCols(), frmFriend::BaseColumns + 2);
    QCOMPARE(g->headerText(26), QString("등급"));
    QCOMPARE(g->colTag(26), QString("userfieldnote5"));
    QCOMPARE(g->headerText(27), QString("사용자정의"));
    const int row = g->searchCol(frmFriend::ColName, 1, -1, "골드회원");
    QCOMPARE(g->text(26, row), QString("골드"));
    // Named but unfilled fields are offered in the combo and search their column.
    SetOption("userfieldname_9", "취미");
    w.InitSearch();
    auto* menu = child<QComboBox>(&w, "cmbMenu");
    QCOMPARE(menu->itemText(menu->count() - 1), QString("취미"));
    choose(menu, "등급");
    child<QLineEdit>(&w, "txtData")->setText("골");
    w.Search();
    QCOMPARE(gridColumn(g, frmFriend::ColName), QStringList({"골드회원"}));
}

void TestMemberWindows::pickerListWindow()
{
    addMember("김하나", {{"hpline", "010-1000-0001"}});
    const int two = addMember("김둘", {{"hpline", "010-1000-0002"}});
    FrmSearch w;
    w.SetFormMode("tblfriend", "김");
    QCOMPARE(w.windowTitle(), QString("회원검색"));
    QCOMPARE(w.rowCount(), 2);

    // The modal list: digit 2 moves to the second row, Enter takes it.
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<FrmSearch*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        Grid* grid = dlg->findChild<Grid*>("spList");
        QTest::keyClick(grid, Qt::Key_2);
        QTest::keyClick(grid, Qt::Key_Return);
    });
    QCOMPARE(PickOrAdd("tblfriend", "김"), QString("김둘"));
    QCOMPARE(LastPickedCode(), two);

    // Esc: no choice.
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<FrmSearch*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        QTest::keyClick(dlg, Qt::Key_Escape);
    });
    QCOMPARE(PickOrAdd("tblfriend", "010-1000"), QString());
    QCOMPARE(LastPickedCode(), 0);
}

void TestMemberWindows::pickerAddsMemberThroughEditor()
{
    m_env->prompt().pushAnswer(Prompt::Answer::Yes);
    QTimer::singleShot(0, [] {
        auto* editor = qobject_cast<frmFriendAdd*>(QApplication::activeModalWidget());
        QVERIFY(editor);
        QVERIFY(!editor->findChild<QCheckBox*>("chkCun")->isVisible());
        QCOMPARE(editor->findChild<HCText*>("htField(1)")->text(), QString("새's 회원"));
        QTest::mouseClick(editor->findChild<QPushButton*>("btnSave"), Qt::LeftButton);
    });
    QCOMPARE(PickOrAdd("tblfriend", "새's 회원"), QString("새's 회원"));
    QVERIFY(LastPickedCode() > 1);
    QCOMPARE(FriendNameByCode(LastPickedCode()), QString("새's 회원"));
}

void TestMemberWindows::pickListEditor()
{
    frmFriendUserSet w;
    w.SetFormMode(3);
    w.show();
    Grid* g = w.grid();
    QCOMPARE(g->maxRows(), 1); // only the empty new row
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    g->setFocus();
    g->setActiveCell(frmFriendUserSet::ColValue, 1);
    QTest::keyClick(g, Qt::Key_I);
    QWidget* editorWidget = QApplication::focusWidget();
    QVERIFY(editorWidget);
    QTest::keyClicks(editorWidget, "t's");
    QTest::keyClick(editorWidget, Qt::Key_Return);
    QCOMPARE(PickListValues(3).size(), 1);
    QCOMPARE(PickListValues(3).first().second, QString("it's"));
    QCOMPARE(g->text(frmFriendUserSet::ColCode, 1).toInt(), PickListValues(3).first().first);
    QCOMPARE(g->maxRows(), 2);

    // The member editor offers it once the window closes.
    frmFriendAdd editor;
    editor.SetFormMode(1);
    QCOMPARE(editor.findChild<QComboBox*>("cmbUser(3)")->count(), 1);

    g->setActiveCell(frmFriendUserSet::ColValue, 2);
    QVERIFY(!w.RecDelete());
    QCOMPARE(m_env->prompt().lastText(), QString("먼저 그리드에서 삭제할 자료를 선택하세요."));
    g->setActiveCell(frmFriendUserSet::ColValue, 1);
    m_env->prompt().pushAnswer(Prompt::Answer::Yes);
    QVERIFY(w.RecDelete());
    QCOMPARE(PickListValues(3).size(), 0);
    QCOMPARE(g->maxRows(), 1);
}

QTEST_MAIN(TestMemberWindows)
#include "tst_memberwindows.moc"
