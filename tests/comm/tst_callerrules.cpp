// Caller-ID rules without windows: accepted device text, telephone formatting, the member
// look-up, the trace time and the three device protocols.
#include "comm/CallerRules.h"
#include "comm/SeeIdDevice.h"
#include "db/Database.h"
#include "TestEnv.h"

#include <QtTest>

class TestCallerRules : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> m_env;

    static int addMember(const QString& name, const QString& column, const QString& phone,
                         const QString& memo = {})
    {
        ExecSQL(QStringLiteral("INSERT INTO tblfriend (sname, smemo, ") + column + QStringLiteral(") VALUES (?, ?, ?)"),
                {name, memo, phone});
        return LastIdentity();
    }

private slots:
    void init() { m_env = std::make_unique<TestEnv>(); }
    void cleanup() { m_env.reset(); }

    // Shell text, an empty number, "P" and a number without digits are also sent through a
    // device in the caller-ID chain test.
    void callerNumber_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("accepted"); // "!" = dropped
        QTest::newRow("plain") << "0212345678" << "0212345678";
        QTest::newRow("dashes") << "02-123-4567" << "02-123-4567";
        QTest::newRow("nul removed") << QString::fromLatin1("0212\0" "345678", 11) << "0212345678";
        QTest::newRow("one digit") << "7" << "7";
        QTest::newRow("20 chars") << QString(20, u'1') << QString(20, u'1');
        QTest::newRow("21 chars") << QString(21, u'1') << "!";
        QTest::newRow("crlf inside") << "0212\r\n345678" << "!";
        QTest::newRow("4000 bytes") << QString(4000, u'9') << "!";
        QTest::newRow("invalid utf8") << QString::fromLatin1("02\xff\xfe" "1234") << "!";
        QTest::newRow("only nul") << QString(1, QChar(0)) << "!";
        QTest::newRow("withheld o") << "o" << "O";
        QTest::newRow("withheld private") << "Private" << "PRIVATE";
        QTest::newRow("other word") << "PRIVATEX" << "!";
    }
    void callerNumber()
    {
        QFETCH(QString, raw);
        QFETCH(QString, accepted);
        const auto n = CallerNumber(raw);
        QCOMPARE(n.value_or(QStringLiteral("!")), accepted);
        // The trace form of anything is one short printable line.
        const QString t = TraceSafe(raw);
        QVERIFY(t.size() <= 60);
        for (QChar c : t)
            QVERIFY(c.unicode() >= 0x20 && c.unicode() < 0x7F);
    }

    void formatTelNo_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("formatted");
        QTest::addColumn<QString>("local"); // "?" = left untouched
        QTest::newRow("seoul") << "0212345678" << "02-1234-5678" << "1234-5678";
        QTest::newRow("seoul short") << "021234567" << "02-123-4567" << "123-4567";
        QTest::newRow("area 3") << "0311234567" << "031-123-4567" << "123-4567";
        QTest::newRow("mobile") << "01012345678" << "010-1234-5678" << "1234-5678";
        QTest::newRow("0505") << "050512345678" << "0505-1234-5678" << "1234-5678";
        QTest::newRow("no area") << "1234567" << "123-4567" << "123-4567";
        QTest::newRow("dashed input") << "02-1234-5678" << "02-1234-5678" << "1234-5678";
        QTest::newRow("five chars") << "12345" << "12345" << "?";
        QTest::newRow("four digits") << "1-2-3-4" << "1234" << "?";
        QTest::newRow("withheld code") << "P" << "P" << "?";
        QTest::newRow("six digits") << "123456" << "12-3456" << "12-3456";
        QTest::newRow("empty") << "" << "" << "?";
    }
    void formatTelNo()
    {
        QFETCH(QString, in);
        QFETCH(QString, formatted);
        QFETCH(QString, local);
        QString key = QStringLiteral("?");
        QCOMPARE(FormatTelNo(in, &key), formatted);
        QCOMPARE(key, local);
    }

    // Other area codes never match, cells holding two numbers (the chain test shows the
    // whole number winning, a Seoul number missing a mobile and the first of two found).
    void lookup_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("name");
        QTest::newRow("area code stored") << "0311234567" << 2 << "A";
        QTest::newRow("other area code, same local part") << "021234567" << 1 << "B";
        QTest::newRow("mobile") << "01012345678" << 1 << "F";
        QTest::newRow("no dashes stored") << "01098765432" << 1 << "C";
        QTest::newRow("0505 stored") << "050511112222" << 1 << "D";
        QTest::newRow("second of two numbers") << "01077778888" << 1 << "Two";
        QTest::newRow("caller without area code") << "1234567" << 2 << "B";
        QTest::newRow("unknown") << "0299990000" << 0 << "";
        QTest::newRow("short code") << "1004" << 0 << "";
        QTest::newRow("five chars") << "P1234" << 0 << "";
        QTest::newRow("other exchange same last four") << "0319994567" << 0 << "";
    }
    void lookup()
    {
        QFETCH(QString, number);
        QFETCH(int, count);
        QFETCH(QString, name);
        addMember(QStringLiteral("A"), QStringLiteral("hline2"), QStringLiteral("031-123-4567"), QStringLiteral("m;<b>x</b>"));
        addMember(QStringLiteral("B"), QStringLiteral("hpline"), QStringLiteral("123-4567"));
        addMember(QStringLiteral("C"), QStringLiteral("keyline"), QStringLiteral("01098765432"));
        addMember(QStringLiteral("D"), QStringLiteral("finalline"), QStringLiteral("0505-1111-2222"));
        addMember(QStringLiteral("E"), QStringLiteral("hline3"), QStringLiteral(""));
        addMember(QStringLiteral("F"), QStringLiteral("hpline"), QStringLiteral("010-1234-5678"));
        addMember(QStringLiteral("Two"), QStringLiteral("hpline"), QStringLiteral("010-5555-6666, 010-7777-8888"));
        QString key;
        const QString formatted = FormatTelNo(number, &key);
        const CallerMatch m = FindCaller(formatted, key);
        QCOMPARE(m.count, count);
        QCOMPARE(m.name, name);
        if (name == QStringLiteral("A"))
            QCOMPARE(ViewerText(QStringLiteral("031-123-4567"), m), QStringLiteral("031-123-4567;A;m;<b>x</b>"));
        if (count == 0)
            QCOMPARE(ViewerText(QStringLiteral("x"), m), QStringLiteral("x;등록되지 않은 번호입니다."));
    }

    void logTime_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("afternoon") << QTime(15, 22, 10) << "2026-12-06 오후 03:22:10";
        QTest::newRow("midnight") << QTime(0, 5, 0) << "2026-12-06 오전 12:05:00";
        QTest::newRow("noon") << QTime(12, 0, 1) << "2026-12-06 오후 12:00:01";
        QTest::newRow("morning") << QTime(9, 7, 3) << "2026-12-06 오전 09:07:03";
    }
    void logTime()
    {
        QFETCH(QTime, time);
        QFETCH(QString, text);
        QCOMPARE(CidLogTime(QDateTime(QDate(2026, 12, 6), time)), text);
    }

    void protocols_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("calls"); // line:number
        QTest::addColumn<int>("dropped");
        auto rec = [](char kind, char line, const QByteArray& number, int n = -1) {
            QByteArray r(15, ' ');
            r[0] = 0x02;
            r[1] = line;
            r[2] = kind;
            r[14] = char(n < 0 ? number.size() : n);
            return r + number;
        };
        QTest::newRow("modem call") << 0 << QByteArray("RING\r\nDATE = 1206\r\nNMBR = 0212345678\r\n")
                                    << QStringList{":0212345678"} << 0;
        QTest::newRow("modem split line") << 0 << QByteArray("NMBR = 02123") << QStringList{} << 0;
        QTest::newRow("modem endless line") << 0 << QByteArray(400, 'x') << QStringList{} << 1;
        QTest::newRow("record call") << 1 << rec('C', '1', "0311234567") << QStringList{"1:0311234567"} << 0;
        QTest::newRow("record noise first") << 1 << QByteArray("zz") + rec('C', '2', "0101") << QStringList{"2:0101"} << 1;
        QTest::newRow("record kind H") << 1 << rec('H', '1', "0311234567") << QStringList{} << 0;
        QTest::newRow("record n 0") << 1 << rec('C', '1', "") << QStringList{} << 0;
        QTest::newRow("record n 242") << 1 << rec('C', '1', "", 242) + rec('C', '1', "07") << QStringList{"1:07"} << 1;
        QTest::newRow("record two") << 1 << rec('C', '1', "0011") + rec('C', '2', "0022")
                                    << QStringList{"1:0011", "2:0022"} << 0;
        QTest::newRow("status call") << 2 << QByteArray("STATUS CONNECT\r\nCID 2,0212345678\r\n")
                                     << QStringList{"2:0212345678"} << 0;
        QTest::newRow("status no carrier") << 2 << QByteArray("STATUS NO CARRIER\r\n") << QStringList{} << 0;
        QTest::newRow("cid without comma") << 2 << QByteArray("CID 0212345678\r\n") << QStringList{} << 1;
    }
    void protocols()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, calls);
        QFETCH(int, dropped);
        // Whole, and byte by byte: records and lines may arrive in any pieces.
        for (bool split : {false, true}) {
            SeeIdParser p(type);
            QStringList got;
            int drops = 0;
            const qsizetype step = split ? 1 : bytes.size();
            for (qsizetype i = 0; i < bytes.size(); i += step)
                for (const auto& e : p.feed(bytes.mid(i, step))) {
                    if (e.kind == SeeIdParser::Event::Call)
                        got << e.line + u':' + e.number;
                    else if (e.kind == SeeIdParser::Event::Dropped)
                        ++drops;
                }
            QCOMPARE(got, calls);
            if (!split)
                QCOMPARE(drops, dropped);
        }
    }
};

QTEST_MAIN(TestCallerRules)
#include "tst_callerrules.moc"
