#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// Bringing members from sheet rows into tblfriend, without any window.
//
// A row is read through a mapping (target field -> zero-based sheet column, -1 unmapped):
// values trimmed; 성별 empty, "남" or "여"; 혈액형 upper-cased, empty, A, B, O or AB;
// 생일 and 사용자정의1/2 dates by the typed-date rule, stored "YYYY-MM-DD"; texts cut to
// their byte maxima (a Korean character counts two). Every problem is a log line
// "<row>행의 ..."; a row with a rejecting problem is not written.
//
// The write pass runs in one transaction: groups named in the sheet are created once each,
// new members are inserted as the member editor inserts them (unmapped texts empty, sex
// and blood type " ", registration, dues-start and last-change dates today); in update
// mode a member found by a management number only gets the mapped fields and finalday.
// Any failed statement rolls back everything, groups included.

enum ImportField {
    FName,
    FIdNo,
    FCodeNo,
    FMale,
    FAbo,
    FHp,
    FTel1,
    FTel2,
    FTel3,
    FFax,
    FGroup,
    FMail,
    FZip,
    FAddr,
    FAddr2,
    FMemo,
    FCompany,
    FBirthday,
    ImportFieldCount
};

struct ImportFieldInfo {
    const char* label;  // shown beside the chooser and in log lines
    const char* column; // tblfriend column
    int maxBytes;
};
const ImportFieldInfo& ImportFieldAt(int field);
constexpr int ImportUserFieldCount = 18;

struct ImportMapping {
    QVector<int> fields = QVector<int>(ImportFieldCount, -1);
    QVector<int> users = QVector<int>(ImportUserFieldCount, -1);
    // Log labels of the user fields: "사용자정의1" .. "사용자정의18".
};

// What one sheet row gives.
struct ImportRow {
    // Mapped columns (ctblgroup excluded) and their stored texts, in field order, then the
    // user fields: every row read with one mapping has the same columns.
    QList<std::pair<QString, QString>> values;
    QString value(const QString& column) const; // "" when the column is not mapped
    bool groupMapped = false;
    QString groupName;
    QStringList log;       // problems and cut notes, each "<row>행의 ..."
    bool rejected = false; // a problem that keeps the row out
};
ImportRow ReadImportRow(const QStringList& cells, const ImportMapping& map, int rowNo);

// True when a sheet row holds column headings: one of its cells is a field label
// ("회원명", "관리번호", ...). Such a row is never imported.
bool IsHeadingRow(const QStringList& cells);

// Rows from..to holding a resident number that cannot be stored because the key file is
// missing (0 when the key is loaded or no column is chosen for it).
int CountImportIdNosLost(const QVector<QStringList>& rows, const ImportMapping& map, int from,
                         int to);

using ImportLog = std::function<void(const QString&)>;
using ImportProgress = std::function<void(int rowsDone)>;

// Step 3: every row from..to (1-based sheet rows) checked, nothing written. The count of
// rows that logged anything.
int CheckImportRows(const QVector<QStringList>& rows, const ImportMapping& map, int from, int to,
                    const ImportLog& log);

struct ImportResult {
    bool ok = false; // false: a statement failed and everything was rolled back
    int written = 0;
    int failedRow = 0; // the sheet row being written when it failed (0: before any row)
    QString cause;     // why, in Korean
};
ImportResult WriteImportRows(const QVector<QStringList>& rows, const ImportMapping& map, int from,
                             int to, bool updateMode, const ImportLog& log,
                             const ImportProgress& progress = {});
