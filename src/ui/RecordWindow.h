#pragma once

// The toolkit of record windows: list windows (RecordList) and editors (RecordEditor),
// the window registry (ChildWindow/OpenChild, FormFocus, CloseAllChildren), editor key
// navigation, and the small shared checks and messages below.
//
// A list opening its editor:
//
//     void frmItem::editRecord(int code) {
//         auto* ed = ChildWindow<frmItemSub>(QStringLiteral("frmItemSub"));
//         connect(ed, &RecordEditor::recordSaved, this, &RecordList::refresh,
//                 Qt::UniqueConnection);
//         ed->SetFormMode(RecordEditor::EditMode, code);
//         FormFocus(ed);
//     }

#include "ui/EditorNavigation.h"
#include "ui/RecordEditor.h"
#include "ui/RecordList.h"
#include "ui/WindowRegistry.h"

#include <QString>

class QWidget;

// Caption of an editor in a mode: title + " - 『신규등록』" (1) or title + " - 『수정』" (2);
// any other mode leaves the title.
QString FormModeCaption(const QString& title, int mode);

// The text of an input: line edit, combo box (current text), text edit, spin box, or
// any widget with a "text" property.
QString InputText(const QWidget* input);

// Required-field check: an input whose text is empty (or blanks only) shows
// "[" + label + "]은(는) 필수 입력 사항입니다." (title "필수입력"), or
// "필수 입력사항을 입력하지 않았습니다." without a label, and puts the focus there when
// `setFocus` is on. True when the input holds something.
bool CheckRequired(QWidget* input, const QString& label = {}, bool setFocus = true);

// Gives the keyboard to the first visible, enabled input of `window` in tab order
// (buttons, check boxes and lists skipped): where the next record is typed after a save.
void FocusFirstInput(QWidget* window);

// The notice of a search that found nothing: "검색된 결과가 없습니다.".
void ShowNoResultNotice();
