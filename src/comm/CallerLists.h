#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The calls received since the program started (caller list) and the calls no trade
// window took (stand-by list, oldest first). They live in memory for the life of the
// program; the windows FrmSeeidList and FrmSeeIDStanbyList only show them, so closing a
// window loses nothing.
class CallerLists : public QObject {
    Q_OBJECT
public:
    static CallerLists& instance();

    const QStringList& standby() const { return m_standby; }
    void addStandbyItem(const QString& item);
    void removeStandby(const QList<int>& rows);
    void clearStandby();

    const QString& messages() const { return m_messages; }
    void addMessage(const QString& text);
    void clearAll(); // tests

signals:
    void standbyChanged();
    void messageAdded(const QString& text);

private:
    QStringList m_standby;
    QString m_messages;
};

// The current date and time as the lists show it.
QString CallerStamp();

// number + " [" + date and time + "]" at the end of the stand-by list.
void AddStandby(const QString& number);
// Takes the oldest waiting call: its number (text up to the first blank); "" when none
// or when that call's number was withheld.
QString PopStandby();
// Appends text + line break to the caller list.
void AddMsg(const QString& text);
