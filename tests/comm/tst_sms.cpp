// Text-message recipients chosen in the window opened from the main menu, ticked with the
// mouse and handed to a stand-in messaging program. (The member list's SMS button, ticked
// rows never read included: tst_memberlonglist.)
#include "WindowTest.h"

#include "app/SmsCommands.h"
#include "comm/frmSMS.h"
#include "core/AppState.h"
#include "core/Launcher.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/HCTerm.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScopeGuard>
#include <QtTest>

using Answer = Prompt::Answer;

namespace {

int addMember(const QString& name, const QString& mobile, const QVariantHash& more = {}) {
    QString cols = QStringLiteral("sname, hpline"), marks = QStringLiteral("?, ?");
    QVariantList values{name, mobile};
    for (auto it = more.begin(); it != more.end(); ++it) {
        cols += QStringLiteral(", ") + it.key();
        marks += QStringLiteral(", ?");
        values << it.value();
    }
    ExecSQL(QStringLiteral("INSERT INTO tblfriend (%1) VALUES (%2)").arg(cols, marks), values);
    return LastIdentity();
}

int addGroup(const QString& name, const QString& repeatClass = {}, const QString& day = {}) {
    ExecSQL("INSERT INTO tblgroup (gname, repeatclass, settlementday) VALUES (?, ?, ?)",
            {name, repeatClass, day});
    return LastIdentity();
}

QStringList column(Grid* g, int col) {
    QStringList out;
    for (int r = 1; r <= g->dataRowCnt(); ++r)
        out << g->text(col, r);
    return out;
}

// The stand-in messaging program notes where it ran and what it was given.
void writeProgram(const QString& folder, bool executable) {
    const QString path = folder + QStringLiteral("/SMSSend");
    WriteFileBytes(path, "#!/bin/sh\nprintf '%s|%s' \"$PWD\" \"$*\" > started.tmp && mv started.tmp started.txt\n");
    QFile::setPermissions(path, executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                           : QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace

class tst_sms : public WindowTest {
    Q_OBJECT

    frmSMS* openSms() { return m_d->open<frmSMS>(QStringLiteral("mnuETCRoot_SMS")); }
    QString bin() const { return App().programDir; }
    QList<RecordingLauncher::Call> smsCalls() {
        QList<RecordingLauncher::Call> out;
        for (const auto& c : m_d->env().launcher().calls)
            if (c.program.endsWith(QStringLiteral("/SMSSend"))) out << c;
        return out;
    }

private slots:
    void initTestCase() { RegisterSmsCommands(); }

    // Ticked rows reach the real program start: one line per number, every number with
    // dashes whatever its stored shape, names cleaned, the duplicate question once; Cancel
    // starts the program without a list.
    void sendThroughProgram_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("yes leaves out repeats") << int(Answer::Yes)
            << QByteArray("홍길동,010-1111-2222\r\n홍길동,010-3333-4444\r\n박씨,010-5555-6666\r\n");
        QTest::newRow("no writes every line") << int(Answer::No)
            << QByteArray("홍길동,010-1111-2222\r\n홍길동,010-3333-4444\r\n김 영희,010-1111-2222\r\n"
                          "박씨,010-5555-6666\r\n박씨,010-3333-4444\r\n");
        QTest::newRow("cancel starts without a list") << int(Answer::Cancel) << QByteArray();
    }
    void sendThroughProgram() {
        QFETCH(int, answer);
        QFETCH(QByteArray, file);
        addMember("홍,길동", " 010-1111-2222 ,010 3333 4444");
        addMember("김\r\n영희", "01011112222");
        addMember("이순신", "");
        addMember("박;씨:", "010-5555-6666,,010-3333-4444");
        addMember("Unticked", "010-7777-8888");
        writeProgram(bin(), true);
        frmSMS* w = openSms();
        QVERIFY(w);
        QCOMPARE(w->grid()->dataRowCnt(), 5);
        for (int r = 1; r <= 4; ++r)
            m_d->clickCell(w->grid(), frmSMS::ColSelect, r);
        QCOMPARE(m_d->find<QLabel>("lblCount", w)->text(), QStringLiteral("4"));
        setLauncher(std::make_unique<ProcessLauncher>()); // the program really starts
        m_d->prompt().pushAnswer(Answer(answer));
        m_d->click("btnSMS", w);
        const QString started = bin() + QStringLiteral("/started.txt");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(started), 10000);
        const QString list = bin() + QStringLiteral("/ExternTelNo.txt");
        const QString arg = file.isEmpty() ? QStringLiteral("0") : list;
        QCOMPARE(QString::fromUtf8(FileBytes(started)), bin() + u'|' + arg);
        QCOMPARE(FileBytes(list), file);
        QCOMPARE(m_d->prompt().shown().size(), 1); // the duplicate question, once
        QVERIFY(m_d->prompt().lastText().contains("중복 제거 하시겠으면 [예]"));
    }

    // Each filter narrows the list and sets the remark column.
    void filters_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("firstRemark");
        QTest::newRow("women (stored 여)") << "opMali(2)" << QStringList{"Lee", "O'Neil"} << "비 고" << "";
        QTest::newRow("men (stored 남)") << "opMali(1)" << QStringList{"Kim"} << "비 고" << "vip";
        QTest::newRow("married") << "opMarry(2)" << QStringList{"Lee"} << "비 고" << "";
        QTest::newRow("birthdays over the new year") << "birthday" << QStringList{"Lee", "Kim"} << "생  일"
            << "1975-01-05";
        QTest::newRow("group") << "group" << QStringList{"Kim", "O'Neil"} << "그  룹" << "G1";
        QTest::newRow("address text") << "address" << QStringList{"Kim"} << "주  소" << "서울 중구";
        QTest::newRow("quote in any field") << "all:it's" << QStringList{"O'Neil"} << "비 고" << "it's";
        // With % and _ as wildcards "0%_" would also find "5000 off".
        QTest::newRow("% and _ taken literally") << "all:0%_" << QStringList{"Pct"} << "비 고" << "50%_off";
        QTest::newRow("phone typed without dashes") << "phone:0103" << QStringList{"O'Neil"} << "비 고" << "it's";
        QTest::newRow("phone typed with blanks") << "phone:010 3" << QStringList{"O'Neil"} << "비 고" << "it's";
    }
    void filters() {
        QFETCH(QString, action);
        QFETCH(QStringList, names);
        QFETCH(QString, header);
        QFETCH(QString, firstRemark);
        const int g1 = addGroup("G1");
        addMember("Kim", "010-1", {{"male", "남"}, {"barthday", "1980-12-28"}, {"homeadd", "서울 중구"},
                                   {"smemo", "vip"}, {"ctblgroup", g1}});
        addMember("Lee", "010-2", {{"male", "여"}, {"marryox", 1}, {"barthday", "1975-01-05"}, {"homeadd", "부산"}});
        addMember("O'Neil", "010-3", {{"male", "여"}, {"barthday", "1990-06-01"}, {"smemo", "it's"}, {"ctblgroup", g1}});
        addMember("Hidden", "010-4", {{"male", "여"}, {"hidden", 1}, {"homeadd", "서울"}});
        addMember("Pct", "010-5", {{"smemo", "50%_off"}});
        addMember("Wild", "010-6", {{"smemo", "5000 off"}});
        frmSMS* w = openSms();
        QVERIFY(w);
        auto* menu = m_d->find<QComboBox>("cmbMenu", w);
        if (action.startsWith("op")) {
            m_d->click(action, w);
        } else if (action == "birthday") {
            m_d->find<QComboBox>("cmbDate", w)->setCurrentIndex(1);
            m_d->find<HCTerm>("htDate", w)->SetText1("2026-12-20");
            m_d->find<HCTerm>("htDate", w)->SetText2("2027-01-10");
            m_d->click("btnQuery", w);
        } else if (action == "group") {
            menu->setCurrentText("그      룹");
            m_d->find<QWidget>("cmbData", w)->setFocus();
            m_d->key(Qt::Key_Down); // [기본그룹] -> G1
        } else {
            const bool phone = action.startsWith("phone:");
            menu->setCurrentText(action == "address" ? "주      소" : phone ? "전화번호" : "전      체");
            m_d->click("htField", w);
            m_d->type(action == "address" ? "서울" : action.mid(phone ? 6 : 4));
            m_d->key(Qt::Key_Return);
        }
        QCOMPARE(column(w->grid(), frmSMS::ColName), names);
        QCOMPARE(w->grid()->headerText(frmSMS::ColRemark), header);
        QCOMPARE(w->grid()->text(frmSMS::ColRemark, 1), firstRemark);
    }

    // Unpaid dues of the chosen group and month; the question only before the due day
    // (today is 2026-12-06; week code 41 = Sunday of the 2nd week = 12-06, 42 = 12-07).
    void unpaidDues_data() {
        QTest::addColumn<QString>("repeat");
        QTest::addColumn<QString>("day");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QStringList>("names");
        const QString ask = "납부일이 지나지 않았습니다. 그래도 검색하시겠습니까?";
        const QStringList none; // a refused search shows no other search's rows
        QTest::newRow("due day passed") << "00000" << "05" << 12 << -1 << "" << QStringList{"Owes"};
        QTest::newRow("week code on today") << "00000" << "41" << 12 << -1 << "" << QStringList{"Owes"};
        QTest::newRow("week code tomorrow asks") << "00000"
            << "42" << 12 << int(Answer::Yes) << ask << QStringList{"Owes"};
        QTest::newRow("before the day, no keeps the list") << "00000" << "25" << 12 << int(Answer::No) << ask << none;
        QTest::newRow("earlier month") << "00000" << "25" << 11 << -1 << "" << QStringList{"Paid", "Owes"};
        QTest::newRow("month without dues") << "3147A" << "05" << 12 << -1 << "선택한 그룹은 12월에 회비를 받지 않습니다." << none;
        QTest::newRow("no dues settings") << "" << "" << 12 << -1 << "회비설정이 되어 있지 않습니다." << none;
    }
    void unpaidDues() {
        QFETCH(QString, repeat);
        QFETCH(QString, day);
        QFETCH(int, month);
        QFETCH(int, answer);
        QFETCH(QString, prompt);
        QFETCH(QStringList, names);
        const int g = addGroup("Dues", repeat, day);
        const int paid = addMember("Paid", "010-1", {{"ctblgroup", g}});
        addMember("Owes", "010-2", {{"ctblgroup", g}});
        addMember("Later", "010-3", {{"ctblgroup", g}, {"feestart", "2027-01-01"}});
        addMember("Other", "010-4");
        ExecSQL("INSERT INTO tblgroupmon (ctblgroup, ctblfriend, inoutclass, sdate, smonth, smoney)"
                " VALUES (?, ?, '0', '2026-12-01', '2026-12', 10000)",
                {g, paid});
        frmSMS* w = openSms();
        QVERIFY(w);
        m_d->find<QComboBox>("cmbMonth", w)->setCurrentIndex(month - 1);
        m_d->click("opSection(1)", w);
        QCOMPARE(m_d->find<QComboBox>("cmbMenu", w)->currentText(), QStringLiteral("그      룹"));
        if (answer >= 0) m_d->prompt().pushAnswer(Answer(answer));
        m_d->find<QWidget>("cmbData", w)->setFocus();
        m_d->key(Qt::Key_Down);
        QCOMPARE(m_d->prompt().lastText(), prompt);
        QCOMPARE(column(w->grid(), frmSMS::ColName), names);
        QCOMPARE(w->grid()->headerText(frmSMS::ColRemark), QStringLiteral("미 납 월"));
        if (!names.isEmpty()) // a search ran: the unpaid month stands beside each name
            QCOMPARE(w->grid()->text(frmSMS::ColRemark, 1),
                     QStringLiteral("2026-%1").arg(month, 2, 10, QChar('0')));
    }

    // The sum of a member's trade lines in the chosen month, from its first to its real
    // last day; switching to another search leaves no sums under its heading.
    void tradeSums_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("sum");
        QTest::newRow("30 days") << 2026 << 11 << "17,500";
        QTest::newRow("31 days, trade on the 31st") << 2026 << 10 << "100,000";
        QTest::newRow("february") << 2026 << 2 << "20";
        QTest::newRow("leap february") << 2024 << 2 << "300";
    }
    void tradeSums() {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(QString, sum);
        const int buyer = addMember("Buyer", "010-1");
        addMember("NoTrade", "010-2");
        auto trade = [](int member, const QString& date, const QList<double>& lines) {
            ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend) VALUES (?, ?)", {date, member});
            const int t = LastIdentity();
            for (double d : lines)
                ExecSQL("INSERT INTO tbltradesub (ctbltrade, dsum) VALUES (?, ?)", {t, d});
        };
        trade(buyer, "2026-11-01", {10000, 5000});
        trade(buyer, "2026-11-30", {2500});
        trade(buyer, "2026-10-31", {99999});
        trade(buyer, "2026-10-01", {1});
        trade(buyer, "2026-09-30", {4000});
        trade(buyer, "2026-02-01", {10});
        trade(buyer, "2026-02-28", {10});
        trade(buyer, "2026-03-01", {7000});
        trade(buyer, "2024-02-29", {300});
        trade(buyer, "2024-03-01", {5000});
        frmSMS* w = openSms();
        QVERIFY(w);
        m_d->find<QComboBox>("cmbYear", w)->setCurrentText(QString::number(year));
        m_d->find<QComboBox>("cmbMonth", w)->setCurrentIndex(month - 1);
        m_d->click("opSection(2)", w);
        QCOMPARE(column(w->grid(), frmSMS::ColName), QStringList{"Buyer"});
        QCOMPARE(w->grid()->headerText(frmSMS::ColRemark), QStringLiteral("거래금액"));
        QCOMPARE(w->grid()->text(frmSMS::ColRemark, 1), sum);
        m_d->click("opSection(1)", w); // unpaid dues: the group is chosen next
        QCOMPARE(w->grid()->dataRowCnt(), 0);
        QCOMPARE(w->grid()->headerText(frmSMS::ColRemark), QStringLiteral("미 납 월"));
        m_d->click("opSection(0)", w);
        QCOMPARE(w->grid()->headerText(frmSMS::ColRemark), QStringLiteral("그  룹"));
    }

    // Where the program is looked for, what is said when it cannot be used, and the
    // hand-over without a ticked row.
    void handOffOutcomes_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("tickRow");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("argument"); // "" = not started
        QTest::newRow("nowhere") << "none" << true << -1 << "문자전송 실행파일을 찾을 수 없습니다." << "";
        QTest::newRow("AppPath without it") << "apppath-empty" << true << -1
            << "문자전송 프로그램을 찾을 수 없습니다.\n파일명:%1/SMSSend\n"
               "제조사 홈페이지에서 문자전송 프로그램을 다운받아 설치하세요."
            << "";
        QTest::newRow("not executable") << "noexec" << true << -1 << "문자전송 프로그램을 실행할 수 없습니다.\n파일명:%1/SMSSend\n"
               "실행 권한이 있는지 확인하세요."
            << "";
        QTest::newRow("in AppPath") << "apppath" << true << -1 << "" << "%1/ExternTelNo.txt";
        const QString none =
            "전송할 자료를 선택하지 않았습니다.\n그래도, 문자전송 프로그램을 실행할까요?";
        QTest::newRow("nothing ticked, no") << "bin" << false << int(Answer::No) << none << "";
        QTest::newRow("nothing ticked, yes") << "bin" << false << int(Answer::Yes) << none << "0";
    }
    void handOffOutcomes() {
        QFETCH(QString, setup);
        QFETCH(bool, tickRow);
        QFETCH(int, answer);
        QFETCH(QString, message);
        QFETCH(QString, argument);
        addMember("Kim", "010-1234-5678");
        const QString other = m_d->env().path("sms");
        QDir().mkpath(other);
        QString folder = bin();
        if (setup == "bin") writeProgram(bin(), true);
        if (setup.startsWith("apppath")) {
            Settings::set("문자전송기", "환경설정", "AppPath", other);
            folder = other;
            if (setup == "apppath") writeProgram(other, true);
        }
        if (setup == "noexec") writeProgram(bin(), false);
        frmSMS* w = openSms();
        QVERIFY(w);
        if (tickRow) m_d->clickCell(w->grid(), frmSMS::ColSelect, 1);
        if (answer >= 0) m_d->prompt().pushAnswer(Answer(answer));
        m_d->click("btnSMS", w);
        QCOMPARE(m_d->prompt().lastText(), message.replace("%1", folder));
        const auto calls = smsCalls();
        QCOMPARE(calls.size(), argument.isEmpty() ? 0 : 1);
        if (!argument.isEmpty()) {
            QCOMPARE(calls.at(0).program, folder + "/SMSSend");
            QCOMPARE(calls.at(0).args, QStringList{QString(argument).replace("%1", folder)});
            QCOMPARE(calls.at(0).workingDir, folder);
        }
        if (argument != "%1/ExternTelNo.txt")
            QVERIFY(!QFile::exists(folder + "/ExternTelNo.txt"));
        else
            QCOMPARE(FileBytes(folder + "/ExternTelNo.txt"), QByteArray("Kim,010-1234-5678\r\n"));
    }

    // A long list is read a block at a time. Blocks whose members the dues rule leaves
    // out entirely (dues start later) are read past, so the first screen is not empty;
    // ticking all counts and sends every member owing, also those never scrolled to.
    void longListInBlocks() {
        GridModel::setFetchBlockRows(3);
        const auto restore = qScopeGuard([] { GridModel::setFetchBlockRows(256); });
        const int g = addGroup("Dues", "00000", "05");
        for (int i = 0; i < 40; ++i)
            addMember(QString("M%1").arg(i, 2, 10, QChar('0')), QString("010-0000-%1").arg(1000 + i),
                      {{"ctblgroup", g}, {"feestart", i < 8 ? "2027-01-01" : ""}});
        writeProgram(bin(), true);
        frmSMS* w = openSms();
        m_d->click("opSection(1)", w);
        m_d->find<QWidget>("cmbData", w)->setFocus();
        m_d->key(Qt::Key_Down);
        Grid* list = w->grid();
        QCOMPARE(list->text(frmSMS::ColName, 1), QStringLiteral("M08"));
        QVERIFY(list->hasMoreRows());
        m_d->click("chkAllSel", w);
        QCOMPARE(m_d->find<QLabel>("lblCount", w)->text(), QStringLiteral("32"));
        QCOMPARE(column(list, frmSMS::ColName).last(), QStringLiteral("M39"));
        m_d->click("btnSMS", w);
        const QByteArray sent = FileBytes(bin() + "/ExternTelNo.txt");
        QCOMPARE(sent.count("\r\n"), 32);
        QVERIFY(sent.endsWith("M39,010-0000-1039\r\n"));
    }
};

QTEST_MAIN(tst_sms)
#include "tst_sms.moc"
