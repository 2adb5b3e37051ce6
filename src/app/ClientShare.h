#pragma once

#include <QString>

// A client PC whose server share cannot be reached at start is never a dead end: it may
// try again, open the network setup, or work on this PC's own database for this run.
enum class ShareGone { Retry, NetworkSetup, LocalDatabase, Quit };

// Says which folders were tried and what to check, then asks what to do.
ShareGone AskShareGone(const QString& drive, const QString& networkPath);

// The network setup as a window of its own, before login, until it is closed. True when
// its settings were saved (the start then goes on with them).
bool OpenNetworkSetupAtStart();
