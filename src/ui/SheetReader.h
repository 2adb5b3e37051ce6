#pragma once

#include <QtGlobal>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

// Reading worksheets from files without any widget: Excel 97-2003 (.xls, through FreeXL in
// the helper program memberdesk-sheetread, see below),
// Excel 2007 and later (.xlsx, a zip of XML parts) and CSV (one sheet named after the
// file). The kind is told by the file's content: the OLE2 signature is .xls, a zip holding
// xl/workbook.xml is .xlsx, and a text file named *.csv is CSV.
//
// Cell texts: numbers without ".0" or exponent when whole; date-formatted numbers as
// "YYYY-MM-DD"; booleans "TRUE"/"FALSE"; formula cells as their cached value.
// A sheet larger than SheetMaxRows rows or SheetMaxCols columns is refused while reading,
// so memory stays bounded. Opens, loads and failures are logged to ILOGFILE.TXT in the
// data folder.

constexpr int SheetMaxRows = 200000;
constexpr int SheetMaxCols = 256;
// Whatever the shape, a sheet keeps at most this many cells (padding included) and this
// many characters of cell text.
constexpr qint64 SheetMaxCells = qint64(SheetMaxRows) * 64;
constexpr qint64 SheetMaxChars = 128 * 1024 * 1024;

enum class SheetFormat { Unknown, Xls, Xlsx, Csv };

enum class SheetError {
    None,
    NotWorksheet, // content not recognised as a worksheet
    CannotOpen,   // the file cannot be read
    BadSheetList, // no sheet list, or one that cannot be read
    LoadFailed,   // a sheet that cannot be read
    TooLarge,     // a sheet beyond SheetMaxRows or SheetMaxCols
    Protected,    // a workbook protected by a password (encrypted)
    BadEncoding,  // a text file that is neither clean UTF-8 nor clean CP949
};

struct SheetData {
    QString name;
    int cols = 0;              // widest row; every row is padded to this
    QVector<QStringList> rows; // row 1 first
};

// Called while a sheet is read: rows read so far; return false to stop.
using SheetProgress = std::function<void(int rowsRead)>;

class WorkbookReader {
public:
    WorkbookReader();
    ~WorkbookReader();
    WorkbookReader(const WorkbookReader&) = delete;
    WorkbookReader& operator=(const WorkbookReader&) = delete;

    // The kind of a file by its first bytes (and, for text, its name). Unknown when it is
    // none of the three or cannot be read.
    static SheetFormat detect(const QString& path);

    // Opens the file and reads its sheet list. On failure error() tells why.
    bool open(const QString& path);
    void close();
    SheetFormat format() const { return m_format; }
    QStringList sheetNames() const { return m_names; }

    // Reads sheet `index` (0-based). False on failure (see error()); `out` is then empty.
    bool loadSheet(int index, SheetData& out, const SheetProgress& progress = {});

    SheetError error() const { return m_error; }
    QString errorDetail() const { return m_detail; } // the reason, as logged

    // Text of a cell at zero-based column index: "A", "Z", "AA", ... .
    static QString columnName(int col0);

private:
    bool fail(SheetError e, const QString& detail);
    bool loadXlsxSheet(int index, SheetData& out, const SheetProgress& progress);
    bool loadCsv(SheetData& out, const SheetProgress& progress);
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    SheetFormat m_format = SheetFormat::Unknown;
    QString m_path;
    QStringList m_names;
    SheetError m_error = SheetError::None;
    QString m_detail;
};

// Appends one line, stamped with the program clock, to ILOGFILE.TXT in the data folder.
void SheetLog(const QString& line);

// .xls files are read by the helper program memberdesk-sheetread (beside memberdesk-backup):
// the worksheet library is not ours and a damaged file may crash or hang it. The helper reads
// the whole workbook and writes every sheet, or why it could not, to its standard output.
// It runs with a limit on time and memory; a crash, a hang or a cut answer refuses the file
// (BadSheetList) and the program goes on.
constexpr int SheetHelperTimeoutMs = 60000;
constexpr qint64 SheetHelperMemory = qint64(2) << 30;

struct SheetResult {
    SheetError error = SheetError::None;
    QString detail;
    SheetData data; // finished (padded), when error is None
};

struct SheetWorkbook {
    SheetError error = SheetError::None; // of the workbook as a whole (sheet list)
    QString detail;
    QStringList names;
    QVector<SheetResult> sheets; // one per name
};

QByteArray EncodeSheetWorkbook(const SheetWorkbook& wb);
bool DecodeSheetWorkbook(const QByteArray& bytes, SheetWorkbook& wb); // false when cut or garbled
QString SheetHelperProgram();
// Runs the helper on `path`; false (with the reason in `why`) when it failed to answer
// within `timeoutMs`.
bool RunSheetHelper(const QString& path, SheetWorkbook& out, QString& why,
                    int timeoutMs = SheetHelperTimeoutMs);

// Helpers shared by the readers, public for their tests.
// Places cells by position; refuses positions beyond the limits.
class SheetBuilder {
public:
    explicit SheetBuilder(SheetData& s) : m_s(s) {}
    bool put(int row, int col0, const QString& text); // row one-based, column zero-based

private:
    SheetData& m_s;
    qint64 m_chars = 0;
};
// Drops trailing empty rows and pads every row to the widest one. False when the padded
// sheet would hold more than SheetMaxCells cells.
bool SheetFinish(SheetData& s);
QString SheetTooLargeDetail();
// A number as a cell shows it: whole numbers without decimals or exponent.
QString SheetNumberText(double v);
// Spreadsheet serial day to "YYYY-MM-DD" in the 1900 (Lotus leap-year quirk kept) or 1904
// system; "" when out of range.
QString SheetSerialDate(double serial, bool date1904);
// True when a number format (built-in id, or custom code when id >= 164) shows a date.
bool SheetFormatIsDate(int numFmtId, const QString& code);
