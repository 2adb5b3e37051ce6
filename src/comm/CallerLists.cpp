#include "comm/CallerLists.h"

#include "comm/CallerRules.h"
#include "core/AppState.h"
#include "core/Clock.h"

#include <QLocale>

CallerLists& CallerLists::instance()
{
    static CallerLists lists;
    return lists;
}

void CallerLists::addStandbyItem(const QString& item)
{
    m_standby.append(item);
    emit standbyChanged();
}

void CallerLists::removeStandby(const QList<int>& rows)
{
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    for (int r : sorted)
        if (r >= 0 && r < m_standby.size())
            m_standby.removeAt(r);
    emit standbyChanged();
}

void CallerLists::clearStandby()
{
    m_standby.clear();
    emit standbyChanged();
}

void CallerLists::addMessage(const QString& text)
{
    m_messages += text + u'\n';
    emit messageAdded(text);
}

void CallerLists::clearAll()
{
    m_standby.clear();
    m_messages.clear();
    emit standbyChanged();
}

QString CallerStamp()
{
    return Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void AddStandby(const QString& number)
{
    CallerLists::instance().addStandbyItem(number + QStringLiteral(" [") + CallerStamp() + u']');
}

QString PopStandby()
{
    auto& lists = CallerLists::instance();
    if (lists.standby().isEmpty())
        return {};
    const QString item = lists.standby().first();
    lists.removeStandby({0});
    if (item.startsWith(WithheldText()))
        return {}; // a withheld call has no number to hand on
    const qsizetype blank = item.indexOf(u' ');
    return blank < 0 ? item : item.left(blank);
}

void AddMsg(const QString& text)
{
    CallerLists::instance().addMessage(text);
}
