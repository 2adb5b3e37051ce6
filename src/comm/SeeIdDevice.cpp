#include "comm/SeeIdDevice.h"

#include "core/AppState.h"
#include "core/Settings.h"

#include <QSerialPort>

namespace {
constexpr int kMaxLine = 256; // a device line longer than this is noise
constexpr char kStx = 0x02;
} // namespace

QList<SeeIdParser::Event> SeeIdParser::feed(const QByteArray& bytes)
{
    m_buf += bytes;
    return m_type == 1 ? feedRecords() : feedLines();
}

QList<SeeIdParser::Event> SeeIdParser::feedLines()
{
    QList<Event> out;
    for (;;) {
        const qsizetype end = m_buf.indexOf("\r\n");
        if (end < 0) {
            if (m_buf.size() > kMaxLine) {
                out.append({Event::Dropped, {}, {}, QString::fromLatin1(m_buf)});
                m_buf.clear();
            }
            return out;
        }
        const QByteArray raw = m_buf.left(end);
        m_buf.remove(0, end + 2);
        if (raw.size() > kMaxLine) {
            out.append({Event::Dropped, {}, {}, QString::fromLatin1(raw)});
            continue;
        }
        const QString line = QString::fromLatin1(raw);
        if (m_type == 0) {
            static const QString tag = QStringLiteral("NMBR");
            if (line.startsWith(tag)) {
                const qsizetype eq = line.indexOf(u'=');
                if (eq > 0 && line.left(eq).trimmed() == tag)
                    out.append({Event::Call, line.mid(eq + 1).trimmed(), {}, {}});
            }
        } else if (line.startsWith(QStringLiteral("STATUS "))) {
            out.append({Event::Status, {}, {}, line.mid(7).trimmed()});
        } else if (line.startsWith(QStringLiteral("CID "))) {
            const QString rest = line.mid(4);
            const qsizetype comma = rest.indexOf(u',');
            if (comma > 0)
                out.append({Event::Call, rest.mid(comma + 1).trimmed(), rest.left(comma).trimmed(), {}});
            else
                out.append({Event::Dropped, {}, {}, line});
        }
    }
}

QList<SeeIdParser::Event> SeeIdParser::feedRecords()
{
    QList<Event> out;
    for (;;) {
        const qsizetype stx = m_buf.indexOf(kStx);
        if (stx != 0 && !m_buf.isEmpty())
            out.append({Event::Dropped, {}, {}, QString::fromLatin1(m_buf.left(stx < 0 ? m_buf.size() : stx))});
        if (stx < 0) {
            m_buf.clear();
            return out;
        }
        m_buf.remove(0, stx);
        if (m_buf.size() < 15)
            return out;
        const int n = quint8(m_buf.at(14));
        if (n > 241) {
            // Not a record of this device: skip its header, resynchronise on the next STX.
            out.append({Event::Dropped, {}, {}, QString::fromLatin1(m_buf.left(15))});
            m_buf.remove(0, 15);
            continue;
        }
        if (m_buf.size() < 15 + n)
            return out;
        const QChar line = QLatin1Char(m_buf.at(1));
        const char kind = m_buf.at(2);
        const QByteArray number = m_buf.mid(15, n);
        m_buf.remove(0, 15 + n);
        if (kind == 'C' && n > 0)
            out.append({Event::Call, QString::fromLatin1(number), QString(line), {}});
    }
}

// ---- device ----

SeeIdDevice::SeeIdDevice(QObject* parent) : QObject(parent) {}

SeeIdDevice::~SeeIdDevice()
{
    close();
}

QString SeeIdDevice::portPath(int n)
{
    return Settings::getIn(App().appTitle, QStringLiteral("환경설정"), QStringLiteral("SeeIDPortPath%1").arg(n),
                         QStringLiteral("/dev/ttyS%1").arg(n - 1));
}

void SeeIdDevice::setPortPath(int n, const QString& path)
{
    Settings::set(QStringLiteral("환경설정"), QStringLiteral("SeeIDPortPath%1").arg(n), path);
}

bool SeeIdDevice::isOpen() const
{
    return !m_lines.isEmpty();
}

void SeeIdDevice::open(int type, int port1, int port2)
{
    close();
    m_type = type;
    QStringList failed;
    const int ports[2] = {port1, port2};
    for (int i = 0; i < 2; ++i) {
        const int n = ports[i];
        if (n < 1 || n > 20)
            continue;
        auto* sp = new QSerialPort(this);
        sp->setPortName(portPath(n));
        sp->setBaudRate(type == 2 ? QSerialPort::Baud19200 : QSerialPort::Baud9600);
        sp->setDataBits(QSerialPort::Data8);
        sp->setParity(QSerialPort::NoParity);
        sp->setStopBits(QSerialPort::OneStop);
        sp->setFlowControl(QSerialPort::NoFlowControl);
        if (!sp->open(QIODevice::ReadOnly)) {
            delete sp;
            failed << QStringLiteral("포트 [COM%1] 으로 SEE ID OPEN에 실패했습니다.").arg(n);
            continue;
        }
        auto* l = new Line{sp, new SeeIdParser(type), i + 1};
        m_lines.append(l);
        connect(sp, &QSerialPort::readyRead, this, [this, l] { readLine(l); });
    }
    m_connected = !m_lines.isEmpty();
    m_problem = failed.join(u'\n');
    emit stateChanged(isOpen());
}

void SeeIdDevice::close()
{
    const bool was = isOpen();
    for (Line* l : std::as_const(m_lines)) {
        l->port->close();
        delete l->port;
        delete l->parser;
        delete l;
    }
    m_lines.clear();
    m_connected = false;
    m_problem.clear();
    if (was)
        emit stateChanged(false);
}

void SeeIdDevice::readLine(Line* l)
{
    // The port does not signal again for bytes that arrived while a call was being
    // handled (a message box or the picker of that call runs its own event loop), so
    // everything read meanwhile is taken here before returning.
    do {
        const auto events = l->parser->feed(l->port->readAll());
        for (const auto& e : events) {
            // Handling a call may close the link (a message box lets the user untick it).
            if (!m_lines.contains(l))
                return;
            switch (e.kind) {
            case SeeIdParser::Event::Call:
                emit call(e.number, e.line.isEmpty() ? QString::number(l->index) : e.line);
                break;
            case SeeIdParser::Event::Status:
                m_connected = e.text == QStringLiteral("CONNECT");
                break;
            case SeeIdParser::Event::Dropped:
                emit dropped(e.text);
                break;
            }
        }
    } while (m_lines.contains(l) && l->port->bytesAvailable() > 0);
}
