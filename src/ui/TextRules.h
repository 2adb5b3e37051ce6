#pragma once

#include <QString>

// Formatting rules of the formatted text input, kept free of widgets so they can be
// tested and reused on their own.

// Byte length in the legacy code page: a character up to U+007F counts 1, any other 2.
// A surrogate pair is one character.
int ByteLength(const QString& text);

// The longest beginning of `text` whose byte length is at most `maxBytes`; a
// character that would only partly fit is dropped whole. maxBytes <= 0 gives "".
QString CutToBytes(const QString& text, int maxBytes);

// The leading numeric value of a typed number: thousands separators are ignored, an
// optional sign, digits and one decimal point are read; what follows is ignored.
// Empty or non-numeric text gives 0.
double NumericValue(const QString& text);

// A number shown with the pattern "#,##0" (decPlace > 0: "#,##0." and that many zeros),
// rounded half away from zero.
QString FormatNumber(double value, int decPlace);

// Reformats a number being typed: "" and a lone "-" stay as they are, anything else
// becomes FormatNumber(NumericValue(text), decPlace).
QString FormatTypedNumber(const QString& text, int decPlace);

// Telephone number formatting:
//  - fewer than 6 characters, no digit at all, or any character besides digits, blanks,
//    "-", "(", ")" and ".": unchanged (a text with words is not a number);
//  - an area code with too few digits after it for exchange and last four: unchanged;
//  - otherwise the digits only; with more than 4 digits they are split into
//    area code - exchange - last four. The area code is "02" (2 digits), "0505"
//    (4 digits), or 3 digits for other numbers beginning with "0" that have 9 or more
//    digits; other numbers have none ("1234567" -> "123-4567").
//    An area code is only split off when digits remain between it and the last four.
QString FormatTelephone(const QString& text);

// Every "-" removed and the digits shown as "000-000-0000" (zero-filled on the left;
// longer numbers keep their extra digits in front). A text that is not all digits after
// removing the dashes is returned unchanged.
QString FormatDashed10(const QString& text);

// Position in `formatted` after the same number of digits (and decimal points) as stand
// before `caret` in `original`: keeps the caret in place when separators move.
int CaretAfterReformat(const QString& original, int caret, const QString& formatted);
