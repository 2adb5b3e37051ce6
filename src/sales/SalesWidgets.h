#pragma once

#include <QString>
#include <QStringList>

#include <initializer_list>

class Grid;
class HCText;
class QGridLayout;
class QCheckBox;
class QLabel;
class QLayout;
class QPushButton;
class QWidget;

// Controls built alike by several sales windows.

// A button named `name` that never becomes the default button; without `takesFocus` a
// click leaves the focus where it was (in the grid being typed into).
QPushButton* SalesButton(QWidget* parent, const char* name, const QString& text, bool takesFocus = false);
// The sunken panel "pnlInfo" showing stored text (never read as rich text).
QLabel* MakeInfoPanel(QWidget* parent);
// Shows `window` application-modal, puts the focus on `focus` and returns once the window
// is gone; the window deletes itself when it closes.
void ExecModalWindow(QWidget* window, QWidget* focus);
// Lays out an editor: `fields` above a row of the "continue" box, btnSave "저장 (F2)" and
// btnClose "닫기" (which closes the editor). Returns btnSave for the editor to connect.
QPushButton* LayOutEditor(QWidget* editor, QLayout* fields, QCheckBox* continueBox, bool buttonsTakeFocus);

// The fields "htField(i)" of an editor of the catalog or of a trade line: one per label,
// an empty label giving a hidden field; the `numbers` fields take numbers shown with
// separators. Returns the layout of labels and visible fields, one row each.
QGridLayout* MakeEditorFields(QWidget* editor, HCText** fields, const QStringList& labels,
                              std::initializer_list<int> numbers);
// The name of a service, required: "거래명이 입력되지 않았습니다" and the focus there.
bool CheckServiceName(HCText* name);
// A number field's value within the amount limit (or the count limit with `count`);
// otherwise "입력하신 숫자가 너무 큽니다." and the focus there.
bool CheckNumberFits(HCText* field, bool count, double factor = 1);
