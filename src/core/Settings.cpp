#include "core/Settings.h"
#include "core/AppState.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {
QString& overrideDir() {
    static QString dir;
    return dir;
}

QString fileFor(const QString& app) {
    QString name = app;
    name.replace(u'/', u'_').replace(u'\\', u'_');
    return Settings::configDir() + u'/' + name + QStringLiteral(".ini");
}
} // namespace

namespace Settings {

QString configDir() {
    if (!overrideDir().isEmpty()) return overrideDir();
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/MemberDesk");
}

void setConfigDir(const QString& dir) { overrideDir() = dir; }

QString getIn(const QString& app, const QString& section, const QString& key,
            const QString& defaultValue) {
    QSettings s(fileFor(app), QSettings::IniFormat);
    s.beginGroup(section);
    const QVariant v = s.value(key);
    return v.isValid() ? v.toString() : defaultValue;
}

void set(const QString& app, const QString& section, const QString& key, const QString& value) {
    QDir().mkpath(configDir());
    QSettings s(fileFor(app), QSettings::IniFormat);
    s.beginGroup(section);
    s.setValue(key, value);
    s.endGroup();
    s.sync();
}

void remove(const QString& app, const QString& section, const QString& key) {
    QSettings s(fileFor(app), QSettings::IniFormat);
    s.beginGroup(section);
    if (key.isEmpty())
        s.remove(QString());
    else
        s.remove(key);
    s.endGroup();
    s.sync();
}

bool contains(const QString& app, const QString& section, const QString& key) {
    QSettings s(fileFor(app), QSettings::IniFormat);
    s.beginGroup(section);
    return s.contains(key);
}

QString get(const QString& section, const QString& key, const QString& defaultValue) {
    return getIn(App().appTitle, section, key, defaultValue);
}

void set(const QString& section, const QString& key, const QString& value) {
    set(App().appTitle, section, key, value);
}

} // namespace Settings
