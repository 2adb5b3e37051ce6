// The caller pop-up: "number;name;memo" (one argument) shown as plain text at the bottom
// right of the screen, without taking the focus; a click closes it. A pop-up that is
// already up on the same display takes the text of a newer call, so a burst of calls
// leaves one pop-up.
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace {

// One pop-up per user and display: a second session of the same user on another display
// shows its own calls on its own screen.
QString serverName()
{
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    for (QChar& c : display)
        if (!c.isLetterOrNumber())
            c = u'_';
    return QStringLiteral("memberdesk-cidview-") + qEnvironmentVariable("USER", QStringLiteral("user")) + u'-' + display;
}

class Popup : public QWidget {
public:
    Popup()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                              | Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setObjectName(QStringLiteral("CIDView"));
        setWindowTitle(QStringLiteral("발신번호 알림")); // what a task list shows
        setStyleSheet(QStringLiteral("QWidget#CIDView { background: #fffbe6; border: 1px solid #a08000; }"));
        auto* lay = new QVBoxLayout(this);
        for (int i = 0; i < 3; ++i) {
            m_labels[i] = new QLabel(this);
            m_labels[i]->setTextFormat(Qt::PlainText);
            m_labels[i]->setWordWrap(i == 2);
            lay->addWidget(m_labels[i]);
        }
        QFont big = font();
        big.setPointSize(big.pointSize() + 6);
        big.setBold(true);
        m_labels[0]->setFont(big);
        m_labels[1]->setFont(big);
        setFixedWidth(320);
    }

    void showText(const QString& text)
    {
        // number;name;memo - the memo keeps any further ';'.
        const qsizetype a = text.indexOf(u';');
        const qsizetype b = a < 0 ? -1 : text.indexOf(u';', a + 1);
        const QString number = a < 0 ? text : text.left(a);
        const QString name = a < 0 ? QString() : (b < 0 ? text.mid(a + 1) : text.mid(a + 1, b - a - 1));
        const QString memo = b < 0 ? QString() : text.mid(b + 1);
        m_labels[0]->setText(number);
        m_labels[1]->setText(name);
        m_labels[2]->setText(memo);
        m_labels[2]->setVisible(!memo.isEmpty());
        adjustSize();
        if (const QScreen* s = QGuiApplication::primaryScreen()) {
            const QRect r = s->availableGeometry();
            move(r.right() - width() - 8, r.bottom() - height() - 8);
        }
        show();
        raise();
        if (qEnvironmentVariableIsSet("MEMBERDESK_CIDVIEW_PRINT")) {
            std::printf("%s\n%s\n%s\n", qPrintable(number), qPrintable(name), qPrintable(memo));
            std::fflush(stdout);
        }
    }

protected:
    void mousePressEvent(QMouseEvent*) override { qApp->quit(); }

private:
    QLabel* m_labels[3] = {};
};

// Hands the text to a pop-up that is already up; true when one took it.
bool passToRunning(const QString& text)
{
    QLocalSocket s;
    s.connectToServer(serverName());
    if (!s.waitForConnected(300))
        return false;
    s.write(text.toUtf8());
    s.waitForBytesWritten(300);
    s.disconnectFromServer();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString text = args.size() > 1 ? args.mid(1).join(u' ') : QString();
    if (passToRunning(text))
        return 0;
    QLocalServer server;
    if (!server.listen(serverName())) {
        if (passToRunning(text))
            return 0;
        QLocalServer::removeServer(serverName()); // left behind by a pop-up that crashed
        server.listen(serverName());
    }
    Popup popup;
    QObject::connect(&server, &QLocalServer::newConnection, &popup, [&] {
        while (QLocalSocket* c = server.nextPendingConnection()) {
            QObject::connect(c, &QLocalSocket::disconnected, c, [c, &popup] {
                popup.showText(QString::fromUtf8(c->readAll()));
                c->deleteLater();
            });
        }
    });
    popup.showText(text);
    const int exitMs = qEnvironmentVariableIntValue("MEMBERDESK_CIDVIEW_EXIT_MS");
    if (exitMs > 0)
        QTimer::singleShot(exitMs, &app, &QCoreApplication::quit);
    return app.exec();
}
