#include "TestEnv.h"

#include "app/Desktop.h"
#include "app/frmMain.h"
#include "core/AppState.h"
#include "core/BuildInfo.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QIcon>
#include <QInputDialog>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEngine>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// A paint device that keeps the texts drawn on it, as they were drawn (elided or not).
class TextRecorder : public QPaintDevice {
    struct Engine : QPaintEngine {
        QStringList texts;
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override { texts << item.text(); }
        Type type() const override { return User; }
    };
    mutable Engine m_engine;

public:
    QStringList texts() const { return m_engine.texts; }
    QPaintEngine* paintEngine() const override { return &m_engine; }
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth: case PdmHeight: return 1000;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
        case PdmDepth: return 32;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 1;
        }
    }
};
} // namespace

// The desktop side of the program: Korean Qt dialogs on any LANG, the icon, the version in
// the about text, helper programs found both in the build folder and when installed.
class tst_desktop : public QObject {
    Q_OBJECT

    static QString plain(QString text) { return text.remove(QRegularExpression("\\(&.\\)|&")); }

private slots:
    void initTestCase() {
        // What an English desktop passes on; the program must not follow it.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY2(SetUpDesktop(), qPrintable("no qtbase_ko in " + QtTranslationsDir()));
    }

    void qtDialogsAreKorean() {
        QCOMPARE(QLocale().language(), QLocale::Korean);
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                             QDialogButtonBox::Yes | QDialogButtonBox::No);
        QCOMPARE(plain(box.button(QDialogButtonBox::Ok)->text()), QString("확인"));
        QCOMPARE(plain(box.button(QDialogButtonBox::Cancel)->text()), QString("취소"));
        QCOMPARE(plain(box.button(QDialogButtonBox::Yes)->text()), QString("예"));
        QCOMPARE(plain(box.button(QDialogButtonBox::No)->text()), QString("아니요"));
        // The grid menu's number questions are input dialogs.
        QInputDialog input;
        input.setInputMode(QInputDialog::IntInput);
        input.show();
        QStringList texts;
        for (auto* b : input.findChildren<QPushButton*>())
            texts << plain(b->text());
        texts.sort();
        QCOMPARE(texts, (QStringList{"취소", "확인"}));
    }

    void iconInEverySize() {
        const QList<QSize> sizes = AppIcon().availableSizes();
        for (int s : {16, 22, 24, 32, 48, 64, 128, 256})
            QVERIFY2(sizes.contains(QSize(s, s)), qPrintable(QString::number(s)));
        QCOMPARE(QApplication::windowIcon().availableSizes(), sizes);
    }

    void aboutShowsTheVersion() {
        TestEnv env;
        frmMain f;
        QCOMPARE(f.windowIcon().availableSizes(), AppIcon().availableSizes());
        QAction* about = f.menuAction("mnuHelpDesk_About");
        QVERIFY(about && about->isEnabled());
        about->trigger();
        QCOMPARE(env.prompt().lastTitle(), QString("프로그램 정보"));
        QVERIFY(env.prompt().lastText().contains(QString("버전 ") + kVersionText));
        QVERIFY(env.prompt().lastText().contains(App().dbFile));
        QVERIFY(f.windowTitle().endsWith(QString("Ver.%1.%2.%3")
                                             .arg(kVersionMajor)
                                             .arg(kVersionMinor, 2, 10, QChar('0'))
                                             .arg(kVersionRevision, 3, 10, QChar('0'))));
    }

    // Every caption of the main menus is drawn whole, never elided to "사용자 등 ··· (U)".
    void menuCaptionsAreNotCut() {
        TestEnv env;
        frmMain f;
        for (QAction* top : f.menuBar()->actions()) {
            QMenu* menu = top->menu();
            if (!menu) continue;
            menu->ensurePolished();
            menu->resize(menu->sizeHint());
            TextRecorder shown;
            menu->render(&shown);
            QVERIFY(!shown.texts().isEmpty());
            for (const QString& t : shown.texts())
                QVERIFY2(!t.contains(QChar(0x2026)), qPrintable(menu->objectName() + ": " + t));
        }
    }

    // Build folder: helpers beside the executable. Installed: bin/ and libexec/memberdesk/.
    void helperFound_data() {
        QTest::addColumn<QString>("helperAt");
        QTest::addColumn<QString>("expected");
        QTest::newRow("beside the executable") << QStringLiteral("설치 폴더/bin") << QStringLiteral("설치 폴더/bin");
        QTest::newRow("installed helper folder")
            << QStringLiteral("설치 폴더/libexec/memberdesk") << QStringLiteral("설치 폴더/libexec/memberdesk");
        QTest::newRow("missing: the path beside is reported") << QString() << QStringLiteral("설치 폴더/bin");
    }
    void helperFound() {
        QFETCH(QString, helperAt);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const QString bin = root.filePath("설치 폴더/bin");
        QVERIFY(QDir().mkpath(bin));
        if (!helperAt.isEmpty()) WriteFileBytes(root.filePath(helperAt + "/memberdesk-floatmsg"), {});
        ResetAppState(root.filePath("data"), bin);
        QCOMPARE(ProgramPath("memberdesk-floatmsg"), root.filePath(expected + "/memberdesk-floatmsg"));
    }
};

QTEST_MAIN(tst_desktop)
#include "tst_desktop.moc"
