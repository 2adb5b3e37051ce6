#pragma once

#include <QColor>
#include <QString>

// Background of the main window's client area, kept per user under "공통설정" / "메인배경":
// `로고배치형태` (layout), `로고파일경로` (logo file), `배경색상` (colour as the number
// red + green * 256 + blue * 65536).
struct MainBackground {
    enum class Layout { Tiled, Centred, None };

    Layout layout = Layout::Tiled;
    QString logoPath; // the file to draw; empty = no logo
    QColor color = DefaultColor();

    static QColor DefaultColor();           // RGB 241, 241, 241
    static QString DefaultColorText();      // "15856113"
    static QString DefaultLogoPath();       // <data>/Image/mainbg.jpg
    static constexpr const char* App = "공통설정";
    static constexpr const char* Section = "메인배경";
    static constexpr const char* KeyLayout = "로고배치형태";
    static constexpr const char* KeyLogo = "로고파일경로";
    static constexpr const char* KeyColor = "배경색상";

    // Reads the three settings. Values that cannot be used fall back quietly: a layout that is
    // not a number → tiled (a number other than 0 and 1 means no logo); a colour that is not a
    // number from 0 to 16777215 → the default colour; a logo file that is missing or is not a
    // readable image → the default logo (none when that cannot be read either).
    static MainBackground load();

    static QColor colorFromNumber(const QString& text, bool* ok = nullptr);
    static QString numberFromColor(const QColor& c);

    // Puts the default logo (shipped inside the program) at DefaultLogoPath() when no file is
    // there. False when it could not be written.
    static bool installDefaultLogo();
};
