#include "ui/SheetReader.h"

#include "core/AppState.h"
#include "core/Clock.h"

#include <QDataStream>
#include <QDate>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QProcess>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <unicode/ucnv.h>
#include <zip.h>

#include <cmath>
#include <cstring>

#include <sys/resource.h>

// ---------------------------------------------------------------- shared helpers

void SheetLog(const QString& line) {
    QFile f(DataPath(QStringLiteral("ILOGFILE.TXT")));
    if (!f.open(QIODevice::Append | QIODevice::Text)) return;
    const QString stamped = Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                            QLatin1Char(' ') + line + QLatin1Char('\n');
    f.write(stamped.toUtf8());
}

QString SheetNumberText(double v) {
    if (!std::isfinite(v)) return {};
    if (v == std::floor(v) && std::fabs(v) < 1e15) return QString::number(static_cast<qint64>(v));
    return QString::number(v, 'g', 15);
}

QString SheetSerialDate(double serial, bool date1904) {
    if (!std::isfinite(serial) || serial < (date1904 ? 0 : 1) || serial > 2958465) return {};
    const qint64 day = static_cast<qint64>(std::floor(serial));
    QDate d;
    if (date1904)
        d = QDate(1904, 1, 1).addDays(day);
    else if (day < 60)
        d = QDate(1899, 12, 31).addDays(day);
    else if (day == 60)
        return {}; // the 29 February 1900 the 1900 system counts but that never was
    else
        d = QDate(1899, 12, 30).addDays(day);
    return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

bool SheetFormatIsDate(int id, const QString& code) {
    if (id < 164 && code.isEmpty()) {
        // Built-in: 14-17, 22 dates, 27-36 and 50-58 the East Asian date forms.
        // 18-21 and 45-47 are times of day and stay numbers.
        return (id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) ||
               (id >= 50 && id <= 58);
    }
    // Custom code: drop quoted literals, escaped characters and [..] sections, then a
    // year or day token makes it a date.
    bool quoted = false;
    int bracket = 0;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) quoted = false;
            continue;
        }
        if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i;
        } else if (c == QLatin1Char('[')) {
            ++bracket;
        } else if (c == QLatin1Char(']')) {
            bracket = qMax(0, bracket - 1);
        } else if (bracket == 0) {
            const QChar l = c.toLower();
            if (l == QLatin1Char('y') || l == QLatin1Char('d')) return true;
        }
    }
    return false;
}

QString WorkbookReader::columnName(int col0) {
    QString s;
    int n = col0 + 1;
    while (n > 0) {
        const int r = (n - 1) % 26;
        s.prepend(QChar(u'A' + r));
        n = (n - 1) / 26;
    }
    return s;
}

bool SheetFinish(SheetData& s) {
    while (!s.rows.isEmpty()) {
        const QStringList& last = s.rows.constLast();
        bool empty = true;
        for (const QString& t : last)
            if (!t.isEmpty()) {
                empty = false;
                break;
            }
        if (!empty) break;
        s.rows.removeLast();
    }
    int cols = 0;
    for (const QStringList& r : s.rows) {
        int w = int(r.size());
        while (w > 0 && r.at(w - 1).isEmpty())
            --w;
        cols = qMax(cols, w);
    }
    s.cols = cols;
    if (qint64(cols) * s.rows.size() > SheetMaxCells) return false;
    for (QStringList& r : s.rows) {
        while (r.size() > cols)
            r.removeLast();
        while (r.size() < cols)
            r.append(QString());
    }
    return true;
}

// ---------------------------------------------------------------- xlsx parts

namespace {

// A read-only device over one entry of an open zip archive, so the XML reader pulls the
// part in pieces instead of holding it whole.
class ZipEntryDevice : public QIODevice {
public:
    ZipEntryDevice(zip_t* zip, zip_int64_t index) {
        // Opened even when the entry cannot be: its reads then fail and failed() says so.
        m_file = zip_fopen_index(zip, zip_uint64_t(index), 0);
        m_failed = m_file == nullptr;
        QIODevice::open(QIODevice::ReadOnly);
    }
    ~ZipEntryDevice() override {
        if (m_file) zip_fclose(m_file);
    }
    bool failed() const { return m_failed; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (!m_file) return -1;
        const zip_int64_t n = zip_fread(m_file, data, zip_uint64_t(maxSize));
        if (n < 0) m_failed = true;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* m_file = nullptr;
    bool m_failed = false;
};

// Part names inside the archive are case-insensitive for Excel.
zip_int64_t locate(zip_t* z, const QString& name) {
    return zip_name_locate(z, name.toUtf8().constData(), ZIP_FL_NOCASE);
}

// "../x" and "/x" targets of a relationship, relative to folder "xl/".
QString resolveTarget(const QString& target) {
    if (target.startsWith(QLatin1Char('/'))) return target.mid(1);
    QStringList parts = QStringLiteral("xl").split(QLatin1Char('/'));
    for (const QString& p : target.split(QLatin1Char('/'))) {
        if (p == QLatin1String("..")) {
            if (!parts.isEmpty()) parts.removeLast();
        } else if (p != QLatin1String(".") && !p.isEmpty()) {
            parts << p;
        }
    }
    return parts.join(QLatin1Char('/'));
}

// Text of a string item (<si> or <is>): every <t>, phonetic runs (<rPh>) left out. The
// reader stands on the item's start element and ends on its end element.
QString readStringItem(QXmlStreamReader& x) {
    QString out;
    const QString end = x.name().toString();
    int phonetic = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            if (x.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (x.name() == QLatin1String("t") && phonetic == 0)
                out += x.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (x.isEndElement()) {
            if (x.name() == QLatin1String("rPh"))
                --phonetic;
            else if (x.name() == end)
                break;
        }
    }
    return out;
}

// "B12" -> column 1, row 12 (zero-based column, one-based row); false when malformed.
bool parseRef(QStringView r, int& col0, int& row) {
    int i = 0;
    qint64 c = 0;
    while (i < r.size() && r[i].isLetter()) {
        const QChar u = r[i].toUpper();
        if (u < QLatin1Char('A') || u > QLatin1Char('Z')) return false;
        c = c * 26 + (u.unicode() - u'A' + 1);
        if (c > 100000) return false;
        ++i;
    }
    if (i == 0 || i == r.size()) return false;
    qint64 n = 0;
    for (; i < r.size(); ++i) {
        if (!r[i].isDigit()) return false;
        n = n * 10 + r[i].digitValue();
        if (n > 100000000) return false;
    }
    col0 = int(c - 1);
    row = int(n);
    return row >= 1;
}

} // namespace

// ---------------------------------------------------------------- the .xls helper

constexpr quint32 kWorkbookMagic = 0x4D445831; // "MDX1"

// Found by the container operators through the type's namespace, so not in an unnamed one.
static QDataStream& operator<<(QDataStream& d, const SheetResult& r) {
    return d << qint32(r.error) << r.detail << r.data.name << qint32(r.data.cols) << r.data.rows;
}
static QDataStream& operator>>(QDataStream& d, SheetResult& r) {
    qint32 e = 0, cols = 0;
    d >> e >> r.detail >> r.data.name >> cols >> r.data.rows;
    r.error = SheetError(qBound(0, int(e), int(SheetError::BadEncoding)));
    r.data.cols = cols;
    return d;
}

QByteArray EncodeSheetWorkbook(const SheetWorkbook& wb) {
    QByteArray out;
    QDataStream d(&out, QIODevice::WriteOnly);
    d.setVersion(QDataStream::Qt_6_0);
    d << kWorkbookMagic << qint32(wb.error) << wb.detail << wb.names << wb.sheets << kWorkbookMagic;
    return out;
}

bool DecodeSheetWorkbook(const QByteArray& bytes, SheetWorkbook& wb) {
    QDataStream d(bytes);
    d.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, tail = 0;
    qint32 e = 0;
    d >> magic;
    if (magic != kWorkbookMagic) return false;
    d >> e >> wb.detail >> wb.names >> wb.sheets >> tail;
    wb.error = SheetError(qBound(0, int(e), int(SheetError::BadEncoding)));
    // A helper that died while writing leaves a cut answer: the closing mark is missing.
    return d.status() == QDataStream::Ok && tail == kWorkbookMagic && d.atEnd() &&
           (wb.error != SheetError::None || wb.sheets.size() == wb.names.size());
}

QString SheetHelperProgram() { return ProgramPath(QStringLiteral("memberdesk-sheetread")); }

bool RunSheetHelper(const QString& path, SheetWorkbook& out, QString& why, int timeoutMs) {
    QProcess p;
    p.setProgram(SheetHelperProgram());
    p.setArguments({path});
    // Limits the child sets on itself before it runs: address space, CPU time, no core file.
    p.setChildProcessModifier([] {
        const rlimit mem{rlim_t(SheetHelperMemory), rlim_t(SheetHelperMemory)};
        const rlimit cpu{rlim_t(SheetHelperTimeoutMs / 1000), rlim_t(SheetHelperTimeoutMs / 1000)};
        const rlimit core{0, 0};
        setrlimit(RLIMIT_AS, &mem);
        setrlimit(RLIMIT_CPU, &cpu);
        setrlimit(RLIMIT_CORE, &core);
    });
    p.start(QIODevice::ReadOnly);
    if (!p.waitForStarted(10000)) {
        why = QStringLiteral("읽기 도우미를 시작할 수 없습니다: ") + p.program() + QStringLiteral(" - ") +
              p.errorString();
        return false;
    }
    // The answer is read while it comes, so a full pipe never stops the helper.
    QByteArray bytes;
    QDeadlineTimer deadline(timeoutMs);
    while (p.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            p.kill();
            p.waitForFinished(5000);
            why = QStringLiteral("읽기 도우미가 %1초 안에 끝나지 않았습니다").arg(timeoutMs / 1000.0);
            return false;
        }
        p.waitForReadyRead(200);
        bytes += p.readAllStandardOutput();
    }
    bytes += p.readAllStandardOutput();
    const QString err = QString::fromLocal8Bit(p.readAllStandardError()).simplified().left(200);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        why = QStringLiteral("읽기 도우미가 비정상 종료했습니다 (%1 %2) %3")
                  .arg(p.exitStatus() == QProcess::CrashExit ? QStringLiteral("신호")
                                                               : QStringLiteral("종료 코드"))
                  .arg(p.exitCode())
                  .arg(err);
        return false;
    }
    if (!DecodeSheetWorkbook(bytes, out)) {
        why = QStringLiteral("읽기 도우미의 응답을 알 수 없습니다");
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- reader state

struct WorkbookReader::Impl {
    // xls: every sheet as the helper handed it back
    QVector<SheetResult> xlsSheets;
    // xlsx
    zip_t* zip = nullptr;
    QStringList sheetParts;
    bool date1904 = false;
    QStringList shared;
    bool sharedRead = false;
    QVector<bool> xfIsDate;
    bool stylesRead = false;
    // csv
    QString csvName;

    ~Impl() {
        if (zip) zip_discard(zip);
    }
};

WorkbookReader::WorkbookReader() = default;
WorkbookReader::~WorkbookReader() = default;

bool WorkbookReader::fail(SheetError e, const QString& detail) {
    m_error = e;
    m_detail = detail;
    SheetLog(QStringLiteral("실패: ") + m_path + QStringLiteral(" - ") + detail);
    return false;
}

SheetFormat WorkbookReader::detect(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return SheetFormat::Unknown;
    const QByteArray head = f.read(8);
    static const char ole2[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    if (head.size() == 8 && std::memcmp(head.constData(), ole2, 8) == 0) return SheetFormat::Xls;
    if (head.startsWith("PK\x03\x04")) return SheetFormat::Xlsx;
    if (QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return SheetFormat::Csv;
    return SheetFormat::Unknown;
}

void WorkbookReader::close() {
    m_impl.reset();
    m_names.clear();
    m_format = SheetFormat::Unknown;
}

bool WorkbookReader::open(const QString& path) {
    close();
    m_path = path;
    m_error = SheetError::None;
    m_detail.clear();
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return fail(SheetError::CannotOpen, f.errorString());
    }
    m_format = detect(path);
    m_impl = std::make_unique<Impl>();
    const QByteArray native = QFile::encodeName(path);
    switch (m_format) {
    case SheetFormat::Unknown:
        return fail(SheetError::NotWorksheet, QStringLiteral("지원되지 않는 파일 형식"));
    case SheetFormat::Xls: {
        // The worksheet library is not ours and a damaged file can crash it: the helper
        // program reads the whole workbook and hands every sheet back.
        SheetWorkbook wb;
        if (!RunSheetHelper(path, wb, m_detail)) return fail(SheetError::BadSheetList, m_detail);
        if (wb.error != SheetError::None) return fail(wb.error, wb.detail);
        m_names = wb.names;
        m_impl->xlsSheets = std::move(wb.sheets);
        break;
    }
    case SheetFormat::Xlsx: {
        int zerr = 0;
        m_impl->zip = zip_open(native.constData(), ZIP_RDONLY | ZIP_CHECKCONS, &zerr);
        if (!m_impl->zip) {
            zip_error_t ze;
            zip_error_init_with_code(&ze, zerr);
            const QString why = QString::fromUtf8(zip_error_strerror(&ze));
            zip_error_fini(&ze);
            return fail(SheetError::BadSheetList, QStringLiteral("libzip: ") + why);
        }
        // Relationship ids -> part names.
        QHash<QString, QString> targets;
        const zip_int64_t relIdx =
            locate(m_impl->zip, QStringLiteral("xl/_rels/workbook.xml.rels"));
        if (relIdx >= 0) {
            ZipEntryDevice dev(m_impl->zip, relIdx);
            QXmlStreamReader x(&dev);
            while (!x.atEnd()) {
                x.readNext();
                if (x.isStartElement() && x.name() == QLatin1String("Relationship"))
                    targets.insert(
                        x.attributes().value(QLatin1String("Id")).toString(),
                        resolveTarget(x.attributes().value(QLatin1String("Target")).toString()));
            }
        }
        const zip_int64_t wbIdx = locate(m_impl->zip, QStringLiteral("xl/workbook.xml"));
        if (wbIdx < 0)
            return fail(SheetError::BadSheetList, QStringLiteral("xl/workbook.xml 이 없습니다"));
        ZipEntryDevice dev(m_impl->zip, wbIdx);
        QXmlStreamReader x(&dev);
        while (!x.atEnd()) {
            x.readNext();
            if (!x.isStartElement()) continue;
            if (x.name() == QLatin1String("workbookPr")) {
                const QStringView v = x.attributes().value(QLatin1String("date1904"));
                m_impl->date1904 = v == QLatin1String("1") || v == QLatin1String("true");
            } else if (x.name() == QLatin1String("sheet")) {
                QString rid;
                for (const QXmlStreamAttribute& a : x.attributes())
                    if (a.name() == QLatin1String("id")) rid = a.value().toString();
                const QString name = x.attributes().value(QLatin1String("name")).toString();
                QString part = targets.value(rid);
                if (part.isEmpty() && !rid.isEmpty())
                    part = QStringLiteral("xl/worksheets/sheet%1.xml").arg(m_names.size() + 1);
                m_names << name;
                m_impl->sheetParts << part;
            }
        }
        if (x.hasError() || dev.failed())
            return fail(SheetError::BadSheetList,
                        QStringLiteral("workbook.xml: ") + x.errorString());
        if (m_names.isEmpty())
            return fail(SheetError::BadSheetList, QStringLiteral("시트가 없습니다"));
        break;
    }
    case SheetFormat::Csv:
        m_impl->csvName = QFileInfo(path).completeBaseName();
        m_names << m_impl->csvName;
        break;
    }
    static const char* const kinds[] = {"?", "xls", "xlsx", "csv"};
    SheetLog(QStringLiteral("열기: ") + path + QStringLiteral(" (") +
             QLatin1String(kinds[int(m_format)]) +
             QStringLiteral(", 시트 %1개)").arg(m_names.size()));
    return true;
}

// ---------------------------------------------------------------- sheet loading

QString SheetTooLargeDetail() {
    return QStringLiteral("시트가 너무 큽니다. (최대 200,000행, 256열)");
}

bool SheetBuilder::put(int row, int col0, const QString& text) {
    if (row > SheetMaxRows || col0 >= SheetMaxCols) return false;
    if (text.isEmpty()) return true;
    m_chars += text.size();
    if (m_chars > SheetMaxChars) return false;
    if (m_s.rows.size() < row) m_s.rows.resize(row);
    QStringList& r = m_s.rows[row - 1];
    while (r.size() <= col0)
        r.append(QString());
    r[col0] = text;
    return true;
}


bool WorkbookReader::loadSheet(int index, SheetData& out, const SheetProgress& progress) {
    out = SheetData();
    m_error = SheetError::None;
    m_detail.clear();
    if (!m_impl || index < 0 || index >= m_names.size())
        return fail(SheetError::LoadFailed, QStringLiteral("없는 시트 %1").arg(index));
    out.name = m_names.at(index);
    bool ok = false;

    if (m_format == SheetFormat::Xls) {
        SheetResult& r = m_impl->xlsSheets[index];
        if (r.error != SheetError::None) {
            fail(r.error, r.detail);
        } else {
            ok = true;
            out.cols = r.data.cols;
            out.rows = r.data.rows; // shared until changed: a sheet chosen again reads again
        }
    } else if (m_format == SheetFormat::Xlsx) {
        ok = loadXlsxSheet(index, out, progress);
    } else if (m_format == SheetFormat::Csv) {
        ok = loadCsv(out, progress);
    }
    if (!ok) {
        out = SheetData();
        return false;
    }
    if (!SheetFinish(out)) {
        out = SheetData();
        return fail(SheetError::TooLarge, SheetTooLargeDetail());
    }
    if (progress) progress(int(out.rows.size()));
    SheetLog(QStringLiteral("불러오기: ") + m_path + QStringLiteral(" [") + out.name +
             QStringLiteral("] %1행 %2열").arg(out.rows.size()).arg(out.cols));
    return true;
}

bool WorkbookReader::loadXlsxSheet(int index, SheetData& out, const SheetProgress& progress) {
    zip_t* z = m_impl->zip;
    // Shared strings, once per file.
    if (!m_impl->sharedRead) {
        m_impl->sharedRead = true;
        const zip_int64_t i = locate(z, QStringLiteral("xl/sharedStrings.xml"));
        if (i >= 0) {
            ZipEntryDevice dev(z, i);
            QXmlStreamReader x(&dev);
            while (!x.atEnd()) {
                x.readNext();
                if (x.isStartElement() && x.name() == QLatin1String("si")) {
                    m_impl->shared << readStringItem(x);
                    if (m_impl->shared.size() > SheetMaxRows * 16)
                        return fail(SheetError::TooLarge, SheetTooLargeDetail());
                }
            }
            if (x.hasError() || dev.failed()) {
                m_impl->sharedRead = false;
                m_impl->shared.clear();
                return fail(SheetError::LoadFailed,
                            QStringLiteral("sharedStrings.xml: ") + x.errorString());
            }
        }
    }
    // Which cell styles show dates.
    if (!m_impl->stylesRead) {
        m_impl->stylesRead = true;
        const zip_int64_t i = locate(z, QStringLiteral("xl/styles.xml"));
        if (i >= 0) {
            ZipEntryDevice dev(z, i);
            QXmlStreamReader x(&dev);
            QHash<int, QString> codes;
            bool inCellXfs = false;
            while (!x.atEnd()) {
                x.readNext();
                if (x.isStartElement()) {
                    if (x.name() == QLatin1String("numFmt"))
                        codes.insert(x.attributes().value(QLatin1String("numFmtId")).toInt(),
                                     x.attributes().value(QLatin1String("formatCode")).toString());
                    else if (x.name() == QLatin1String("cellXfs"))
                        inCellXfs = true;
                    else if (inCellXfs && x.name() == QLatin1String("xf")) {
                        const int id = x.attributes().value(QLatin1String("numFmtId")).toInt();
                        m_impl->xfIsDate << SheetFormatIsDate(id, codes.value(id));
                    }
                } else if (x.isEndElement() && x.name() == QLatin1String("cellXfs")) {
                    inCellXfs = false;
                }
            }
            // A damaged style part only loses date display; the cells stay readable.
        }
    }

    const QString part = m_impl->sheetParts.value(index);
    const zip_int64_t si = part.isEmpty() ? -1 : locate(z, part);
    if (si < 0)
        return fail(SheetError::LoadFailed, QStringLiteral("시트 파일이 없습니다: ") + part);
    ZipEntryDevice dev(z, si);
    QXmlStreamReader x(&dev);
    SheetBuilder builder(out);
    int row = 0;
    int col0 = -1;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) continue;
        if (x.name() == QLatin1String("row")) {
            const QStringView r = x.attributes().value(QLatin1String("r"));
            bool okNum = false;
            const int n = r.toInt(&okNum);
            row = okNum && n > row ? n : row + 1;
            col0 = -1;
            if (row > SheetMaxRows) return fail(SheetError::TooLarge, SheetTooLargeDetail());
            if (progress && (row & 1023) == 0) progress(row);
        } else if (x.name() == QLatin1String("c")) {
            const QXmlStreamAttributes a = x.attributes();
            int c0 = col0 + 1;
            int r = qMax(row, 1);
            const QStringView ref = a.value(QLatin1String("r"));
            if (!ref.isEmpty() && !parseRef(ref, c0, r))
                return fail(SheetError::LoadFailed,
                            QStringLiteral("잘못된 셀 주소 ") + ref.toString());
            if (r > SheetMaxRows || c0 >= SheetMaxCols)
                return fail(SheetError::TooLarge, SheetTooLargeDetail());
            col0 = c0;
            const QString type = a.value(QLatin1String("t")).toString();
            const int style = a.value(QLatin1String("s")).toInt();
            QString value;
            QString inlineText;
            bool hasInline = false;
            while (!x.atEnd()) {
                x.readNext();
                if (x.isStartElement()) {
                    if (x.name() == QLatin1String("v"))
                        value = x.readElementText();
                    else if (x.name() == QLatin1String("is")) {
                        inlineText = readStringItem(x);
                        hasInline = true;
                    } else if (x.name() == QLatin1String("f"))
                        x.skipCurrentElement();
                } else if (x.isEndElement() && x.name() == QLatin1String("c")) {
                    break;
                }
            }
            QString text;
            if (type == QLatin1String("s")) {
                bool okNum = false;
                const int k = value.toInt(&okNum);
                if (!okNum || k < 0 || k >= m_impl->shared.size())
                    return fail(SheetError::LoadFailed,
                                QStringLiteral("없는 공유 문자열 ") + value);
                text = m_impl->shared.at(k);
            } else if (type == QLatin1String("inlineStr")) {
                text = hasInline ? inlineText : value;
            } else if (type == QLatin1String("b")) {
                text = value.isEmpty() ? QString()
                                       : (value == QLatin1String("0") ? QStringLiteral("FALSE")
                                                                      : QStringLiteral("TRUE"));
            } else if (type == QLatin1String("str") || type == QLatin1String("e") ||
                       type == QLatin1String("d")) {
                text = type == QLatin1String("d") ? value.left(10) : value;
            } else if (!value.isEmpty()) {
                bool okNum = false;
                const double d = value.toDouble(&okNum);
                if (!okNum) {
                    text = value;
                } else {
                    if (m_impl->xfIsDate.value(style)) text = SheetSerialDate(d, m_impl->date1904);
                    if (text.isEmpty()) text = SheetNumberText(d);
                }
            }
            if (!builder.put(r, c0, text)) return fail(SheetError::TooLarge, SheetTooLargeDetail());
        }
    }
    if (x.hasError() || dev.failed())
        return fail(SheetError::LoadFailed, QStringLiteral("시트 XML: ") + x.errorString());
    return true;
}

// ---------------------------------------------------------------- csv

namespace {

// Comma-separated fields; "..." quotes a field, "" inside it is one quote, and a quoted
// field may hold commas and line breaks. CR LF, LF and a lone CR end a record.
class CsvParser {
public:
    explicit CsvParser(SheetData& s) : m_s(s) {}
    enum class State { Ok, TooLarge };

    State feed(QStringView text) {
        m_total += text.size();
        if (m_total > SheetMaxChars) return State::TooLarge;
        for (const QChar c : text) {
            if (m_skipLf) {
                m_skipLf = false;
                if (c == QLatin1Char('\n')) continue;
            }
            if (m_inQuote) {
                if (c == QLatin1Char('"')) {
                    m_inQuote = false;
                    m_afterQuote = true;
                } else {
                    m_field += c;
                }
                continue;
            }
            if (m_afterQuote && c == QLatin1Char('"')) {
                m_field += c;
                m_inQuote = true;
                m_afterQuote = false;
                continue;
            }
            m_afterQuote = false;
            if (c == QLatin1Char(',')) {
                if (!endField()) return State::TooLarge;
            } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
                m_skipLf = c == QLatin1Char('\r');
                if (!endField() || !endRow()) return State::TooLarge;
            } else if (c == QLatin1Char('"') && !m_started) {
                m_inQuote = true;
                m_started = true;
            } else {
                m_field += c;
                m_started = true;
            }
        }
        return State::Ok;
    }
    // False when a quote is still open at the end of the file.
    bool finish(State& state) {
        state = State::Ok;
        if (m_inQuote) return false;
        if (m_started || !m_row.isEmpty()) {
            if (!endField() || !endRow()) state = State::TooLarge;
        }
        return true;
    }
    int rows() const { return int(m_s.rows.size()); }

private:
    bool endField() {
        if (m_row.size() >= SheetMaxCols) return false;
        m_row << m_field;
        m_field.clear();
        m_started = false;
        return true;
    }
    bool endRow() {
        if (m_s.rows.size() >= SheetMaxRows) return false;
        m_s.rows << m_row;
        m_row.clear();
        return true;
    }
    SheetData& m_s;
    QString m_field;
    QStringList m_row;
    bool m_inQuote = false;
    bool m_afterQuote = false;
    bool m_started = false;
    bool m_skipLf = false;
    qint64 m_total = 0;
};

} // namespace

bool WorkbookReader::loadCsv(SheetData& out, const SheetProgress& progress) {
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly)) return fail(SheetError::LoadFailed, f.errorString());
    constexpr qint64 kChunk = 1 << 20;
    // UTF-8 (a BOM is dropped) unless a byte sequence is not UTF-8; then the whole file is
    // read again as Korean Windows code page 949, which must decode cleanly too: a UTF-8
    // file with one stray byte would otherwise come out as CP949 garbage without a word.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool utf8 = attempt == 0;
        f.seek(0);
        out.rows.clear();
        CsvParser parser(out);
        QStringDecoder dec(QStringConverter::Utf8);
        std::unique_ptr<UConverter, void (*)(UConverter*)> cv(nullptr, ucnv_close);
        if (!utf8) {
            UErrorCode err = U_ZERO_ERROR;
            cv.reset(ucnv_open("windows-949", &err));
            if (U_FAILURE(err) || !cv)
                return fail(SheetError::LoadFailed, QStringLiteral("ICU windows-949: ") +
                                                        QString::fromLatin1(u_errorName(err)));
            // Stop at the first byte sequence that is not CP949 instead of substituting.
            ucnv_setToUCallBack(cv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                                &err);
        }
        bool notUtf8 = false;
        while (true) {
            const QByteArray chunk = f.read(kChunk);
            const bool last = chunk.size() < kChunk || f.atEnd();
            if (chunk.contains('\0'))
                return fail(SheetError::LoadFailed, QStringLiteral("NUL 바이트가 들어 있는 파일"));
            QString text;
            if (utf8) {
                text = dec.decode(chunk);
                if (last) text += dec.decode(QByteArray());
                if (dec.hasError()) {
                    notUtf8 = true;
                    break;
                }
            } else {
                text.resize(chunk.size() + 16);
                UChar* target = reinterpret_cast<UChar*>(text.data());
                UChar* const begin = target;
                const char* source = chunk.constData();
                UErrorCode err = U_ZERO_ERROR;
                ucnv_toUnicode(cv.get(), &target, begin + text.size(), &source,
                               source + chunk.size(), nullptr, last, &err);
                if (err == U_ILLEGAL_CHAR_FOUND || err == U_INVALID_CHAR_FOUND ||
                    err == U_TRUNCATED_CHAR_FOUND)
                    return fail(SheetError::BadEncoding,
                                QStringLiteral("UTF-8도 CP949도 아닌 바이트가 있습니다 (%1바이트 부근)")
                                    .arg(f.pos() - chunk.size() + (source - chunk.constData())));
                if (U_FAILURE(err))
                    return fail(SheetError::LoadFailed,
                                QStringLiteral("ICU: ") + QString::fromLatin1(u_errorName(err)));
                text.resize(target - begin);
            }
            if (parser.feed(text) == CsvParser::State::TooLarge)
                return fail(SheetError::TooLarge, SheetTooLargeDetail());
            if (progress) progress(parser.rows());
            if (last) break;
        }
        if (notUtf8) continue;
        CsvParser::State state;
        if (!parser.finish(state))
            return fail(SheetError::LoadFailed,
                        QStringLiteral("닫히지 않은 따옴표 (%1행)").arg(parser.rows() + 1));
        if (state == CsvParser::State::TooLarge)
            return fail(SheetError::TooLarge, SheetTooLargeDetail());
        return true;
    }
    return fail(SheetError::LoadFailed, QStringLiteral("문자 인코딩을 알 수 없습니다"));
}
