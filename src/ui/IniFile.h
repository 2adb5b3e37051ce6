#pragma once

#include <QList>
#include <QPair>
#include <QString>

// A small INI text file: "[section]" lines followed by "key=value" lines, kept in the
// order they were read or added so that the file stays readable. Keys and sections are
// compared case-insensitively; values are plain text (no escaping, no quoting). Lines
// that are neither are ignored, so a damaged file reads as far as it makes sense.
class IniFile {
public:
    IniFile() = default;
    explicit IniFile(const QString& path) { load(path); }

    // Reads the file; a missing or unreadable file gives an empty document (false).
    bool load(const QString& path);
    // Writes the document, creating the folder when missing; false when it cannot.
    bool save(const QString& path) const;

    void parse(const QString& text);
    QString toText() const;

    QString value(const QString& section, const QString& key,
                  const QString& defaultValue = {}) const;
    bool contains(const QString& section, const QString& key) const;
    void setValue(const QString& section, const QString& key, const QString& value);
    void removeSection(const QString& section);
    bool hasSection(const QString& section) const;
    QStringList keys(const QString& section) const;
    bool isEmpty() const { return m_sections.isEmpty(); }

private:
    struct Section {
        QString name;
        QList<QPair<QString, QString>> entries;
    };
    Section* find(const QString& section);
    const Section* find(const QString& section) const;
    QList<Section> m_sections;
};
