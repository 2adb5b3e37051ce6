#include "comm/CallerIntake.h"

#include "comm/CallerLists.h"
#include "comm/CallerRules.h"
#include "comm/FrmRemoteCID.h"
#include "comm/SeeIdDevice.h"
#include "core/AppState.h"
#include "core/Launcher.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "sales/frmTrade.h"
#include "ui/Grid.h"
#include "ui/WindowRegistry.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

int SeeIdTypeSetting()
{
    return Settings::getIn(App().appTitle, QStringLiteral("환경설정"), QStringLiteral("SeeIDType"), QStringLiteral("0")).trimmed().toInt();
}

int SeeIdPortSetting(int line)
{
    // A port never chosen is not used: most PCs have no caller-ID device, and opening a
    // serial port that belongs to something else (or none) helps nobody.
    const QString v = Settings::getIn(App().appTitle, QStringLiteral("환경설정"), QStringLiteral("OpenSeeIDPort%1").arg(line),
                                    QStringLiteral("0"));
    return v.trimmed().toInt(); // text that is not a number: line unused
}

CallerIntake& CallerIntake::instance()
{
    static CallerIntake* intake = new CallerIntake;
    return *intake;
}

CallerIntake::CallerIntake()
{
    m_device = new SeeIdDevice(this);
    // Every device call is relayed when this station is a relay server.
    connect(m_device, &SeeIdDevice::call, this,
            [this](const QString& number, const QString& line) { InputFromSeeID(number, line, true); });
    connect(m_device, &SeeIdDevice::dropped, this,
            [](const QString& raw) { CidLog(QStringLiteral("X0:"), TraceSafe(raw)); });
    connect(m_device, &SeeIdDevice::stateChanged, this, &CallerIntake::linkStateChanged);
}

void CallerIntake::InputFromSeeID(const QString& number, const QString& line, bool relay)
{
    Q_UNUSED(line);
    const auto accepted = CallerNumber(number);
    if (!accepted) {
        CidLog(QStringLiteral("X0:"), TraceSafe(number));
        return;
    }
    m_queue.enqueue({*accepted, relay});
    if (m_busy)
        return; // the call being handled takes this one when it is done
    m_busy = true;
    while (!m_queue.isEmpty()) {
        const Pending p = m_queue.dequeue();
        handle(p.number, p.relay);
    }
    m_busy = false;
}

void CallerIntake::handle(const QString& number, bool relay)
{
    CidLog(QStringLiteral("A1:"), number);
    if (relay && m_relayServer) {
        if (FrmRemoteCID* r = ensureRelay())
            r->SendSock(number);
    }
    CidLog(QStringLiteral("A2:"), number);
    if (IsWithheld(number)) {
        // No number to look up or to hand to a trade: the pop-up and the lists say so.
        ShowViewer(WithheldText());
        CidLog(QStringLiteral("A3:"), number);
        AddMsg(WithheldText() + QStringLiteral(" [") + CallerStamp() + u']');
        CidLog(QStringLiteral("A4:"), number);
        AddStandby(WithheldText());
        return;
    }
    OpenCIDViewer(number);
    CidLog(QStringLiteral("A3:"), number);
    if (!PassCallToTrade(number)) {
        CidLog(QStringLiteral("A4:"), number);
        AddStandby(number);
    }
}

void CallerIntake::OpenCIDViewer(const QString& raw)
{
    CidLog(QStringLiteral("B1:"), raw);
    QString number = raw;
    number.remove(QChar(0));
    QString key;
    number = FormatTelNo(number, &key);
    CidLog(QStringLiteral("B2:"), number);
    CidLog(QStringLiteral("B3:"), key);
    const CallerMatch m = FindCaller(number, key);
    if (m.count < 0)
        return; // the database layer has shown its error
    CidLog(QStringLiteral("B4:"), number);
    CidLog(QStringLiteral("B5:"), QString::number(m.count));
    const QString text = ViewerText(number, m);
    CidLog(QStringLiteral("B6:"), text);
    ShowViewer(text);
}

void CallerIntake::ShowViewer(const QString& text)
{
    const QString program = ProgramPath(QStringLiteral("memberdesk-cidview"));
    if (!launcher().start(program, {text}))
        ReportTrappedError(53, QStringLiteral("File not found: ") + program, QStringLiteral("OpenCIDViewer"),
                           QStringLiteral("frmMain"));
}

bool CallerIntake::PassCallToTrade(const QString& number)
{
    AddMsg(number + QStringLiteral(" [") + CallerStamp() + u']');
    QString n = number;
    if (n.isEmpty())
        n = PopStandby();
    if (n.isEmpty())
        return false;
    auto* trade = qobject_cast<frmTrade*>(WindowRegistry::find(QStringLiteral("frmTrade")));
    if (!trade || !trade->isVisible())
        return false;
    QMdiSubWindow* sub = WindowRegistry::subWindowOf(trade);
    const bool active = sub ? (sub->mdiArea() && sub->mdiArea()->activeSubWindow() == sub && !sub->isMinimized())
                            : trade->isActiveWindow();
    if (!active)
        return false;
    Grid* g = trade->list();
    const int col = g->activeCol(), row = g->activeRow();
    if (col != frmTrade::CName || row < 1 || !g->text(col, row).trimmed().isEmpty())
        return false;
    g->setText(col, row, n);
    trade->CallMe();
    return true;
}

void CallerIntake::OpenSeeID()
{
    m_device->open(SeeIdTypeSetting(), SeeIdPortSetting(1), SeeIdPortSetting(2));
}

void CallerIntake::CloseSeeID()
{
    m_device->close();
}

void CallerIntake::setLinkWanted(bool on)
{
    m_wanted = on;
    if (on)
        OpenSeeID();
    else
        CloseSeeID();
}

bool CallerIntake::isLinkOpen() const
{
    return m_device->isOpen();
}

QString CallerIntake::linkProblem() const
{
    return m_device->problem();
}

void CallerIntake::OpenFarSeeID()
{
    const int svr = Settings::getIn(App().appTitle, QStringLiteral("Config"), QStringLiteral("RemoteCIDSvr"), QStringLiteral("0")).toInt();
    const int cli = Settings::getIn(App().appTitle, QStringLiteral("Config"), QStringLiteral("RemoteCIDCli"), QStringLiteral("0")).toInt();
    m_relayServer = svr == 1;
    if (svr == 1 || cli == 1)
        ensureRelay();
}

FrmRemoteCID* CallerIntake::ensureRelay()
{
    if (!m_relay) {
        m_relay = new FrmRemoteCID;
        connect(m_relay, &FrmRemoteCID::received, this,
                [this](const QString& text) { InputFromSeeID(text, QString(), false); });
        m_relay->SockInit();
    }
    return m_relay;
}

void CallerIntake::shutDown()
{
    m_device->close();
    delete m_relay;
    m_relayServer = false;
    m_wanted = false;
    m_queue.clear();
}
