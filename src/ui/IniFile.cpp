#include "ui/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

bool IniFile::load(const QString& path) {
    m_sections.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    parse(QString::fromUtf8(f.readAll()));
    return true;
}

bool IniFile::save(const QString& path) const {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) return false;
    // Written to a temporary file and renamed, so a failed write keeps the old file.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    f.write(toText().toUtf8());
    return f.commit();
}

void IniFile::parse(const QString& text) {
    m_sections.clear();
    Section* current = nullptr;
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            if (close < 0) {
                current = nullptr; // a cut-off header: ignore what follows until the next one
                continue;
            }
            const QString name = line.mid(1, close - 1).trimmed();
            current = find(name);
            if (!current) {
                m_sections.append({name, {}});
                current = &m_sections.last();
            }
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!current || eq <= 0) continue;
        const QString key = line.left(eq).trimmed();
        const QString val = line.mid(eq + 1).trimmed();
        bool replaced = false;
        for (auto& e : current->entries) {
            if (e.first.compare(key, Qt::CaseInsensitive) == 0) {
                e.second = val;
                replaced = true;
                break;
            }
        }
        if (!replaced) current->entries.append({key, val});
    }
}

QString IniFile::toText() const {
    QString out;
    for (const auto& s : m_sections) {
        if (!out.isEmpty()) out += u'\n';
        out += u'[' + s.name + QStringLiteral("]\n");
        for (const auto& e : s.entries) out += e.first + u'=' + e.second + u'\n';
    }
    return out;
}

IniFile::Section* IniFile::find(const QString& section) {
    for (auto& s : m_sections)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

const IniFile::Section* IniFile::find(const QString& section) const {
    for (const auto& s : m_sections)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

QString IniFile::value(const QString& section, const QString& key,
                       const QString& defaultValue) const {
    if (const Section* s = find(section))
        for (const auto& e : s->entries)
            if (e.first.compare(key, Qt::CaseInsensitive) == 0) return e.second;
    return defaultValue;
}

bool IniFile::contains(const QString& section, const QString& key) const {
    if (const Section* s = find(section))
        for (const auto& e : s->entries)
            if (e.first.compare(key, Qt::CaseInsensitive) == 0) return true;
    return false;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    Section* s = find(section);
    if (!s) {
        m_sections.append({section, {}});
        s = &m_sections.last();
    }
    for (auto& e : s->entries) {
        if (e.first.compare(key, Qt::CaseInsensitive) == 0) {
            e.second = value;
            return;
        }
    }
    s->entries.append({key, value});
}

void IniFile::removeSection(const QString& section) {
    for (qsizetype i = 0; i < m_sections.size(); ++i) {
        if (m_sections[i].name.compare(section, Qt::CaseInsensitive) == 0) {
            m_sections.removeAt(i);
            return;
        }
    }
}

bool IniFile::hasSection(const QString& section) const { return find(section) != nullptr; }

QStringList IniFile::keys(const QString& section) const {
    QStringList out;
    if (const Section* s = find(section))
        for (const auto& e : s->entries) out << e.first;
    return out;
}
