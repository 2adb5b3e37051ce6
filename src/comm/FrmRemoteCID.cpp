#include "comm/FrmRemoteCID.h"

#include "comm/CallerRules.h"
#include "core/AppState.h"
#include "core/Settings.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QUdpSocket>

FrmRemoteCID::FrmRemoteCID(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmRemoteCID"));
    setWindowTitle(QStringLiteral("원격CID"));
    auto* lay = new QHBoxLayout(this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    auto* send = new QPushButton(QStringLiteral("Action!"), this);
    send->setObjectName(QStringLiteral("Command2"));
    lay->addWidget(m_text);
    lay->addWidget(send);
    connect(send, &QPushButton::clicked, this, [this] { SendSock(m_text->text()); });
}

FrmRemoteCID::~FrmRemoteCID() = default;

QString FrmRemoteCID::GetLocalIP()
{
    const QString configured = Settings::getIn(App().appTitle, QStringLiteral("Config"), QStringLiteral("RemoteCIDMyIP"), QString()).trimmed();
    if (!configured.isEmpty() && QHostAddress(configured).protocol() == QAbstractSocket::IPv4Protocol)
        return configured;
    for (const QNetworkInterface& ni : QNetworkInterface::allInterfaces()) {
        const auto f = ni.flags();
        if (!(f & QNetworkInterface::IsUp) || (f & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& e : ni.addressEntries())
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol)
                return e.ip().toString();
    }
    return {};
}

QHostAddress FrmRemoteCID::BroadcastFor(const QHostAddress& own)
{
    const quint32 ip = own.toIPv4Address();
    for (const QNetworkInterface& ni : QNetworkInterface::allInterfaces())
        for (const QNetworkAddressEntry& e : ni.addressEntries())
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol && e.prefixLength() > 0) {
                const quint32 mask = e.netmask().toIPv4Address();
                if ((e.ip().toIPv4Address() & mask) == (ip & mask) && (ip & ~mask) != 0)
                    return QHostAddress(ip | ~mask);
            }
    return QHostAddress(ip | 0xFFu);
}

void FrmRemoteCID::SockInit()
{
    m_server = new QUdpSocket(this);
    if (!m_server->bind(QHostAddress::AnyIPv4, ReceivePort,
                        QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        CidLog(QStringLiteral("R0:"), m_server->errorString());
        delete m_server;
        m_server = nullptr;
    } else {
        connect(m_server, &QUdpSocket::readyRead, this, &FrmRemoteCID::readPending);
    }
    m_own = QHostAddress(GetLocalIP());
    m_broadcast = BroadcastFor(m_own);
    m_client = new QUdpSocket(this);
    // Bound to the own address so that receivers can tell our datagrams by their source.
    if (!m_client->bind(m_own.isNull() ? QHostAddress(QHostAddress::AnyIPv4) : m_own, SendPort,
                        QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint))
        CidLog(QStringLiteral("R1:"), m_client->errorString());
}

bool FrmRemoteCID::receiving() const
{
    return m_server != nullptr;
}

void FrmRemoteCID::SendSock(const QString& number)
{
    if (!m_client)
        SockInit();
    m_client->writeDatagram(number.toLatin1(), m_broadcast, ReceivePort);
}

void FrmRemoteCID::readPending()
{
    // Every datagram is read at once (the socket signals only again for new ones); the
    // calls among them are handed on a few per turn of the event loop, so the window
    // keeps answering. More than a telephone line can carry in a second is a flood (a
    // broken or hostile sender): it is dropped, with one trace line.
    if (!m_clock.isValid())
        m_clock.start();
    while (m_server && m_server->hasPendingDatagrams()) {
        const QNetworkDatagram d = m_server->receiveDatagram(4096);
        QHostAddress from = d.senderAddress();
        if (from.protocol() == QAbstractSocket::IPv6Protocol) {
            bool ok = false;
            const quint32 v4 = from.toIPv4Address(&ok);
            if (ok)
                from = QHostAddress(v4);
        }
        if (from == m_own)
            continue; // our own broadcast coming back
        const qint64 now = m_clock.elapsed();
        if (m_inWindow == 0 || now - m_windowStart >= 1000) {
            // A flood is traced once: again only after a second without drops.
            if (m_inWindow <= CallsPerSecond)
                m_flooding = false;
            m_windowStart = now;
            m_inWindow = 0;
        }
        if (++m_inWindow > CallsPerSecond) {
            if (!m_flooding) {
                m_flooding = true;
                CidLog(QStringLiteral("R2:"), QStringLiteral("more than %1 datagrams a second from %2: dropped")
                                                  .arg(CallsPerSecond).arg(from.toString()));
            }
            continue;
        }
        m_waiting.enqueue(QString::fromLatin1(d.data()));
    }
    if (!m_waiting.isEmpty() && !m_more) {
        // Handed on from the event loop, not from inside the socket's signal: a message
        // box opened for a call must not keep the socket from signalling new datagrams.
        m_more = true;
        QTimer::singleShot(0, this, &FrmRemoteCID::handOn);
    }
}

void FrmRemoteCID::handOn()
{
    m_more = false;
    const QPointer<FrmRemoteCID> alive(this);
    for (int i = 0; i < CallsPerTurn && !m_waiting.isEmpty(); ++i) {
        emit received(m_waiting.dequeue());
        if (!alive)
            return;
    }
    readPending(); // whatever came meanwhile, and the next turn for the rest
}
