#pragma once

#include <QList>
#include <QString>

class QPagedPaintDevice;

// Address labels on A4 sheets of 2 columns by 8 rows ("AnyLabel V3240 (2x8)").
//
// Positions count 0..15 across then down: position p sits in row p / 2, column p % 2.
// All lengths are millimetres from the paper's top-left corner:
//   label top  y = row × 33.86 + top margin
//   text left  x = column × 102.06 + left margin + 3
// and inside a label, relative to (x, y), each text's top-left corner:
//   address line 1   12 pt at (3, 5)       address line 2   12 pt at (3, 10)
//   name, spaced     16 pt at (3, 19)      "귀하"           14 pt at (83, 20)
//   "Tel." + phone   12 pt at (3, 26)      zip code, spaced 14 pt at (60, 26)
// A text longer than its room is cut with "…", so nothing runs into "귀하", the zip code
// or the next label.
namespace DmLabel {
inline constexpr int Columns = 2;
inline constexpr int Rows = 8;
inline constexpr int PerSheet = Columns * Rows;
inline constexpr double RowPitch = 33.86;
inline constexpr double ColumnPitch = 102.06;
inline constexpr double LabelWidth = 99.06; // the printable label; a 3 mm gap to the next
} // namespace DmLabel

struct DmAddress {
    QString name;
    QString address1;
    QString address2;
    QString zip;
    QString tel;
};

struct DmPlace {
    int page = 0; // 0-based sheet
    double x = 0; // text left, mm
    double y = 0; // label top, mm
};

// Where the label `index` (0-based, in print order) goes when printing starts at
// `startPos` (1..16; anything else counts as 1).
DmPlace DmLabelPlace(int startPos, int index, double topMargin, double leftMargin);

// "홍길동" → "홍 길 동" (the name and the zip code are printed spaced out).
QString SpacedOut(const QString& text);

// Paints the labels on `device` (a printer or PDF writer, A4, full page), starting a new
// sheet only when another label follows. Font: NanumBarunGothic, standing for 굴림체.
// False when painting could not start on the device.
bool PaintDmLabels(QPagedPaintDevice* device, const QList<DmAddress>& labels, int startPos,
                   double topMargin, double leftMargin);
