// The caller-ID chain driven through the real main window: a device on a pseudo-terminal,
// the test input, the pop-up start, the trade window, the stand-by list, the options
// window and the LAN relay on loopback.
#include "MainWindowDriver.h"
#include "TestEnv.h"
#include "../sales/SalesTestUtil.h"

#include "app/CommCommands.h"
#include "app/SalesCommands.h"
#include "app/frmMain.h"
#include "comm/CallerIntake.h"
#include "comm/CallerLists.h"
#include "comm/FrmRemoteCID.h"
#include "comm/FrmSeeIDStanbyList.h"
#include "comm/SeeIdDevice.h"
#include "core/Settings.h"
#include "sales/frmTrade.h"
#include "ui/Grid.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <pty.h>
#include <unistd.h>

using namespace salestest;

namespace {

struct Pty {
    int master = -1, slave = -1;
    QString path;
    Pty()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = QString::fromLocal8Bit(name);
    }
    ~Pty()
    {
        if (master >= 0) ::close(master);
        if (slave >= 0) ::close(slave);
    }
    void send(const QByteArray& b) const { QVERIFY(::write(master, b.constData(), size_t(b.size())) == b.size()); }
};

const QString kEnv = QStringLiteral("환경설정");

} // namespace

class TestCallerChain : public QObject {
    Q_OBJECT
    TestEnv* m_env = nullptr;
    std::unique_ptr<MainWindowDriver> d;

    // Logs in on the data folder prepared so far (the driver takes it over).
    void openMain(bool startWindow = false)
    {
        RegisterCommCommands();
        RegisterSalesCommands();
        d = std::make_unique<MainWindowDriver>(std::unique_ptr<TestEnv>(m_env), startWindow);
        QVERIFY(d->ok());
        QCoreApplication::processEvents(); // the frame's start-up step opens the link
    }
    QStringList viewerArgs() const
    {
        QStringList out;
        for (const auto& c : m_env->launcher().calls)
            if (c.program.endsWith(QStringLiteral("memberdesk-cidview")))
                out << c.args.join(u'|');
        return out;
    }
    QStringList logTags() const
    {
        QFile f(m_env->path(QStringLiteral("CID_LOG.txt")));
        QStringList tags;
        if (!f.open(QIODevice::ReadOnly))
            return tags;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts))
            tags << line.section(u' ', 3); // after date, 오전/오후 and time
        return tags;
    }
    void useDevice(int type, const QString& path1, const QString& path2 = {})
    {
        Settings::set(kEnv, QStringLiteral("SeeIDType"), QString::number(type));
        Settings::set(kEnv, QStringLiteral("OpenSeeIDPort1"), QStringLiteral("3"));
        Settings::set(kEnv, QStringLiteral("OpenSeeIDPort2"), path2.isEmpty() ? QStringLiteral("0") : QStringLiteral("4"));
        SeeIdDevice::setPortPath(3, path1);
        if (!path2.isEmpty())
            SeeIdDevice::setPortPath(4, path2);
    }

private slots:
    void init()
    {
        m_env = new TestEnv;
        QVERIFY(m_env->ok());
        CallerLists::instance().clearAll();
    }
    void cleanup()
    {
        CallerIntake::instance().shutDown();
        if (d)
            d.reset(); // with the data folder
        else
            delete m_env;
        m_env = nullptr;
    }

    // A fresh installation on a PC without a caller-ID device: after login no box, no
    // port opened, no caller-ID mark.
    void freshStartWithoutDevice()
    {
        openMain(true);
        QCOMPARE(d->prompt().texts(), QStringList());
        QVERIFY(!CallerIntake::instance().isLinkOpen());
        auto* mark = d->frame()->findChild<QLabel*>(QStringLiteral("lblSeeID"));
        QVERIFY(mark);
        QVERIFY(mark->isHidden());
        auto* w = d->open<QWidget>(QStringLiteral("mnu_SeeIDComPort"));
        QVERIFY(w);
        QCOMPARE(d->find<QComboBox>(QStringLiteral("cmbCIDPortNo(0)"), w)->currentText(), QStringLiteral("사용안함"));
        QCOMPARE(d->find<QComboBox>(QStringLiteral("cmbCIDPortNo(1)"), w)->currentText(), QStringLiteral("사용안함"));
    }

    // Each device type on a pty: a call pops up the member and waits in the stand-by list.
    void deviceCallPopsUp_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("bytes");
        QByteArray rec(15, ' ');
        rec[0] = 0x02;
        rec[1] = '1';
        rec[2] = 'C';
        rec[14] = 10;
        QTest::newRow("modem") << 0 << QByteArray("RING\r\nNMBR = 0212345678\r\n");
        QTest::newRow("record") << 1 << QByteArray("noise") + rec + "0212345678";
        QTest::newRow("status") << 2 << QByteArray("STATUS CONNECT\r\nCID 1,0212345678\r\n");
    }
    void deviceCallPopsUp()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, bytes);
        addMember(QStringLiteral("홍길동"), QStringLiteral("02-1234-5678"));
        ExecSQL(QStringLiteral("UPDATE tblfriend SET smemo = ? WHERE sname = ?"), {QStringLiteral("단골; <b>VIP</b>"), QStringLiteral("홍길동")});
        Pty pty;
        QVERIFY(!pty.path.isEmpty());
        useDevice(type, pty.path);
        openMain();
        QVERIFY(CallerIntake::instance().isLinkOpen());
        QVERIFY(d->frame()->menuAction(QStringLiteral("mnu_SeeIDEnabled"))->isChecked());
        pty.send(bytes);
        QTRY_COMPARE(viewerArgs(), QStringList{QStringLiteral("02-1234-5678;홍길동;단골; <b>VIP</b>")});
        QCOMPARE(CallerLists::instance().standby().size(), 1);
        QVERIFY(CallerLists::instance().standby().first().startsWith(QStringLiteral("0212345678 [")));
        QStringList tags = logTags();
        QCOMPARE(tags.filter(QStringLiteral("X0:")).size(), type == 1 ? 1 : 0); // the noise before STX
        tags.removeIf([](const QString& t) { return t.startsWith(QStringLiteral("X0:")); });
        QCOMPARE(tags, (QStringList{"A1:0212345678", "A2:0212345678", "B1:0212345678", "B2:02-1234-5678",
                                    "B3:1234-5678", "B4:02-1234-5678", "B5:1",
                                    "B6:02-1234-5678;홍길동;단골; <b>VIP</b>", "A3:0212345678", "A4:0212345678"}));
        // Unticking the menu item closes the link whatever the type: nothing more arrives.
        d->frame()->menuAction(QStringLiteral("mnu_SeeIDEnabled"))->trigger();
        QVERIFY(!CallerIntake::instance().isLinkOpen());
    }

    // A chosen port whose device is missing is said in the status bar's mark and its tool
    // tip, not in a box; the other line still works. Bad device text is dropped with one
    // trace line before any look-up or list entry.
    void missingDeviceAndBadText()
    {
        Pty pty;
        useDevice(0, QStringLiteral("/nonexistent/tty"), pty.path);
        openMain();
        QCOMPARE(m_env->prompt().texts(), QStringList());
        auto* mark = d->frame()->findChild<QLabel*>(QStringLiteral("lblSeeID"));
        QVERIFY(mark && !mark->isHidden());
        QCOMPARE(mark->text(), QStringLiteral("☎ 발신번호 연결 실패"));
        QCOMPARE(mark->toolTip(), QStringLiteral("포트 [COM3] 으로 SEE ID OPEN에 실패했습니다."));
        pty.send("NMBR = 0212345678; rm -rf ~\r\nNMBR = \r\nNMBR = 02\xff\xfe" "12\r\n");
        QTRY_COMPARE(logTags().size(), 3);
        for (const QString& t : logTags())
            QVERIFY2(t.startsWith(QStringLiteral("X0:")), qPrintable(t));
        QVERIFY(viewerArgs().isEmpty());
        QVERIFY(CallerLists::instance().standby().isEmpty());
        pty.send("NMBR = 0311234567\r\n");
        QTRY_COMPARE(viewerArgs().size(), 1);
        QCOMPARE(viewerArgs().first(), QStringLiteral("031-123-4567;등록되지 않은 번호입니다."));
    }

    // The test input of the user-name panel; a call on the trade window's empty member
    // cell becomes that member's trade instead of waiting.
    void testInputAndTradeWindow()
    {
        const int member = addMember(QStringLiteral("김철수"), QStringLiteral("010-2222-3333"));
        openMain();
        auto* panel = d->frame()->findChild<QLabel*>(QStringLiteral("pnlUserName"));
        QVERIFY(panel);
        m_env->prompt().pushText(QStringLiteral("01022223333"));
        QTest::mouseClick(panel, Qt::LeftButton);
        QCOMPARE(m_env->prompt().shown().first().title, QStringLiteral("발신번호 테스트"));
        QCOMPARE(CallerLists::instance().standby().size(), 1);

        auto* trade = d->open<frmTrade>("mnuTrade_List");
        QVERIFY(trade);
        d->clickCell(trade->list(), frmTrade::CName, trade->list()->maxRows());
        CallerIntake::instance().InputFromSeeID(QStringLiteral("01022223333"), {}, true);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM tbltrade WHERE ctblfriend = ?"), {member}), QStringLiteral("1"));
        QCOMPARE(CallerLists::instance().standby().size(), 1); // the second call did not wait
        QCOMPARE(CallerLists::instance().messages().count(u'\n'), 2);
        // F11 on the trade window shows the waiting call.
        d->key(Qt::Key_F11);
        auto* list = dynamic_cast<FrmSeeIDStanbyList*>(WindowRegistry::find(QStringLiteral("FrmSeeIDStanbyList")));
        QVERIFY(list);
        QCOMPARE(list->list()->count(), 1);
    }

    // A call arriving on the port while a message box of an earlier call is open (its
    // own event loop runs) is handled when the box closes, not when a later call comes.
    void callDuringBoxIsHandledAfterIt()
    {
        Pty pty;
        useDevice(0, pty.path);
        openMain();
        m_env->launcher().result = false; // the pop-up cannot start: an error box per call
        bool sent = false;
        m_env->prompt().onShown = [&](const ScriptedPrompt::Shown&) {
            if (sent)
                return;
            sent = true;
            pty.send("NMBR = 0299998888\r\n");
            QTest::qWait(300); // the box stays open a moment
        };
        pty.send("NMBR = 0211112222\r\n");
        QTRY_COMPARE(logTags().filter(QStringLiteral("A1:")), (QStringList{"A1:0211112222", "A1:0299998888"}));
        m_env->prompt().onShown = {};
        const QStringList tags = logTags();
        QVERIFY(tags.indexOf(QStringLiteral("A4:0211112222")) < tags.indexOf(QStringLiteral("A1:0299998888")));
        QTRY_COMPARE(m_env->prompt().texts().size(), 2);
        QVERIFY(m_env->prompt().texts().first().contains(QStringLiteral("in procedure OpenCIDViewer of Form frmMain")));
        QCOMPARE(CallerLists::instance().standby().size(), 2);
    }

    // The member shown is the caller: another area code is no match, the whole number
    // wins, either number of a two-number cell is found. Withheld calls are listed
    // without a look-up; a "number" without digits is no call; a name with a line break
    // keeps the trace to one line per step.
    void rightMemberPopsUp()
    {
        addMember(QStringLiteral("경기"), QStringLiteral("031-123-4567"));
        addMember(QStringLiteral("휴대"), QStringLiteral("010-1234-5678"));
        addMember(QStringLiteral("지역없음"), QStringLiteral("888-9999"));
        addMember(QStringLiteral("서울"), QStringLiteral("02-888-9999"));
        addMember(QStringLiteral("둘"), QStringLiteral("010-5555-6666, 010-7777-8888"));
        addMember(QStringLiteral("줄\n바꿈"), QStringLiteral("010-4444-3333"));
        Pty pty;
        useDevice(0, pty.path);
        openMain();
        pty.send("NMBR = 021234567\r\nNMBR = 0212345678\r\nNMBR = 028889999\r\nNMBR = 01055556666\r\n"
                 "NMBR = P\r\nNMBR = -----\r\nNMBR = PRIVATE\r\nNMBR = 01044443333\r\n");
        QTRY_COMPARE(viewerArgs().size(), 7);
        QCOMPARE(viewerArgs(), (QStringList{"02-123-4567;등록되지 않은 번호입니다.", "02-1234-5678;등록되지 않은 번호입니다.",
                                            "02-888-9999;서울;", "010-5555-6666;둘;", "발신번호 없음", "발신번호 없음",
                                            "010-4444-3333;줄\n바꿈;"}));
        const QStringList standby = CallerLists::instance().standby();
        QCOMPARE(standby.size(), 7);
        QVERIFY(standby.at(4).startsWith(QStringLiteral("발신번호 없음 [")));
        QCOMPARE(CallerLists::instance().messages().count(QStringLiteral("발신번호 없음 [")), 2);
        const QStringList tags = logTags();
        QCOMPARE(tags.filter(QStringLiteral("X0:")), QStringList{"X0:-----"});
        QVERIFY(!tags.contains(QStringLiteral("B1:P"))); // no look-up
        QVERIFY(tags.contains(QStringLiteral("B6:010-4444-3333;줄\\x0a바꿈;")));
        for (const QString& t : tags)
            QVERIFY2(QRegularExpression(QStringLiteral("^[ABX][0-6]:")).match(t).hasMatch(), qPrintable(t));
        // The stand-by window lists them as they came.
        auto* w = d->open<FrmSeeIDStanbyList>("mnuTrade_Call");
        QVERIFY(w);
        QCOMPARE(w->list()->count(), 7);
        QVERIFY(w->list()->item(4)->text().startsWith(QStringLiteral("발신번호 없음 [")));
    }

    // The stand-by list window: delete with nothing selected, delete a selection, close and
    // reopen with the calls kept, "모든 창 닫기" not blocked; PopStandby order.
    void standbyWindow()
    {
        openMain();
        for (const char* n : {"0211110000", "0222220000", "0233330000"})
            AddStandby(QString::fromLatin1(n));
        auto* w = d->open<FrmSeeIDStanbyList>("mnuTrade_Call");
        QVERIFY(w);
        d->click(QStringLiteral("btnDel"), w);
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("삭제할 항목을 선택해 주세요."));
        QCOMPARE(w->list()->count(), 3);
        w->list()->item(1)->setSelected(true);
        d->click(QStringLiteral("btnDel"), w);
        QCOMPARE(w->list()->count(), 2);
        d->click(QStringLiteral("btnAllList"), w);
        auto* all = WindowRegistry::find(QStringLiteral("FrmSeeidList"));
        QVERIFY(all);
        QCOMPARE(d->find<QPlainTextEdit>(QStringLiteral("txtMsg"), all)->toPlainText(), QString());
        WindowRegistry::subWindowOf(w)->move(30, 40);
        RaiseChildWindow(w); // the list window opened over it
        d->click(QStringLiteral("cmdHelp"), w); // the help text is put in place at start
        QCOMPARE(m_env->launcher().calls.last().program, FrmSeeIDStanbyList::helpFile());
        m_env->launcher().result = false; // no program opens text files
        d->click(QStringLiteral("cmdHelp"), w);
        QCOMPARE(m_env->prompt().lastText(), FrmSeeIDStanbyList::helpFile()
                     + QStringLiteral("\n도움말 파일을 열 수 없습니다. 텍스트 파일을 여는 프로그램이 있는지 확인하세요."));
        m_env->launcher().result = true;
        QVERIFY(CloseAllChildren());
        QCoreApplication::processEvents();
        w = d->open<FrmSeeIDStanbyList>("mnu_SeeIDStanbyList");
        QVERIFY(w);
        QCOMPARE(w->list()->count(), 2);
        QCOMPARE(WindowRegistry::subWindowOf(w)->pos(), QPoint(30, 40)); // where it was closed
        QVERIFY(CloseAllChildren());
        QCOMPARE(PopStandby(), QStringLiteral("0211110000"));
        QCOMPARE(PopStandby(), QStringLiteral("0233330000"));
        QCOMPARE(PopStandby(), QString());
    }

    // The options window: a chosen port is kept, "사용안함" stores 0, the own address for
    // the relay is checked and stored; the link is reopened after OK.
    void optionsWindow()
    {
        Pty pty;
        SeeIdDevice::setPortPath(2, pty.path);
        Settings::set(kEnv, QStringLiteral("OpenSeeIDPort1"), QStringLiteral("1"));
        Settings::set(kEnv, QStringLiteral("OpenSeeIDPort2"), QStringLiteral("2"));
        SeeIdDevice::setPortPath(1, QStringLiteral("/nonexistent/tty"));
        openMain();
        QVERIFY(CallerIntake::instance().isLinkOpen());
        auto* w = d->open<QWidget>("mnu_SeeIDComPort");
        QVERIFY(w);
        QCOMPARE(d->find<QComboBox>(QStringLiteral("cmbCIDPortNo(0)"), w)->currentText(), QStringLiteral("1"));
        d->find<QComboBox>(QStringLiteral("cmbCIDPortNo(0)"), w)->setCurrentIndex(0); // 사용안함
        d->click(QStringLiteral("txtRemoteCIDMyIP"), w);
        d->type(QStringLiteral("192.168.0.300"));
        d->click(QStringLiteral("cmdOK"), w);
        QCOMPARE(m_env->prompt().texts(), QStringList{QStringLiteral("IP 주소가 올바르지 않습니다. (예: 192.168.0.17)")});
        QCOMPARE(Settings::get(kEnv, QStringLiteral("OpenSeeIDPort1")), QStringLiteral("1")); // nothing saved
        QCOMPARE(d->focus()->objectName(), QStringLiteral("txtRemoteCIDMyIP"));
        for (int i = 0; i < 3; ++i)
            d->key(Qt::Key_Backspace);
        d->type(QStringLiteral("17"));
        m_env->prompt().clear();
        d->click(QStringLiteral("cmdOK"), w);
        QCOMPARE(Settings::get(kEnv, QStringLiteral("OpenSeeIDPort1")), QStringLiteral("0"));
        QCOMPARE(Settings::get(kEnv, QStringLiteral("OpenSeeIDPort2")), QStringLiteral("2"));
        QCOMPARE(Settings::get(QStringLiteral("Config"), QStringLiteral("RemoteCIDMyIP")), QStringLiteral("192.168.0.17"));
        QCOMPARE(m_env->prompt().texts(), QStringList{QStringLiteral("발신기TYPE을 바꾸셨다면 프로그램을 다시 시작해 주십시요")});
        QVERIFY(CallerIntake::instance().isLinkOpen());
    }

    // The relay on loopback: a server relays its device's calls, a client processes them
    // without relaying, the server ignores its own broadcast.
    void relayOnLoopback()
    {
        Settings::set(QStringLiteral("Config"), QStringLiteral("RemoteCIDMyIP"), QStringLiteral("127.0.0.3"));
        FrmRemoteCID other; // a second station
        other.SockInit();
        QSignalSpy otherGot(&other, &FrmRemoteCID::received);
        Settings::set(QStringLiteral("Config"), QStringLiteral("RemoteCIDMyIP"), QStringLiteral("127.0.0.2"));
        Settings::set(QStringLiteral("Config"), QStringLiteral("RemoteCIDSvr"), QStringLiteral("1"));
        openMain();
        auto& intake = CallerIntake::instance();
        QVERIFY(intake.isRelayServer());
        QVERIFY(intake.relayWindow());
        QCOMPARE(intake.relayWindow()->broadcastAddress(), QStringLiteral("127.255.255.255"));
        intake.InputFromSeeID(QStringLiteral("0212345678"), {}, true);
        QTRY_COMPARE(otherGot.size(), 1);
        QCOMPARE(otherGot.first().first().toString(), QStringLiteral("0212345678"));
        intake.InputFromSeeID(QStringLiteral("0211112222"), {}, false); // test input: not relayed
        other.SendSock(QStringLiteral("01011112222"));
        QTRY_COMPARE(viewerArgs().size(), 3);
        QTest::qWait(100);
        QCOMPARE(viewerArgs().size(), 3); // the server's own broadcast was ignored
        QCOMPARE(otherGot.size(), 1);
        QCOMPARE(logTags().filter(QStringLiteral("A1:")).last(), QStringLiteral("A1:01011112222"));
    }

    // Port 16580 held by another program: no reception, sending still works. A flood of
    // datagrams is read a few per turn, so the window keeps answering, and beyond the
    // calls a second can hold it is dropped with one trace line; calls after it count.
    void relayPortTakenAndFlood()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, FrmRemoteCID::ReceivePort, QAbstractSocket::DontShareAddress));
        Settings::set(QStringLiteral("Config"), QStringLiteral("RemoteCIDMyIP"), QStringLiteral("127.0.0.3"));
        FrmRemoteCID blocked;
        blocked.SockInit();
        QVERIFY(!blocked.receiving());
        blocked.SendSock(QStringLiteral("0212345678"));
        QTRY_VERIFY(holder.hasPendingDatagrams());
        QCOMPARE(holder.receiveDatagram().data(), QByteArray("0212345678"));
        holder.close();

        Settings::set(QStringLiteral("Config"), QStringLiteral("RemoteCIDMyIP"), QStringLiteral("127.0.0.2"));
        Settings::set(QStringLiteral("Config"), QStringLiteral("RemoteCIDCli"), QStringLiteral("1"));
        openMain();
        QVERIFY(CallerIntake::instance().relayWindow()->receiving());
        for (int i = 0; i < 1000; ++i)
            blocked.SendSock(QStringLiteral("0101234%1").arg(i, 4, 10, QLatin1Char('0')));
        blocked.SendSock(QStringLiteral("x; rm -rf ~"));
        QElapsedTimer all;
        qsizetype most = 0, shown = 0; // calls handled in one turn of the event loop
        all.start();
        while (all.elapsed() < 800) {
            QCoreApplication::processEvents();
            const qsizetype now = m_env->launcher().calls.size();
            most = qMax(most, now - shown);
            shown = now;
        }
        QVERIFY2(most <= FrmRemoteCID::CallsPerTurn, qPrintable(QString::number(most)));
        QStringList tags = logTags();
        const QStringList a1 = tags.filter(QStringLiteral("A1:"));
        QCOMPARE(a1.size(), FrmRemoteCID::CallsPerSecond);
        QCOMPARE(a1.first(), QStringLiteral("A1:01012340000")); // in arrival order
        QCOMPARE(viewerArgs().size(), a1.size());
        QCOMPARE(tags.filter(QStringLiteral("R2:")).size(), 1);
        QTest::qWait(300);
        for (int i = 0; i < 30; ++i) // the flood goes on into the next second: no second line
            blocked.SendSock(QStringLiteral("0101239%1").arg(i, 4, 10, QLatin1Char('0')));
        QTest::qWait(1200);
        QCOMPARE(logTags().filter(QStringLiteral("A1:")).size(), a1.size() + FrmRemoteCID::CallsPerSecond);
        QTest::qWait(1000); // a calm second
        blocked.SendSock(QStringLiteral("0311234567"));
        QTRY_COMPARE(logTags().filter(QStringLiteral("A1:")).last(), QStringLiteral("A1:0311234567"));
        QCOMPARE(logTags().filter(QStringLiteral("R2:")).size(), 1);
    }
};

QTEST_MAIN(TestCallerChain)
#include "tst_callerchain.moc"
