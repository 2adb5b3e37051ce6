#pragma once

#include <QString>

// Per-user settings store: application name / section / key, every value a string.
// Each application name is one INI file: <config dir>/MemberDesk/<application>.ini,
// the section is the INI group.
namespace Settings {

// $XDG_CONFIG_HOME/MemberDesk (or ~/.config/MemberDesk) unless redirected.
QString configDir();
// Redirects the store (tests); an empty path restores the default.
void setConfigDir(const QString& dir);

// The value of `key` in `section` of application `app`'s store (named apart from the
// own-application get below, so that three texts never mean two things).
QString getIn(const QString& app, const QString& section, const QString& key,
              const QString& defaultValue = {});
void set(const QString& app, const QString& section, const QString& key, const QString& value);
void remove(const QString& app, const QString& section, const QString& key = {});
bool contains(const QString& app, const QString& section, const QString& key);

// The same under the application title of the process-wide state.
QString get(const QString& section, const QString& key, const QString& defaultValue = {});
void set(const QString& section, const QString& key, const QString& value);

} // namespace Settings
