#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The 18 user-defined member fields: names kept as options userfieldname_0..17 (option i
// names column userfieldnote(i+1)), and the pick lists of fields 3..18 (tbluserfieldlist,
// branchclass 0..15).
constexpr int UserFieldCount = 18;
constexpr int UserPickListCount = 16;

QString UserFieldOptionName(int index0); // "userfieldname_" + index0

// All 18 names in one query, trimmed; "" for a field not in use or without its option.
QStringList LoadUserFieldNames();
// The heading of field index0's grid column: its name (created empty when missing), or
// "사용자정의" when it has none.
QString UserFieldHeading(int index0);
// Stores the names that differ from the stored ones; true when all writes succeeded.
bool SaveUserFieldNames(const QStringList& names);
// Indexes (0..17) of the fields some member other than the fixed row has filled in.
QList<int> FilledUserFields();

// Pick list of combo k: (code, value) in code order.
QList<QPair<int, QString>> PickListValues(int k);
// Saves one value: code 0 inserts it (and sets *newCode). Rows affected.
int SavePickListValue(int k, int code, const QString& value, int* newCode = nullptr);
bool DeletePickListValue(int code);
