#pragma once

#include <QStringList>

// The statements that build a database at the current schema version: tables, indexes and
// the fixed rows every list and reference relies on. Internal to src/db.
namespace Schema {

QStringList tableStatements();
QStringList indexStatements();
QStringList fixedRowStatements();

// The pick-list table of the user-defined member fields (also made by the upgrade).
QString userFieldListTable();

} // namespace Schema
