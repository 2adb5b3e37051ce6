// memberdesk-sheetread FILE
//
// Reads the Excel 97-2003 workbook FILE with FreeXL and writes the sheet names and every
// sheet's cells (or why a sheet cannot be read) to standard output, in the form
// DecodeSheetWorkbook reads. Exit code 0 when an answer was written, also one that refuses
// the file; anything else (a crash inside the library, a limit reached) is a refused file
// for the program that started it.
#include "ui/SheetReader.h"

#include <QFile>

#include <freexl.h>

#include <cstdio>

namespace {

SheetResult readSheet(const void* h, unsigned short index, const QString& name) {
    SheetResult r;
    r.data.name = name;
    auto failed = [&](SheetError e, const QString& detail) {
        r.error = e;
        r.detail = detail;
        r.data = SheetData{name, 0, {}};
        return r;
    };
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_select_active_worksheet(h, index) != FREEXL_OK ||
        freexl_worksheet_dimensions(h, &rows, &cols) != FREEXL_OK)
        return failed(SheetError::LoadFailed, QStringLiteral("FreeXL: 시트를 읽을 수 없습니다"));
    if (rows > unsigned(SheetMaxRows) || cols > SheetMaxCols)
        return failed(SheetError::TooLarge, SheetTooLargeDetail());
    SheetBuilder b(r.data);
    r.data.rows.reserve(int(rows));
    for (unsigned int row = 0; row < rows; ++row) {
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(h, row, c, &v) != FREEXL_OK)
                return failed(SheetError::LoadFailed,
                              QStringLiteral("FreeXL: 셀을 읽을 수 없습니다 (%1행)").arg(row + 1));
            QString t;
            switch (v.type) {
            case FREEXL_CELL_INT:
                t = QString::number(v.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                t = SheetNumberText(v.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_TIME:
                t = QString::fromUtf8(v.value.text_value);
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
                t = QString::fromUtf8(v.value.text_value).left(10);
                break;
            default:
                break;
            }
            if (!b.put(int(row) + 1, c, t))
                return failed(SheetError::TooLarge, SheetTooLargeDetail());
        }
    }
    if (!SheetFinish(r.data)) return failed(SheetError::TooLarge, SheetTooLargeDetail());
    return r;
}

SheetWorkbook readWorkbook(const QByteArray& file) {
    SheetWorkbook wb;
    auto refused = [&](const QString& detail) {
        wb.error = SheetError::BadSheetList;
        wb.detail = detail;
        wb.names.clear();
        wb.sheets.clear();
        return wb;
    };
    const void* h = nullptr;
    const int rc = freexl_open(file.constData(), &h);
    if (rc != FREEXL_OK) {
        if (h) freexl_close(h);
        return refused(QStringLiteral("FreeXL 오류 %1").arg(rc));
    }
    unsigned int pw = 0, count = 0;
    if (freexl_get_info(h, FREEXL_BIFF_PASSWORD, &pw) == FREEXL_OK && pw == FREEXL_BIFF_OBFUSCATED) {
        refused(QStringLiteral("암호가 걸린 파일"));
        wb.error = SheetError::Protected;
    }
    else if (freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK || count == 0)
        refused(QStringLiteral("시트가 없습니다"));
    else {
        qint64 cells = 0;
        for (unsigned int i = 0; i < count && i < 0xFFFF; ++i) {
            const char* name = nullptr;
            if (freexl_get_worksheet_name(h, static_cast<unsigned short>(i), &name) != FREEXL_OK ||
                !name) {
                refused(QStringLiteral("시트 이름을 읽을 수 없습니다"));
                break;
            }
            wb.names << QString::fromUtf8(name);
            // The whole workbook travels at once: past the cells of one largest sheet the
            // remaining sheets are refused one by one instead of read.
            if (cells > SheetMaxCells) {
                wb.sheets << SheetResult{
                    SheetError::TooLarge, SheetTooLargeDetail(), {wb.names.last(), 0, {}}};
                continue;
            }
            wb.sheets << readSheet(h, static_cast<unsigned short>(i), wb.names.last());
            cells += qint64(wb.sheets.last().data.cols) * wb.sheets.last().data.rows.size();
        }
    }
    freexl_close(h);
    return wb;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: memberdesk-sheetread FILE\n", stderr);
        return 2;
    }
    const QByteArray answer = EncodeSheetWorkbook(readWorkbook(QByteArray(argv[1])));
    if (std::fwrite(answer.constData(), 1, size_t(answer.size()), stdout) !=
            size_t(answer.size()) ||
        std::fflush(stdout) != 0)
        return 3;
    return 0;
}
