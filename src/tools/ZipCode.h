#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class FileConnection;

// The zip-code database DBS/dbPost.db (table Post: ZIPCODE, SIDO, GUGUN, DONG, BUNJI;
// codes stored without a dash, six digits before 2015, five since) on its own read-only
// connection.

struct ZipRow {
    QString zipcode, sido, gugun, dong, bunji;
};

QString PostDatabasePath(); // <database folder>/dbPost.db

// "123456" → "123-456"; any other code (five digits) as it is.
QString FormatZipCode(const QString& code);
// A search input is a zip code when, without its dashes, it is digits only.
bool IsZipCodeInput(const QString& input);

class PostDatabase {
public:
    PostDatabase();
    ~PostDatabase();
    bool open(const QString& path, QString* error = nullptr);
    void close();
    bool isOpen() const;
    // Rows whose code equals the input without dashes, or whose dong starts with the
    // input (taken literally: % and _ are plain characters); ordered by code.
    bool search(const QString& input, QVector<ZipRow>& rows, QString* error = nullptr) const;
    // The engine's plan of the search (benchmarks, tests).
    QStringList searchPlan(const QString& input) const;

private:
    std::unique_ptr<FileConnection> m_conn;
};

// Statements that make a Post database (table and its indexes); the indexes also serve
// to upgrade a downloaded file.
QStringList PostSchemaStatements();
QStringList PostIndexStatements();

// Whether `path` is a sound database with a Post table holding rows.
bool IsUsablePostDatabase(const QString& path, QString* error = nullptr);

// Installs the bundled sample as `path` when no file is there. False when none was
// written (a file exists, or writing failed).
bool InstallSamplePostDatabase(const QString& path);
