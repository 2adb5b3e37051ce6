// The member windows opened from the main window's menu and used as a person does: group
// window, member editor, member list, lookup list and pick-list editor, checked against
// the database and the prompts shown.
#include "WindowTest.h"
#include "MemberTestUtil.h"

#include "core/AppState.h"
#include "core/PrivateData.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "db/PgEngine.h"
#include "db/SchemaUpgrade.h"
#include "ui/FrmSearch.h"
#include "ui/PickOrAdd.h"
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
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

namespace {
void choose(QComboBox* c, const QString& text) {
    const int i = c->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    c->setCurrentIndex(i);
    emit c->activated(i);
}
} // namespace

class TestMemberWindows : public WindowTest {
    Q_OBJECT

    QComboBox* combo(const QString& name, QWidget* w) { return m_d->find<QComboBox>(name, w); }
    // Replaces the text of input `name` as a person does: click, select all, type, leave.
    void retype(const QString& name, QWidget* w, const QString& text) {
        m_d->click(name, w);
        m_d->key(Qt::Key_A, Qt::ControlModifier);
        m_d->type(text);
        m_d->key(Qt::Key_Tab);
    }
    frmGroupSub* openGroups() { return m_d->open<frmGroupSub>("mnuFriend_Group"); }
    frmFriend* openList() { return m_d->open<frmFriend>("mnuFriend_Friend"); }
    QWidget* openMember(int code) {
        frmFriend* list = openList();
        m_d->doubleClickCell(list->grid(), frmFriend::ColName,
                             list->grid()->searchCol(frmFriend::ColCode, 1, -1, QString::number(code)));
        return m_d->activeWindow();
    }
    int groupRow(frmGroupSub* w, int code) {
        return w->grid()->searchCol(frmGroupSub::ColCode, 1, -1, QString::number(code));
    }

private slots:
    void init() {
        WindowTest::init();
        App().duplicateMemberCheck = true;
    }

    void groupWindowSavesSchedules() {
        frmGroupSub* w = openGroups();
        retype("htField(1)", w, "O'Neil 모임");
        retype("htField(2)", w, "12000");
        choose(combo("cmbYear", w), "분기별");
        QVERIFY(combo("cmbMon(3)", w)->isVisible());
        for (int i = 0; i < 4; ++i) // February, May, August, November
            choose(combo(QString("cmbMon(%1)").arg(i), w), QString::number(2 + 3 * i));
        choose(combo("cmbDay", w), "말   일");
        m_d->click(m_d->find<QTextEdit>("MemoBox", w)->viewport());
        m_d->type("it's memo");
        m_d->click("btnSave", w);
        QCOMPARE(prompt().texts(), QStringList());
        QCOMPARE(m_d->env().notices(), QStringList({"자료가 저장되었습니다."}));
        const int code = GroupCodeByName("O'Neil 모임");
        QVERIFY(code > 1);
        const GroupRecord g = LoadGroup(code);
        QCOMPARE(g.repeatClass, QString("3258B"));
        QCOMPARE(g.settlementDay, QString("29"));
        QCOMPARE(g.amount, 12000.0);
        QCOMPARE(g.memo, QString("it's memo"));
        // The inputs are empty for the next group; the grid lists the new one.
        QCOMPARE(m_d->find<HCText>("htField(1)", w)->text(), QString());
        const int row = groupRow(w, code);
        QCOMPARE(w->grid()->text(frmGroupSub::ColSchedule, row), QString("분기별 2월 5월 8월 11월 말일"));

        // A click on it decodes the schedule; a yearly second-week Tuesday replaces it.
        m_d->clickCell(w->grid(), frmGroupSub::ColName, row);
        QCOMPARE(m_d->find<HCText>("htField(1)", w)->text(), QString("O'Neil 모임"));
        QCOMPARE(combo("cmbMon(3)", w)->currentText(), QString("11"));
        choose(combo("cmbYear", w), "매   년");
        QVERIFY(!combo("cmbMon(1)", w)->isVisible());
        choose(combo("cmbMon(0)", w), "12");
        choose(combo("cmbDay", w), "2 째주");
        QVERIFY(combo("cmbWeek", w)->isVisible());
        choose(combo("cmbWeek", w), "화");
        m_d->click("btnSave", w); // its own unchanged name is fine
        QCOMPARE(LoadGroup(code).repeatClass, QString("5000C"));
        QCOMPARE(LoadGroup(code).settlementDay, QString("43"));
        QCOMPARE(LoadGroup(code).memo, QString("it's memo"));
        QCOMPARE(w->grid()->text(frmGroupSub::ColSchedule, row), QString("매년 12월 둘째주 화요일"));
    }

    void groupWindowRefusesBadInput() {
        addGroup("기존");
        frmGroupSub* w = openGroups();
        const int groupsBefore = CountRows("tblgroup");
        m_d->click("btnSave", w);
        retype("htField(1)", w, "새그룹");
        choose(combo("cmbYear", w), "반기별");
        choose(combo("cmbDay", w), "5");
        m_d->click("btnSave", w); // no months
        choose(combo("cmbYear", w), "매   달");
        choose(combo("cmbDay", w), "1 째주");
        choose(combo("cmbWeek", w), "월");
        m_d->click("btnSave", w); // first-week Monday
        retype("htField(1)", w, "기존");
        choose(combo("cmbWeek", w), "토");
        m_d->click("btnSave", w); // another group's name
        QCOMPARE(m_d->find<HCText>("htField(1)", w)->text(), QString());
        QCOMPARE(prompt().texts(),
                 QStringList({"통장이름이 입력되지 않았습니다", "회비납부일이 입력되지 않았습니다",
                              "반복선택이 잘못되었습니다.\n매달 첫주에는 월요일이 없을수도 있습니다.",
                              "[기존]은 이미 등록된 그룹명입니다."}));
        QCOMPARE(CountRows("tblgroup"), groupsBefore);
    }

    void groupWindowDelete() {
        const int used = addGroup("회원있음");
        addMember("회원", {{"ctblgroup", used}});
        const int empty = addGroup("빈그룹");
        frmGroupSub* w = openGroups();
        m_d->clickCell(w->grid(), frmGroupSub::ColName, groupRow(w, 1));
        m_d->click("btnRecDel", w);
        QCOMPARE(prompt().lastText(), QString("[[기본그룹]]은 삭제할수 없습니다."));
        m_d->clickCell(w->grid(), frmGroupSub::ColName, groupRow(w, used));
        m_d->click("btnRecDel", w);
        QCOMPARE(prompt().lastText(), QString("해당 데이터가 「tblfriend」에서 사용중이기 때문에 삭제할 수 없습니다."));
        m_d->clickCell(w->grid(), frmGroupSub::ColName, groupRow(w, empty));
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnRecDel", w);
        QCOMPARE(groupRow(w, empty), -1);
        QCOMPARE(CountRows("tblgroup", "code = ?", {empty}), 0);
    }

    // Every input is stored with its quotes and shown again in edit mode.
    void editorSavesEveryFieldAndReadsBack() {
        const int group = addGroup("동창's");
        SetOption("friendcode", "1");
        Settings::set(App().appTitle, "Config", "FRIEND_CHKAUTO", "0");
        Settings::set(App().appTitle, "Config", "FRIEND_CHKCUNTINUE", "0");
        QWidget* w = m_d->open("mnuFriend_FriendSub");
        QMap<int, QString> typed;
        for (int i = 0; i < frmFriendAdd::FieldCount; ++i) {
            if (i == frmFriendAdd::FCode || i == frmFriendAdd::FUnused || i == frmFriendAdd::FIdNo)
                continue;
            typed[i] = QString("v%1'\"").arg(i);
            m_d->find<HCText>(QString("htField(%1)").arg(i), w)->setText(typed[i]);
        }
        retype("htField(2)", w, "9002152345674");
        choose(combo("cmbGroup", w), "동창's");
        choose(combo("cmbSex", w), "여");
        choose(combo("cmbABO", w), "AB");
        choose(combo("cmbState", w), "중지");
        m_d->find<HCDate>("hdBarth", w)->SetText("1970-01-30");
        m_d->find<HCDate>("hdInsert", w)->SetText("2020-01-01");
        m_d->click("btnOX(0)", w);
        m_d->click("btnOX(2)", w);
        m_d->click("opMarry(1)", w);
        m_d->find<QTextEdit>("MemoBox", w)->setPlainText("여러 줄\n메모's");
        m_d->find<HCDate>("HDUser(1)", w)->SetText("2026-01-02");
        combo("cmbUser(15)", w)->setEditText("목록에 없는 값'");
        m_d->click("btnSave", w);
        const int code = m_d->query("SELECT MAX(code) FROM tblfriend").toInt();
        QVERIFY(code > 1);

        const MemberValues v = LoadMember(code);
        for (auto it = typed.cbegin(); it != typed.cend(); ++it)
            QVERIFY2(v.values().contains(it.value()), qPrintable(it.value()));
        QCOMPARE(v.value("sname").toString(), typed[1]);
        QVERIFY(IsEncryptedIdNo(v.value("idno").toString()));
        QCOMPARE(DecryptIdNo(v.value("idno").toString()), QString("900215-2345674"));
        const QList<std::pair<QString, QVariant>> stored = {
            {"ctblgroup", group}, {"male", "여"}, {"abo", "AB"}, {"hidden", 1}, {"barthday", "1970-01-30"},
            {"lunarbarth", 1}, {"lunarmarry", 0}, {"lunarect", 1}, {"marryox", 1},
            {"insertday", "2020-01-01"}, {"finalday", "2026-12-06"}, {"smemo", "여러 줄\n메모's"},
            {"userfieldnote2", "2026-01-02"}, {"userfieldnote18", "목록에 없는 값'"}};
        for (const auto& [column, value] : stored)
            QCOMPARE(column + ": " + v.value(column).toString(), column + ": " + value.toString());
        QCOMPARE(PickListValues(15).size(), 0); // the list is not changed by a typed value

        // Stopped members are listed with the box ticked; edit mode shows it all again.
        frmFriend* list = openList();
        m_d->click("chkHidden", list);
        m_d->click("btnQuery", list);
        m_d->doubleClickCell(list->grid(), frmFriend::ColName, 1);
        QWidget* e = m_d->activeWindow();
        QCOMPARE(m_d->find<HCText>("htField(16)", e)->text(), typed[16]);
        QCOMPARE(combo("cmbGroup", e)->currentText(), QString("동창's"));
        QCOMPARE(combo("cmbState", e)->currentText(), QString("중지"));
        QCOMPARE(m_d->find<QPushButton>("btnOX(2)", e)->text(), QString("음 "));
        QVERIFY(m_d->find<QCheckBox>("chkEx", e)->isChecked());
        QCOMPARE(m_d->find<HCText>("htField(2)", e)->text(), QString("900215-2345674"));
        retype("htField(1)", e, "바뀐 이름");
        m_d->click("btnSave", e);
        QCOMPARE(FriendNameByCode(code), QString("바뀐 이름"));
        QCOMPARE(CountRows("tblfriend", "code > 1"), 1);
        // An unchanged number is not written again.
        QCOMPARE(LoadMember(code).value("idno"), v.value("idno"));
    }

    // Everywhere but the editor the number is masked: the list column, the detail panel and
    // the exported sheet. Without the data key the list shows that it is missing, and the
    // editor locks the number and saves the rest without touching it.
    void residentNumberMaskedAndKeptWithoutKey() {
        const int code = addMember("주'민", {{"idno", "900215-2345674"}});
        const QString sealed = LoadMember(code).value("idno").toString();
        QVERIFY(IsEncryptedIdNo(sealed));
        frmFriend* list = openList();
        m_d->click("btnQuery", list);
        QCOMPARE(list->grid()->text(frmFriend::ColIdNo, 1), QString("900215-2******"));
        m_d->clickCell(list->grid(), frmFriend::ColName, 1);
        QCOMPARE(m_d->find<QLabel>("lblData(2)", list)->text(), QString("900215-2******"));
        m_d->click("btnExcel", list);
        const QStringList files = QDir(App().appDir + "/ExpExcel").entryList({"*.xlsx"}, QDir::Files);
        QCOMPARE(files.size(), 1);
        QProcess py;
        py.start("/usr/bin/python3", {"-c", "import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
                                            "sys.stdout.write(''.join(z.read(n).decode() for n in z.namelist()))",
                                      App().appDir + "/ExpExcel/" + files[0]});
        QVERIFY(py.waitForFinished(60000));
        const QString sheet = QString::fromUtf8(py.readAllStandardOutput());
        QVERIFY(sheet.contains("900215-2******"));
        QVERIFY(!sheet.contains("2345674"));
        list->close();

        QVERIFY(QFile::remove(DataKeyPath()));
        QVERIFY(!PrepareDataKey()); // as the next start finds it
        list = openList();
        m_d->click("btnQuery", list);
        QCOMPARE(list->grid()->text(frmFriend::ColIdNo, 1), QString("(암호키 없음)"));
        m_d->doubleClickCell(list->grid(), frmFriend::ColName, 1);
        QWidget* e = m_d->activeWindow();
        auto* idno = m_d->find<HCText>("htField(2)", e);
        QCOMPARE(idno->text(), QString("(암호키 없음)"));
        QVERIFY(idno->Locked());
        QVERIFY(idno->toolTip().contains(DataKeyPath()));
        prompt().clear();
        retype("htField(1)", e, "새 이름");
        m_d->click("btnSave", e);
        QVERIFY2(prompt().texts().isEmpty(), qPrintable(prompt().texts().join(" | ")));
        QCOMPARE(FriendNameByCode(code), QString("새 이름"));
        QCOMPARE(LoadMember(code).value("idno").toString(), sealed);
    }

    void editorChecksOnLeaving() {
        QWidget* w = m_d->open("mnuFriend_FriendSub");
        for (const char* bad : {"900215234567", "90021523456741", "9002152345675"})
            retype("htField(2)", w, bad);
        QCOMPARE(prompt().texts(), QStringList(3, "유효한 주민등록 번호가 아닙니다."));
        retype("htField(2)", w, "9999999999999");
        QCOMPARE(m_d->find<HCText>("htField(2)", w)->text(), QString("999999-9999999"));

        // An invalid number never reaches the record, even when the field was not left.
        retype("htField(1)", w, "홍길동");
        m_d->click("htField(2)", w);
        m_d->key(Qt::Key_A, Qt::ControlModifier);
        m_d->type("1234");
        prompt().clear();
        m_d->key(Qt::Key_F2);
        QCOMPARE(prompt().texts(), QStringList({"유효한 주민등록 번호가 아닙니다."}));
        // An empty name is refused before anything else, once, and the name takes the focus.
        m_d->find<HCText>("htField(1)", w)->clear();
        prompt().clear();
        m_d->key(Qt::Key_F2);
        QCoreApplication::processEvents();
        QCOMPARE(prompt().texts(), QStringList({"이름이 입력되지 않았습니다"}));
        QCOMPARE(m_d->focus(), m_d->find("htField(1)", w));
        QCOMPARE(CountRows("tblfriend", "code > 1"), 0);
    }

    void editorDuplicateQuestions() {
        const int first = addMember("김중복");
        QWidget* w = m_d->open("mnuFriend_FriendSub");
        prompt().pushAnswer(Prompt::Answer::No);
        retype("htField(1)", w, "김중복");
        QCOMPARE(m_d->find<HCText>("htField(1)", w)->text(), QString());
        QCOMPARE(prompt().lastTitle(), QString("동일 이름 발견"));
        QCOMPARE(prompt().lastText(), QString("『김중복』는 이미 등록된 이름입니다.\n\n그래도, 등록하시겠습니까?"));
        prompt().pushAnswer(Prompt::Answer::Yes);
        retype("htField(1)", w, "김중복");
        QCOMPARE(m_d->find<HCText>("htField(1)", w)->text(), QString("김중복"));
        QCOMPARE(prompt().texts().size(), 2);

        // With the check off nothing is asked; nor for the member's own name in edit mode.
        App().duplicateMemberCheck = false;
        retype("htField(1)", w, "김중복");
        App().duplicateMemberCheck = true;
        m_d->click("btnClose", w);
        QWidget* e = openMember(first);
        retype("htField(1)", e, "김중복");
        QCOMPARE(prompt().texts().size(), 2);
    }

    // A picture path of 101 characters is refused, 100 taken; "계속 등록하기" empties the
    // window for the next member.
    void editorPictureAndContinue() {
        Settings::set(App().appTitle, "Config", "FRIEND_CHKCUNTINUE", "1");
        QWidget* w = m_d->open("mnuFriend_FriendSub");
        const QString path101 = "/pictures/" + QString(87, 'p') + ".jpg";
        QCOMPARE(path101.size(), 101);
        prompt().pushText(path101);
        m_d->click("btnPic", w);
        QCOMPARE(prompt().lastText(),
                 "이미지 경로가 너무 깁니다. 최대 100자까지 허용됩니다. 현재길이:101\n\n" + path101);
        const QString path100 = path101.left(95) + ".jpg";
        prompt().pushText(path100);
        m_d->click("btnPic", w);
        QCOMPARE(prompt().shown().last().title, QString("고객 이미지(그림) 선택"));
        retype("htField(1)", w, "사진회원");
        m_d->click("btnSave", w);
        QVERIFY(w->isVisible());
        QCOMPARE(m_d->find<HCText>("htField(1)", w)->text(), QString());
        QCOMPARE(m_d->find<HCDate>("hdInsert", w)->Text(), QString("2026-12-06"));
        QCOMPARE(m_d->query("SELECT picture FROM tblfriend WHERE sname = ?", {"사진회원"}).toString(), path100);
    }

    void editorManagementNumber() {
        SetOption("friendcode", "1");
        addMember("a", {{"codeno", "120003"}});
        Settings::set(App().appTitle, "Config", "FRIEND_CHKAUTO", "0");
        QWidget* w = m_d->open("mnuFriend_FriendSub");
        auto* codeNo = m_d->find<HCText>("htField(0)", w);
        QVERIFY(codeNo->isVisible());
        prompt().pushAnswer(Prompt::Answer::Yes);
        retype("htField(0)", w, "12");
        QCOMPARE(prompt().lastText(), QString("코드는 6자리를 사용하길 권장합니다. 나머지를 자동으로 채울까요?"));
        QCOMPARE(codeNo->text(), QString("120004"));
        prompt().pushAnswer(Prompt::Answer::No);
        retype("htField(0)", w, "ab");
        QCOMPARE(codeNo->text(), QString("AB"));

        // Ticking "자동" numbers the new member on save and remembers the choice.
        m_d->click("chkAuto", w);
        QCOMPARE(Settings::getIn(App().appTitle, "Config", "FRIEND_CHKAUTO", "x"), QString("1"));
        QCOMPARE(codeNo->text(), QString());
        retype("htField(1)", w, "자동번호");
        m_d->click("btnSave", w);
        QCOMPARE(m_d->query("SELECT codeno FROM tblfriend WHERE sname = ?", {"자동번호"}).toString(), QString("120004"));
    }

    void listSearchesThroughControls() {
        addMember("김철수", {{"hpline", "010-1234-5678"}, {"barthday", "1970-03-15"}, {"abo", "A"}});
        addMember("이영희", {{"barthday", "1970-02-01"}, {"lunarbarth", 1}, {"abo", "B"}});
        addMember("O'Neil", {{"hline1", "02-777-8888"}});
        frmFriend* w = openList();
        Grid* g = w->grid();
        QCOMPARE(g->dataRowCnt(), 3); // the full list on opening

        m_d->click("txtData", w);
        m_d->type("O'N");
        m_d->key(Qt::Key_Return);
        QCOMPARE(gridColumn(g, frmFriend::ColName), QStringList({"O'Neil"}));

        // A pasted page is cut where it is typed: a search, not a refused statement.
        m_d->key(Qt::Key_A, Qt::ControlModifier);
        QApplication::clipboard()->setText(QString("김철수").repeated(20000));
        m_d->key(Qt::Key_V, Qt::ControlModifier);
        m_d->key(Qt::Key_Return);
        QCOMPARE(m_d->find<QLineEdit>("txtData", w)->text().size(), 200);
        QCOMPARE(g->dataRowCnt(), 0);
        QCOMPARE(m_d->env().prompt().texts(), QStringList());

        choose(combo("cmbMenu", w), "전화번호");
        retype("txtData", w, "5678");
        m_d->click("btnQuery", w);
        QCOMPARE(gridColumn(g, frmFriend::ColName), QStringList({"김철수"}));
        QCOMPARE(g->text(frmFriend::ColMobile, 1), QString("010-1234-5678"));

        choose(combo("cmbMenu", w), "혈 액 형");
        QVERIFY(combo("cmbData", w)->isVisible());
        choose(combo("cmbData", w), "B");
        m_d->click("btnQuery", w);
        QCOMPARE(gridColumn(g, frmFriend::ColName), QStringList({"이영희"}));

        // The birthday period matches solar and lunar birthdays (this year's solar day).
        choose(combo("cmbMenu", w), "전      체");
        m_d->click("txtData", w);
        m_d->key(Qt::Key_A, Qt::ControlModifier);
        m_d->key(Qt::Key_Backspace);
        choose(combo("cmbDate", w), "생         일");
        m_d->find<HCTerm>("htDate", w)->SetText1("2026-03-01");
        m_d->find<HCTerm>("htDate", w)->SetText2("2026-03-31");
        m_d->click("btnQuery", w);
        QCOMPARE(gridColumn(g, frmFriend::ColName), QStringList({"김철수", "이영희"}));

        // Nothing found: empty grid and the notice.
        m_d->find<HCTerm>("htDate", w)->SetText1("2026-07-01");
        m_d->find<HCTerm>("htDate", w)->SetText2("2026-07-02");
        m_d->click("btnQuery", w);
        QCOMPARE(g->dataRowCnt(), 0);
        QCOMPARE(m_d->env().notices().last(), QString("검색된 결과가 없습니다."));
    }

    // The server ends the session under an open list: the next step shows one Korean line,
    // the statement and the server's text go to the log only, and the step after it works.
    void serverOutageShowsOneKoreanLine() {
        if (!TestEnv::onServer()) QSKIP("needs a PostgreSQL server (MEMBERDESK_TEST_PG)");
        addMember("김철수");
        frmFriend* w = openList();
        pg::Connection other;
        QString error;
        int code = 0;
        QVERIFY(other.open(App().dbFile, {}, false, &error, &code));
        QCOMPARE(other.exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                            "WHERE datname = current_database() AND pid <> pg_backend_pid()", {}, 1).rc,
                 int(pg::Ok));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("(?s)read failed, server connection .*terminat.*: SELECT"));
        m_d->click("btnQuery", w);
        QCOMPARE(m_d->prompt().texts(), QStringList{"서버가 다시 시작되는 중입니다.\n잠시 후 다시 시도하세요."});
        m_d->click("btnQuery", w);
        QCOMPARE(m_d->prompt().texts().size(), 1);
        QCOMPARE(gridColumn(w->grid(), frmFriend::ColName), QStringList({"김철수"}));
    }

    // Checked rows are deleted, except a member with trades; the panel shows his points.
    void listChecksAndDeletes() {
        const int a = addMember("거래회원");
        addMember("일반1");
        addMember("일반2");
        ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend, lstackpoint, lpoint) VALUES ('2026-01-01', ?, 1200, 200)", {a});
        frmFriend* w = openList();
        Grid* g = w->grid();
        const int row = g->searchCol(frmFriend::ColName, 1, -1, "거래회원");
        m_d->clickCell(g, frmFriend::ColName, row);
        QCOMPARE(m_d->find<QLabel>("lblPoint(0)", w)->text(), QString("1,200"));
        QCOMPARE(m_d->find<QLabel>("lblPoint(1)", w)->text(), QString("1,000"));
        QCOMPARE(m_d->find<QLabel>("lblPoint(2)", w)->text(), QString("200"));

        m_d->clickCell(g, frmFriend::ColCheck, row);
        m_d->clickCell(g, frmFriend::ColCheck, g->searchCol(frmFriend::ColName, 1, -1, "일반1"));
        prompt().pushAnswer(Prompt::Answer::No);
        m_d->click("btnRecDel", w);
        QCOMPARE(CountRows("tblfriend", "code > 1"), 3);
        prompt().clear();
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnRecDel", w);
        QCOMPARE(gridColumn(g, frmFriend::ColName), QStringList({"거래회원", "일반2"}));
        // The question first, then why the member with trades stays.
        QCOMPARE(prompt().texts(), QStringList({"선택된 자료를 정말로 삭제 하시겠습니까?",
                                                "해당 데이터가 「회원거래」에서 사용중이기 때문에 삭제할 수 없습니다."}));
        QCOMPARE(prompt().shown().first().title, QString("삭제"));
        QCOMPARE(m_d->find<QLabel>("lblCountRec", w)->text(), QString("1"));
    }

    void listTreeRenameAndMove() {
        const int g1 = addGroup("하나");
        const int g2 = addGroup("둘");
        const int m = addMember("이동회원", {{"ctblgroup", g1}, {"male", "여"}});
        frmFriend* w = openList();
        QTreeWidget* tree = w->tree();
        QCOMPARE(tree->topLevelItemCount(), 3);
        QTreeWidgetItem* defaultGroup = tree->topLevelItem(0);
        QTreeWidgetItem* one = tree->topLevelItem(1);

        defaultGroup->setText(0, "다른이름");
        QCOMPARE(defaultGroup->text(0), QString("[기본그룹]"));
        QCOMPARE(prompt().lastText(), QString("[기본그룹]은 수정할수 없습니다."));
        one->setText(0, "둘");
        QCOMPARE(one->text(0), QString("하나"));
        QCOMPARE(prompt().lastText(), QString("[둘]은 이미 등록된 그룹명입니다."));
        one->setText(0, "하나's");
        QCOMPARE(GroupNameByCode(g1), QString("하나's"));

        w->runNodeCommand(defaultGroup, "03");
        QCOMPARE(prompt().lastText(), QString("[기본그룹]은 삭제할수 없습니다."));

        // Members load on a click; a member node renames and moves.
        m_d->click(tree->viewport(), tree->visualItemRect(one).center());
        QCOMPARE(one->childCount(), 1);
        QTreeWidgetItem* member = one->child(0);
        m_d->click(tree->viewport(), tree->visualItemRect(member).center());
        m_d->key(Qt::Key_F2); // edited in place, as a person renames in the tree
        m_d->key(Qt::Key_A, Qt::ControlModifier);
        m_d->type("O'Brien");
        m_d->key(Qt::Key_Return);
        QCOMPARE(member->text(0), QString("O'Brien"));
        QCOMPARE(FriendNameByCode(m), QString("O'Brien"));
        QCOMPARE(w->grid()->text(frmFriend::ColName, 1), QString("O'Brien"));

        frmFriend::setGroupPicker([] { return 0; });
        w->runNodeCommand(member, "03");
        QCOMPARE(prompt().lastText(), QString("그룹선택에 실패 하였습니다."));
        frmFriend::setGroupPicker([&] { return g2; });
        w->runNodeCommand(member, "03");
        QCOMPARE(LoadMember(m).value("ctblgroup").toInt(), g2);
        frmFriend::setGroupPicker({});

        // A group still holding members is not deleted.
        w->runNodeCommand(tree->topLevelItem(2), "03");
        QCOMPARE(prompt().lastText(), QString("해당 데이터가 「tblfriend」에서 사용중이기 때문에 삭제할 수 없습니다."));
        w->runNodeCommand(tree->topLevelItem(1), "03");
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(CountRows("tblgroup", "code = ?", {g1}), 0);
    }

    void listUserFieldColumns() {
        SetOption("userfieldname_4", "등급");
        SetOption("userfieldname_9", "취미");
        addMember("골드회원", {{"userfieldnote5", "골드"}});
        addMember("무명", {{"userfieldnote7", "x"}});
        frmFriend* w = openList();
        Grid* g = w->grid();
        QCOMPARE(g->maxCols(), frmFriend::BaseColumns + 2);
        QCOMPARE(g->headerText(26), QString("등급"));
        QCOMPARE(g->headerText(27), QString("사용자정의"));
        QCOMPARE(g->text(26, g->searchCol(frmFriend::ColName, 1, -1, "골드회원")), QString("골드"));
        // Named but unfilled fields are offered in the combo too, and search their column.
        QCOMPARE(combo("cmbMenu", w)->itemText(combo("cmbMenu", w)->count() - 1), QString("취미"));
        choose(combo("cmbMenu", w), "등급");
        retype("txtData", w, "골");
        m_d->click("btnQuery", w);
        QCOMPARE(gridColumn(g, frmFriend::ColName), QStringList({"골드회원"}));
    }

    // The lookup list: a digit moves to that row and Enter takes it; Esc takes nothing.
    void lookupPicker() {
        addMember("김하나", {{"hpline", "010-1000-0001"}});
        const int two = addMember("김둘", {{"hpline", "010-1000-0002"}});
        QTimer::singleShot(0, [] {
            auto* dlg = qobject_cast<FrmSearch*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            QCOMPARE(dlg->windowTitle(), QString("회원검색"));
            Grid* grid = dlg->findChild<Grid*>("spList");
            QTest::keyClick(grid, Qt::Key_2);
            QTest::keyClick(grid, Qt::Key_Return);
        });
        QCOMPARE(PickOrAdd("tblfriend", "김"), QString("김둘"));
        QCOMPARE(LastPickedCode(), two);
        QTimer::singleShot(0, [] {
            auto* dlg = qobject_cast<FrmSearch*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            QTest::keyClick(dlg, Qt::Key_Escape);
        });
        QCOMPARE(PickOrAdd("tblfriend", "010-1000"), QString());
        QCOMPARE(LastPickedCode(), 0);

        // A name not found is added through the member editor, its text filled in.
        prompt().pushAnswer(Prompt::Answer::Yes);
        QTimer::singleShot(0, [] {
            auto* editor = qobject_cast<frmFriendAdd*>(QApplication::activeModalWidget());
            QVERIFY(editor);
            QCOMPARE(editor->findChild<HCText*>("htField(1)")->text(), QString("새's 회원"));
            QTest::mouseClick(editor->findChild<QPushButton*>("btnSave"), Qt::LeftButton);
        });
        QCOMPARE(PickOrAdd("tblfriend", "새's 회원"), QString("새's 회원"));
        QCOMPARE(FriendNameByCode(LastPickedCode()), QString("새's 회원"));
    }

    // The pick-list editor, opened from the member editor: a value typed in the new row is
    // stored, offered by the editor, and deleted again.
    void pickListEditor() {
        QWidget* w = m_d->open("mnuFriend_FriendSub");
        m_d->click("btnListEdit(3)", w);
        auto* list = qobject_cast<frmFriendUserSet*>(QApplication::activeModalWidget());
        QVERIFY(list);
        Grid* g = list->grid();
        QCOMPARE(g->maxRows(), 1); // only the empty new row
        m_d->clickCell(g, frmFriendUserSet::ColValue, 1);
        m_d->type("it's");
        m_d->key(Qt::Key_Return);
        QCOMPARE(PickListValues(3).size(), 1);
        QCOMPARE(PickListValues(3).first().second, QString("it's"));
        QCOMPARE(g->maxRows(), 2);

        // Another PC renamed the value meanwhile: typing over it asks; No shows its text.
        const int code = PickListValues(3).first().first;
        QVERIFY(TestEnv::runOnOtherConnection(
            QString("UPDATE tbluserfieldlist SET bigo = 'theirs' WHERE code = %1").arg(code)));
        prompt().pushAnswer(Prompt::Answer::No);
        m_d->clickCell(g, frmFriendUserSet::ColValue, 1);
        m_d->type("mine");
        m_d->key(Qt::Key_Return);
        QCOMPARE(prompt().lastTitle(), QString("다른 곳에서 수정됨"));
        QCOMPARE(PickListValues(3).first().second, QString("theirs"));
        QTRY_COMPARE(g->text(frmFriendUserSet::ColValue, 1), QString("theirs"));

        m_d->clickCell(g, frmFriendUserSet::ColValue, 2);
        m_d->key(Qt::Key_F4);
        QCOMPARE(prompt().lastText(), QString("먼저 그리드에서 삭제할 자료를 선택하세요."));
        m_d->clickCell(g, frmFriendUserSet::ColValue, 1);
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->key(Qt::Key_F4);
        QCOMPARE(PickListValues(3).size(), 0);
        QCOMPARE(g->maxRows(), 1);
    }
};

QTEST_MAIN(TestMemberWindows)
#include "tst_memberwindows.moc"
