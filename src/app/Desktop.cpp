#include "app/Desktop.h"

#include "core/AppState.h"
#include "core/BuildInfo.h"
#include "ui/FloatNotice.h"
#include "ui/MenuTextStyle.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <cstdio>

// Resources of a static library must be registered by hand (outside any namespace).
static void initAppIconResources() {
    Q_INIT_RESOURCE(appicon);
}

namespace {

QElapsedTimer& sinceStart() {
    static QElapsedTimer t;
    return t;
}

bool loadTranslation(const QString& name) {
    auto* t = new QTranslator(QCoreApplication::instance());
    if (t->load(QLocale(QLocale::Korean, QLocale::SouthKorea), name, QStringLiteral("_"),
                QtTranslationsDir()) &&
        QCoreApplication::installTranslator(t))
        return true;
    delete t;
    return false;
}

// Reports the start once the login window has been painted, then ends the program.
class ProbeFilter : public QObject {
public:
    ProbeFilter(QWidget* w, bool qtKorean) : QObject(w), m_qtKorean(qtKorean) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && !m_done) {
            m_done = true;
            const qint64 ms = sinceStart().elapsed();
            QTimer::singleShot(0, this, [this, ms] { report(ms); });
        }
        return false;
    }

private:
    void report(qint64 ms) {
        const bool helpers = QFileInfo::exists(ProgramPath(FloatNoticeProgram()));
        std::printf("ready ms=%lld helpers=%s qt_ko=%s version=%s\n", static_cast<long long>(ms),
                    helpers ? "ok" : "missing", m_qtKorean ? "ok" : "missing", kVersionText);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }
    bool m_qtKorean;
    bool m_done = false;
};

} // namespace

QString AboutText() {
    return QStringLiteral("MemberDesk (멤버데스크 회원관리)\n") + QStringLiteral("버전 ") +
           QString::fromLatin1(kVersionText) + QStringLiteral("\n\n") +
           QStringLiteral("회원 및 회원거래 관리, 그룹별 회비 수납, 입출금 장부\n\n") +
           QStringLiteral("데이터 폴더: ") + App().appDir + u'\n' +
           QStringLiteral("데이터베이스: ") + App().dbFile;
}

QIcon AppIcon() {
    initAppIconResources();
    QIcon icon;
    for (int s : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/memberdesk/appicon/%1.png").arg(s), QSize(s, s));
    return icon;
}

QString QtTranslationsDir() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool SetUpDesktop() {
    sinceStart().start();
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersionText));
    QGuiApplication::setDesktopFileName(QStringLiteral("memberdesk"));
    QApplication::setWindowIcon(AppIcon());
    QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
    if (!qobject_cast<MenuTextStyle*>(QApplication::style()))
        QApplication::setStyle(new MenuTextStyle);
    if (QFontDatabase::families().contains(QStringLiteral("NanumBarunGothic"))) {
        QFont f(QStringLiteral("NanumBarunGothic"));
        f.setPointSize(QApplication::font().pointSize());
        QApplication::setFont(f);
    }
    const bool base = loadTranslation(QStringLiteral("qtbase"));
    loadTranslation(QStringLiteral("qtserialport")); // optional: only the port errors
    return base;
}

bool StartupProbeRequested() {
    return !qEnvironmentVariableIsEmpty("MEMBERDESK_STARTUP_PROBE");
}

void WatchStartupProbe(QWidget* login, bool qtKorean) {
    login->installEventFilter(new ProbeFilter(login, qtKorean));
    // A window that never paints must not leave the check waiting for ever.
    QTimer::singleShot(30000, login, [] {
        std::printf("timeout\n");
        std::fflush(stdout);
        QCoreApplication::exit(3);
    });
}
