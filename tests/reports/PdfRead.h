#pragma once

// Reading printed PDFs back in the print tests (poppler-utils).

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace pdf {

inline QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text, laid out as on the page; pages separated by form feeds.
inline QString text(const QString& file) {
    return run("pdftotext", {"-layout", file, "-"});
}

inline QString info(const QString& file, const QString& field) {
    const QString out = run("pdfinfo", {file});
    for (const QString& line : out.split(u'\n'))
        if (line.startsWith(field + u':')) return line.mid(field.size() + 1).trimmed();
    return {};
}

struct Word {
    double xMin, yMin, xMax, yMax;
    QString text;
};

// Words of one page (1-based) with their boxes in points from the top-left corner.
inline QList<Word> words(const QString& file, int page = 1) {
    const QString html =
        run("pdftotext", {"-bbox", "-f", QString::number(page), "-l", QString::number(page), file, "-"});
    static const QRegularExpression re(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
        "yMax=\"([\\d.]+)\">([^<]*)</word>");
    QList<Word> out;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        out.append({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                    m.captured(4).toDouble(), m.captured(5)});
    }
    return out;
}

} // namespace pdf
