#include "EnvTest.h"

#include "ui/FormIni.h"
#include "ui/Grid.h"
#include "ui/IniFile.h"

#include <QFile>
#include <QWidget>
#include <QtTest>

namespace {

// A window with one three-column grid, as a record window is built.
struct SampleWindow {
    QWidget window;
    Grid* grid = nullptr;
    SampleWindow() {
        window.setObjectName(QStringLiteral("frmSample"));
        window.move(30, 40);
        window.resize(400, 300);
        grid = new Grid(&window);
        grid->setObjectName(QStringLiteral("spList"));
        grid->setMaxCols(3);
        grid->setMaxRows(2);
        grid->setColWidth(1, 60);
        grid->setColWidth(2, 70);
        grid->setColWidth(3, 80);
    }
};

} // namespace

class TestFormIni : public EnvTest {
    Q_OBJECT
public:
    TestFormIni() : EnvTest(false) {}

private slots:

    void iniFileKeepsOrderAndReadsDamagedText() {
        IniFile ini;
        ini.parse(QStringLiteral("junk before any section\n[A]\n2=x\n1=y\n[Cut\nk=lost\n"
                                 "[B]\nnoequals\n=novalue\nk = v \n[a]\n3=z\n"));
        QCOMPARE(ini.keys(QStringLiteral("A")), QStringList({"2", "1", "3"}));
        QCOMPARE(ini.value(QStringLiteral("b"), QStringLiteral("K")), QStringLiteral("v"));
        QVERIFY(!ini.contains(QStringLiteral("Cut"), QStringLiteral("k")));
        QCOMPARE(ini.toText(), QStringLiteral("[A]\n2=x\n1=y\n3=z\n\n[B]\nk=v\n"));
    }

    void roundTripWritesReadableFile() {
        {
            SampleWindow s;
            s.window.move(120, 90);
            s.window.resize(640, 480);
            s.grid->setColWidth(2, 155);
            s.grid->setFontSize(14);
            s.grid->setRowHeight(33);
            SaveFormIni(&s.window);
            SaveSpreadIni_Gn(QStringLiteral("frmSample"), s.grid);
        }
        const QString path = m_env->path(QStringLiteral("FormIni/frmSample.ini"));
        QCOMPARE(FormIniPath(QStringLiteral("frmSample")), path);
        QCOMPARE(QString::fromUtf8(FileBytes(path)),
                 QStringLiteral("[FormPosition]\nWindowState=0\nLeft=120\nTop=90\nWidth=640\n"
                                "Height=480\n\n[spList_ColsWidth]\n1=60\n2=155\n3=80\n\n"
                                "[spList_General]\nFontSize=14\nRowHeight=33\n"));
        SampleWindow again;
        QVERIFY(LoadFormIni(&again.window, false));
        QCOMPARE(again.window.pos(), QPoint(120, 90));
        QCOMPARE(again.window.size(), QSize(640, 480));
        QCOMPARE(again.grid->colWidth(2), 155);
        QCOMPARE(again.grid->fontSize(), 14);
        QCOMPARE(again.grid->rowHeight(), 33);
        // A window of fixed size takes only the place.
        SampleWindow fixed;
        QVERIFY(LoadFormIni(&fixed.window, true));
        QCOMPARE(fixed.window.pos(), QPoint(120, 90));
        QCOMPARE(fixed.window.size(), QSize(400, 300));
    }

    // Damaged or foreign files: the window keeps its designed size and column widths.
    void badFilesKeepDesignLayout_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QPoint>("pos");
        const QPoint design(30, 40);
        QTest::newRow("missing") << QByteArray() << design;
        QTest::newRow("empty") << QByteArray("") << design;
        QTest::newRow("truncated") << QByteArray("[FormPosition]\nWidth=\nLef") << design;
        QTest::newRow("non-numeric")
            << QByteArray("[FormPosition]\nLeft=abc\nTop=1x\nWidth=wide\nHeight=\n"
                          "[spList_ColsWidth]\n2=broad\n[spList_General]\nFontSize=big\n")
            << design;
        QTest::newRow("negative left keeps platform place")
            << QByteArray("[FormPosition]\nLeft=-3200\nTop=10\nWidth=-5\nHeight=0\n") << QPoint(30, 10);
        QTest::newRow("garbage bytes") << QByteArray("\x00\xff\xfe[\x01=\x02\n=\n[[]]", 14) << design;
        QTest::newRow("cut header") << QByteArray("[spList_ColsWidth\n2=999\n") << design;
    }
    void badFilesKeepDesignLayout() {
        QFETCH(QByteArray, content);
        QFETCH(QPoint, pos);
        if (QTest::currentDataTag() != QLatin1String("missing"))
            WriteFileBytes(FormIniPath(QStringLiteral("frmSample")), content);
        SampleWindow s;
        QVERIFY(!LoadFormIni(&s.window, false));
        QCOMPARE(s.window.pos(), pos);
        QCOMPARE(s.window.size(), QSize(400, 300));
        QCOMPARE(s.grid->colWidth(2), 70);
        QCOMPARE(s.grid->fontSize(), 0);
        QVERIFY(QDir(m_env->path(QStringLiteral("FormIni"))).exists());
    }

    // A maximised window keeps only its state, a minimised one nothing.
    void whatClosingSaves() {
        SampleWindow s;
        s.window.setWindowState(Qt::WindowMaximized);
        SaveFormIni(&s.window);
        const IniFile ini(FormIniPath(QStringLiteral("frmSample")));
        QCOMPARE(ini.value(QStringLiteral("FormPosition"), QStringLiteral("WindowState")),
                 QStringLiteral("2"));
        QVERIFY(!ini.contains(QStringLiteral("FormPosition"), QStringLiteral("Left")));

        SampleWindow minimised;
        minimised.window.setObjectName(QStringLiteral("frmOther"));
        minimised.window.setWindowState(Qt::WindowMinimized);
        SaveFormIni(&minimised.window);
        QVERIFY(!QFile::exists(FormIniPath(QStringLiteral("frmOther"))));
        // A deleted layout file is not written again until the window is reopened.
        s.window.setWindowState(Qt::WindowNoState);
        SaveFormIni(&s.window);
        QVERIFY(QFile::exists(FormIniPath(QStringLiteral("frmSample"))));
        QVERIFY(DelFormIni(QStringLiteral("frmSample")));
        QVERIFY(!QFile::exists(FormIniPath(QStringLiteral("frmSample"))));
        SaveFormIni(&s.window); // closing the reset window
        QVERIFY(!QFile::exists(FormIniPath(QStringLiteral("frmSample"))));
        SampleWindow reopened;
        QVERIFY(!LoadFormIni(&reopened.window, false));
        SaveFormIni(&reopened.window);
        QVERIFY(QFile::exists(FormIniPath(QStringLiteral("frmSample"))));
    }

    void reportColumnsHideOnlyUnprinted() {
        SampleWindow s;
        s.grid->setColHidden(3, true); // the code column
        WriteFileBytes(FormIniPath(QStringLiteral("frmSample")), "[spList_RPTCOL]\n1=0\n2=x\n3=0\n");
        const QMap<int, bool> printed = ReadSpreadRPTCol(QStringLiteral("frmSample"), s.grid);
        QCOMPARE(printed.value(1), false);
        QCOMPARE(printed.value(2), true); // anything but "0" prints
        const QList<int> hidden = SetSpreadRPTCol(QStringLiteral("frmSample"), s.grid);
        QCOMPARE(hidden, QList<int>({1}));
        QVERIFY(s.grid->colHidden(1));
        RestoreSpreadRPTCol(s.grid, hidden);
        QVERIFY(!s.grid->colHidden(1));
        QVERIFY(s.grid->colHidden(3)); // hidden by the window, stays hidden
    }
};

QTEST_MAIN(TestFormIni)
#include "tst_formini.moc"
