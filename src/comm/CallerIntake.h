#pragma once

#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QString>

#include "comm/FrmRemoteCID.h"
class SeeIdDevice;

// The caller-ID chain of the main window: device link, relay, trace log, member look-up,
// pop-up, hand-over to the trade window and the stand-by list. Calls are handled one at a
// time in arrival order; a call that arrives while an earlier one is still being handled
// (a message box is open) waits in a queue.
class CallerIntake : public QObject {
    Q_OBJECT
public:
    static CallerIntake& instance();

    // One received call. `relay`: broadcast it when this station is a relay server.
    void InputFromSeeID(const QString& number, const QString& line, bool relay);

    // Opens the device link on the configured type and ports; closes it (any type).
    void OpenSeeID();
    void CloseSeeID();
    bool isLinkOpen() const;
    // Why a chosen port did not open at the last OpenSeeID, one line per port; "" when
    // every chosen port opened (or none was chosen). Shown in the status bar, not as a box.
    QString linkProblem() const;
    // "자동 발신번호 사용": the user wants the link open (OpenSeeID at start sets it).
    void setLinkWanted(bool on);
    bool linkWanted() const { return m_wanted; }
    // Reads RemoteCIDSvr / RemoteCIDCli; starts the relay window when either is "1".
    void OpenFarSeeID();
    bool isRelayServer() const { return m_relayServer; }
    FrmRemoteCID* relayWindow() const { return m_relay; }

    // Look-up and pop-up of one call; the trade window or nothing.
    void OpenCIDViewer(const QString& number);
    bool PassCallToTrade(const QString& number);

    SeeIdDevice* device() const { return m_device; }
    // Drops the device link, relay and queue (program end, tests).
    void shutDown();

signals:
    void linkStateChanged(bool open);

private:
    CallerIntake();
    void handle(const QString& number, bool relay);
    // Starts the pop-up program with `text`; a failed start is reported.
    void ShowViewer(const QString& text);
    FrmRemoteCID* ensureRelay();

    SeeIdDevice* m_device = nullptr;
    QPointer<FrmRemoteCID> m_relay;
    bool m_relayServer = false;
    bool m_wanted = false;
    struct Pending {
        QString number;
        bool relay;
    };
    QQueue<Pending> m_queue;
    bool m_busy = false;
};

// Settings of the caller-ID link (section "환경설정" / "Config").
int SeeIdTypeSetting();
// Port of line 1 or 2: the stored value's number; 0 (not used) when not stored.
int SeeIdPortSetting(int line);
