#pragma once

#include "db/SqlPart.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

// Choosing a row of another table by a typed part of its name: one match is taken at
// once, several are offered in a list window, none offers to add the typed name.
//
// Kinds listed by FrmSearch: "tblfriend" (members, by name, phones or management number),
// "tblusename" (usage places), "ACIn"/"ACOut" (bank accounts), "Card" (cards). Other kinds
// ("tblservice", "tblitem", "tblaffairsnote") are served by their own catalog windows,
// which plug in with RegisterPickKind.

struct PickRow {
    int code = 0;
    QString name;
};

struct PickKindTexts {
    QString caption;        // caption of the list window
    QString notRegistered;  // "]은(는) 등록된 회원명이 아닙니다." without the leading "[text"
    QString addQuestion;    // "입력하신 회원명을 추가하시겠습니까?"
    QString noneRegistered; // "등록된 회원명이 없습니다."
};
PickKindTexts PickTexts(const QString& kind);
bool IsListPickKind(const QString& kind); // a kind FrmSearch lists

// The list query of a FrmSearch kind (name column "accountname", then code).
SqlPart PickListSql(const QString& kind, const QString& text);
QList<PickRow> PickListRows(const QString& kind, const QString& text);

// The question asked when nothing matches a typed text.
QString PickAddQuestion(const QString& kind, const QString& text);

// Returns the chosen name ("" when nothing was chosen) and leaves the chosen code in
// LastPickedCode() (services: LastPickedServiceCode()).
QString PickOrAdd(const QString& kind, const QString& text, const QString& itemClass = {});

int LastPickedCode();
void SetLastPickedCode(int code);
int LastPickedServiceCode();
void SetLastPickedServiceCode(int code);

// ---- plug-in points ----

// Shows the list window for several matches; the chosen row or nullopt. The default shows
// FrmSearch modally.
using PickChooser = std::function<std::optional<PickRow>(const QString& kind, const QString& text)>;
void SetPickChooser(PickChooser chooser); // empty restores the default

// Opens the editor of a kind in new mode with the typed name (may be empty); the row that
// was added, or nullopt. Each subsystem registers the editors of its kinds (members the
// member editor, the money book accounts and cards). A kind without an editor adds nothing.
using PickEditor = std::function<std::optional<PickRow>(const QString& kind, const QString& typedName)>;
void RegisterPickEditor(const QString& kind, PickEditor editor);
PickEditor PickEditorFor(const QString& kind);

// A whole picker for a kind that FrmSearch does not list (services, items).
using PickHandler = std::function<QString(const QString& text, const QString& itemClass)>;
void RegisterPickKind(const QString& kind, PickHandler handler);

// Deleting a usage place from the picker: guard, question, delete. True when deleted.
bool DeleteUsagePlace(int code, const QString& name);
