#include "GridTest.h"

#include "ui/ExcelExport.h"
#include "ui/Grid.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

// Spreadsheet export re-read cell by cell, its refusals and failures, and the printed
// document of a grid.
class TestExcelExport : public GridTest {
    Q_OBJECT
private slots:
    void noDataOrNoConsentMakesNoFile() {
        m_grid->setMaxCols(2);
        m_grid->setMaxRows(1); // one empty entry row is no data
        m_grid->setHeaderTexts({"a", "b"});
        QVERIFY(!ExportToExcelFile(m_grid, QStringLiteral("Sheet1"), true, true, true));
        QCOMPARE(m_env->prompt().texts(),
                 QStringList{"엑셀로 보낼 데이터가 없습니다.\n자료 조회 후 엑셀로 보내세요."});
        QVERIFY(!QFileInfo::exists(folder()));

        fillSample();
        m_env->prompt().clear();
        m_env->prompt().pushAnswer(Prompt::Answer::No);
        QVERIFY(!ExportToExcelFile(m_grid, QStringLiteral("Sheet1"), true, true, true));
        QCOMPARE(m_env->prompt().texts(), QStringList{"엑셀로 자료를 내보내기 하시겠습니까?"});
        QCOMPARE(m_env->prompt().shown().at(0).kind, ScriptedPrompt::Kind::Question);
        QVERIFY(xlsxFiles().isEmpty());
        QVERIFY(m_env->launcher().calls.isEmpty());
    }

    void exportedCellsReadBack() {
        fillSample();
        m_grid->setRowHidden(3, true); // what is hidden is not exported
        m_grid->setRowTexts(3, {"3", "숨김"});
        m_grid->setRowTexts(4, {"4", "마지막", "7", "", "", "1234567890123456"});
        const QStringList before = m_grid->rowTexts(1);
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        QVERIFY(ExportToExcelFile(m_grid, QStringLiteral("Sheet1"), true, true, true));
        const QString path = folder() + QStringLiteral("/Exp261206_100000.xlsx");
        // The file is shown, its place said, and its folder opened on request.
        QCOMPARE(m_env->prompt().texts(),
                 QStringList({"엑셀로 자료를 내보내기 하시겠습니까?",
                              "엑셀 파일을 저장하였습니다.\n" + path + "\n\n파일이 있는 폴더를 여시겠습니까?"}));
        QCOMPARE(m_env->prompt().lastDefault(), Prompt::Answer::No);
        QCOMPARE(xlsxFiles(), QStringList{"Exp261206_100000.xlsx"}); // no temporary left
        QCOMPARE(m_env->launcher().calls.size(), 2);
        QCOMPARE(m_env->launcher().calls.at(0).kind, RecordingLauncher::Call::Open);
        QCOMPARE(m_env->launcher().calls.at(0).program, path);
        QCOMPARE(m_env->launcher().calls.at(1).program, folder());
        // The grid is as it was.
        QCOMPARE(m_grid->rowTexts(1), before);
        QCOMPARE(m_grid->dataRowCnt(), 4);

        QString sheet;
        const QJsonObject cells = readBack(path, &sheet);
        QCOMPARE(sheet, QStringLiteral("Sheet1"));
        // "ref type value", bold in row 1 only: headers without the code column; a leading
        // zero, a dash or too many digits keep a number text, a formula stays text; the hidden
        // row 3 is left out.
        const QStringList want = {"A1 s 이름", "B1 s 금액", "C1 s 회원번호", "D1 s 전화", "E1 s 비고",
                                  "A2 s 홍길동", "B2 n 1234", "C2 s 000123", "D2 s 010-1234-5678",
                                  "E2 s O'Brien", "A3 s 김 영희", "B3 n -5.5", "C3 n 12", "E3 s =SUM(A1)",
                                  "A4 s 마지막", "B4 n 7", "E4 s 1234567890123456"};
        for (const QString& w : want) {
            const QJsonObject c = cells.value(w.section(u' ', 0, 0)).toObject();
            QCOMPARE(c.value(QStringLiteral("t")).toString(), w.section(u' ', 1, 1));
            QCOMPARE(c.value(QStringLiteral("v")).toVariant().toString(), w.section(u' ', 2));
            QCOMPARE(c.value(QStringLiteral("b")).toBool(), w.at(1) == u'1');
        }
        for (const char* ref : {"F1", "D3", "A5"})
            QVERIFY2(!cells.contains(QLatin1String(ref)), ref);

        QCOMPARE(QString::fromUtf8(FileBytes(folder() + QStringLiteral("/LOG.TXT"))),
                 QStringLiteral("2026-12-06 10:00:00\tExp261206_100000.xlsx\t3\tOK\n"));
    }

    void secondExportInSameSecondGetsOwnName() {
        fillSample();
        QVERIFY(ExportToExcelFile(m_grid, QStringLiteral("목록"), false, false, true));
        QVERIFY(ExportToExcelFile(m_grid, QStringLiteral("bad/name*"), false, false, true));
        QVERIFY(m_env->prompt().shown().isEmpty()); // not asked
        QVERIFY(m_env->launcher().calls.isEmpty()); // not opened
        QCOMPARE(xlsxFiles(), (QStringList{"Exp261206_100000.xlsx", "Exp261206_100000_2.xlsx"}));
        QString sheet;
        QVERIFY(!readBack(folder() + QStringLiteral("/Exp261206_100000.xlsx"), &sheet).isEmpty());
        QCOMPARE(sheet, QStringLiteral("목록"));
        // A name the format refuses falls back to the default sheet name.
        QVERIFY(!readBack(folder() + QStringLiteral("/Exp261206_100000_2.xlsx"), &sheet).isEmpty());
        QCOMPARE(sheet, QStringLiteral("Sheet1"));
    }

    void overlongCellIsCutAndReported() {
        fillSample();
        const QString longMemo = QString(40000, u'메');
        m_grid->setRowTexts(2, {"2", "김 영희", "-5.5", "12", "", longMemo});
        m_grid->setRowTexts(3, {"3", "정확히", "0", "0", "", QString(32767, u'x')});
        QVERIFY(ExportToExcelFile(m_grid, QStringLiteral("Sheet1"), false, false, true));
        // The file is written; the user is told that one cell was cut.
        QCOMPARE(m_env->prompt().texts().size(), 1);
        QVERIFY(m_env->prompt().lastText().startsWith(
            QStringLiteral("엑셀 칸 하나에 넣을 수 있는 32,767자를 넘은 칸 1개는 잘라서 내보냈습니다.")));
        QString sheet;
        const QJsonObject cells = readBack(folder() + QStringLiteral("/Exp261206_100000.xlsx"), &sheet);
        const QString cut = text(cells, "E3");
        QCOMPARE(cut.size(), 32767);
        QVERIFY(cut.endsWith(QStringLiteral("…[이하 생략]")));
        QVERIFY(longMemo.startsWith(cut.left(32700)));
        // A cell at the limit goes out whole.
        QCOMPARE(text(cells, "E4").size(), 32767);
        QCOMPARE(text(cells, "A3"), QStringLiteral("김 영희"));
    }

    void unwritableFolderWarnsAndLeavesNothing_data() {
        QTest::addColumn<bool>("folderIsFile");
        QTest::newRow("ExpExcel is a file") << true;
        QTest::newRow("temporary file cannot be written") << false;
    }
    void unwritableFolderWarnsAndLeavesNothing() {
        QFETCH(bool, folderIsFile);
        fillSample();
        if (folderIsFile)
            WriteFileBytes(folder(), {});
        else // a directory where the temporary workbook should go: writing it must fail
            QVERIFY(QDir().mkpath(folder() + QStringLiteral("/.Exp261206_100000.xlsx.part")));
        QVERIFY(!ExportToExcelFile(m_grid, QStringLiteral("Sheet1"), false, true, true));
        QCOMPARE(m_env->prompt().texts(), QStringList{"엑셀로 내보내기에 실패했습니다."});
        QCOMPARE(m_env->prompt().shown().at(0).icon, Prompt::Icon::Warning);
        QVERIFY(m_env->launcher().calls.isEmpty());
        if (!folderIsFile) {
            QVERIFY(!QFileInfo::exists(folder() + QStringLiteral("/Exp261206_100000.xlsx")));
            QVERIFY(FileBytes(folder() + QStringLiteral("/LOG.TXT")).endsWith("\tFAILED\n"));
        }
    }

private:
    void fillSample() {
        m_grid->setMaxCols(6);
        m_grid->setHeaderTexts({"코드", "이름", "금액", "회원번호", "전화", "비고"});
        m_grid->setColHidden(1, true); // the record code
        m_grid->setColType(3, CellType::Number);
        m_grid->setMaxRows(4); // the last row stays empty
        m_grid->setRowTexts(1, {"1", "홍길동", "1,234", "000123", "010-1234-5678", "O'Brien"});
        m_grid->setRowTexts(2, {"2", "김 영희", "-5.5", "12", "", "=SUM(A1)"});
        m_grid->setRowTexts(3, {"3", "", "0", "0", "", "1234567890123456"});
    }
    QString folder() const { return m_env->path(QStringLiteral("ExpExcel")); }

    QStringList xlsxFiles() const {
        return QDir(folder()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)
            .filter(QStringLiteral("Exp"));
    }
    static QString text(const QJsonObject& cells, const char* ref) {
        return cells.value(QLatin1String(ref)).toObject().value(QStringLiteral("v")).toString();
    }
    // Cells of the first sheet as "A1" -> {"v": value, "t": "s"|"n", "b": bold}.
    QJsonObject readBack(const QString& path, QString* sheetName) {
        const char* script =
            "import json, sys, openpyxl\n"
            "wb = openpyxl.load_workbook(sys.argv[1])\n"
            "ws = wb.worksheets[0]\n"
            "cells = {}\n"
            "for row in ws.iter_rows():\n"
            "    for c in row:\n"
            "        if c.value is None: continue\n"
            "        cells[c.coordinate] = {'v': c.value, 't': 'n' if isinstance(c.value, (int, float)) else 's', 'b': bool(c.font.b)}\n"
            "print(json.dumps({'sheet': ws.title, 'count': len(wb.worksheets), 'cells': cells}))\n";
        QProcess py;
        py.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromLatin1(script), path});
        if (!py.waitForFinished(60000) || py.exitCode() != 0) {
            qWarning() << py.readAllStandardError();
            return {};
        }
        const QJsonObject all = QJsonDocument::fromJson(py.readAllStandardOutput()).object();
        *sheetName = all.value(QStringLiteral("sheet")).toString();
        return all.value(QStringLiteral("cells")).toObject();
    }
};

QTEST_MAIN(TestExcelExport)
#include "tst_excelexport.moc"
