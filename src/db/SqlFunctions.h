#pragma once

struct sqlite3;

class QString;

// The Jet functions the program's statements use (MID, LEFT, RIGHT, LEN, ISNUMERIC, UCASE),
// registered on one connection. They count characters, not bytes. Internal to src/db.
bool RegisterSqlFunctions(sqlite3* db);

// Jet's IsNumeric on text: blanks around, an optional sign, digits with at most one
// decimal point and an optional exponent. Empty text is not a number.
bool JetIsNumeric(const QString& text);
