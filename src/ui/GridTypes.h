#pragma once

class QString;

// Small value types shared by the grid view and its model.

// What a column's cells hold and how they are drawn and edited.
enum class CellType {
    Text,     // free text, left aligned
    CheckBox, // text "1" when ticked, "" otherwise; Space or a click toggles
    Button,   // a push button showing the cell text; a click emits buttonClicked
    Number,   // text right aligned; exported to spreadsheets as a number
};

// Typed cell texts are at most this long unless a column says less (the longest text column
// of the documented schema), so one pasted page never reaches a statement.
inline constexpr int GridCellMaxChars = 255;

// Where Enter moves after committing a cell in an entry grid.
enum class EnterMove { Down, Right, Stay };

// Row marks used by the subtotal views.
namespace RowMark {
inline constexpr const char* Subtotal = "subtot";
inline constexpr const char* GrandTotal = "gndtot";
} // namespace RowMark

// What a person typed or pasted into a cell, as it is stored: control characters (NUL, tabs,
// line breaks) dropped as the one-line text boxes drop them, then cut to `maxChars`
// without splitting a character.
QString CleanTypedCell(const QString& typed, int maxChars);
