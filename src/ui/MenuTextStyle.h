#pragma once

#include <QProxyStyle>

// The application's style with menu items wide enough for their whole caption. The menu
// sizes an item by its caption without the mnemonic's "&", while the drawing elides the
// caption against its width with the "&" counted; the widest items of a menu then showed
// as "사용자 등 ··· (U)". Each item here is made wider by that difference.
class MenuTextStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
};
