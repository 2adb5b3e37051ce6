#pragma once

#include "members/GroupSchedule.h"

#include <QList>
#include <QString>
#include <QVariantHash>

// Reading and writing groups (tblgroup) outside any window.
struct GroupRecord {
    int code = 0;       // 0 for a new group
    QString name;
    GroupSchedule schedule;
    double amount = 0;  // dues per due month
    QString memo;
    QString repeatClass;   // as stored (filled by LoadGroups/LoadGroup)
    QString settlementDay;
};

// Every group by code, the default group included.
QList<GroupRecord> LoadGroups();
GroupRecord LoadGroup(int code); // code 0 when absent

// The whole save check in order: inputs (CheckGroupInput), then the name's uniqueness
// among the other groups. "" when the group may be saved.
QString CheckGroupSave(const GroupRecord& g);
// The stored columns a group's inputs stand for (gname trimmed, the schedule codes,
// settlementmon, smemo). The codes are derived from the schedule; a group without a kind
// keeps both codes empty.
QVariantHash GroupColumnValues(const GroupRecord& g);
// Inserts (code 0, then sets g.code) or updates; rows affected (every column of
// GroupColumnValues).
int SaveGroup(GroupRecord& g);

// The delete guards of the group window (members, then fund records); true when the
// group may go. Shows the guard's message otherwise.
bool GroupDeleteAllowed(int code);
// Removes the row; false (after the warning) when nothing was deleted.
bool DeleteGroupRow(int code);
