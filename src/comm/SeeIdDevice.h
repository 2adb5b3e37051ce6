#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QSerialPort;

// Reads the byte stream of one caller-ID line and reports what it says. Protocols by
// device type (docs/caller-id.md):
//   0  9600 8N1, CR LF lines; "NMBR = <number>" is a call, other lines are ignored
//   1  records: STX, line, kind, 11 bytes, length n (byte 15), n number bytes;
//      kind 'C' with n > 0 is a call; bytes before an STX are skipped
//   2  19200 8N1, CR LF lines "STATUS <text>" and "CID <line>,<number>"
class SeeIdParser {
public:
    struct Event {
        enum Kind { Call, Status, Dropped } kind;
        QString number; // Call: the number text as sent (bytes as Latin-1)
        QString line;   // Call: the line indication
        QString text;   // Status: the status text; Dropped: the rejected bytes
    };
    explicit SeeIdParser(int type) : m_type(type) {}
    QList<Event> feed(const QByteArray& bytes);

private:
    QList<Event> feedLines();
    QList<Event> feedRecords();
    int m_type;
    QByteArray m_buf;
};

// The device link of the main window: one serial port per configured line.
class SeeIdDevice : public QObject {
    Q_OBJECT
public:
    explicit SeeIdDevice(QObject* parent = nullptr);
    ~SeeIdDevice() override;

    // Opens line 1 and 2 on their ports for `type`; a port number 0 leaves the line unused.
    // A failing line is noted in problem(); the other line still opens.
    void open(int type, int port1, int port2);
    // Closes every open line, whatever the type.
    void close();
    bool isOpen() const;
    int type() const { return m_type; }
    bool connected() const { return m_connected; }
    // "포트 [COMn] 으로 SEE ID OPEN에 실패했습니다." for each line that failed at the last
    // open, one per line; "" when none failed.
    QString problem() const { return m_problem; }

    // The device path of port `n` (1-20): setting "SeeIDPortPath<n>", default /dev/ttyS<n-1>.
    static QString portPath(int n);
    static void setPortPath(int n, const QString& path);

signals:
    void call(const QString& number, const QString& line);
    void dropped(const QString& rawText);
    void stateChanged(bool open);

private:
    struct Line {
        QSerialPort* port = nullptr;
        SeeIdParser* parser = nullptr;
        int index = 0;
    };
    void readLine(Line* l);
    QList<Line*> m_lines;
    int m_type = 0;
    bool m_connected = false;
    QString m_problem;
};
