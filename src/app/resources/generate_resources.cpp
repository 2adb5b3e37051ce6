// Draws the toolbar icons and the default background picture of the main window.
// Not part of the build: the generated files are kept in this folder. To redraw them:
//   g++ -std=c++20 -fPIC generate_resources.cpp -o /tmp/genres \
//       $(pkg-config --cflags --libs Qt6Gui) && QT_QPA_PLATFORM=offscreen /tmp/genres .
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {
constexpr int S = 64; // icons are drawn at 64 px and scaled by Qt where smaller

void tile(QPainter& p, const QColor& c) {
    QLinearGradient g(0, 0, 0, S);
    g.setColorAt(0, c.lighter(118));
    g.setColorAt(1, c.darker(112));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(3, 3, S - 6, S - 6), 12, 12);
}

QPen line(qreal w = 4, const QColor& c = Qt::white) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void save(const QString& dir, const char* name, const QColor& c, const std::function<void(QPainter&)>& draw) {
    QImage img(S, S, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    tile(p, c);
    draw(p);
    p.end();
    img.save(dir + "/icons/" + name + ".png");
}

void person(QPainter& p, qreal x, qreal y, qreal scale, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(x, y), 7 * scale, 7 * scale);
    QPainterPath body;
    body.moveTo(x - 13 * scale, y + 24 * scale);
    body.cubicTo(x - 13 * scale, y + 9 * scale, x + 13 * scale, y + 9 * scale, x + 13 * scale, y + 24 * scale);
    body.closeSubpath();
    p.drawPath(body);
}
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QColor white(Qt::white);

    save(dir, "members", QColor(52, 120, 198), [&](QPainter& p) {
        person(p, 40, 20, 0.85, QColor(255, 255, 255, 150));
        person(p, 27, 24, 1.0, white);
    });
    save(dir, "trades", QColor(230, 126, 34), [&](QPainter& p) {
        p.setPen(line(4));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({{12, 16}, {19, 16}, {25, 40}, {48, 40}, {53, 22}, {21, 22}}));
        p.setPen(Qt::NoPen);
        p.setBrush(white);
        p.drawEllipse(QPointF(28, 48), 4, 4);
        p.drawEllipse(QPointF(45, 48), 4, 4);
    });
    save(dir, "funds", QColor(39, 174, 96), [&](QPainter& p) {
        for (int i = 0; i < 3; ++i) {
            const qreal y = 42 - i * 9;
            p.setPen(line(2.5, QColor(39, 174, 96).darker(130)));
            p.setBrush(white);
            p.drawRoundedRect(QRectF(15, y - 6, 34, 12), 6, 6);
        }
        p.setPen(line(2.5, QColor(39, 174, 96)));
        p.setFont(QFont("DejaVu Sans", 8, QFont::Bold));
        p.drawText(QRectF(15, 18, 34, 12), Qt::AlignCenter, "₩");
    });
    save(dir, "cardcheck", QColor(142, 68, 173), [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(white);
        p.drawRoundedRect(QRectF(11, 17, 42, 28), 4, 4);
        p.setBrush(QColor(142, 68, 173).darker(140));
        p.drawRect(QRectF(11, 23, 42, 6));
        p.setPen(line(4.5, QColor(46, 204, 113)));
        p.drawPolyline(QPolygonF({{30, 38}, {37, 45}, {52, 28}}));
    });
    save(dir, "moneybook", QColor(41, 128, 185), [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(white);
        p.drawRoundedRect(QRectF(16, 12, 32, 40), 3, 3);
        p.setBrush(QColor(41, 128, 185).darker(130));
        p.drawRect(QRectF(16, 12, 6, 40));
        p.setPen(line(2.5, QColor(41, 128, 185)));
        for (int i = 0; i < 4; ++i) p.drawLine(QPointF(27, 21 + i * 8), QPointF(43, 21 + i * 8));
    });
    save(dir, "graph", QColor(22, 160, 133), [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(white);
        const qreal h[] = {14, 24, 18, 32};
        for (int i = 0; i < 4; ++i) p.drawRoundedRect(QRectF(14 + i * 9.5, 48 - h[i], 7, h[i]), 1.5, 1.5);
        p.setPen(line(3));
        p.drawLine(QPointF(11, 50), QPointF(53, 50));
    });
    save(dir, "schedule", QColor(192, 57, 43), [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(white);
        p.drawRoundedRect(QRectF(12, 16, 40, 36), 4, 4);
        p.setBrush(QColor(192, 57, 43).darker(125));
        p.drawRect(QRectF(12, 16, 40, 9));
        p.setBrush(white);
        p.drawRoundedRect(QRectF(20, 11, 4, 9), 2, 2);
        p.drawRoundedRect(QRectF(40, 11, 4, 9), 2, 2);
        p.setBrush(QColor(192, 57, 43));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) p.drawRect(QRectF(16 + c * 9, 29 + r * 7.5, 5, 4.5));
    });
    save(dir, "sms", QColor(243, 156, 18), [&](QPainter& p) {
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(10, 13, 44, 30), 10, 10);
        QPainterPath tail;
        tail.moveTo(20, 40);
        tail.lineTo(16, 52);
        tail.lineTo(30, 42);
        tail.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(white);
        p.drawPath(bubble.united(tail));
        p.setBrush(QColor(243, 156, 18));
        for (int i = 0; i < 3; ++i) p.drawEllipse(QPointF(22 + i * 10, 28), 3.2, 3.2);
    });
    save(dir, "calc", QColor(96, 110, 125), [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(white);
        p.drawRoundedRect(QRectF(16, 10, 32, 44), 4, 4);
        p.setBrush(QColor(96, 110, 125).darker(120));
        p.drawRect(QRectF(20, 14, 24, 9));
        p.setBrush(QColor(96, 110, 125));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) p.drawRoundedRect(QRectF(20 + c * 8.5, 27 + r * 8.5, 6, 6), 1.5, 1.5);
    });
    save(dir, "backup", QColor(44, 62, 80), [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(white);
        p.drawRoundedRect(QRectF(12, 38, 40, 14), 3, 3);
        p.setBrush(QColor(46, 204, 113));
        p.drawEllipse(QPointF(45, 45), 2.5, 2.5);
        p.setPen(line(4.5));
        p.drawLine(QPointF(32, 10), QPointF(32, 31));
        p.drawPolyline(QPolygonF({{23, 23}, {32, 32}, {41, 23}}));
    });
    save(dir, "exit", QColor(127, 140, 141), [&](QPainter& p) {
        p.setPen(line(4));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({{34, 17}, {34, 12}, {14, 12}, {14, 52}, {34, 52}, {34, 47}}));
        p.drawLine(QPointF(26, 32), QPointF(51, 32));
        p.drawPolyline(QPolygonF({{44, 24}, {52, 32}, {44, 40}}));
    });
    save(dir, "network", QColor(52, 73, 94), [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(white);
        p.drawRoundedRect(QRectF(10, 12, 24, 17), 2, 2);
        p.drawRoundedRect(QRectF(30, 33, 24, 17), 2, 2);
        p.setPen(line(3.5, QColor(46, 204, 113)));
        p.drawPolyline(QPolygonF({{22, 31}, {22, 41}, {28, 41}}));
    });

    // Background tile: light, seamless when repeated (nothing crosses the edges).
    QImage bg(480, 300, QImage::Format_RGB32);
    bg.fill(QColor(238, 241, 245));
    {
        QPainter p(&bg);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setPen(QColor(222, 228, 236));
        QFont big("NanumBarunGothic", 30, QFont::Bold);
        p.setFont(big);
        p.drawText(QRectF(0, 95, 480, 50), Qt::AlignCenter, "MemberDesk");
        QFont small("NanumBarunGothic", 12);
        p.setFont(small);
        p.setPen(QColor(214, 221, 230));
        p.drawText(QRectF(0, 148, 480, 30), Qt::AlignCenter, "회원 · 회비 · 매출 · 가계부 관리");
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(228, 233, 240));
        p.drawEllipse(QPointF(240, 62), 14, 14);
        p.drawEllipse(QPointF(216, 62), 9, 9);
        p.drawEllipse(QPointF(264, 62), 9, 9);
    }
    bg.save(dir + "/mainbg.jpg", "JPEG", 92);
    return 0;
}
