#pragma once

#include <QString>

// The database-server choice in the settings, section [Database]: Engine=postgresql with
// Host, Port, Name and User. The password is kept apart in a file only the user can read
// (ServerPasswordFile, libpq's password-file format), never in the settings.
struct ServerSettings {
    QString host;
    QString port;
    QString name;
    QString user;
};

// The stored connection settings, with the defaults for those not stored.
ServerSettings LoadServerSettings();
// Stores the connection settings and chooses the database server.
void SaveServerSettings(const ServerSettings& s);
// Chooses the database file (this PC's or a shared folder's) instead of a server.
void ChooseFileEngine();
// True when the settings choose a database server.
bool ServerEngineInSettings();
// Connection text for `s`, naming the password file when there is one.
QString ServerLocationFor(const ServerSettings& s);
// <settings folder>/<application>.pgpass
QString ServerPasswordFile();
// Writes the password for `name`/`user` into the password file, readable by the user only.
bool SaveServerPassword(const QString& name, const QString& user, const QString& password);
