#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QQueue>
#include <QWidget>

class QLineEdit;
class QUdpSocket;

// The LAN relay ("원격CID"), a window that stays hidden during normal work. Receives caller
// numbers broadcast to UDP port 16580 by other stations and sends this station's calls
// from port 16581 to the broadcast address of its network. Datagrams coming back from the
// own address are ignored. A text box and "Action!" send a typed number for testing.
class FrmRemoteCID : public QWidget {
    Q_OBJECT
public:
    static constexpr quint16 ReceivePort = 16580;
    static constexpr quint16 SendPort = 16581;
    // Calls handed on per turn of the event loop, and calls taken per second (the rest of
    // a second's datagrams are dropped as a flood).
    static constexpr int CallsPerTurn = 4;
    static constexpr int CallsPerSecond = 20;

    explicit FrmRemoteCID(QWidget* parent = nullptr);
    ~FrmRemoteCID() override;

    // Binds both sockets and works out the own and broadcast address. A receive port held
    // by another program leaves reception off; sending still works.
    void SockInit();
    void SendSock(const QString& number);

    QString ownAddress() const { return m_own.toString(); }
    QString broadcastAddress() const { return m_broadcast.toString(); }
    bool receiving() const;

    // Own address: setting "RemoteCIDMyIP" (section "Config") when set, otherwise the first
    // IPv4 address of an up, non-loopback interface.
    static QString GetLocalIP();
    // The broadcast address of the interface network holding `own` (its /24 when unknown).
    static QHostAddress BroadcastFor(const QHostAddress& own);

signals:
    void received(const QString& text);

private:
    void readPending();
    void handOn();

    QUdpSocket* m_server = nullptr;
    QUdpSocket* m_client = nullptr;
    QHostAddress m_own;
    QHostAddress m_broadcast;
    QLineEdit* m_text = nullptr;
    QElapsedTimer m_clock;
    qint64 m_windowStart = 0; // start of the current second (ms on m_clock)
    int m_inWindow = 0;       // calls received in it
    bool m_flooding = false; // drops traced, no calm second since
    QQueue<QString> m_waiting; // received calls not yet handed on
    bool m_more = false;       // handOn is due
};
