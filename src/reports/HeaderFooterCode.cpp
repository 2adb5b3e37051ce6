#include "reports/HeaderFooterCode.h"

namespace {

// Unpaired surrogates cannot be drawn or written to a PDF: they print as U+FFFD.
QString cleanText(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            out += c;
            out += s[++i];
        } else if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
        } else {
            out += c;
        }
    }
    return out;
}

class Parser {
public:
    Parser(const QString& code, const HfFontTable& fonts, const HfFont& start)
        : m_code(code), m_cur(start) {
        m_doc.fonts = fonts;
    }

    HfDocument run() {
        const qsizetype n = m_code.size();
        qsizetype i = 0;
        while (i < n) {
            const QChar ch = m_code[i];
            if (ch != u'/') {
                m_text += ch;
                ++i;
                continue;
            }
            if (i + 1 >= n) { // a trailing slash
                m_text += ch;
                ++i;
                continue;
            }
            switch (m_code[i + 1].unicode()) {
            case u'/':
                m_text += u'/';
                i += 2;
                break;
            case u'n':
                newLine();
                i += 2;
                break;
            case u'l':
                flush();
                m_part = 0;
                i += 2;
                break;
            case u'c':
                flush();
                m_part = 1;
                i += 2;
                break;
            case u'r':
                flush();
                m_part = 2;
                i += 2;
                break;
            case u'p':
                flush();
                if (i + 2 < n && m_code[i + 2] == u'c') {
                    addToken(HfRun::Kind::PageCount);
                    i += 3;
                } else {
                    addToken(HfRun::Kind::PageNumber);
                    i += 2;
                }
                break;
            case u'f':
                i = fontCode(i);
                break;
            default:
                m_text += u'/';
                ++i;
                break; // not a code: the slash is text
            }
        }
        flush();
        if (!m_code.isEmpty()) {
            m_line.font = m_cur;
            m_doc.lines.append(m_line);
        }
        return m_doc;
    }

private:
    void flush() {
        if (m_text.isEmpty()) return;
        m_line.parts[m_part].append({HfRun::Kind::Text, cleanText(m_text), m_cur});
        m_text.clear();
    }
    void addToken(HfRun::Kind kind) { m_line.parts[m_part].append({kind, {}, m_cur}); }
    void newLine() {
        flush();
        m_line.font = m_cur;
        m_doc.lines.append(m_line);
        m_line = HfLine{};
    }
    void fail(HfError e) {
        if (m_doc.error == HfError::None) m_doc.error = e;
    }
    // A quoted value after /fn or /fz starting at `quote`; nullopt when it is not there.
    std::optional<QString> quoted(qsizetype quote, qsizetype* end) const {
        if (quote >= m_code.size() || m_code[quote] != u'"') return std::nullopt;
        const qsizetype close = m_code.indexOf(u'"', quote + 1);
        if (close < 0) return std::nullopt;
        *end = close + 1;
        return m_code.mid(quote + 1, close - quote - 1);
    }
    // Reads the font code at i ("/f..."), returns the index after it. What cannot be
    // read is kept as text.
    qsizetype fontCode(qsizetype i) {
        const qsizetype n = m_code.size();
        const qsizetype j = i + 2;
        if (j >= n) {
            m_text += QStringLiteral("/f");
            return j;
        }
        const QChar k = m_code[j];
        const auto flag = [&](bool HfFont::*member) {
            if (j + 1 < n && (m_code[j + 1] == u'0' || m_code[j + 1] == u'1')) {
                flush();
                m_cur.*member = m_code[j + 1] == u'1';
                return j + 2;
            }
            m_text += m_code.mid(i, 3);
            return j + 1;
        };
        switch (k.unicode()) {
        case u'n': {
            qsizetype end = 0;
            const auto name = quoted(j + 1, &end);
            if (!name || name->trimmed().isEmpty()) {
                fail(HfError::FontName);
                const qsizetype stop = name ? end : j + 1;
                m_text += m_code.mid(i, stop - i);
                return stop;
            }
            flush();
            m_cur.family = name->trimmed();
            return end;
        }
        case u'z': {
            qsizetype end = 0;
            const auto size = quoted(j + 1, &end);
            bool ok = false;
            const double v = size ? size->trimmed().toDouble(&ok) : 0;
            if (!size || !ok || !(v >= 1 && v <= 400)) {
                fail(HfError::FontSize);
                const qsizetype stop = size ? end : j + 1;
                m_text += m_code.mid(i, stop - i);
                return stop;
            }
            flush();
            m_cur.size = int(v + 0.5);
            return end;
        }
        case u'b':
            return flag(&HfFont::bold);
        case u'i':
            return flag(&HfFont::italic);
        case u'u':
            return flag(&HfFont::underline);
        case u'k':
            return flag(&HfFont::strike);
        case u's':
            if (j + 1 < n && m_code[j + 1].isDigit() && m_code[j + 1].unicode() < 128) {
                m_doc.fonts[m_code[j + 1].unicode() - u'0'] = m_cur;
                return j + 2;
            }
            m_text += QStringLiteral("/fs");
            return j + 1;
        default:
            if (k.isDigit() && k.unicode() < 128) {
                if (const auto& f = m_doc.fonts[k.unicode() - u'0']) {
                    flush();
                    m_cur = *f;
                }
                return j + 1;
            }
            m_text += QStringLiteral("/f");
            return j;
        }
    }

    const QString& m_code;
    HfDocument m_doc;
    HfLine m_line;
    HfFont m_cur;
    QString m_text;
    int m_part = 0;
};

} // namespace

HfDocument ParseHfCode(const QString& code, const HfFontTable& fonts, const HfFont& start) {
    return Parser(code, fonts, start).run();
}

QString EscapeHfText(const QString& text) {
    QString out = text;
    out.replace(u'/', QStringLiteral("//"));
    return out;
}

QString HfFontCode(const HfFont& f) {
    const auto on = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };
    return QStringLiteral("/fn\"") + f.family + QStringLiteral("\"/fz\"") +
           QString::number(f.size) + QStringLiteral("\"/fb") + on(f.bold) + QStringLiteral("/fi") +
           on(f.italic) + QStringLiteral("/fu") + on(f.underline) + QStringLiteral("/fk") +
           on(f.strike);
}

namespace {

// A cell's text with its page tokens turned into codes. After "/p" a text starting
// with "c" would read as "/pc": a bold code that changes nothing separates them.
QString cellCode(const HfCell& cell) {
    QString out;
    QString rest = cell.text;
    const QString sep = cell.font.bold ? QStringLiteral("/fb1") : QStringLiteral("/fb0");
    bool afterPage = false;
    while (!rest.isEmpty()) {
        const qsizetype pn = rest.indexOf(kHfPageNumber);
        const qsizetype pc = rest.indexOf(kHfPageCount);
        qsizetype at = -1;
        bool isNumber = false;
        if (pn >= 0 && (pc < 0 || pn < pc)) {
            at = pn;
            isNumber = true;
        } else if (pc >= 0) {
            at = pc;
        }
        const QString plain = at < 0 ? rest : rest.left(at);
        if (!plain.isEmpty()) {
            if (afterPage && plain.startsWith(u'c')) out += sep;
            out += EscapeHfText(plain);
        }
        if (at < 0) break;
        out += isNumber ? QStringLiteral("/p") : QStringLiteral("/pc");
        afterPage = isNumber;
        rest = rest.mid(at + (isNumber ? kHfPageNumber.size() : kHfPageCount.size()));
    }
    return out;
}

} // namespace

QString HfCellsToCode(const QList<HfCellLine>& lines) {
    qsizetype last = lines.size();
    while (last > 0) {
        const HfCellLine& l = lines[last - 1];
        if (!l[0].text.isEmpty() || !l[1].text.isEmpty() || !l[2].text.isEmpty()) break;
        --last;
    }
    static const char* const align[3] = {"/l", "/c", "/r"};
    QString out;
    for (qsizetype i = 0; i < last; ++i) {
        if (i > 0) out += QStringLiteral("/n");
        for (int p = 0; p < 3; ++p) {
            const HfCell& cell = lines[i][p];
            if (cell.text.isEmpty()) continue;
            out += QLatin1String(align[p]) + HfFontCode(cell.font) + cellCode(cell);
        }
    }
    return out;
}

QList<HfCellLine> HfCodeToCells(const QString& code, HfError* error) {
    const HfDocument doc = ParseHfCode(code);
    if (error) *error = doc.error;
    QList<HfCellLine> out;
    for (const HfLine& line : doc.lines) {
        HfCellLine cells;
        for (int p = 0; p < 3; ++p) {
            const QList<HfRun>& runs = line.parts[p];
            if (runs.isEmpty()) continue;
            cells[p].font = runs.first().font;
            for (const HfRun& r : runs) {
                switch (r.kind) {
                case HfRun::Kind::Text:
                    cells[p].text += r.text;
                    break;
                case HfRun::Kind::PageNumber:
                    cells[p].text += kHfPageNumber;
                    break;
                case HfRun::Kind::PageCount:
                    cells[p].text += kHfPageCount;
                    break;
                }
            }
        }
        out.append(cells);
    }
    return out;
}
