#include "EnvTest.h"

#include "core/Settings.h"
#include "reports/HeaderFooterCode.h"
#include "reports/HfPainter.h"
#include "reports/PrintSetup.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

namespace {
// The printed text of a code: parts in order, lines joined by "\n", page 3 of 7.
QString printed(const HfDocument& doc) {
    QStringList lines;
    for (const HfLine& l : doc.lines) {
        QString t;
        for (const auto& part : l.parts)
            for (const HfRun& r : part)
                t += r.kind == HfRun::Kind::PageNumber  ? "3"
                     : r.kind == HfRun::Kind::PageCount ? "7"
                                                        : r.text;
        lines << t;
    }
    return lines.join(u'\n');
}

void paintAll(const HfDocument& doc) {
    QImage img(200, 120, QImage::Format_RGB32);
    QPainter p(&img);
    PaintHf(p, doc, QRectF(5, 5, 190, 110), 3, 7);
}
} // namespace

class tst_printcode : public EnvTest {
    Q_OBJECT

public:
    tst_printcode() : EnvTest(false) {}

private slots:
    void init() {
        EnvTest::init();
        SetPrintAppTitle("MemberDesk");
    }

    void parse_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        const int none = int(HfError::None), name = int(HfError::FontName),
                  size = int(HfError::FontSize);
        QTest::newRow("codes and parts") << "/lL/cC/rR" << "LCR" << none;
        QTest::newRow("double slash") << "A//S" << "A/S" << none;
        QTest::newRow("slash before page count") << "///pc" << "/7" << none;
        QTest::newRow("page, count, page") << "/p/pc/p" << "373" << none;
        QTest::newRow("new line") << "a/nb" << "a\nb" << none;
        QTest::newRow("name without closing quote") << "/fn\"Arial" << "/fn\"Arial" << name;
        QTest::newRow("empty font name") << "/fn\"\"x" << "/fn\"\"x" << name;
        QTest::newRow("name without quotes") << "/fnArial" << "/fnArial" << name;
        QTest::newRow("size not a number") << "/fz\"abc\"x" << "/fz\"abc\"x" << size;
        QTest::newRow("size 0") << "/fz\"0\"" << "/fz\"0\"" << size;
        QTest::newRow("size 9999") << "/fz\"9999\"" << "/fz\"9999\"" << size;
        QTest::newRow("good size") << "/fz\"12\"x" << "x" << none;
        QTest::newRow("font never stored") << "/f9a" << "a" << none;
        QTest::newRow("font without number") << "/f" << "/f" << none;
        QTest::newRow("font store without number") << "/fsx" << "/fsx" << none;
        QTest::newRow("bold without flag") << "/fb2" << "/fb2" << none;
        QTest::newRow("unknown code") << "/x" << "/x" << none;
        QTest::newRow("trailing slash") << "ab/" << "ab/" << none;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "a" << QString(QChar(0xFFFD)) + "a" << none;
        QTest::newRow("emoji kept") << QString::fromUtf8("😀") << QString::fromUtf8("😀") << none;
    }
    void parse() {
        QFETCH(QString, code);
        QFETCH(QString, text);
        QFETCH(int, error);
        const HfDocument doc = ParseHfCode(code);
        QCOMPARE(printed(doc), text);
        QCOMPARE(int(doc.error), error);
        paintAll(doc);
    }

    void fontsAndParts() {
        const HfDocument doc =
            ParseHfCode("/fn\"Serif\"/fz\"20\"/fb1/fs3/fn\"Mono\"/fb0/lA/f3/rB/n/cC");
        QCOMPARE(doc.lines.size(), 2);
        const HfRun& a = doc.lines[0].parts[0].first();
        QCOMPARE(a.font.family, QString("Mono"));
        QCOMPARE(a.font.size, 20);
        const HfRun& b = doc.lines[0].parts[2].first();
        QCOMPARE(b.font.family, QString("Serif"));
        QVERIFY(b.font.bold);
        // Font and part carry on to the next line until changed.
        QCOMPARE(doc.lines[1].parts[1].first().font, b.font);
        QVERIFY(doc.fonts[3].has_value());
    }

    // Random code texts never crash the parser or the painter, and any text escaped
    // prints exactly as given.
    void fuzz() {
        QRandomGenerator rng(20261207);
        const QString alphabet =
            QString("/////fnzbiuksplcr\"0123456789a 한\n") + QChar(0xD800) + QChar(0xDC00);
        for (int i = 0; i < 3000; ++i) {
            QString s;
            const int len = rng.bounded(40);
            for (int k = 0; k < len; ++k)
                s += alphabet[rng.bounded(int(alphabet.size()))];
            const HfDocument doc = ParseHfCode(s);
            if (i % 10 == 0) paintAll(doc);
            QString plain = s;
            plain.remove(u'\n');
            const QString shown = printed(ParseHfCode(EscapeHfText(plain)));
            QCOMPARE(shown.size(), plain.size());
            for (qsizetype k = 0; k < plain.size(); ++k)
                if (!plain[k].isSurrogate()) QCOMPARE(shown[k], plain[k]);
        }
    }

    void editorCellsRoundTrip() {
        HfFont big;
        big.family = "Serif";
        big.size = 14;
        big.italic = true;
        QList<HfCellLine> lines(3);
        lines[0][0] = {"A/S센터 <Page Number>cm", big};
        lines[0][2] = {"<Page Number>/<Page Count>", {}};
        lines[1][1] = {"\"따옴표\" /n", {}};
        const QString code = HfCellsToCode(lines);
        HfError error = HfError::FontSize;
        const QList<HfCellLine> back = HfCodeToCells(code, &error);
        QCOMPARE(int(error), int(HfError::None));
        QCOMPARE(back.size(), 2); // the trailing empty line is dropped
        QCOMPARE(back[0][0], lines[0][0]);
        QCOMPARE(back[0][2].text, lines[0][2].text);
        QCOMPARE(back[1][1].text, lines[1][1].text);
        QCOMPARE(printed(ParseHfCode(code)).split(u'\n').first(), QString("A/S센터 3cm3/7"));
    }

    void standardHeaderAndFooter() {
        const PrintSetup s =
            ApplyPrintSetup(nullptr, "lst", "A/S센터", "1/2", "/n/p/f1", OrientLandscape, 0.3, 0.3,
                            0.5, 0.5, true, "첫 줄\r\n둘째/줄", 18);
        // What prints counts, not the code text: slashes in the titles stay text.
        QCOMPARE(s.marginTop, 720);
        QCOMPARE(s.marginLeft, 432);
        QCOMPARE(s.orientation, int(OrientLandscape));
        const HfDocument header = ParseHfCode(s.header);
        QCOMPARE(printed(header), QString("A/S센터\n\n1/2/n/p/f1\n"));
        QCOMPARE(header.lines[0].parts[1].first().font.size, 18);
        QCOMPARE(header.lines[0].parts[1].first().font.family, QString("굴림체"));
        QVERIFY(header.lines[0].parts[1].first().font.bold);
        const HfDocument footer = ParseHfCode(s.footer, header.fonts);
        QCOMPARE(printed(footer), QString("첫 줄\n둘째/줄\nPage: 3/7출력일:2026.12.06"));
        QCOMPARE(footer.lines[2].parts[0].first().font.size, 10);
        QCOMPARE(footer.lines[2].parts[1].first().font.size, 9);
    }

    // Stored margins, orientation, footer and zoom are driven through the print dialogs
    // (tst_printwindows); a stored header and a list that does not allow fitting are not.
    void storedSettingsReplaceDefaults() {
        const QString app = PrintAppName();
        QCOMPARE(app, QString("MemberDesk_PritSetUp"));
        Settings::set(app, "lst", "PrintHeader", "/cOwn");
        const PrintSetup s = ApplyPrintSetup(nullptr, "lst", "T", {}, {}, OrientLandscape, 0.3, 0.3,
                                             0.5, 0.5, true, "remark", 16);
        QCOMPARE(printed(ParseHfCode(s.header)), QString("Own"));
        QVERIFY(!s.options[OptFitToPage]);
    }

    void badStoredValuesFallBack_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("margin abc") << "PrintMarginTop" << "abc";
        QTest::newRow("margin -1") << "PrintMarginLeft" << "-1";
        QTest::newRow("margin wider than the page") << "PrintMarginRight" << "99";
        QTest::newRow("margin nan") << "PrintMarginBottom" << "nan";
        QTest::newRow("zoom 14") << "PrintZoomType" << "14";
        QTest::newRow("zoom x") << "PrintZoomType" << "x";
        QTest::newRow("orientation 3") << "PrintOrientation" << "3";
        QTest::newRow("option 7 as a value") << "CheckBox_3" << "7";
    }
    void badStoredValuesFallBack() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        PrintSettings d{.marginLeft = 0.2, .marginRight = 0.1, .marginTop = 0.7,
                        .marginBottom = 0.9, .orientation = OrientLandscape, .zoom = 4};
        d.options[OptBorder] = false;
        Settings::set(PrintAppName(), "lst", key, value);
        const PrintSettings s = ReadPrintSettings("lst", d);
        const auto shown = [](const PrintSettings& p) {
            return QList<double>{p.marginTop, p.marginLeft, p.marginRight, p.marginBottom,
                                 double(p.zoom), double(p.orientation), double(p.options[OptBorder])};
        };
        QCOMPARE(shown(s), QList<double>({0.7, 0.2, 0.1, 0.9, 4, double(OrientLandscape), 0}));
    }
};

QTEST_MAIN(tst_printcode)
#include "tst_printcode.moc"
