#include "PdfRead.h"
#include "TestEnv.h"

#include "core/Settings.h"
#include "reports/GridPrintJob.h"
#include "reports/PrintSetup.h"
#include "ui/Grid.h"
#include "ui/cFpPreview.h"

#include <QItemSelectionModel>
#include <QtTest>

#include <memory>

// The page painter, read back from the PDFs it writes.
class tst_printengine : public QObject {
    Q_OBJECT
    TestEnv* m_env = nullptr;
    std::unique_ptr<Grid> m_grid;

    void fill(int rows, int cols = 4) {
        m_grid = std::make_unique<Grid>();
        m_grid->setObjectName("spList");
        m_grid->setListMode();
        m_grid->setMaxCols(cols);
        QStringList headers;
        for (int c = 1; c <= cols; ++c)
            headers << QString("머리%1").arg(c);
        m_grid->setHeaderTexts(headers);
        m_grid->beginFill(rows);
        for (int r = 1; r <= rows; ++r) {
            QStringList cells;
            for (int c = 1; c <= cols; ++c)
                cells << QString("r%1c%2").arg(r, 3, 10, QChar('0')).arg(c);
            m_grid->appendRow(cells);
        }
        m_grid->endFill();
        for (int c = 1; c <= cols; ++c)
            m_grid->setColWidth(c, 90);
    }
    PrintSetup setup(const QString& remark = {}) {
        return ApplyPrintSetup(m_grid.get(), "lst", "목록 제목", "왼쪽", "가운데", OrientPortrait,
                               0.4, 0.4, 0.5, 0.5, true, remark, 16);
    }
    QString print(const GridPrintJob& job) {
        const QString file = m_env->path("out.pdf");
        QFile::remove(file);
        if (!job.printToPdf(file, 1, job.pageCount())) return {};
        return file;
    }
    static void store(const QString& key, const QString& value) {
        Settings::set(PrintAppName(), "lst", key, value);
    }

private slots:
    void init() {
        m_env = new TestEnv(false);
        SetPrintAppTitle("MemberDesk");
    }
    void cleanup() {
        m_grid.reset();
        delete m_env;
        m_env = nullptr;
    }

    void everyRowOnceInOrderWithHeadersOnEveryPage() {
        fill(150);
        m_grid->setColHidden(2, true);
        m_grid->setRowHidden(7, true);
        GridPrintJob job(m_grid.get(), setup(), "목록 제목");
        QVERIFY(job.pageCount() > 2);
        const QString file = print(job);
        QVERIFY(!file.isEmpty());
        QCOMPARE(pdf::info(file, "Pages").toInt(), job.pageCount());
        const QString text = pdf::text(file);
        const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
        QStringList seen;
        static const QRegularExpression cell("\\br(\\d{3})c1\\b");
        for (auto it = cell.globalMatch(text); it.hasNext();)
            seen << it.next().captured(1);
        QStringList expected;
        for (int r = 1; r <= 150; ++r)
            if (r != 7) expected << QString("%1").arg(r, 3, 10, QChar('0'));
        QCOMPARE(seen, expected);
        QVERIFY(!text.contains("c2"));
        QVERIFY(!text.contains("머리2"));
        for (int p = 0; p < job.pageCount(); ++p) {
            QVERIFY2(pages[p].contains("머리1"), qPrintable(QString::number(p)));
            QVERIFY(pages[p].contains("목록 제목"));
            QVERIFY(pages[p].contains(QString("Page: %1/%2").arg(p + 1).arg(job.pageCount())));
            QVERIFY(pages[p].contains("출력일:2026.12.06"));
        }
    }

    void twoLineRemarkAboveThePageLine() {
        fill(3);
        GridPrintJob job(m_grid.get(), setup("첫째 줄\n둘째 줄"), "t");
        QStringList lines;
        for (const QString& l : pdf::text(print(job)).split(u'\n'))
            if (!l.trimmed().isEmpty()) lines << l.trimmed();
        const qsizetype page = lines.indexOf(QRegularExpression("^Page: 1/1.*"));
        QVERIFY(page >= 2);
        QCOMPARE(lines[page - 2], QString("첫째 줄"));
        QCOMPARE(lines[page - 1], QString("둘째 줄"));
        QCOMPARE(lines.last(), lines[page]); // the page line is the last
    }

    void footerOffLeavesNothingBelowTheGrid() {
        fill(3);
        store("CheckBox_8", "0");
        GridPrintJob job(m_grid.get(), setup("비고"), "t");
        const QList<pdf::Word> words = pdf::words(print(job));
        QVERIFY(!words.isEmpty());
        const auto lowest =
            std::max_element(words.begin(), words.end(),
                             [](const auto& a, const auto& b) { return a.yMax < b.yMax; });
        QVERIFY2(lowest->text.startsWith("r003"), qPrintable(lowest->text));
        for (const auto& w : words)
            QVERIFY(!w.text.contains("Page") && !w.text.contains("출력일") &&
                    !w.text.contains("비고"));
    }

    void topMarginPlacesTheFirstLine_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<double>("top");
        QTest::newRow("0.5 inch") << "0.5" << 36.0;
        QTest::newRow("1.00 inch") << "1.00" << 72.0;
        QTest::newRow("nothing stored: the list's 0.5") << "" << 36.0;
    }
    void topMarginPlacesTheFirstLine() {
        QFETCH(QString, stored);
        QFETCH(double, top);
        fill(3);
        if (!stored.isEmpty()) store("PrintMarginTop", stored);
        GridPrintJob job(m_grid.get(), setup(), "t");
        const QList<pdf::Word> words = pdf::words(print(job));
        double first = 1e9;
        for (const auto& w : words)
            first = std::min(first, w.yMin);
        QVERIFY2(first >= top - 0.01 && first < top + 20, qPrintable(QString::number(first)));
    }

    void optionsChangeTheOutput() {
        fill(3);
        m_grid->setMaxRows(9); // six empty rows below the data
        store("CheckBox_0", "0");
        store("CheckBox_1", "1");
        GridPrintJob dataOnly(m_grid.get(), setup(), "t");
        QString text = pdf::text(print(dataOnly));
        QVERIFY(!text.contains("머리1"));
        QVERIFY(text.contains(QRegularExpression("\\b3\\s+r003c1")));
        QVERIFY(
            !text.contains(QRegularExpression("^\\s*9\\s*$", QRegularExpression::MultilineOption)));
        store("CheckBox_4", "0");
        GridPrintJob allRows(m_grid.get(), setup(), "t");
        text = pdf::text(print(allRows));
        QVERIFY(
            text.contains(QRegularExpression("^\\s*9\\s*$", QRegularExpression::MultilineOption)));
    }

    void selectedCellsOnly() {
        fill(10);
        m_grid->selectionModel()->select(
            QItemSelection(m_grid->model()->index(3, 1), m_grid->model()->index(4, 2)),
            QItemSelectionModel::Select);
        GridPrintJob job(m_grid.get(), setup(), "t");
        job.setSelectionOnly(true);
        const QString text = pdf::text(print(job));
        QVERIFY(text.contains("r004c2") && text.contains("r005c3"));
        QVERIFY(!text.contains("r003") && !text.contains("r006") && !text.contains("c1") &&
                !text.contains("c4"));
    }

    void fitToWidthDownToReadableText() {
        store("CheckBox_7", "1");
        fill(5, 10); // 10 columns of 90 px: a little wider than a portrait page
        SetFitToPageAllowed(m_grid.get(), false);
        GridPrintJob plain(m_grid.get(), setup(), "t");
        QCOMPARE(plain.pageCount(), 2);
        QCOMPARE(plain.pageColumns(2).mid(0, 2), QList<int>({1, 2})); // keys repeated
        SetFitToPageAllowed(m_grid.get(), true);
        GridPrintJob fitted(m_grid.get(), setup(), "t");
        QCOMPARE(fitted.pageCount(), 1);
        QVERIFY(fitted.scale() < 1);
        QVERIFY(pdf::text(print(fitted)).contains("r005c10"));

        fill(5, 30); // far too wide: fitted down to the smallest text, then continued
        GridPrintJob wide(m_grid.get(), setup(), "t");
        QCOMPARE(wide.scale(), GridPrintJob::MinFitFont / 9);
        QVERIFY(wide.pageCount() >= 2);
        const QStringList pages = pdf::text(print(wide)).split(u'\f', Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), wide.pageCount());
        for (const QString& page : pages)
            QVERIFY(page.contains("r005c1 ") && page.contains("r005c2 "));
        QVERIFY(pages.last().contains("r005c30"));
    }

    void totalsLineUnderTheLastRow() {
        fill(1);
        const int perPage = GridPrintJob(m_grid.get(), setup(), "t").rowsPerPage();
        for (int extra : {-1, 0}) { // one row short of two full pages, and two full pages
            fill(2 * perPage + extra);
            GridPrintJob job(m_grid.get(), setup(), "t");
            job.setTotals("[합 계]  금액 4,000,001,500");
            const QStringList pages = pdf::text(print(job)).split(u'\f', Qt::SkipEmptyParts);
            QCOMPARE(pages.size(), extra < 0 ? 2 : 3);
            QCOMPARE(job.pageCount(), pages.size());
            static const QRegularExpression totals("\\[합 계\\]\\s+금액 4,000,001,500");
            for (int p = 0; p < pages.size(); ++p)
                QCOMPARE(pages[p].contains(totals), p == pages.size() - 1);
            QVERIFY(pages.last().contains(QString("Page: %1/%1").arg(pages.size())));
        }
    }

    void unusualGrids_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("pages"); // 0: any number
        QTest::addColumn<QString>("shown"); // a cell printed
        QTest::newRow("empty grid") << 0 << 0 << 1 << "";
        QTest::newRow("every column hidden") << 5 << 1 << 0 << "";
        QTest::newRow("cell of 5,000 characters") << 2 << 2 << 1 << "r001c3";
        // Column 1, the cut wide column, columns 3-4.
        QTest::newRow("column wider than the page") << 2 << 3 << 3 << "r002c4";
        // The header keeps to a third of the page.
        QTest::newRow("saved header of 10,000 lines") << 2 << 4 << 1 << "r002c4";
    }
    void unusualGrids() {
        QFETCH(int, rows);
        QFETCH(int, kind);
        QFETCH(int, pages);
        QFETCH(QString, shown);
        fill(rows);
        if (kind == 1)
            for (int c = 1; c <= 4; ++c)
                m_grid->setColHidden(c, true);
        if (kind == 2) m_grid->setText(2, 1, QString("가").repeated(5000));
        if (kind == 3) m_grid->setColWidth(2, 5000);
        if (kind == 4) store("PrintHeader", "/c목록 제목" + QString("/n").repeated(10000));
        GridPrintJob job(m_grid.get(), setup(), "t");
        const QString file = print(job);
        QVERIFY(!file.isEmpty());
        const QString text = pdf::text(file);
        QVERIFY(text.contains("목록 제목"));
        QVERIFY(text.contains("Page: 1/"));
        if (pages) QCOMPARE(job.pageCount(), pages);
        QVERIFY(text.contains(shown));
    }
};

QTEST_MAIN(tst_printengine)
#include "tst_printengine.moc"
