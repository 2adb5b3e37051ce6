#pragma once

#include <QString>

// Korean resident registration number: 13 digits after removing "-" and blanks around,
// with the published check digit (weights 2..9,2..5 over the first 12 digits).
// "9999999999999" is accepted as a placeholder.
bool IsValidResidentNo(const QString& text);
// "######-#######" for a valid number, the text unchanged otherwise.
QString FormatResidentNo(const QString& text);

// Length in bytes of the legacy code page: a character up to U+007F counts 1, any other 2.
int CodePageLength(const QString& text);

// The longest picture path the member record keeps, in code-page bytes.
constexpr int MaxPicturePathBytes = 100;
// "" when the path may be stored, else the refusal message.
QString CheckPicturePath(const QString& path);

// The digits of a telephone number as typed or stored ("010-1234-5678" -> "01012345678");
// "" when it has none.
QString PhoneDigits(const QString& phone);
// SQL expression giving the digits of a stored telephone column (dashes, blanks, brackets
// and dots removed), for comparing numbers by their digits.
QString PhoneDigitsSql(const QString& column);
