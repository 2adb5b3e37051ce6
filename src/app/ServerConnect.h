#pragma once

#include "db/ServerSettings.h"

#include <QString>

// Choosing a database server instead of the embedded file (the settings: ServerSettings.h,
// chosen in the network setup window or when a start cannot reach the server). A start with
// `--database LOCATION` (a file path, a postgresql:// address or key=value connection
// text) uses that location for this run instead.

// The location given with --database on the command line, "" when none.
QString DatabaseSwitch();
// True when this start uses a database server (the switch names one, or the settings
// choose one and no switch names a file).
bool ServerEngineChosen();
// The server location from the settings (with the password file), or the switch's.
QString ServerLocation();

// Opens the chosen server database. When it cannot be reached, the user is asked to try
// again, change the connection settings or quit; an empty database there is offered the
// MemberDesk tables. False when the user quits (nothing is open then).
bool OpenServerDatabase();
