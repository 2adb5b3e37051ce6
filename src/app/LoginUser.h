#pragma once

#include <QString>

// The one local user (local_user row "00"): the look-ups of the login windows and the login
// itself. The stored password is an Argon2id hash ("" while none is set).

// The stored password (hash) of a login ID (letter case ignored); "" when none or no such ID.
QString LoginPassword(const QString& loginId);

// True when the ID (any letter case) and the password match the local user. A failing
// look-up is no match either, but sets `*failed`: it is no wrong password.
bool LoginMatches(const QString& loginId, const QString& password, bool* failed = nullptr);

// Fills the login ID, user's name, user code and owner code of the process-wide state.
// False when the ID is not the local user (the state keeps the ID, the name stays empty).
bool GetLoginUserInfo(const QString& loginId);

// Name of the local user.
QString LocalUserName();

// True when `password` is the local user's current password.
bool LocalPasswordMatches(const QString& password);

// Stores the new password and name of the local user; false when nothing was saved.
bool UpdateLocalUser(const QString& newPassword, const QString& name);
