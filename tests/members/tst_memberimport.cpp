// The member import window opened from the main window's menu and driven by mouse and
// keys: each file format, bad rows, update mode, the file messages and a failure halfway.
#include "MainWindowDriver.h"

#include "core/PrivateData.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "members/FrmTool_ImpData.h"
#include "members/MemberStore.h"
#include "ui/Grid.h"
#include "ui/WindowRegistry.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QtTest>

#include <memory>

namespace {
QString fixture(const QString& name) {
    return qEnvironmentVariable("MEMBERDESK_SOURCE_DIR") + QStringLiteral("/tests/ui/data/") + name;
}

using Answer = ScriptedPrompt::Answer;

QString scalar(const QString& sql, const QVariantList& params = {}) {
    return GetScalar(sql, params).toString();
}
} // namespace

class tst_memberimport : public QObject {
    Q_OBJECT
    // The program as started, with the member list as its start window.
    std::unique_ptr<MainWindowDriver> m_d;
    TestEnv* m_env = nullptr;

    FrmTool_ImpData* openWindow() {
        auto* w = m_d->open<FrmTool_ImpData>(QStringLiteral("mnuETCRoot_Exel"));
        if (w) (void)QTest::qWaitForWindowExposed(w);
        return w;
    }
    // Chooses a file through the file button, as a user picks it in the dialog.
    void pickFile(QWidget* w, const QString& path) {
        m_env->prompt().pushText(path);
        m_d->click("btnGetXLSFile", w);
    }
    // Points each field's chooser at a sheet column ("" none) with the keyboard.
    void map(QWidget* w, std::initializer_list<std::pair<const char*, char>> choices) {
        for (const auto& [chooser, letter] : choices) {
            auto* c = m_d->find<QComboBox>(chooser, w);
            c->setFocus();
            QTest::keyClick(c, Qt::Key_Home);
            const int target = letter ? letter - 'A' + 1 : 0;
            for (int i = 0; i < target; ++i)
                QTest::keyClick(c, Qt::Key_Down);
            QCOMPARE(c->currentIndex(), target);
        }
    }
    void clickImport(QWidget* w) { m_d->click("btnImport", w); }
    // Clicks the import button with `answers` queued for its questions, the prompts cleared.
    void importAnswering(QWidget* w, std::initializer_list<Answer> answers) {
        m_env->prompt().clear();
        for (Answer a : answers)
            m_env->prompt().pushAnswer(a);
        clickImport(w);
    }
    QString log(QWidget* w) { return m_d->find<QPlainTextEdit>("txtLog", w)->toPlainText(); }
    void writeCsv(const QString& name, const QString& text) {
        WriteFileBytes(m_env->path(name), text.toUtf8());
    }

private slots:
    void init() {
        m_d = std::make_unique<MainWindowDriver>(true);
        QVERIFY(m_d->ok());
        m_env = &m_d->env();
    }
    void cleanup() {
        m_env = nullptr;
        m_d.reset();
    }

    void importsEachFormat_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("xlsx") << "members.xlsx";
        QTest::newRow("xls") << "members.xls";
        QTest::newRow("cp949 csv") << "members_cp949.csv";
    }

    void importsEachFormat() {
        QFETCH(QString, file);
        FrmTool_ImpData* w = openWindow();
        QVERIFY(w);
        pickFile(w, fixture(file));
        QCOMPARE(m_d->find<QLabel>("lblDataCnt", w)->text(), QStringLiteral("4"));
        QCOMPARE(m_d->find<Grid>("spList", w)->text(1, 4), QStringLiteral("박똠이"));
        QCOMPARE(m_d->find<QLineEdit>("txtStartRow", w)->text(), QStringLiteral("2"));
        QCOMPARE(m_d->find<QLineEdit>("txtEndRow", w)->text(), QStringLiteral("4"));
        // Headings equal to a field label are chosen already.
        QCOMPARE(m_d->find<QComboBox>("cmbColumn(2)", w)->currentIndex(), 2);
        map(w, {{"cmbColumn(0)", 'A'}, {"cmbColumn(3)", 'C'}, {"cmbColumn(4)", 'D'},
                   {"cmbColumn(5)", 'E'}, {"cmbColumn(10)", 'F'}, {"cmbColumn(15)", 'H'}});
        importAnswering(w, {Answer::Yes}); // the backup warning
        QCOMPARE(m_env->prompt().texts().size(), 2);
        QVERIFY(m_env->prompt().texts().at(0).startsWith(QStringLiteral("백업필수!!\n\n")));
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("가져오기가 완료되었습니다."));
        QCOMPARE(log(w),
                 QStringLiteral(
                     "자료검사중...\n가져오기작업 시작 10:00:00\n3건의 자료를 가져오기 하였습니다.\n"
                     "가져오기작업 종료 10:00:00"));

        QCOMPARE(scalar("SELECT COUNT(*) FROM tblgroup WHERE gname = '등산회'"), QStringLiteral("1"));
        const int obrien = GroupCodeByName(QStringLiteral("O'Brien 모임"));
        QVERIFY(obrien > 1);
        QCOMPARE(scalar("SELECT settlementday || repeatclass FROM tblgroup WHERE code = ?", {obrien}),
                 QStringLiteral("0100000"));
        QCOMPARE(scalar("SELECT sname || '|' || abo || '|' || male || '|' || barthday || '|' || "
                        "ctblgroup || '|' || insertday"
                        " || '|' || feestart || '|' || hpline FROM tblfriend WHERE codeno = 'A002'"),
                 QStringLiteral("김'철수|AB|여|1985-03-15|%1|2026-12-06|2026-12-06|010-3333-4444")
                     .arg(obrien));
        QCOMPARE(scalar("SELECT abo || '|' || male || '|' || smemo || '|' || codeno FROM tblfriend "
                        "WHERE sname = '박똠이'"),
                 QStringLiteral("O| |메모, 쉼표|"));
        QCOMPARE(scalar("SELECT barthday FROM tblfriend WHERE codeno = 'A001'"),
                 QStringLiteral("1980-01-02"));

        // Again in add mode: the members are there, numbered ones are skipped.
        importAnswering(w, {Answer::Yes, Answer::Yes}); // and "이미 회원이 입력되어 있습니다."
        QVERIFY(m_env->prompt().texts().at(1).startsWith(
            QStringLiteral("이미 회원이 입력되어 있습니다.\n")));
        QVERIFY(log(w).contains(QStringLiteral(
            "2행의 존재하는 관리번호 입니다. 번호:A001\n3행의 존재하는 관리번호 입니다. 번호:A002\n"
            "1건의 자료를 가져오기 하였습니다.")));
        QCOMPARE(CountRows("tblfriend", "code <> 1"), 4);
        QCOMPARE(CountRows("tblgroup", "code <> 1"), 2);
    }

    void rowChecksAndCuts() {
        const QString hangul25 = QString(25, QChar(u'가'));
        writeCsv("rows.csv", QStringLiteral("이름,성별,혈액형,관리번호,그룹,생일,u1,u2\n"
                                            "성별틀림,M,,,,,,\n"
                                            "혈액소문자,,ab,N1,O'Neil,,,260228\n"
                                            "a%1,,,N1,O'Neil,,,\n"
                                            "날짜틀림,,,,,,250229,\n"
                                            "생일틀림,,,,,abc,,\n"
                                            ",,,,,,,\n"
                                            "%2b,,,,,,,\n")
                                 .arg(hangul25, hangul25));
        FrmTool_ImpData* w = openWindow();
        pickFile(w, m_env->path("rows.csv"));
        map(w, {{"cmbColumn(0)", 'A'}, {"cmbColumn(3)", 'B'}, {"cmbColumn(4)", 'C'},
                   {"cmbColumn(10)", 'E'}, {"cmbUser(0)", 'G'}, {"cmbUser(1)", 'H'}});
        importAnswering(w, {Answer::Yes, Answer::Yes}); // go on after the check found problems
        const QString cut =
            QStringLiteral(" 길이가 너무 깁니다.(최대 50자) 길이만큼 자동으로 짤립니다. -> ");
        const QStringList problems = {
            QStringLiteral("2행의 성별 형식이 일치하지 않습니다. -> 성별 형식은 남 or 여 입니다. 자료 "
                           "수정 후 다시 시도 하세요."),
            QStringLiteral("4행의 회원명") + cut + QStringLiteral("a") + hangul25,
            QStringLiteral("5행의 사용자정의1의 데이터가 날짜형이 아닙니다. "),
            QStringLiteral("6행의 생일의 데이터가 날짜형이 아닙니다. "),
            QStringLiteral("7행의 회원명이 없습니다. -> 회원명은 필수 입력 사항입니다. 자료 수정 후 "
                           "다시 시도 하세요."),
            QStringLiteral("8행의 회원명") + cut + hangul25 + QStringLiteral("b")};
        const QString expected =
            QStringLiteral("자료검사중...\n") + problems.join('\n') +
            QStringLiteral("\n가져오기작업 시작 10:00:00\n") + problems.mid(0, 2).join('\n') +
            QStringLiteral("\n4행의 존재하는 관리번호 입니다. 번호:N1\n") + problems.mid(2).join('\n') +
            QStringLiteral("\n2건의 자료를 가져오기 하였습니다.\n가져오기작업 종료 10:00:00");
        QCOMPARE(log(w), expected);
        QCOMPARE(
            m_env->prompt().texts().at(1),
            QStringLiteral("자료검사도중 문제가 발견되었습니다.\n그래도 가져오기를 하시겠습니까?"));
        QCOMPARE(scalar("SELECT abo || '|' || userfieldnote2 FROM tblfriend WHERE codeno = 'N1'"),
                 QStringLiteral("AB|2026-02-28"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM tblgroup WHERE gname = 'O''Neil'"), QStringLiteral("1"));
        QCOMPARE(scalar("SELECT sname FROM tblfriend WHERE sname LIKE '가%'"),
                 hangul25); // cut before the 'b'
        QCOMPARE(CountRows("tblfriend", "code <> 1"), 2);

        // Answering No to the check question stops there.
        importAnswering(w, {Answer::Yes});
        QVERIFY(log(w).endsWith(QStringLiteral("\n작업중단!")));
        QCOMPARE(CountRows("tblfriend", "code <> 1"), 2);
    }

    void updateModeWritesOnlyMappedFields() {
        ExecSQL("INSERT INTO tblgroup (gname) VALUES ('기존')");
        const int old = GroupCodeByName(QStringLiteral("기존"));
        int code = 0;
        SaveMember(0, {{"sname", "예전"}, {"codeno", "U1"}, {"ctblgroup", old}, {"mail", "a@b.c"},
                       {"insertday", "2020-01-01"}}, &code);
        SaveMember(0, {{"sname", "둘1"}, {"codeno", "D1"}});
        SaveMember(0, {{"sname", "둘2"}, {"codeno", "D1"}});
        ExecSQL("UPDATE tblfriend SET finalday = '2020-01-01'");
        writeCsv(
            "upd.csv",
            QStringLiteral("이름,관리번호,핸드폰\n새이름,U1,010-9\n누구,D1,010-8\n신규,U9,010-7\n"));

        FrmTool_ImpData* w = openWindow();
        pickFile(w, m_env->path("upd.csv"));
        map(w, {{"cmbColumn(0)", 'A'}, {"cmbColumn(5)", 'C'}});
        auto* mode = m_d->find<QComboBox>("cmbEditMode", w);
        mode->setFocus();
        QTest::keyClick(mode, Qt::Key_Down);
        importAnswering(w, {Answer::Yes, Answer::Yes});
        QVERIFY2(log(w).contains(QStringLiteral(
                     "3행의 관리번호가 여러 회원에게 있어 수정하지 않았습니다. 번호:D1\n2건의")),
                 qPrintable(log(w)));
        const MemberValues v = LoadMember(code);
        QCOMPARE(v.value("sname").toString(), QStringLiteral("새이름"));
        QCOMPARE(v.value("hpline").toString(), QStringLiteral("010-9"));
        QCOMPARE(v.value("ctblgroup").toInt(), old);
        QCOMPARE(v.value("mail").toString(), QStringLiteral("a@b.c"));
        QCOMPARE(v.value("insertday").toString(), QStringLiteral("2020-01-01"));
        QCOMPARE(v.value("finalday").toString(), QStringLiteral("2026-12-06"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM tblfriend WHERE codeno = 'D1' AND hpline = ''"),
                 QStringLiteral("2"));
        QCOMPARE(scalar("SELECT hpline FROM tblfriend WHERE codeno = 'U9'"), QStringLiteral("010-7"));
        QCOMPARE(Settings::get("DataImp", "EditMode"), QStringLiteral("1"));
    }

    // Update mode on a sheet of more numbers than one look-up asks for: the last rows find
    // their members as the first do, numbers with quotes and a number cut to its length too;
    // a number twice in the sheet updates its member twice.
    void updateFindsEveryNumberOfALongSheet() {
        constexpr int kRows = 1201;
        {
            Transaction tx;
            for (int i = 0; i < kRows; ++i)
                ExecSQL("INSERT INTO tblfriend (sname, codeno, hpline) VALUES (?, ?, '')",
                        {QStringLiteral("회원%1").arg(i), QStringLiteral("N'%1").arg(i, 4, 10, QChar('0'))});
            ExecSQL("INSERT INTO tblfriend (sname, codeno, hpline) VALUES ('긴', '12345678901234567890', '')");
            QVERIFY(tx.commit());
        }
        QString csv = QStringLiteral("이름,관리번호,핸드폰\n");
        for (int i = 0; i < kRows; ++i)
            csv += QStringLiteral("새%1,N'%2,010-%1\n").arg(i).arg(i, 4, 10, QChar('0'));
        csv += QStringLiteral("긴번호,12345678901234567890XY,010-cut\n새1200,N'1200,010-again\n");
        writeCsv("long.csv", csv);

        FrmTool_ImpData* w = openWindow();
        pickFile(w, m_env->path("long.csv"));
        map(w, {{"cmbColumn(0)", 'A'}, {"cmbColumn(5)", 'C'}});
        auto* mode = m_d->find<QComboBox>("cmbEditMode", w);
        mode->setFocus();
        QTest::keyClick(mode, Qt::Key_Down);
        importAnswering(w, {Answer::Yes, Answer::Yes, Answer::Yes}); // the cut number asks too
        QVERIFY2(log(w).contains(QStringLiteral("%1건의 자료를 가져오기 하였습니다.").arg(kRows + 2)),
                 qPrintable(log(w)));
        QCOMPARE(scalar("SELECT COUNT(*) FROM tblfriend WHERE code <> 1"), QString::number(kRows + 1));
        QCOMPARE(scalar("SELECT COUNT(*) FROM tblfriend WHERE hpline = '010-' || substr(sname, 2)"),
                 QString::number(kRows - 1));
        QCOMPARE(scalar("SELECT sname || '|' || hpline FROM tblfriend WHERE codeno = 'N''0000'"),
                 QStringLiteral("새0|010-0"));
        QCOMPARE(scalar("SELECT sname || '|' || hpline FROM tblfriend WHERE codeno = 'N''1200'"),
                 QStringLiteral("새1200|010-again"));
        QCOMPARE(scalar("SELECT sname || '|' || hpline FROM tblfriend WHERE codeno = '12345678901234567890'"),
                 QStringLiteral("긴번호|010-cut"));
    }

    // Without the key file no resident number can be stored: the person is told how many
    // before anything is written, a new member gets none, an updated one keeps his own.
    void residentNumbersNeedTheKeyFile() {
        int code = 0;
        SaveMember(0, {{"sname", "예전"}, {"codeno", "U1"}, {"idno", "800101-1234567"}}, &code);
        const QString sealed = scalar("SELECT idno FROM tblfriend WHERE code = ?", {code});
        QVERIFY(IsEncryptedIdNo(sealed));
        DataKey::clear();
        writeCsv("idno.csv", QStringLiteral("이름,관리번호,주민번호\n새이름,U1,900101-1234567\n"
                                            "신규,U9,\n또,U8,850505-2345678\n"));

        FrmTool_ImpData* w = openWindow();
        pickFile(w, m_env->path("idno.csv"));
        map(w, {{"cmbColumn(0)", 'A'}, {"cmbColumn(1)", 'C'}, {"cmbColumn(2)", 'B'}});
        auto* mode = m_d->find<QComboBox>("cmbEditMode", w);
        mode->setFocus();
        QTest::keyClick(mode, Qt::Key_Down);
        for (const Answer goOn : {Answer::No, Answer::Yes}) {
            importAnswering(w, {Answer::Yes, goOn, Answer::Yes, Answer::Yes});
            QVERIFY2(m_env->prompt().texts().value(1).startsWith(QStringLiteral(
                         "주민번호 암호키 파일이 없어 2건의 주민번호는 저장되지 않습니다.")),
                     qPrintable(m_env->prompt().texts().join('|')));
            QCOMPARE(scalar("SELECT sname FROM tblfriend WHERE code = ?", {code}),
                     goOn == Answer::No ? QStringLiteral("예전") : QStringLiteral("새이름"));
        }
        QVERIFY2(log(w).contains(QStringLiteral("4행의 주민번호는 암호키 파일이 없어 저장하지 않습니다.")),
                 qPrintable(log(w)));
        QCOMPARE(scalar("SELECT idno FROM tblfriend WHERE code = ?", {code}), sealed);
        QCOMPARE(scalar("SELECT idno FROM tblfriend WHERE codeno = 'U8'"), QString());
    }

    void failureHalfwayLeavesNothing() {
        if (TestEnv::onServer()) {
            QVERIFY(RunSilent("CREATE FUNCTION boom() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN IF NEW.sname = '폭탄' "
                              "THEN RAISE EXCEPTION 'boom'; END IF; RETURN NEW; END$$").ok);
            QVERIFY(RunSilent("CREATE TRIGGER boom BEFORE INSERT ON tblfriend FOR EACH ROW EXECUTE FUNCTION boom()").ok);
        } else {
            ExecSQL("CREATE TRIGGER boom BEFORE INSERT ON tblfriend WHEN NEW.sname = '폭탄'"
                    " BEGIN SELECT RAISE(ABORT, 'boom'); END");
        }
        writeCsv("fail.csv", QStringLiteral("이름,그룹\n하나,새그룹\n폭탄,다른그룹\n셋,새그룹\n"));
        FrmTool_ImpData* w = openWindow();
        pickFile(w, m_env->path("fail.csv"));
        map(w, {{"cmbColumn(0)", 'A'}, {"cmbColumn(10)", 'B'}});
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("boom"));
        importAnswering(w, {Answer::Yes});
        QCOMPARE(m_env->prompt().lastText(),
                 QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
        // The log names the row and the cause; the bar goes back to empty.
        QVERIFY2(log(w).contains(QStringLiteral("가져오기작업 시작 10:00:00\n3행을 저장하지 못했습니다: ")),
                 qPrintable(log(w)));
        QVERIFY2(log(w).contains(QStringLiteral("boom")), qPrintable(log(w)));
        QVERIFY(log(w).endsWith(
            QStringLiteral("\n가져오기를 취소하여 아무 자료도 저장되지 않았습니다.\n작업중단!")));
        QCOMPARE(m_d->find<QProgressBar>("ProgressBar1", w)->value(), 0);
        QCOMPARE(CountRows("tblfriend", "code <> 1"), 0);
        QCOMPARE(CountRows("tblgroup", "code <> 1"), 0);
        QVERIFY(w->isEnabled());
    }

    void fileMessagesAndRanges() {
        const QString notSheet =
            QStringLiteral("엑셀파일이 아니거나, 지원되지 않는 버전입니다.\n"
                           "지원 형식: Excel 97-2003(.xls), Excel 2007 이상(.xlsx), CSV(.csv)");
        FrmTool_ImpData* w = openWindow();
        auto* count = m_d->find<QLabel>("lblDataCnt", w);
        struct Case {
            const char* file;
            QString message;
        } cases[] = {
            {"html_table.xls", notSheet},
            {"nosheet.xls", QStringLiteral("엑셀파일의 정보를 알수 없습니다.")},
            {"password.xls", QStringLiteral("암호가 걸린 엑셀파일이라 읽을 수 없습니다.\n"
                                            "엑셀에서 암호를 해제하고 저장한 뒤 다시 선택하세요.")},
            {"damaged.xls", QStringLiteral("엑셀파일의 정보를 알수 없습니다.")}, // crashes FreeXL
            {"missing_part.xlsx", QStringLiteral("엑셀파일 불러오기를 실패했습니다.")},
            {"far_cell.xlsx",
             QStringLiteral(
                 "엑셀파일 불러오기를 실패했습니다.\n시트가 너무 큽니다. (최대 200,000행, 256열)")},
        };
        for (const Case& c : cases) {
            m_env->prompt().clear();
            pickFile(w, fixture(QString::fromLatin1(c.file)));
            QCOMPARE(m_env->prompt().lastText(), c.message);
            QCOMPARE(count->text(), QStringLiteral("0"));
            QCOMPARE(m_d->find<Grid>("spList", w)->dataRowCnt(), 0);
        }

        // A saved sheet index beyond the sheets falls back to the first sheet.
        Settings::set("DataImp", "SheetIdx", "7");
        pickFile(w, fixture("members.xlsx"));
        QCOMPARE(m_d->find<QComboBox>("cmbSheet", w)->currentIndex(), 0);
        QCOMPARE(count->text(), QStringLiteral("4"));

        // No name column: the chooser gets the focus.
        m_env->prompt().clear();
        clickImport(w);
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("회원명은 필수입니다. 필드를 지정하세요."));
        QCOMPARE(QApplication::focusWidget(), m_d->find<QComboBox>("cmbColumn(0)", w));
        map(w, {{"cmbColumn(0)", 'A'}});
        // The heading row is not a member: the range starts below it.
        for (const auto& range : {std::pair<QString, QString>{"4", "3"},
                                  {"x", "3"},
                                  {"2", "9"},
                                  {"0", "2"},
                                  {"1", "4"}}) {
            m_env->prompt().clear();
            m_d->retype("txtStartRow", range.first, w);
            m_d->retype("txtEndRow", range.second, w);
            clickImport(w);
            QCOMPARE(m_env->prompt().texts(),
                     QStringList{QStringLiteral("가져올 행의 범위가 올바르지 않습니다. (2 ~ 4행)")});
        }
        // The backup warning defaults to No: a plain Enter imports nothing.
        m_env->prompt().clear();
        m_d->retype("txtStartRow", "2", w);
        m_d->retype("txtEndRow", "4", w);
        clickImport(w);
        QCOMPARE(m_env->prompt().texts().size(), 1);
        QCOMPARE(m_env->prompt().lastDefault(), Answer::No);
        QCOMPARE(CountRows("tblfriend", "code <> 1"), 0);

        // The window opens again on the last file and sheet.
        QVERIFY(CloseWindow(w));
        QCoreApplication::processEvents();
        w = openWindow();
        QCOMPARE(m_d->find<QLineEdit>("txtPathExcel", w)->text(), fixture("members.xlsx"));
        QCOMPARE(m_d->find<QLabel>("lblDataCnt", w)->text(), QStringLiteral("4"));
    }

    // A sheet holding only its heading row (written by a spreadsheet program), and a CSV
    // whose one line names fields: nothing is written, and the window says why.
    void sheetsWithoutDataRows() {
        writeCsv("heading.csv", QStringLiteral("회원명,그룹명\r\n"));
        FrmTool_ImpData* w = openWindow();
        for (const QString& file : {fixture("heading_only.xlsx"), m_env->path("heading.csv")}) {
            pickFile(w, file);
            QCOMPARE(m_d->find<QLabel>("lblDataCnt", w)->text(), QStringLiteral("1"));
            QCOMPARE(m_d->find<QComboBox>("cmbColumn(0)", w)->currentIndex(), 1); // by its heading
            m_env->prompt().clear();
            clickImport(w);
            QCOMPARE(m_env->prompt().texts(),
                     QStringList{QStringLiteral("시트에 제목 행만 있고 가져올 자료가 없습니다.")});
            QCOMPARE(CountRows("tblfriend", "code <> 1"), 0);
            QCOMPARE(CountRows("tblgroup", "code <> 1"), 0);
        }
        // One row of data without headings is a member all the same.
        writeCsv("one.csv", QStringLiteral("홍길동,등산회\r\n"));
        pickFile(w, m_env->path("one.csv"));
        map(w, {{"cmbColumn(0)", 'A'}});
        QCOMPARE(m_d->find<QLineEdit>("txtStartRow", w)->text(), QStringLiteral("1"));
        importAnswering(w, {Answer::Yes});
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("가져오기가 완료되었습니다."));
        QCOMPARE(scalar("SELECT sname FROM tblfriend WHERE code <> 1"), QStringLiteral("홍길동"));
    }

    // Birthdays as an .xls written by another program keeps them (numbers, texts, date cells):
    // a date without its year or in the future is logged and its row left out.
    void birthdaysNeedTheirYear() {
        FrmTool_ImpData* w = openWindow();
        pickFile(w, fixture("birthdays.xls"));
        QCOMPARE(m_d->find<QLabel>("lblDataCnt", w)->text(), QStringLiteral("9"));
        map(w, {{"cmbColumn(0)", 'A'}, {"cmbColumn(17)", 'B'}, {"cmbUser(0)", 'C'}});
        importAnswering(w, {Answer::Yes, Answer::Yes}); // go on after the check found problems
        const QString birthday = QStringLiteral("행의 생일의 데이터가 날짜형이 아닙니다. ");
        const QStringList problems = {"2" + birthday, "3" + birthday, "4" + birthday,
                                      QStringLiteral("5행의 사용자정의1의 데이터가 날짜형이 아닙니다. "),
                                      "8" + birthday};
        QCOMPARE(log(w), QStringLiteral("자료검사중...\n") + problems.join('\n') +
                             QStringLiteral("\n가져오기작업 시작 10:00:00\n") + problems.join('\n') +
                             QStringLiteral("\n3건의 자료를 가져오기 하였습니다.\n가져오기작업 종료 10:00:00"));
        QStringList written;
        Recordset rs;
        OpenRecordset(rs, "SELECT sname || '=' || barthday || '/' || userfieldnote1 FROM tblfriend"
                          " WHERE code <> 1 ORDER BY code");
        for (int r = 0; r < rs.recordCount(); ++r) written << rs.row(r)[0].toString();
        QCOMPARE(written, QStringList({"마=1999-12-31/2027-01-05", "바=1970-05-05/", "아=2026-12-06/"}));
    }

    // A UTF-8 file with one byte that belongs to no encoding is refused when it is chosen,
    // before anything can be written; a clean file of either encoding is read as it is.
    void strayByteRefusesTheFile() {
        QByteArray utf8 = QStringLiteral("회원명,메모\r\n").toUtf8();
        for (int i = 0; i < 300; ++i)
            utf8 += QStringLiteral("홍길동%1,가나다\r\n").arg(i).toUtf8();
        WriteFileBytes(m_env->path("clean.csv"), utf8);
        utf8.insert(utf8.size() / 2, '\xff');
        WriteFileBytes(m_env->path("stray.csv"), utf8);
        FrmTool_ImpData* w = openWindow();
        pickFile(w, m_env->path("stray.csv"));
        QCOMPARE(m_env->prompt().lastText(),
                 QStringLiteral("엑셀파일 불러오기를 실패했습니다.\n파일의 글자 인코딩을 알 수 없습니다. "
                                "UTF-8 또는 한글 완성형(CP949)으로 저장해 주세요."));
        QCOMPARE(m_d->find<QLabel>("lblDataCnt", w)->text(), QStringLiteral("0"));
        m_env->prompt().clear();
        clickImport(w);
        QCOMPARE(m_env->prompt().lastText(),
                 QStringLiteral("가져올 자료가 없습니다. 엑셀파일과 시트를 선택하세요."));
        QCOMPARE(CountRows("tblfriend", "code <> 1"), 0);

        pickFile(w, m_env->path("clean.csv"));
        QCOMPARE(m_d->find<QLabel>("lblDataCnt", w)->text(), QStringLiteral("301"));
        QCOMPARE(m_d->find<Grid>("spList", w)->text(1, 301), QStringLiteral("홍길동299"));
    }

    // The member list is the start window; while the rows are written the import window stays
    // in front with its bar moving, and a click on the member list meanwhile does nothing.
    void windowStaysInFrontWhileWriting() {
        QWidget* list = m_d->activeWindow();
        QVERIFY(list && list->objectName() == QStringLiteral("frmFriend"));
        FrmTool_ImpData* w = openWindow();
        pickFile(w, fixture("members.xlsx"));
        map(w, {{"cmbColumn(0)", 'A'}});
        QWidget* frontDuring = nullptr;
        int barDuring = -1;
        QTimer::singleShot(0, w, [&] {
            m_d->click(list); // a click on the member list while the rows are written
            frontDuring = m_d->activeWindow();
            barDuring = m_d->find<QProgressBar>("ProgressBar1", w)->value();
        });
        importAnswering(w, {Answer::Yes});
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("가져오기가 완료되었습니다."));
        QCOMPARE(frontDuring, w);
        QCOMPARE(barDuring, 1);
        QCOMPARE(m_d->activeWindow(), w);
        QCOMPARE(m_d->find<QProgressBar>("ProgressBar1", w)->value(), 3);
        QCOMPARE(CountRows("tblfriend", "code <> 1"), 3);
    }
};

QTEST_MAIN(tst_memberimport)
#include "tst_memberimport.moc"
