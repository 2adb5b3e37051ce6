#pragma once

// Set-up shared by the member tests: members and groups written through the store, as the
// editor writes them.
#include "members/GroupStore.h"
#include "members/MemberSearch.h"
#include "members/MemberStore.h"
#include "ui/Grid.h"

#include <QStringList>

// A member named `name` with `extra` columns; its code, 0 when it was not saved.
inline int addMember(const QString& name, MemberValues extra = {}) {
    extra.insert("sname", name);
    int code = 0;
    return SaveMember(0, extra, &code) == 1 ? code : 0;
}

// A group without dues; its code, 0 when it was not saved.
inline int addGroup(const QString& name) {
    GroupRecord g;
    g.name = name;
    return SaveGroup(g) == 1 ? g.code : 0;
}

// A member search of `menu` for `text` (or the combo `choice`), no dates, no user fields.
inline MemberSearchInput memberSearch(const QString& menu, const QString& text = {},
                                      const QString& choice = {}) {
    MemberSearchInput in;
    in.dateKind = MemberSearchText::DateNone;
    in.menu = menu;
    in.text = text;
    in.choice = choice;
    for (int i = 0; i < 18; ++i)
        in.userFieldNames << QString();
    return in;
}

// The texts of column `col` of every data row of `g`, top to bottom.
inline QStringList gridColumn(Grid* g, int col) {
    QStringList out;
    for (int r = 1; r <= g->dataRowCnt(); ++r)
        out << g->text(col, r);
    return out;
}
