#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;

// Another PC (or program) on the same database file: its own connection, opened read-write
// (creating the file only when asked), closed again on destruction.
class OtherPc {
public:
    explicit OtherPc(const QString& file = {}, bool create = false); // default: the open database's file
    ~OtherPc();
    OtherPc(const OtherPc&) = delete;
    OtherPc& operator=(const OtherPc&) = delete;

    bool ok() const { return m_db != nullptr; }
    // Runs `sql` (one or more statements); true when the engine accepted it.
    bool exec(const QString& sql);
    // First column of the first row of `sql`; null when none or on failure.
    QVariant value(const QString& sql);

private:
    sqlite3* m_db = nullptr;
};
