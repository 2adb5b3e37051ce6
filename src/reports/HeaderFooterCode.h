#pragma once

#include <QList>
#include <QString>

#include <array>
#include <optional>

// Page header and footer texts are written in a small code language:
//
//   /fn"name"  font name          /fz"size"  font size (points, 1 to 400)
//   /fb1 /fb0  bold on/off        /fi1 /fi0  italic      /fu1 /fu0 underline
//   /fk1 /fk0  strike-through     /fs<d>     store the current font as font d (0-9)
//   /f<d>      use font d         /l /c /r   continue in the left, centre, right part
//   /n         new line           /p  page number   /pc  page count   //  a slash
//
// Each line has a left, a centre and a right part. Fonts and the alignment carry on
// until changed, across lines too. A code that cannot be read is printed as text (so a
// stray "/x" shows as "/x"); a bad font name or size is also reported, for the editor.
// Using a font number that was never stored keeps the current font.

struct HfFont {
    QString family = QStringLiteral("굴림체");
    int size = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool operator==(const HfFont&) const = default;
};

struct HfRun {
    enum class Kind { Text, PageNumber, PageCount };
    Kind kind = Kind::Text;
    QString text;
    HfFont font;
};

enum class HfPart { Left = 0, Centre = 1, Right = 2 };
enum class HfError { None, FontName, FontSize };

struct HfLine {
    std::array<QList<HfRun>, 3> parts;
    HfFont font; // the font in effect at the end of the line: the height of an empty line
};

using HfFontTable = std::array<std::optional<HfFont>, 10>;

struct HfDocument {
    QList<HfLine> lines;           // none for an empty code text
    HfError error = HfError::None; // the first error met
    HfFontTable fonts;             // the stored fonts after the text
};

// Reads a code text. `fonts` are the fonts stored before it (a footer uses the fonts its
// header stored); `start` is the font in effect at the start.
HfDocument ParseHfCode(const QString& code, const HfFontTable& fonts = {},
                       const HfFont& start = {});

// Text that prints exactly as given: every "/" doubled.
QString EscapeHfText(const QString& text);

// The codes that select `font` from scratch: /fn, /fz, /fb, /fi, /fu, /fk.
QString HfFontCode(const HfFont& font);

// One part of one line as the header/footer editor shows it: the text, where
// "<Page Number>" and "<Page Count>" stand for the page number and count, and its font.
struct HfCell {
    QString text;
    HfFont font;
    bool operator==(const HfCell&) const = default;
};
using HfCellLine = std::array<HfCell, 3>;

inline const QString kHfPageNumber = QStringLiteral("<Page Number>");
inline const QString kHfPageCount = QStringLiteral("<Page Count>");

// Editor lines to code and back. Trailing empty lines are dropped when writing.
QString HfCellsToCode(const QList<HfCellLine>& lines);
QList<HfCellLine> HfCodeToCells(const QString& code, HfError* error = nullptr);
