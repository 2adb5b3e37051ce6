#include "ui/ExcelExport.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "ui/Grid.h"
#include "core/Prompt.h"
#include "core/Launcher.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTextStream>

#include <xlsxwriter.h>

// Export rules:
//  - Only visible columns and visible rows 1..dataRowCnt() are written, in view order
//    of the columns as the user arranged them; the grid itself is never changed (the
//    headers are written straight into the file, so the tidy flag has nothing to undo).
//  - The header row(s) come first, bold and centred.
//  - A cell is written as a number when its text is a plain number, thousands
//    separators allowed ("1,234", "-5.5"), at most 15 digits, and either the column is
//    a Number column or the number has no leading zero. Codes such as "000123", phone
//    numbers and card numbers therefore stay text.
//  - The workbook is written under a temporary name and renamed when complete, so a
//    failure leaves no partial .xlsx behind.

namespace {

struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

// The numeric value of `text` when it should be written as a number.
bool ExportNumber(const QString& text, bool numberColumn, double* value)
{
    static const QRegularExpression re(
        QStringLiteral("^([-+]?)(\\d{1,3}(?:,\\d{3})+|\\d+)(?:\\.(\\d+))?$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    QString intPart = m.captured(2);
    intPart.remove(QLatin1Char(','));
    if (intPart.size() + m.capturedLength(3) > 15)
        return false;
    if (!numberColumn && intPart.size() > 1 && intPart.startsWith(QLatin1Char('0')))
        return false;
    bool ok = false;
    QString plain = m.captured(1) + intPart;
    if (m.capturedLength(3) > 0)
        plain += QLatin1Char('.') + m.captured(3);
    *value = plain.toDouble(&ok);
    return ok;
}

void AppendLog(const QString& folder, const QString& fileName, int rows, bool ok)
{
    QFile log(folder + QStringLiteral("/LOG.TXT"));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return; // the log is a courtesy; the export result does not depend on it
    QTextStream out(&log);
    out << Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << '\t' << fileName << '\t'
        << rows << '\t' << (ok ? "OK" : "FAILED") << '\n';
}

// Excel column width (characters) for a width in pixels.
double ExcelWidth(int pixels)
{
    return std::max(1.0, (pixels - 5) / 7.0);
}

// A spreadsheet cell holds at most 32,767 characters; a longer text would fail the whole
// file. It is cut, with a mark at its end, and counted so the user is told.
constexpr qsizetype CellMax = 32767;
const QString& CutMark()
{
    static const QString mark = QStringLiteral("…[이하 생략]");
    return mark;
}

QByteArray CellText(const QString& text, int* cut)
{
    if (text.size() <= CellMax)
        return text.toUtf8();
    ++*cut;
    qsizetype keep = CellMax - CutMark().size();
    if (text.at(keep - 1).isHighSurrogate())
        --keep; // never half a character
    return (text.left(keep) + CutMark()).toUtf8();
}

bool WriteWorkbook(const Grid* grid, const QString& path, const QString& sheetName,
                   const QList<int>& cols, const QList<int>& rows, int* cutCells)
{
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* book = workbook_new(file.constData());
    if (!book)
        return false;
    const QByteArray name = sheetName.toUtf8();
    lxw_worksheet* sheet = workbook_add_worksheet(book, name.isEmpty() ? nullptr : name.constData());
    if (!sheet) // a name the format does not allow ([]:*?/\, too long): the default name
        sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* head = workbook_add_format(book);
    format_set_bold(head);
    format_set_align(head, LXW_ALIGN_CENTER);
    format_set_align(head, LXW_ALIGN_VERTICAL_CENTER);

    bool ok = sheet != nullptr;
    lxw_row_t out = 0;
    for (int h = 1; ok && h <= grid->headerRows(); ++h, ++out) {
        for (int i = 0; i < cols.size(); ++i) {
            const QByteArray t = CellText(grid->headerText(cols.at(i), h), cutCells);
            if (worksheet_write_string(sheet, out, lxw_col_t(i), t.constData(), head) != LXW_NO_ERROR)
                ok = false;
        }
    }
    for (int i = 0; ok && i < cols.size(); ++i)
        worksheet_set_column(sheet, lxw_col_t(i), lxw_col_t(i), ExcelWidth(grid->colWidth(cols.at(i))), nullptr);
    for (int r : rows) {
        if (!ok)
            break;
        for (int i = 0; i < cols.size(); ++i) {
            const QString text = grid->text(cols.at(i), r);
            if (text.isEmpty())
                continue;
            double value = 0;
            lxw_error err;
            if (ExportNumber(text, grid->colType(cols.at(i)) == CellType::Number, &value)) {
                err = worksheet_write_number(sheet, out, lxw_col_t(i), value, nullptr);
            } else {
                const QByteArray t = CellText(text, cutCells);
                err = worksheet_write_string(sheet, out, lxw_col_t(i), t.constData(), nullptr);
            }
            if (err != LXW_NO_ERROR)
                ok = false;
        }
        ++out;
    }
    // workbook_close writes the file and frees the workbook in every case.
    const lxw_error closed = workbook_close(book);
    return ok && closed == LXW_NO_ERROR;
}

} // namespace

bool ExportToExcelFile(Grid* grid, const QString& sheetName, bool ask, bool openAfterwards, bool tidy)
{
    Q_UNUSED(tidy); // the grid is not changed by the export (see above)
    if (grid)
        grid->fetchAll(); // every row of the list, also those never scrolled to
    if (!grid || grid->dataRowCnt() == 0) {
        MsgInfo(QStringLiteral("엑셀로 보낼 데이터가 없습니다.") + QLatin1Char('\n')
                + QStringLiteral("자료 조회 후 엑셀로 보내세요."));
        return false;
    }
    if (ask && !AskYesNo(QStringLiteral("엑셀로 자료를 내보내기 하시겠습니까?")))
        return false;

    QList<int> cols; // visible columns in the order the user sees them
    const QHeaderView* header = grid->horizontalHeader();
    for (int v = 0; v < grid->maxCols(); ++v) {
        const int col = header->logicalIndex(v) + 1;
        if (!grid->colHidden(col))
            cols.append(col);
    }
    QList<int> rows;
    const int last = grid->dataRowCnt();
    for (int r = 1; r <= last; ++r)
        if (!grid->rowHidden(r))
            rows.append(r);

    const QString folder = DataPath(QStringLiteral("ExpExcel"));
    const QString stem = QStringLiteral("Exp") + Clock::now().toString(QStringLiteral("yyMMdd_HHmmss"));
    QString fileName = stem + QStringLiteral(".xlsx");
    bool ok = false;
    QString path;
    int cutCells = 0;
    {
        BusyCursor busy;
        if (QDir().mkpath(folder) && QFileInfo(folder).isDir()) {
            // Two exports within one second must not overwrite each other.
            for (int n = 2; QFileInfo::exists(folder + QLatin1Char('/') + fileName); ++n)
                fileName = stem + QLatin1Char('_') + QString::number(n) + QStringLiteral(".xlsx");
            path = folder + QLatin1Char('/') + fileName;
            const QString temp = folder + QStringLiteral("/.") + fileName + QStringLiteral(".part");
            QFile::remove(temp);
            ok = WriteWorkbook(grid, temp, sheetName, cols, rows, &cutCells) && QFile::rename(temp, path);
            if (!ok)
                QFile::remove(temp);
            AppendLog(folder, fileName, int(rows.size()), ok);
        }
    }
    if (!ok) {
        MsgWarning(QStringLiteral("엑셀로 내보내기에 실패했습니다."));
        return false;
    }
    if (cutCells > 0)
        MsgInfo(QStringLiteral("엑셀 칸 하나에 넣을 수 있는 32,767자를 넘은 칸 %1개는 잘라서 내보냈습니다.")
                    .arg(cutCells)
                + QLatin1Char('\n') + QStringLiteral("잘린 칸의 끝에는 『") + CutMark()
                + QStringLiteral("』가 붙어 있습니다."));
    // Say where the file is (with or without a spreadsheet program to show it) and offer
    // its folder, where a person finds it again later.
    if (openAfterwards) {
        const bool opened = launcher().open(path);
        const QString where = (opened ? QStringLiteral("엑셀 파일을 저장하였습니다.")
                                      : QStringLiteral("엑셀 파일을 열 수 있는 프로그램이 없습니다.") + QLatin1Char('\n')
                                          + QStringLiteral("파일은 다음 위치에 저장되었습니다."))
                              + QLatin1Char('\n') + QDir::toNativeSeparators(path);
        if (AskYesNo(where + QStringLiteral("\n\n파일이 있는 폴더를 여시겠습니까?"), {}, false)
            && !launcher().open(folder))
            MsgInfo(QStringLiteral("폴더를 열지 못했습니다.") + QLatin1Char('\n') + QDir::toNativeSeparators(folder));
    }
    return true;
}
