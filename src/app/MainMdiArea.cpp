#include "app/MainMdiArea.h"

#include <QPaintEvent>
#include <QPainter>

MainMdiArea::MainMdiArea(QWidget* parent) : QMdiArea(parent) {}

void MainMdiArea::setBackgroundSettings(const MainBackground& bg) {
    m_bg = bg;
    m_logo = QPixmap();
    if (m_bg.layout != MainBackground::Layout::None && !m_bg.logoPath.isEmpty())
        m_logo = QPixmap(m_bg.logoPath);
    // QMdiArea paints its background brush itself; the logo is drawn in paintEvent.
    setBackground(m_bg.color);
    viewport()->update();
}

void MainMdiArea::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QRect area = viewport()->rect();
    p.fillRect(event->rect(), m_bg.color);
    if (m_logo.isNull()) return;
    if (m_bg.layout == MainBackground::Layout::Tiled) {
        p.drawTiledPixmap(area, m_logo);
    } else if (m_bg.layout == MainBackground::Layout::Centred) {
        QPixmap shown = m_logo;
        if (shown.width() > area.width() || shown.height() > area.height())
            shown = m_logo.scaled(area.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QPoint at((area.width() - shown.width()) / 2, (area.height() - shown.height()) / 2);
        p.drawPixmap(at, shown);
    }
}
