#pragma once

#include <QtGlobal>

// Statements sent to the engine since the program started (round trips on a server, not
// counting the layer's own savepoints): benchmarks report it per window step.
qint64 StatementsRun();
