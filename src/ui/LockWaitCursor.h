#pragma once

// Shows the wait cursor while a statement waits for another PC's lock on the database, so
// the pause reads as waiting rather than as a hung program.
void InstallLockWaitCursor();
