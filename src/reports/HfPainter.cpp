#include "reports/HfPainter.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>

QString PrintFamily(const QString& family) {
    if (family == QStringLiteral("굴림체") || family == QStringLiteral("굴림"))
        return QStringLiteral("NanumBarunGothic");
    return family;
}

QFont HfQFont(const HfFont& f) {
    QFont q(PrintFamily(f.family));
    q.setPixelSize(std::max(1, f.size));
    q.setBold(f.bold);
    q.setItalic(f.italic);
    q.setUnderline(f.underline);
    q.setStrikeOut(f.strike);
    return q;
}

namespace {

struct Metrics {
    double ascent = 0;
    double spacing = 0;
};

// A header of 10,000 lines uses a handful of fonts: measure each once.
Metrics metricsOf(const HfFont& f) {
    static QHash<QString, Metrics> cache;
    const QString key = f.family + u'|' + QString::number(f.size) + (f.bold ? u'b' : u'-') +
                        (f.italic ? u'i' : u'-');
    auto it = cache.constFind(key);
    if (it != cache.constEnd()) return *it;
    const QFontMetricsF fm(HfQFont(f));
    Metrics m{fm.ascent(), fm.lineSpacing()};
    if (cache.size() > 256) cache.clear();
    cache.insert(key, m);
    return m;
}

Metrics lineMetrics(const HfLine& line) {
    Metrics m = metricsOf(line.font);
    bool any = false;
    for (const auto& part : line.parts) {
        for (const HfRun& r : part) {
            const Metrics rm = metricsOf(r.font);
            if (!any) {
                m = rm;
                any = true;
            } else {
                m.ascent = std::max(m.ascent, rm.ascent);
                m.spacing = std::max(m.spacing, rm.spacing);
            }
        }
    }
    return m;
}

QString runText(const HfRun& r, int page, int count) {
    switch (r.kind) {
    case HfRun::Kind::PageNumber:
        return QString::number(page);
    case HfRun::Kind::PageCount:
        return QString::number(count);
    case HfRun::Kind::Text:
        break;
    }
    return r.text;
}

} // namespace

double HfLineHeight(const HfLine& line) {
    return lineMetrics(line).spacing;
}

double HfHeight(const HfDocument& doc, double maxHeight) {
    double h = 0;
    for (const HfLine& line : doc.lines) {
        const double lh = HfLineHeight(line);
        if (h + lh > maxHeight) break;
        h += lh;
    }
    return h;
}

void PaintHf(QPainter& p, const HfDocument& doc, const QRectF& area, int page, int count) {
    p.save();
    p.setClipRect(area, Qt::IntersectClip);
    p.setPen(Qt::black);
    double y = area.top();
    for (const HfLine& line : doc.lines) {
        const Metrics m = lineMetrics(line);
        if (y + m.spacing > area.bottom() + 0.01) break;
        const double baseline = y + m.ascent;
        for (int part = 0; part < 3; ++part) {
            const QList<HfRun>& runs = line.parts[part];
            if (runs.isEmpty()) continue;
            QList<QString> texts;
            double width = 0;
            for (const HfRun& r : runs) {
                texts << runText(r, page, count);
                width += QFontMetricsF(HfQFont(r.font)).horizontalAdvance(texts.last());
            }
            double x = area.left();
            if (part == 1)
                x = area.center().x() - width / 2;
            else if (part == 2)
                x = area.right() - width;
            for (qsizetype i = 0; i < runs.size(); ++i) {
                const QFont f = HfQFont(runs[i].font);
                p.setFont(f);
                p.drawText(QPointF(x, baseline), texts[i]);
                x += QFontMetricsF(f).horizontalAdvance(texts[i]);
            }
        }
        y += m.spacing;
    }
    p.restore();
}
