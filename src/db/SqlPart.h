#pragma once

#include <QString>
#include <QVariantList>

// A piece of SQL text with the values bound to its `?` placeholders, in order.
struct SqlPart {
    QString sql;
    QVariantList params;

    SqlPart& operator+=(const SqlPart& other)
    {
        sql += other.sql;
        params += other.params;
        return *this;
    }
    SqlPart& operator+=(const QString& text)
    {
        sql += text;
        return *this;
    }
};

// LIKE patterns that match the typed text literally: %, _ and \ are escaped with \, so
// the comparison must carry " ESCAPE '\'" (LikeEscape()).
QString LikeContains(const QString& text); // anywhere in the value
QString LikeLiteral(const QString& text);  // the whole value
inline QString LikeEscape() { return QStringLiteral(" ESCAPE '\\'"); }
