#pragma once

#include "reports/HeaderFooterCode.h"

#include <QFont>

class QPainter;
class QRectF;

// Drawing of header and footer lines. Units are points (1/72 inch): fonts are sized in
// pixels of the painter's coordinate system, which the callers scale to points.

// The font drawn for a code font. "굴림체" and "굴림" are drawn with NanumBarunGothic,
// whose PDF text keeps its spaces.
QFont HfQFont(const HfFont& font);
QString PrintFamily(const QString& family);

double HfLineHeight(const HfLine& line);
// Height of the first `maxHeight` points worth of whole lines (all lines when they fit).
double HfHeight(const HfDocument& doc, double maxHeight);

// Draws the lines from the top of `area`; lines below its bottom are left out.
void PaintHf(QPainter& painter, const HfDocument& doc, const QRectF& area, int page, int pageCount);
