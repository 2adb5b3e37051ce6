// The transient notice program. It is started with the parameter text
// "<message>/T<duration>" (arguments joined by blanks, then trimmed), shows the message in
// a small frameless window without taking the focus, and ends by itself. An argument
// "--at=x,y" centres the notice on that screen point (the window it belongs to); without
// it the notice sits at the bottom right of the screen.
//
// The duration counts milliseconds. The program itself always passes 500, which is too
// short to read a sentence, so the notice stays at least 1500 ms; a missing or unreadable
// duration means 1500 ms as well.

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <optional>

namespace {

constexpr int MinimumShowMs = 1500;
constexpr int MaximumShowMs = 60000;

struct Notice {
    QString message;
    int durationMs = MinimumShowMs;
    std::optional<QPoint> at;
};

Notice parseParameter(QStringList args) {
    Notice n;
    static const QRegularExpression atArg(QStringLiteral("^--at=(-?\\d{1,6}),(-?\\d{1,6})$"));
    for (qsizetype i = args.size() - 1; i >= 0; --i) {
        const QRegularExpressionMatch m = atArg.match(args[i]);
        if (!m.hasMatch()) continue;
        n.at = QPoint(m.captured(1).toInt(), m.captured(2).toInt());
        args.removeAt(i);
    }
    QString text = args.join(u' ').trimmed();
    static const QRegularExpression tail(QStringLiteral("/T(\\d{1,9})\\s*$"));
    const QRegularExpressionMatch m = tail.match(text);
    if (m.hasMatch()) {
        n.durationMs = m.captured(1).toInt();
        text.truncate(m.capturedStart());
    }
    n.message = text.trimmed();
    n.durationMs = qBound(MinimumShowMs, n.durationMs, MaximumShowMs);
    return n;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const Notice notice = parseParameter(app.arguments().mid(1));
    if (notice.message.isEmpty()) return 0;

    QWidget w(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus);
    w.setAttribute(Qt::WA_ShowWithoutActivating);
    w.setObjectName(QStringLiteral("frmFloatMsg"));
    w.setWindowTitle(QStringLiteral("MemberDesk 알림"));
    w.setStyleSheet(
        QStringLiteral("#frmFloatMsg { background: #ffffe0; border: 1px solid #8c8c5a; }"
                       "QLabel { color: #202020; }"));
    auto* layout = new QHBoxLayout(&w);
    layout->setContentsMargins(18, 12, 18, 12);
    auto* label = new QLabel(notice.message, &w);
    label->setObjectName(QStringLiteral("lblMessage"));
    QFont f = label->font();
    if (QFontDatabase::families().contains(QStringLiteral("NanumBarunGothic")))
        f.setFamily(QStringLiteral("NanumBarunGothic"));
    f.setPointSize(11);
    f.setBold(true);
    label->setFont(f);
    layout->addWidget(label);
    w.adjustSize();

    const QScreen* screen = notice.at ? QGuiApplication::screenAt(*notice.at) : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        QPoint to(area.right() - w.width() - 24, area.bottom() - w.height() - 24);
        if (notice.at) {
            to = *notice.at - QPoint(w.width() / 2, w.height() / 2);
            to.setX(qBound(area.left(), to.x(), area.right() - w.width()));
            to.setY(qBound(area.top(), to.y(), area.bottom() - w.height()));
        }
        w.move(to);
    }
    w.show();
    QTimer::singleShot(notice.durationMs, &app, &QCoreApplication::quit);
    return app.exec();
}
