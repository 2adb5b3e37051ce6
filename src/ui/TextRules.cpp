#include "ui/TextRules.h"

#include <QList>

#include <cmath>

namespace {

int charBytes(char32_t c) { return c <= 0x7F ? 1 : 2; }

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

QString digitsOnly(const QString& text) {
    QString out;
    for (QChar c : text)
        if (isAsciiDigit(c)) out += c;
    return out;
}

// "1234567" -> "1,234,567"
QString groupThousands(const QString& digits) {
    QString out;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += u',';
        out += digits[i];
    }
    return out;
}

} // namespace

int ByteLength(const QString& text) {
    int bytes = 0;
    for (char32_t c : text.toUcs4()) bytes += charBytes(c);
    return bytes;
}

QString CutToBytes(const QString& text, int maxBytes) {
    if (maxBytes <= 0) return {};
    int bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        const int b = charBytes(c);
        if (bytes + b > maxBytes) break;
        bytes += b;
        i += pair ? 2 : 1;
    }
    return text.left(i);
}

double NumericValue(const QString& text) {
    QString t = text.trimmed();
    t.remove(u',');
    QString num;
    int i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) num += t[i++];
    bool dot = false;
    bool anyDigit = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (isAsciiDigit(c)) {
            num += c;
            anyDigit = true;
        } else if (c == u'.' && !dot) {
            num += c;
            dot = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return 0.0;
    bool ok = false;
    const double v = num.toDouble(&ok);
    return ok ? v : 0.0;
}

QString FormatNumber(double value, int decPlace) {
    if (decPlace < 0) decPlace = 0;
    if (decPlace > 10) decPlace = 10;
    const double scale = decPlace == 0 ? 1.0 : std::pow(10.0, decPlace);
    const double scaled = std::round(std::fabs(value) * scale);
    if (decPlace == 0 && scaled < 1e15) {
        // Whole amounts, what lists show in every row: digits and separators written
        // straight into one string.
        char16_t buf[24];
        int at = 24, count = 0;
        qint64 n = qint64(scaled);
        do {
            if (count > 0 && count % 3 == 0) buf[--at] = u',';
            buf[--at] = char16_t(u'0' + n % 10);
            n /= 10;
            ++count;
        } while (n > 0);
        if (value < 0 && scaled != 0.0) buf[--at] = u'-';
        return QString(reinterpret_cast<const QChar*>(buf + at), 24 - at);
    }
    QString digits = QString::number(scaled, 'f', 0);
    if (digits.size() <= decPlace) digits = QString(decPlace + 1 - digits.size(), u'0') + digits;
    const QString intPart = digits.left(digits.size() - decPlace);
    QString out = groupThousands(intPart);
    if (decPlace > 0) out += u'.' + digits.right(decPlace);
    if (value < 0 && scaled != 0.0) out.prepend(u'-');
    return out;
}

QString FormatTypedNumber(const QString& text, int decPlace) {
    if (text.isEmpty() || text == QStringLiteral("-")) return text;
    return FormatNumber(NumericValue(text), decPlace);
}

QString FormatTelephone(const QString& text) {
    if (text.size() < 6) return text;
    // Only a phone number is formatted: a text with words in it ("내선 12") stays as typed.
    for (QChar c : text)
        if (!isAsciiDigit(c) && c != u'-' && c != u' ' && c != u'(' && c != u')' && c != u'.') return text;
    const QString d = digitsOnly(text);
    // A text without any digit is not a number; removing everything would lose it.
    if (d.isEmpty()) return text;
    if (d.size() <= 4) return d;
    int area = 0;
    if (d.startsWith(QStringLiteral("02")))
        area = 2;
    else if (d.startsWith(QStringLiteral("0505")))
        area = 4;
    else if (d.startsWith(u'0') && d.size() >= 9)
        area = 3;
    // Too short for area + exchange + last four: not a whole number yet, left as typed
    // ("02-123" must not become "0-2123").
    if (area > 0 && d.size() <= area + 4) return text;
    const QString last = d.right(4);
    const QString middle = d.mid(area, d.size() - 4 - area);
    if (area == 0) return middle + u'-' + last;
    return d.left(area) + u'-' + middle + u'-' + last;
}

QString FormatDashed10(const QString& text) {
    QString d = text;
    d.remove(u'-');
    if (d.isEmpty()) return text;
    for (QChar c : d)
        if (!isAsciiDigit(c)) return text;
    if (d.size() < 10) d = QString(10 - d.size(), u'0') + d;
    const qsizetype n = d.size();
    return d.left(n - 7) + u'-' + d.mid(n - 7, 3) + u'-' + d.right(4);
}

int CaretAfterReformat(const QString& original, int caret, const QString& formatted) {
    auto counts = [](QChar c) { return isAsciiDigit(c) || c == u'.' || c == u'-'; };
    int wanted = 0;
    for (int i = 0; i < caret && i < original.size(); ++i)
        if (counts(original[i])) ++wanted;
    if (wanted == 0) return 0;
    int seen = 0;
    for (int i = 0; i < formatted.size(); ++i) {
        if (counts(formatted[i]) && ++seen == wanted) return i + 1;
    }
    return int(formatted.size());
}
