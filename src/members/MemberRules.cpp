#include "members/MemberRules.h"

static QString residentDigits(const QString& text)
{
    QString t = text;
    t.remove(QLatin1Char('-'));
    return t.trimmed();
}

bool IsValidResidentNo(const QString& text)
{
    const QString t = residentDigits(text);
    if (t.size() != 13)
        return false;
    if (t == QStringLiteral("9999999999999"))
        return true;
    for (QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    static const int weights[12] = {2, 3, 4, 5, 6, 7, 8, 9, 2, 3, 4, 5};
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += t.at(i).digitValue() * weights[i];
    int c = 11 - sum % 11;
    if (c == 10)
        c = 0;
    else if (c == 11)
        c = 1;
    return c == t.at(12).digitValue();
}

QString FormatResidentNo(const QString& text)
{
    if (!IsValidResidentNo(text))
        return text;
    const QString t = residentDigits(text);
    return t.left(6) + QLatin1Char('-') + t.mid(6);
}

int CodePageLength(const QString& text)
{
    int n = 0;
    for (QChar c : text)
        n += c.unicode() <= 0x7F ? 1 : 2;
    return n;
}

QString CheckPicturePath(const QString& path)
{
    const int length = CodePageLength(path);
    if (length <= MaxPicturePathBytes)
        return {};
    return QStringLiteral("이미지 경로가 너무 깁니다. 최대 100자까지 허용됩니다. 현재길이:")
           + QString::number(length) + QStringLiteral("\n\n") + path;
}

QString PhoneDigits(const QString& phone)
{
    QString d;
    for (QChar c : phone)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            d += c;
    return d;
}

QString PhoneDigitsSql(const QString& column)
{
    QString e = column;
    for (const char* c : {"-", " ", "(", ")", "."})
        e = QStringLiteral("REPLACE(") + e + QStringLiteral(", '") + QLatin1String(c) + QStringLiteral("', '')");
    return e;
}
