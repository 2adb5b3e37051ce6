#include "members/frmImage.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>

frmImage::frmImage(const QString& path, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmImage"));
    setWindowTitle(path);
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("imgView"));
    QPixmap pix;
    m_loaded = pix.load(path);
    if (m_loaded)
        label->setPixmap(pix);
    else
        label->setText(QStringLiteral("그림을 열 수 없습니다.\n") + path);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(label);
    scroll->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    resize(m_loaded ? pix.size().boundedTo(QSize(1200, 900)) + QSize(4, 4) : QSize(300, 120));
}

void frmImage::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
