#include "ui/MenuTextStyle.h"

#include <QFontMetricsF>
#include <QStyleOptionMenuItem>

#include <cmath>

QSize MenuTextStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                      const QSize& size, const QWidget* widget) const {
    QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuItem || !item || item->text.isEmpty()) return s;
    const QString caption = item->text.left(item->text.indexOf(u'\t'));
    const QFontMetricsF fm(item->font);
    const int drawn = int(std::ceil(fm.horizontalAdvance(caption)));
    const int sized = QFontMetrics(item->font).size(Qt::TextShowMnemonic, caption).width();
    if (drawn > sized) s.rwidth() += drawn - sized;
    return s;
}
