#pragma once

#include "app/MainBackground.h"

#include <QMdiArea>
#include <QPixmap>

// The client area of the main window: draws the background colour and the logo (tiled over
// the whole area, or centred, or none) behind the child windows.
class MainMdiArea : public QMdiArea {
    Q_OBJECT
public:
    explicit MainMdiArea(QWidget* parent = nullptr);

    void setBackgroundSettings(const MainBackground& bg);
    const MainBackground& backgroundSettings() const { return m_bg; }
    bool hasLogo() const { return !m_logo.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    MainBackground m_bg;
    QPixmap m_logo;
};
