#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

// Reading and writing member rows (tblfriend) outside any window.

using MemberValues = QHash<QString, QVariant>;

// The columns the member editor writes, in the order of its INSERT.
const QStringList& MemberColumns();
// Columns stored as numbers (group code, calendar flags, marital flag, status).
bool IsMemberNumberColumn(const QString& column);

// The values as they are stored: numbers for the number columns, text for the others.
MemberValues StoredMemberValues(const MemberValues& values);
// Saves one member: `code` 0 inserts and sets `*newCode` to the new key, otherwise the row
// is updated. finalday is always today. Values are bound, never spliced into the text.
// Returns the rows affected (0: nothing saved).
int SaveMember(int code, const MemberValues& values, int* newCode = nullptr);
// Inserts a new member. With `autoCodeNo` the next free six-digit management number is
// read and the row inserted under one write lock, so two PCs never get the same number;
// `*codeNo` receives it. Rows inserted (0: nothing saved).
int SaveNewMember(const MemberValues& values, bool autoCodeNo, int* newCode = nullptr,
                  QString* codeNo = nullptr);
// Every column of one member; empty when the code does not exist.
MemberValues LoadMember(int code);
// True when no work field of the member is filled (the editor then hides that panel).
bool MemberWorkFieldsEmpty(int code);

// Deleting members. Members with trades are kept (the guard names "회원거래").
// Checked rows: asks once, then deletes each unused code; returns the codes deleted.
QList<int> DeleteCheckedMembers(const QList<int>& codes);
// The active row only (0 = none): guard first, then the question; true when deleted.
bool DeleteOneMember(int code);

// Group tree and moves.
QList<QPair<int, QString>> GroupNames(bool withDefault = true); // code, trimmed name, by code
struct MemberNode {
    int code = 0;
    QString name;
    QString male;
};
QList<MemberNode> GroupMembers(int groupCode);
bool MoveGroupMembers(int fromGroup, int toGroup);
bool MoveMember(int memberCode, int toGroup);
bool RenameMember(int memberCode, const QString& name);
// Renames a group; the default group and a name another group has are refused with a
// message. True when renamed.
bool RenameGroup(int groupCode, const QString& name);

// The detail panel of the member list.
struct MemberDetail {
    bool found = false;
    MemberValues values;        // the member's columns
    QString groupName;
    QString birthday;           // display texts of the anniversaries
    QString marryday;
    QString ectday;
    QString marriedText;        // "미혼" / "기혼"
    QString phoneWork;          // finalline, ", " + inline when given
    qint64 accumulatedPoints = 0; // sum of lstackpoint over his trades
    qint64 availablePoints = 0;   // accumulated - used (the point balance)
    qint64 usedPoints = 0;        // sum of lpoint: points spent on trades
};
MemberDetail LoadMemberDetail(int code);

// A stored anniversary as the panel shows it: a lunar one is followed by this year's
// solar date. A lunar day 30 in a month that has only 29 days this year is kept on the
// month's last day.
QString AnniversaryDisplay(const QString& storedDate, bool lunar);
// This year's solar date of a lunar month-day ("YYYY-MM-DD"), "" when there is none.
QString SolarDateThisYear(const QString& lunarDate);
