#include "db/SqlPart.h"

static QString escapeLike(const QString& text)
{
    QString out;
    out.reserve(text.size() + 4);
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

QString LikeContains(const QString& text)
{
    return QLatin1Char('%') + escapeLike(text) + QLatin1Char('%');
}

QString LikeLiteral(const QString& text)
{
    return escapeLike(text);
}
