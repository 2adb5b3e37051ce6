#pragma once

#include <QString>

// Choosing a database server instead of the embedded file. The choice lives in the
// settings section [Database]: Engine=postgresql with Host, Port, Name and User; the
// password is kept apart in a file only the user can read (ServerPasswordFile, libpq's
// password-file format), never in the settings. A start with
// `--database LOCATION` (a file path, a postgresql:// address or key=value connection
// text) uses that location for this run instead.

// The location given with --database on the command line, "" when none.
QString DatabaseSwitch();
// True when this start uses a database server (the switch names one, or the settings
// choose one and no switch names a file).
bool ServerEngineChosen();
// The server location from the settings (with the password file), or the switch's.
QString ServerLocation();
// <settings folder>/<application>.pgpass
QString ServerPasswordFile();
// Writes the password for `name`/`user` into the password file, readable by the user only.
bool SaveServerPassword(const QString& name, const QString& user, const QString& password);

// Opens the chosen server database. When it cannot be reached, the user is asked to try
// again, change the connection settings or quit; an empty database there is offered the
// MemberDesk tables. False when the user quits (nothing is open then).
bool OpenServerDatabase();
