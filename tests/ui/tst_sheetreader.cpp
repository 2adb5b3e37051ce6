// Worksheet files read without a window: the three formats, the refusals of bad files and
// a fuzz pass over cut and bit-flipped copies of every fixture.
#include "EnvTest.h"

#include "ui/SheetReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

Q_DECLARE_METATYPE(SheetError)

namespace {
QString fixture(const QString& name) {
    return qEnvironmentVariable("MEMBERDESK_SOURCE_DIR") + QStringLiteral("/tests/ui/data/") + name;
}

// Opens and loads every sheet; the error of the first step that failed, None when all read.
SheetError readEverything(const QString& path, QString* detail = nullptr) {
    WorkbookReader r;
    if (!r.open(path)) {
        if (detail) *detail = r.errorDetail();
        return r.error();
    }
    for (int i = 0; i < r.sheetNames().size(); ++i) {
        SheetData s;
        if (!r.loadSheet(i, s)) {
            if (detail) *detail = r.errorDetail();
            return r.error();
        }
        for (const QStringList& row : s.rows)
            if (row.size() != s.cols) return SheetError::LoadFailed; // a ragged row slipped through
    }
    return SheetError::None;
}
} // namespace

class tst_sheetreader : public EnvTest {
    Q_OBJECT
public:
    tst_sheetreader() : EnvTest(false) {}

private slots:
    // The members fixture as xlsx, xls and CP949 CSV is read through the import window in
    // its test; here the other sheets and files.
    void cellTexts_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("sheets");
        QTest::addColumn<int>("sheet");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<QStringList>("cells"); // "row,col=text", 1-based

        const QStringList memberCells = {
            "1,1=이름",   "2,1=홍길동",     "3,1=김'철수", "3,6=O'Brien 모임",
            "4,1=박똠이", "4,8=메모, 쉼표", "4,2="};
        QTest::newRow("xlsx whole and fractional numbers")
            << "members.xlsx" << QStringList{"회원", "둘째"} << 1 << 1 << 2
            << QStringList{"1,1=3", "1,2=1.5"};
        QTest::newRow("xls numbers and a date")
            << "members.xls" << QStringList{"회원", "숫자"} << 1 << 1 << 3
            << QStringList{"1,1=42", "1,2=2.5", "1,3=2023-03-15"};
        QTest::newRow("csv utf-8 with BOM")
            << "members_utf8.csv" << QStringList{"members_utf8"} << 0 << 4 << 8 << memberCells;
        QTest::newRow("csv quotes, line breaks, ragged rows")
            << "quoted.csv" << QStringList{"quoted"} << 0 << 5 << 4
            << QStringList{"1,2=b,c", "1,3=say \"hi\"", "1,4=",    "2,1=two\nlines",
                           "3,4=4",   "4,1=",           "5,1=last"};
        QTest::newRow("xlsx order, runs, phonetics, inline, formulas, 1904 dates")
            << "crafted.xlsx" << QStringList{"첫시트", "Second"} << 0 << 4
            << 6 << QStringList{"1,1=plain", "1,2=",           "1,3=굵은 글씨",  "1,4=漢字",
                                "2,1=",      "3,2=인라인",     "3,3=TRUE",       "3,4=plainx",
                                "3,5=3",     "4,1=1904-01-02", "4,2=2024-06",    "4,3=0.5",
                                "4,4=1000",  "4,5=-2.25",      "4,6=12345678901"};
        QTest::newRow("xlsx cells without references")
            << "crafted.xlsx" << QStringList{"첫시트", "Second"} << 1 << 1 << 2
            << QStringList{"1,1=7", "1,2=FALSE"};
    }
    void cellTexts() {
        QFETCH(QString, file);
        QFETCH(QStringList, sheets);
        QFETCH(int, sheet);
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(QStringList, cells);

        WorkbookReader r;
        QVERIFY2(r.open(fixture(file)), qPrintable(r.errorDetail()));
        QCOMPARE(r.sheetNames(), sheets);
        SheetData s;
        QVERIFY2(r.loadSheet(sheet, s), qPrintable(r.errorDetail()));
        QCOMPARE(s.name, sheets.at(sheet));
        QCOMPARE(int(s.rows.size()), rows);
        QCOMPARE(s.cols, cols);
        for (const QString& c : cells) {
            const int eq = int(c.indexOf(QLatin1Char('=')));
            const QStringList rc = c.left(eq).split(QLatin1Char(','));
            const QString expected = c.mid(eq + 1);
            const QString got = s.rows.at(rc[0].toInt() - 1).at(rc[1].toInt() - 1);
            // A custom date format shows the date; only its month is checked.
            if (expected == QLatin1String("2024-06"))
                QCOMPARE(got, QStringLiteral("2024-06-19"));
            else
                QCOMPARE(got, expected);
        }
        const QString log = QString::fromUtf8(FileBytes(m_env->path("ILOGFILE.TXT")));
        QVERIFY(log.contains(QStringLiteral("열기: ") + fixture(file)));
        QVERIFY(log.contains(QStringLiteral("불러오기: ")));
    }

    void helpers() {
        QCOMPARE(SheetNumberText(3.0), QStringLiteral("3"));
        QCOMPARE(SheetNumberText(-0.0), QStringLiteral("0"));
        QCOMPARE(SheetNumberText(1e20), QStringLiteral("1e+20"));
        QCOMPARE(SheetSerialDate(59, false), QStringLiteral("1900-02-28"));
        QCOMPARE(SheetSerialDate(60, false), QString()); // 1900-02-29 never was
        QCOMPARE(SheetSerialDate(61, false), QStringLiteral("1900-03-01"));
        QCOMPARE(SheetSerialDate(0, true), QStringLiteral("1904-01-01"));
        QCOMPARE(SheetSerialDate(-1, false), QString());
        QVERIFY(SheetFormatIsDate(14, {}));
        QVERIFY(!SheetFormatIsDate(20, {})); // a time of day
        QVERIFY(SheetFormatIsDate(164, QStringLiteral("[$-412]yyyy\"년\"")));
        QVERIFY(!SheetFormatIsDate(165, QStringLiteral("#,##0\"day\"")));
        QVERIFY(!SheetFormatIsDate(166, QStringLiteral("[Red]0.00")));
        QCOMPARE(WorkbookReader::columnName(0), QStringLiteral("A"));
        QCOMPARE(WorkbookReader::columnName(26), QStringLiteral("AA"));
        QCOMPARE(WorkbookReader::columnName(16383), QStringLiteral("XFD"));
        // A folder named like a worksheet cannot be opened.
        QDir(m_env->dataDir()).mkdir(QStringLiteral("folder.xls"));
        QCOMPARE(readEverything(m_env->path("folder.xls")), SheetError::CannotOpen);
    }

    void refusals_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // empty: the fixture `name` itself
        QTest::addColumn<SheetError>("error");
        QTest::addColumn<QString>("logged");

        const QByteArray xlsx = FileBytes(fixture("members.xlsx"));
        QTest::newRow("html table named .xls")
            << "html_table.xls" << QByteArray() << SheetError::NotWorksheet << "지원되지 않는";
        QTest::newRow("xls without sheets")
            << "nosheet.xls" << QByteArray() << SheetError::BadSheetList << "시트가 없습니다";
        QTest::newRow("xls that crashes the worksheet library")
            << "damaged.xls" << QByteArray() << SheetError::BadSheetList << "비정상 종료";
        QTest::newRow("password-protected xls")
            << "password.xls" << QByteArray() << SheetError::Protected << "암호가 걸린 파일";
        QTest::newRow("xlsx missing a sheet part")
            << "missing_part.xlsx" << QByteArray() << SheetError::LoadFailed << "시트 파일이 없습니다";
        QTest::newRow("xlsx value at XFD1048576")
            << "far_cell.xlsx" << QByteArray() << SheetError::TooLarge
            << "시트가 너무 큽니다. (최대 200,000행, 256열)";
        QTest::newRow("truncated xlsx")
            << "cut.xlsx" << xlsx.left(xlsx.size() / 2) << SheetError::BadSheetList << "libzip";
        QTest::newRow("csv unclosed quote") << "q.csv" << QByteArray("a,\"b\nc,d\n")
                                            << SheetError::LoadFailed << "닫히지 않은 따옴표 (1행)";
        QTest::newRow("csv NUL bytes")
            << "n.csv" << QByteArray("a,b\0c\n", 6) << SheetError::LoadFailed << "NUL";
        QTest::newRow("csv 257 columns")
            << "w.csv" << QByteArray(256, ',') << SheetError::TooLarge << "256열";
        QTest::newRow("csv within the row and column limits but too many cells")
            << "cells.csv"
            << QByteArray("x,").repeated(64).append("x\n").append(QByteArray("a\n").repeated(199999))
            << SheetError::TooLarge << "시트가 너무 큽니다.";
        QTest::newRow("text not named csv")
            << "plain.txt" << QByteArray("a,b\n") << SheetError::NotWorksheet << "";
        QTest::newRow("empty xls") << "empty.xls" << QByteArray() << SheetError::NotWorksheet << "";
    }
    void refusals() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(SheetError, error);
        QFETCH(QString, logged);
        QString path = fixture(name);
        if (!QFile::exists(path)) {
            path = m_env->path(name);
            WriteFileBytes(path, bytes);
        }
        QString detail;
        QCOMPARE(readEverything(path, &detail), error);
        QVERIFY2(detail.contains(logged), qPrintable(detail));
        QVERIFY(QString::fromUtf8(FileBytes(m_env->path("ILOGFILE.TXT")))
                    .contains(QStringLiteral("실패: ") + path));
    }

    void hugeCsvStopsAtTheRowLimit() {
        // About 50 MB: 210,000 rows of 250 bytes. Reading stops at the limit.
        const QString path = m_env->path("huge.csv");
        WriteFileBytes(path, QByteArray("홍길동,").append(QByteArray(239, 'x')).append('\n').repeated(210000));
        WorkbookReader r;
        QVERIFY(r.open(path));
        SheetData s;
        int lastProgress = 0;
        QVERIFY(!r.loadSheet(0, s, [&](int n) { lastProgress = n; }));
        QCOMPARE(r.error(), SheetError::TooLarge);
        QVERIFY(s.rows.isEmpty());
        QVERIFY(lastProgress > 150000 && lastProgress <= SheetMaxRows);
    }

    // The helper's answer is only taken whole: one that never ends is stopped at the time
    // limit, and one that ends with a cut or foreign answer refuses the file.
    void helperThatHangsOrTalksNonsense() {
        const QString helper = SheetHelperProgram();
        QVERIFY(QFile::remove(helper));
        const QString xls = fixture("members.xls");
        struct Case {
            const char* script;
            const char* why;
        } cases[] = {{"#!/bin/sh\nexec sleep 30\n", "끝나지 않았습니다"},
                     {"#!/bin/sh\nprintf 'MDX1 and then nothing'\n", "응답을 알 수 없습니다"}};
        for (const Case& c : cases) {
            WriteFileBytes(helper, c.script);
            QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            SheetWorkbook wb;
            QString why;
            QElapsedTimer t;
            t.start();
            QVERIFY(!RunSheetHelper(xls, wb, why, 1500));
            QVERIFY2(why.contains(QString::fromUtf8(c.why)), qPrintable(why));
            QVERIFY(t.elapsed() < 10000);
        }
    }

    void fuzz_data() {
        QTest::addColumn<QString>("file");
        for (const char* f :
             {"members.xls", "members.xlsx", "crafted.xlsx", "members_cp949.csv", "quoted.csv"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }
    void fuzz() {
        // Cut at 64 lengths and 500 copies with a few flipped bytes each: every one ends in a
        // sheet or an error, never a crash or a hang.
        QFETCH(QString, file);
        const QByteArray good = FileBytes(fixture(file));
        QVERIFY(!good.isEmpty());
        const QString path = m_env->path(QStringLiteral("fuzz.") + QFileInfo(file).suffix());
        QRandomGenerator rng(20261207);
        int refused = 0;
        for (int i = 0; i < 64; ++i) {
            WriteFileBytes(path, good.left(qsizetype(good.size()) * i / 64));
            refused += readEverything(path) != SheetError::None;
        }
        for (int i = 0; i < 500; ++i) {
            QByteArray b = good;
            for (int k = 0; k < 4; ++k)
                b[rng.bounded(int(b.size()))] = char(rng.bounded(256));
            WriteFileBytes(path, b);
            refused += readEverything(path) != SheetError::None;
        }
        QVERIFY(refused > 0);
    }
};

QTEST_MAIN(tst_sheetreader)
#include "tst_sheetreader.moc"
