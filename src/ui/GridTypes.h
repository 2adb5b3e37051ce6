#pragma once

// Small value types shared by the grid view and its model.

// What a column's cells hold and how they are drawn and edited.
enum class CellType {
    Text,     // free text, left aligned
    CheckBox, // text "1" when ticked, "" otherwise; Space or a click toggles
    Button,   // a push button showing the cell text; a click emits buttonClicked
    Number,   // text right aligned; exported to spreadsheets as a number
};

// Where Enter moves after committing a cell in an entry grid.
enum class EnterMove { Down, Right, Stay };

// Row marks used by the subtotal views.
namespace RowMark {
inline constexpr const char* Subtotal = "subtot";
inline constexpr const char* GrandTotal = "gndtot";
} // namespace RowMark
