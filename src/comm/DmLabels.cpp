#include "comm/DmLabels.h"

#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {

const QString kFamily = QStringLiteral("NanumBarunGothic");

// One text of a label: offset from (x, y), size in points, the room it may fill (mm).
struct Field {
    double dx;
    double dy;
    int points;
    double width;
};

// The room of each text ends 2 mm before the next text on its line, or 3 mm inside the
// label's right edge (x − 3 + LabelWidth − 3).
constexpr double kRight = DmLabel::LabelWidth - 6;
constexpr Field kAddress1{3, 5, 12, kRight - 3};
constexpr Field kAddress2{3, 10, 12, kRight - 3};
constexpr Field kName{3, 19, 16, 83 - 2 - 3};
constexpr Field kHonorific{83, 20, 14, kRight - 83};
constexpr Field kTel{3, 26, 12, 60 - 2 - 3};
constexpr Field kZip{60, 26, 14, kRight - 60};

// Line breaks and tabs of stored text would print as nothing useful: one line each.
QString OneLine(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c.category() == QChar::Other_Control) c = u' ';
    return out.trimmed();
}

class LabelPainter {
public:
    LabelPainter(QPainter& painter, QPaintDevice* device)
        : m_p(painter), m_device(device), m_dotsX(device->logicalDpiX() / 25.4),
          m_dotsY(device->logicalDpiY() / 25.4) {}

    void draw(const Field& f, double x, double y, const QString& text) {
        if (text.isEmpty()) return;
        QFont font(kFamily);
        font.setPointSizeF(f.points);
        font.setStyleStrategy(QFont::PreferOutline);
        const QFontMetricsF metrics(font, m_device);
        const QRectF box((x + f.dx) * m_dotsX, (y + f.dy) * m_dotsY, f.width * m_dotsX,
                         metrics.height() * 1.2);
        m_p.setFont(font);
        m_p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     metrics.elidedText(text, Qt::ElideRight, box.width()));
    }

private:
    QPainter& m_p;
    QPaintDevice* m_device;
    double m_dotsX;
    double m_dotsY;
};

} // namespace

DmPlace DmLabelPlace(int startPos, int index, double topMargin, double leftMargin) {
    if (startPos < 1 || startPos > DmLabel::PerSheet) startPos = 1;
    const int p = startPos - 1 + index;
    const int onSheet = p % DmLabel::PerSheet;
    DmPlace place;
    place.page = p / DmLabel::PerSheet;
    place.y = (onSheet / DmLabel::Columns) * DmLabel::RowPitch + topMargin;
    place.x = (onSheet % DmLabel::Columns) * DmLabel::ColumnPitch + leftMargin + 3;
    return place;
}

QString SpacedOut(const QString& text) {
    QString out;
    const QList<uint> codes = text.toUcs4();
    for (uint c : codes) {
        if (!out.isEmpty()) out += u' ';
        out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
    }
    return out;
}

bool PaintDmLabels(QPagedPaintDevice* device, const QList<DmAddress>& labels, int startPos,
                   double topMargin, double leftMargin) {
    device->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(device)) return false;
    painter.setPen(Qt::black);
    LabelPainter label(painter, device);
    int page = 0;
    for (int i = 0; i < labels.size(); ++i) {
        const DmPlace at = DmLabelPlace(startPos, i, topMargin, leftMargin);
        // A new sheet starts only for a label that goes on it: a full last sheet leaves no
        // blank page behind.
        for (; page < at.page; ++page)
            device->newPage();
        const DmAddress& a = labels.at(i);
        label.draw(kAddress1, at.x, at.y, OneLine(a.address1));
        label.draw(kAddress2, at.x, at.y, OneLine(a.address2));
        label.draw(kName, at.x, at.y, SpacedOut(OneLine(a.name)));
        label.draw(kHonorific, at.x, at.y, QStringLiteral("귀하"));
        const QString tel = OneLine(a.tel);
        if (!tel.isEmpty()) label.draw(kTel, at.x, at.y, QStringLiteral("Tel.") + tel);
        label.draw(kZip, at.x, at.y, SpacedOut(OneLine(a.zip)));
    }
    return painter.end();
}
