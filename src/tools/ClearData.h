#pragma once

#include <QString>

#include <functional>

// Clearing the money book and the group-fund movements (master data stays).

// Whether `password` is the password of the login ID "ADMIN" (bound, never spliced).
bool AdminPasswordMatches(const QString& password);

// Empties tblgroupmon, tblitem (but the fixed row), tblsubdata, tblaffairsnote (but the
// fixed row) and tbljangbu in one transaction: all of it or nothing. `step` is called with
// 1..5 after each statement. False, with the engine's reason in `error`, when any
// statement or the commit failed; the data is then as before.
bool ClearAccountingData(const std::function<void(int)>& step = {}, QString* error = nullptr);
