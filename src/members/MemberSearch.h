#pragma once

#include "db/SqlPart.h"

#include <QString>
#include <QStringList>

class QDate;

// Choices of the member list's search combos. The blanks inside the texts belong to them.
namespace MemberSearchText {
inline const QString DateNone = QStringLiteral("기념일선택");
inline const QString DateBirth = QStringLiteral("생         일");
inline const QString DateMarry = QStringLiteral("결혼기념일");
inline const QString DateOther = QStringLiteral("기타기념일");
inline const QString DateJoined = QStringLiteral("회원가입일");
inline const QString DateModified = QStringLiteral("최종수정일");

inline const QString MenuAll = QStringLiteral("전      체");
inline const QString MenuName = QStringLiteral("이      름");
inline const QString MenuGroup = QStringLiteral("그      룹");
inline const QString MenuPhone = QStringLiteral("전화번호");
inline const QString MenuAddress = QStringLiteral("주      소");
inline const QString MenuMemo = QStringLiteral("메      모");
inline const QString MenuBlood = QStringLiteral("혈 액 형");
inline const QString MenuSex = QStringLiteral("성      별");
inline const QString MenuMarried = QStringLiteral("결혼여부");
inline const QString MenuCodeNo = QStringLiteral("관리번호");
} // namespace MemberSearchText

// The anniversary kinds of cmbDate, in order.
QStringList MemberDateChoices();
// The fixed field choices of cmbMenu, in order (the named user fields follow them).
QStringList MemberMenuChoices();
// The fixed values offered in cmbData for a field choice; empty when the choice takes a
// typed text (txtData). The group choice is filled from the database instead.
QStringList MemberMenuValues(const QString& menu);

// Everything the member search reads from the window.
struct MemberSearchInput {
    QString dateKind;      // cmbDate text
    QString start;         // period start, YYYY-MM-DD
    QString end;           // period end, YYYY-MM-DD
    QString menu;          // cmbMenu text
    QString text;          // txtData
    QString choice;        // cmbData text
    int groupCode = 0;     // the group chosen in cmbData
    bool hidden = false;   // chkHidden: suspended members instead of active ones
    QStringList userFieldNames; // 18 names, "" when a field is not in use
    // User-field columns to read (indexes 0..17); -1 entries are ignored. Reading only
    // the ones the grid shows keeps a full list fast.
    QList<int> userColumns = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
};

// Condition on an anniversary column stored solar (flag 0) or lunar (flag 1). A period
// that starts in the current year compares month and day only, so it finds the
// anniversary in any year; lunar anniversaries are compared with the lunar dates of the
// period's ends. A month-day range that runs over the new year is split into its
// December and January parts. A period of another year compares whole dates.
SqlPart MakeAnniversaryWhere(const QString& dateColumn, const QString& lunarColumn,
                             const QString& start, const QString& end);

SqlPart MemberAnniversaryCondition(const MemberSearchInput& in);
SqlPart MemberFieldCondition(const MemberSearchInput& in);
// The whole member query of the list window: MemberSearchSelect (up to its conditions)
// ordered by the terms of MemberSearchOrder (group, then member code).
SqlPart MemberSearchSql(const MemberSearchInput& in);
SqlPart MemberSearchSelect(const MemberSearchInput& in);
QStringList MemberSearchOrder(const MemberSearchInput& in);

// Columns of the member query read by the list, and the 18 user-field columns.
QString UserFieldColumn(int index0); // "userfieldnote" + (index0 + 1)
