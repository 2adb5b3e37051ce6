#include "GridTest.h"

#include "ui/Grid.h"
#include "ui/GridModel.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QTest>

// The grid as the windows use it: content and size rules without a window, then the
// keyboard and mouse behaviour of a shown grid.
class TestGrid : public GridTest {
    Q_OBJECT
private slots:
    void dataRowCnt_data() {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<int>("maxRows");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty grid") << QList<QStringList>{} << 5 << 0;
        QTest::newRow("no rows at all") << QList<QStringList>{} << 0 << 0;
        QTest::newRow("trailing empty entry row")
            << QList<QStringList>{{"a", "b"}, {"c", ""}} << 3 << 2;
        QTest::newRow("text only in the last column")
            << QList<QStringList>{{"a"}, {"", "", "z"}} << 4 << 2;
        QTest::newRow("gap in the middle counts up to the last")
            << QList<QStringList>{{"a"}, {}, {"c"}} << 6 << 3;
        QTest::newRow("a blank is data") << QList<QStringList>{{" "}} << 2 << 1;
    }
    void dataRowCnt() {
        QFETCH(QList<QStringList>, rows);
        QFETCH(int, maxRows);
        QFETCH(int, expected);
        m_grid->setMaxCols(3);
        m_grid->setMaxRows(maxRows);
        for (int r = 0; r < rows.size(); ++r)
            m_grid->setRowTexts(r + 1, rows.at(r));
        QCOMPARE(m_grid->dataRowCnt(), expected);
        QCOMPARE(m_grid->maxRows(), maxRows);
    }

    void cellStorage() {
        m_grid->setMaxCols(4);
        m_grid->setMaxRows(2);
        const QString quote = QStringLiteral("O'Brien \"큰\" 따옴표");
        const QString longText(70000, QChar(u'가')); // offsets beyond 16 bits
        m_grid->setRowTexts(1, {quote, "", longText, "끝"});
        QCOMPARE(m_grid->rowTexts(1), (QStringList{quote, "", longText, "끝"}));

        // Changing one cell leaves its neighbours alone, also when emptying the last one.
        m_grid->setText(2, 1, QStringLiteral("중간"));
        m_grid->setText(4, 1, QString());
        QCOMPARE(m_grid->rowTexts(1), (QStringList{quote, "중간", longText, ""}));

        // Rows stored in their shorter form read back as written: Latin text past one-byte
        // offsets, Hangul, a character outside the basic plane, half a surrogate pair.
        const QString latin(300, QChar(u'x'));
        const QString astral = QStringLiteral("웃음 \U0001F600 끝");
        const QString half = QStringLiteral("ab") + QChar(0xD83D);
        const QStringList rows[] = {{"1", latin, "", "2"}, {"가나다라마바사", "아", "", "자"}, {astral, "", "x", ""},
                                    {half, QString(QChar(0xDE00)), "", "1"}};
        for (const QStringList& row : rows) {
            m_grid->setRowTexts(2, row);
            QCOMPARE(m_grid->rowTexts(2), row);
        }
        QCOMPARE(m_grid->gridModel()->cellEmpty(1, 2), true);
        QCOMPARE(m_grid->gridModel()->cellEmpty(1, 1), false);

        // One cell set in each form and in an empty row: the neighbours kept, offsets
        // widened and narrowed, a text the row's form cannot hold, the last cell emptied.
        const QString changes[] = {"", "한글", latin, longText, astral, half, "z"};
        for (QStringList row : rows) {
            for (int col = 1; col <= 4; ++col) {
                for (const QString& t : changes) {
                    for (QStringList start : {row, QStringList(4, QString())}) {
                        m_grid->setRowTexts(2, start);
                        m_grid->setText(col, 2, t);
                        start[col - 1] = t;
                        QCOMPARE(m_grid->rowTexts(2), start);
                        QCOMPARE(m_grid->gridModel()->rowEmpty(1), start.join("").isEmpty());
                    }
                }
            }
        }

        // Outside the grid: reads are empty, writes are ignored.
        m_grid->setText(5, 1, "x");
        m_grid->setText(1, 3, "x");
        QCOMPARE(m_grid->text(5, 1), QString());
        QCOMPARE(m_grid->text(1, 3), QString());
        QCOMPARE(m_grid->text(-1, 1), QString());

        // Columns removed and added again come back empty.
        m_grid->setMaxCols(1);
        m_grid->setMaxCols(4);
        QCOMPARE(m_grid->rowTexts(1), (QStringList{quote, "", "", ""}));

        // setRowTexts beyond the last row grows the grid.
        m_grid->setRowTexts(5, {"새 줄"});
        QCOMPARE(m_grid->maxRows(), 5);
        QCOMPARE(m_grid->dataRowCnt(), 5);

        m_grid->clear();
        QCOMPARE(m_grid->dataRowCnt(), 0);
        QCOMPARE(m_grid->maxRows(), 5);
    }

    void headerAndRowHeaderAddressing() {
        m_grid->setMaxCols(2);
        m_grid->setMaxRows(3);
        m_grid->setText(1, 0, QStringLiteral("이름"));
        m_grid->setHeaderRows(2);
        m_grid->setHeaderText(2, QStringLiteral("하단"), 2);
        QCOMPARE(m_grid->headerText(1), QStringLiteral("이름"));
        QCOMPARE(m_grid->text(1, 0), QStringLiteral("이름"));
        QCOMPARE(m_grid->headerText(2, 2), QStringLiteral("하단"));
        QCOMPARE(m_grid->gridModel()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("\n하단"));
        QCOMPARE(m_grid->text(0, 2), QStringLiteral("2"));
        QCOMPARE(m_grid->text(0, 4), QString());
        QCOMPARE(m_grid->dataRowCnt(), 0); // headers are not data

        m_grid->setGridIndex(3);
        QCOMPARE(m_grid->layoutName(), QStringLiteral("spList_3"));
    }

    void number_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("plain") << "42" << 42.0;
        QTest::newRow("thousands") << "1,234,567" << 1234567.0;
        QTest::newRow("negative") << "-1,500" << -1500.0;
        QTest::newRow("plus and blanks") << "  +3" << 3.0;
        QTest::newRow("fraction") << "12.5kg" << 12.5;
        QTest::newRow("unit after") << "1,234원" << 1234.0;
        QTest::newRow("text") << "홍길동" << 0.0;
        QTest::newRow("comma first") << ",5" << 0.0;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("phone stops at dash") << "010-1234" << 10.0;
    }
    void number() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        m_grid->setMaxCols(1);
        m_grid->setMaxRows(1);
        m_grid->setText(1, 1, text);
        QCOMPARE(m_grid->number(1, 1), expected);
    }

    void totalsRow() {
        m_grid->setMaxCols(3);
        m_grid->setMaxRows(5);
        m_grid->setRowTexts(1, {"가", "1,000", "1.25"});
        m_grid->setRowTexts(2, {"나", "-250", "없음"});
        m_grid->setRowTexts(3, {"다", "", "2"});
        m_grid->setRowTexts(4, {"라", "1,000,000", "0.5"});

        const int row = m_grid->addTotalsRow({2, 3});
        QCOMPARE(row, 5); // straight under the data, reusing the empty row
        QCOMPARE(m_grid->maxRows(), 5);
        QCOMPARE(m_grid->rowTexts(row), (QStringList{"[합 계]", "1,000,750", "3.75"}));
        QCOMPARE(m_grid->totalsRow(), 5);
        QCOMPARE(m_grid->dataRowCnt(), 5);
        const QModelIndex idx = m_grid->gridModel()->index(row - 1, 1);
        QCOMPARE(idx.data(Qt::BackgroundRole).value<QColor>(), QColor(224, 240, 224));
        QVERIFY(!(idx.flags() & Qt::ItemIsEditable));

        // A grid full to the last row gets a new row; a second call replaces the first.
        m_grid->setMaxRows(4);
        QCOMPARE(m_grid->addTotalsRow({2}), 5);
        QCOMPARE(m_grid->addTotalsRow({2}), 5);
        QCOMPARE(m_grid->maxRows(), 5);

        m_grid->removeTotalsRow();
        QCOMPARE(m_grid->maxRows(), 4);
        QCOMPARE(m_grid->totalsRow(), 0);
        QCOMPARE(m_grid->dataRowCnt(), 4);

        // Empty grid: a totals row of zeros.
        m_grid->clear();
        QCOMPARE(m_grid->addTotalsRow({2}), 1);
        QCOMPARE(m_grid->text(2, 1), QStringLiteral("0"));
    }

    void totalsRowFollowsEditsAndSkipsSubtotals() {
        m_grid->setMaxCols(2);
        m_grid->setMaxRows(3);
        m_grid->setRowTexts(1, {"a", "10"});
        m_grid->setRowTexts(2, {"소계", "10"});
        m_grid->setRowMark(2, QString::fromLatin1(RowMark::Subtotal));
        m_grid->setRowTexts(3, {"b", "5"});
        const int row = m_grid->addTotalsRow({2});
        QCOMPARE(m_grid->text(2, row), QStringLiteral("15"));
        m_grid->setText(2, 3, QStringLiteral("-20"));
        QCOMPARE(m_grid->text(2, row), QStringLiteral("-10"));
        m_grid->insertRows(1, 1);
        m_grid->setRowTexts(1, {"c", "1,000"});
        QCOMPARE(m_grid->totalsRow(), row + 1);
        QCOMPARE(m_grid->text(2, row + 1), QStringLiteral("990"));
        m_grid->deleteRows(1, 1);
        QCOMPARE(m_grid->text(2, row), QStringLiteral("-10"));
    }

    void insertAndDeleteRows() {
        fill(1, 4, [](int, int r) { return QString::number(r); });
        m_grid->setRowHidden(3, true);

        m_grid->insertRows(2, 2);
        QCOMPARE(m_grid->maxRows(), 6);
        QCOMPARE(m_grid->text(1, 1), QStringLiteral("1"));
        QCOMPARE(m_grid->text(1, 2), QString());
        QCOMPARE(m_grid->text(1, 4), QStringLiteral("2"));
        QVERIFY(m_grid->rowHidden(5)); // the hidden row moved with its text
        QCOMPARE(m_grid->text(1, 5), QStringLiteral("3"));

        m_grid->deleteRows(2, 2);
        QCOMPARE(m_grid->maxRows(), 4);
        QCOMPARE(m_grid->text(1, 2), QStringLiteral("2"));
        QVERIFY(m_grid->rowHidden(3));

        // Counts past the end are cut; impossible rows are ignored.
        m_grid->deleteRows(4, 10);
        QCOMPARE(m_grid->maxRows(), 3);
        m_grid->deleteRows(0, 1);
        m_grid->deleteRows(9, 1);
        m_grid->insertRows(1, 0);
        QCOMPARE(m_grid->maxRows(), 3);
        m_grid->insertRows(99, 1); // appended
        QCOMPARE(m_grid->maxRows(), 4);
        QCOMPARE(m_grid->text(1, 3), QStringLiteral("3"));
    }

    void hiddenColumnsKeepWidth() {
        m_grid->setMaxCols(3);
        m_grid->setColWidth(2, 77);
        m_grid->setColHidden(2, true);
        QVERIFY(m_grid->colHidden(2));
        QCOMPARE(m_grid->colWidth(2), 77);
        m_grid->setColWidth(2, 90); // remembered while hidden
        m_grid->setColHidden(2, false);
        QCOMPARE(m_grid->colWidth(2), 90);
        QVERIFY(!m_grid->colHidden(2));

        m_grid->setColTag(3, QStringLiteral("fname"));
        QCOMPARE(m_grid->findColByTag(QStringLiteral("fname")), 3);
        QCOMPARE(m_grid->findColByTag(QStringLiteral("nope")), -1);
    }

    void hiddenRowsAndSubtotalViews() {
        m_grid->setMaxCols(1);
        m_grid->setMaxRows(5);
        QVERIFY(!m_grid->hasSubtotalRows());
        m_grid->setRowMark(2, QString::fromLatin1(RowMark::Subtotal));
        m_grid->setRowMark(4, QString::fromLatin1(RowMark::Subtotal));
        m_grid->setRowMark(5, QString::fromLatin1(RowMark::GrandTotal));
        QVERIFY(m_grid->hasSubtotalRows());
        m_grid->setRowHidden(1, true);

        auto hidden = [this] {
            QList<int> rows;
            for (int r = 1; r <= m_grid->maxRows(); ++r)
                if (m_grid->rowHidden(r))
                    rows.append(r);
            return rows;
        };
        m_grid->setSubtotalsHidden(true);
        QCOMPARE(hidden(), (QList<int>{1, 2, 4}));
        m_grid->setShowOnlyMarked(true);
        QCOMPARE(hidden(), (QList<int>{1, 3})); // row 1 stays hidden by the user
        m_grid->setShowOnlyMarked(false);
        m_grid->setSubtotalsHidden(false);
        QCOMPARE(hidden(), (QList<int>{1}));
        m_grid->setRowHidden(1, false);
        QCOMPARE(hidden(), QList<int>{});
    }

    void search_data() {
        QTest::addColumn<bool>("byColumn");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("exact");
        QTest::addColumn<int>("expected");
        QTest::newRow("col exact") << true << 1 << 1 << -1 << "김철수" << true << 3;
        QTest::newRow("col exact is whole cell") << true << 1 << 1 << -1 << "김" << true << -1;
        QTest::newRow("col contains") << true << 1 << 1 << -1 << "철" << false << 3;
        QTest::newRow("col from skips earlier") << true << 1 << 4 << -1 << "김철수" << true << 5;
        QTest::newRow("col to excludes later") << true << 1 << 4 << 4 << "김철수" << true << -1;
        QTest::newRow("col quote") << true << 1 << 1 << -1 << "O'Neil" << true << 2;
        QTest::newRow("col out of range") << true << 9 << 1 << -1 << "김철수" << true << -1;
        QTest::newRow("row exact") << false << 3 << 1 << -1 << "010" << true << 2;
        QTest::newRow("row contains from") << false << 3 << 3 << -1 << "0" << false << 3;
        QTest::newRow("row missing") << false << 3 << 1 << -1 << "없음" << false << -1;
        QTest::newRow("row bad row") << false << 0 << 1 << -1 << "010" << true << -1;
    }
    void search() {
        QFETCH(bool, byColumn);
        QFETCH(int, line);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, text);
        QFETCH(bool, exact);
        QFETCH(int, expected);
        m_grid->setMaxCols(3);
        m_grid->setMaxRows(5);
        m_grid->setRowTexts(1, {"이영희", "011", "2"});
        m_grid->setRowTexts(2, {"O'Neil", "", ""});
        m_grid->setRowTexts(3, {"김철수", "010", "100"});
        m_grid->setRowTexts(5, {"김철수"});
        const int got = byColumn ? m_grid->searchCol(line, from, to, text, exact)
                                 : m_grid->searchRow(line, from, to, text, exact);
        QCOMPARE(got, expected);
    }

    void bulkFill() {
        m_grid->setMaxCols(3);
        m_grid->setMaxRows(2);
        m_grid->setText(1, 1, "old");
        m_grid->setColWidth(2, 123);
        m_grid->setColHidden(3, true);
        m_grid->setRowHidden(2, true);
        QSignalSpy resets(m_grid->gridModel(), &QAbstractItemModel::modelReset);
        m_grid->beginFill(1000);
        for (int r = 1; r <= 1000; ++r)
            m_grid->appendRow({QString::number(r), QStringLiteral("이름%1").arg(r), r % 2 ? "" : "x"});
        m_grid->endFill();
        QCOMPARE(resets.count(), 1);
        QCOMPARE(m_grid->maxRows(), 1000);
        QCOMPARE(m_grid->text(1, 1), QStringLiteral("1"));
        QCOMPARE(m_grid->rowTexts(1000), (QStringList{"1000", "이름1000", "x"}));
        QCOMPARE(m_grid->dataRowCnt(), 1000);
        // Column settings survive a reload; a hidden row does not carry over to new rows.
        QVERIFY(m_grid->colHidden(3));
        QCOMPARE(m_grid->colWidth(2), 123);
        QVERIFY(!m_grid->rowHidden(2));

        m_grid->setAllRows({{"a"}, {"b"}});
        QCOMPARE(m_grid->maxRows(), 2);
        QCOMPARE(m_grid->text(1, 2), QStringLiteral("b"));
    }

    void modelTester() {
        m_grid->setMaxCols(4);
        m_grid->setColType(2, CellType::CheckBox);
        m_grid->setColType(3, CellType::Number);
        m_grid->setColType(4, CellType::Button);
        QAbstractItemModelTester tester(m_grid->gridModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_grid->setMaxRows(3);
        m_grid->setRowTexts(1, {"a", "1", "5", "btn"});
        m_grid->insertRows(2, 2);
        m_grid->addTotalsRow({3});
        m_grid->deleteRows(1, 1);
        m_grid->setAllRows({{"x", "", "1"}, {"y"}});
        m_grid->setMaxCols(2);
        m_grid->clear();
        m_grid->setMaxRows(0);
    }

    // ---- keyboard and mouse ----
    void typingReplacesContentInEntryMode() {
        shownGrid(3, 3);
        m_grid->setText(1, 1, QStringLiteral("old"));
        QSignalSpy changed(m_grid, &Grid::cellChanged);
        type(QStringLiteral("it's"));
        key(Qt::Key_Return);
        QCOMPARE(m_grid->text(1, 1), QStringLiteral("it's"));
        QCOMPARE(m_grid->activeRow(), 2);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0), (QList<QVariant>{1, 1}));

        // F2 edits the existing text; Escape throws the edit away.
        m_grid->setActiveCell(1, 1);
        key(Qt::Key_F2);
        key(Qt::Key_End);
        type(QStringLiteral("X"));
        key(Qt::Key_Escape);
        QCOMPARE(m_grid->text(1, 1), QStringLiteral("it's"));

        // Hangul typed character by character.
        m_grid->setActiveCell(2, 1);
        for (QChar ch : QStringLiteral("한글"))
            QTest::sendKeyEvent(QTest::Click, target(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
        key(Qt::Key_Tab);
        QCOMPARE(m_grid->text(2, 1), QStringLiteral("한글"));
        QCOMPARE(m_grid->activeCol(), 3);

        // An input method commits whole syllables: the first opens the cell and is kept,
        // replacing the old text as a typed key does.
        m_grid->setText(3, 1, QStringLiteral("old"));
        for (QChar ch : QStringLiteral("가나")) {
            QInputMethodEvent commit;
            commit.setCommitString(QString(ch));
            QApplication::sendEvent(target(), &commit);
        }
        key(Qt::Key_Return);
        QCOMPARE(m_grid->text(3, 1), QStringLiteral("가나"));

        // Delete empties the cell; on an empty cell it reports no change.
        m_grid->setActiveCell(2, 1);
        changed.clear();
        key(Qt::Key_Delete);
        QCOMPARE(m_grid->text(2, 1), QString());
        QCOMPARE(changed.count(), 1);
        key(Qt::Key_Delete);
        QCOMPARE(changed.count(), 1);
    }

    void listModeIsReadOnly() {
        shownGrid(2, 3);
        m_grid->setListMode();
        m_grid->setText(1, 2, QStringLiteral("긴 이름"));
        m_grid->setActiveCell(1, 2);
        type(QStringLiteral("zz"));
        key(Qt::Key_Delete);
        QCOMPARE(m_grid->text(1, 2), QStringLiteral("긴 이름"));
        QVERIFY(!m_grid->isEditing());
        QCOMPARE(m_grid->gridModel()->index(1, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("긴 이름"));
        QVERIFY(m_grid->selectionModel()->isRowSelected(1, {}));
        key(Qt::Key_Down);
        QCOMPARE(m_grid->activeRow(), 3);

        m_grid->setEntryMode();
        QVERIFY(!m_grid->gridModel()->index(1, 0).data(Qt::ToolTipRole).isValid());
        m_grid->setActiveCell(1, 2);
        type(QStringLiteral("zz"));
        key(Qt::Key_Return);
        QCOMPARE(m_grid->text(1, 2), QStringLiteral("zz"));
    }

    void leaveCellKeepsFocusAndValue_data() {
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<int>("newCol");
        QTest::addColumn<int>("newRow");
        QTest::newRow("Enter") << int(Qt::Key_Return) << 2 << 3;
        QTest::newRow("Down") << int(Qt::Key_Down) << 2 << 3;
        QTest::newRow("Up") << int(Qt::Key_Up) << 2 << 1;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << 3 << 2;
        QTest::newRow("Backtab") << int(Qt::Key_Backtab) << 1 << 2;
        QTest::newRow("Right after typing") << int(Qt::Key_Right) << 3 << 2;
        QTest::newRow("Left after typing") << int(Qt::Key_Left) << 1 << 2;
    }
    void leaveCellKeepsFocusAndValue() {
        QFETCH(int, keyCode);
        QFETCH(int, newCol);
        QFETCH(int, newRow);
        shownGrid(3, 3);
        m_grid->setActiveCell(2, 2);
        QList<QList<int>> leaves;
        bool refuse = true;
        connect(m_grid, &Grid::leaveCell, this, [&](int c, int r, int nc, int nr, bool* cancel) {
            leaves.append({c, r, nc, nr});
            *cancel = refuse;
        });

        // While typing: the value is committed, the move refused.
        type(QStringLiteral("a'b"));
        key(keyCode);
        QCOMPARE(leaves, (QList<QList<int>>{{2, 2, newCol, newRow}}));
        QCOMPARE(m_grid->text(2, 2), QStringLiteral("a'b"));
        QCOMPARE(active(), QPoint(2, 2));
        QVERIFY(m_grid->hasFocus());

        // Not typing: the same key is refused too (Left/Right now move in the grid).
        key(keyCode);
        QCOMPARE(leaves.size(), 2);
        QCOMPARE(active(), QPoint(2, 2));

        // Allowed: the move happens.
        refuse = false;
        key(keyCode);
        QCOMPARE(active(), QPoint(newCol, newRow));
    }

    void leaveCellByMouseCanBeRefused() {
        shownGrid(3, 3);
        int leaves = 0;
        bool refuse = true;
        connect(m_grid, &Grid::leaveCell, this, [&](int, int, int nc, int nr, bool* cancel) {
            ++leaves;
            QCOMPARE(nc, 3);
            QCOMPARE(nr, 3);
            *cancel = refuse;
        });
        QSignalSpy clicks(m_grid, &Grid::cellClicked);
        type(QStringLiteral("typed"));
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cellCentre(3, 3));
        QCOMPARE(leaves, 1);
        QCOMPARE(m_grid->text(1, 1), QStringLiteral("typed"));
        QCOMPARE(active(), QPoint(1, 1));
        QCOMPARE(clicks.count(), 0);

        // A double click on a refused cell neither moves nor reports a double-click.
        QSignalSpy doubles(m_grid, &Grid::cellDoubleClicked);
        QTest::mouseDClick(m_grid->viewport(), Qt::LeftButton, {}, cellCentre(3, 3));
        QCOMPARE(m_grid->activeRow(), 1);
        QCOMPARE(doubles.count(), 0);
        QVERIFY(!m_grid->isEditing());

        refuse = false;
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cellCentre(3, 3));
        QCOMPARE(active(), QPoint(3, 3));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.at(0), (QList<QVariant>{3, 3}));
        QTest::mouseDClick(m_grid->viewport(), Qt::LeftButton, {}, cellCentre(3, 3));
        QCOMPARE(doubles.count(), 1);
        QCOMPARE(doubles.at(0), (QList<QVariant>{3, 3}));

        // Setting the cell from code asks nothing.
        const int before = leaves;
        m_grid->setActiveCell(1, 1);
        QCOMPARE(leaves, before);
    }

    void changeComesBeforeLeave() {
        shownGrid(2, 2);
        QStringList order;
        connect(m_grid, &Grid::cellChanged, this, [&](int c, int r) {
            order << QStringLiteral("change %1,%2 %3").arg(c).arg(r).arg(m_grid->text(c, r));
        });
        connect(m_grid, &Grid::leaveCell, this, [&](int c, int r, int, int, bool*) {
            order << QStringLiteral("leave %1,%2 %3").arg(c).arg(r).arg(m_grid->text(c, r));
        });
        type(QStringLiteral("7"));
        key(Qt::Key_Return);
        // Leaving without a change: no change event.
        key(Qt::Key_Up);
        QCOMPARE(order, (QStringList{"change 1,1 7", "leave 1,1 7", "leave 1,2 "}));
    }

    void enterMovesRightAndWraps() {
        shownGrid(3, 2);
        m_grid->setColHidden(2, true);
        m_grid->setEnterMove(EnterMove::Right);
        key(Qt::Key_Return);
        QCOMPARE(m_grid->activeCol(), 3); // hidden column skipped
        key(Qt::Key_Return);
        QCOMPARE(active(), QPoint(1, 2));
        key(Qt::Key_Return);
        key(Qt::Key_Return); // last cell: stays
        QCOMPARE(active(), QPoint(3, 2));

        // Tab goes the same way, backwards with Shift.
        m_grid->setActiveCell(3, 1);
        key(Qt::Key_Tab);
        QCOMPARE(active(), QPoint(1, 2));
        key(Qt::Key_Backtab);
        QCOMPARE(active(), QPoint(3, 1));
        QVERIFY(m_grid->hasFocus());

        m_grid->setEnterMove(EnterMove::Down);
        m_grid->setRowHidden(1, true);
        m_grid->setActiveCell(1, 2);
        key(Qt::Key_Return); // last row: stays
        QCOMPARE(m_grid->activeRow(), 2);
    }

    void checkBoxCells() {
        shownGrid(2, 3);
        m_grid->setColType(2, CellType::CheckBox);
        QSignalSpy changed(m_grid, &Grid::cellChanged);
        QStringList leaves;
        connect(m_grid, &Grid::leaveCell, this, [&](int c, int r, int nc, int nr, bool*) {
            leaves << QStringLiteral("%1,%2>%3,%4").arg(c).arg(r).arg(nc).arg(nr);
        });

        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cellCentre(2, 1));
        QCOMPARE(m_grid->text(2, 1), QStringLiteral("1"));
        QCOMPARE(m_grid->gridModel()->index(0, 1).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(leaves, QStringList{"1,1>2,1"});
        key(Qt::Key_Space);
        QCOMPARE(m_grid->text(2, 1), QString());
        QCOMPARE(m_grid->dataRowCnt(), 0);
        QCOMPARE(changed.count(), 2);

        // Leaving a check-box cell fires leaveCell like a text cell, and can be refused.
        connect(m_grid, &Grid::leaveCell, this, [](int, int, int, int, bool* cancel) { *cancel = true; });
        key(Qt::Key_Down);
        QCOMPARE(leaves.last(), QStringLiteral("2,1>2,2"));
        QCOMPARE(m_grid->activeRow(), 1);

        // Typing in a check-box cell changes nothing.
        type(QStringLiteral("x"));
        QCOMPARE(m_grid->text(2, 1), QString());
    }

    void lockedCellsAndProtection() {
        shownGrid(2, 2);
        m_grid->setColType(2, CellType::CheckBox);
        m_grid->setColLocked(1, true);
        m_grid->setCellLocked(2, 1);
        m_grid->setText(1, 1, QStringLiteral("fixed"));
        type(QStringLiteral("x"));
        key(Qt::Key_Delete);
        QCOMPARE(m_grid->text(1, 1), QStringLiteral("fixed"));
        m_grid->setActiveCell(2, 1);
        key(Qt::Key_Space);
        QCOMPARE(m_grid->text(2, 1), QString());
        m_grid->setActiveCell(2, 2);
        key(Qt::Key_Space);
        QCOMPARE(m_grid->text(2, 2), QStringLiteral("1"));

        // Without protection the locks do not hold.
        m_grid->setProtect(false);
        m_grid->setActiveCell(1, 1);
        type(QStringLiteral("x"));
        key(Qt::Key_Return);
        QCOMPARE(m_grid->text(1, 1), QStringLiteral("x"));
    }

    void buttonAndRightClick() {
        shownGrid(2, 2);
        m_grid->setColType(2, CellType::Button);
        m_grid->setText(2, 2, QStringLiteral("선택"));
        QSignalSpy buttons(m_grid, &Grid::buttonClicked);
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cellCentre(2, 2));
        QCOMPARE(buttons.count(), 1);
        QCOMPARE(buttons.at(0), (QList<QVariant>{2, 2}));
        QCOMPARE(m_grid->text(2, 2), QStringLiteral("선택"));

        QSignalSpy right(m_grid, &Grid::rightClicked);
        m_grid->setActiveCell(1, 1);
        const QPoint p = cellCentre(1, 2);
        QContextMenuEvent ev(QContextMenuEvent::Mouse, p, m_grid->viewport()->mapToGlobal(p));
        QApplication::sendEvent(m_grid->viewport(), &ev);
        QCOMPARE(right.count(), 1);
        QCOMPARE(right.at(0).at(0).toInt(), 1);
        QCOMPARE(right.at(0).at(1).toInt(), 2);
        QCOMPARE(right.at(0).at(2).toPoint(), m_grid->viewport()->mapToGlobal(p));
        QCOMPARE(m_grid->activeRow(), 1); // the menu does not move the active cell
        // The menu key means the active cell.
        QContextMenuEvent keyEv(QContextMenuEvent::Keyboard, QPoint(1, 1), m_grid->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(m_grid, &keyEv);
        QCOMPARE(right.count(), 2);
        QCOMPARE(right.at(1).at(1).toInt(), 1);
    }

    void renderedLook() {
        shownGrid(4, 6);
        m_grid->setHeaderTexts({"이름", "금액", "선택", "보기"});
        m_grid->setColType(2, CellType::Number);
        m_grid->setColType(3, CellType::CheckBox);
        m_grid->setColType(4, CellType::Button);
        const int oneRowHeader = m_grid->horizontalHeader()->sizeHint().height();
        m_grid->setHeaderRows(2);
        m_grid->setHeaderText(2, QStringLiteral("(원)"), 2);
        QVERIFY(m_grid->horizontalHeader()->sizeHint().height() > oneRowHeader);
        m_grid->setRowTexts(1, {"홍길동", "1,000", "1", "보기"});
        m_grid->setRowTexts(2, {"김영희", "2,500", "", "보기"});
        m_grid->setDividerEvery(1);
        m_grid->setOddEvenRowColor(Qt::white, QColor(240, 240, 255));
        const int total = m_grid->addTotalsRow({2});
        const QImage shot = m_grid->viewport()->grab().toImage();
        if (qEnvironmentVariableIsSet("GRID_SHOT"))
            shot.save(qEnvironmentVariable("GRID_SHOT"));
        const QRect totals = m_grid->visualRect(m_grid->gridModel()->index(total - 1, 2));
        QCOMPARE(QColor(shot.pixel(totals.left() + 3, totals.top() + 3)), QColor(224, 240, 224));
        const QRect even = m_grid->visualRect(m_grid->gridModel()->index(1, 0));
        QCOMPARE(QColor(shot.pixel(even.right() - 3, even.top() + 3)), QColor(240, 240, 255));
        // A ticked box looks different from an empty one.
        auto boxImage = [&](int row) {
            const QRect r = m_grid->visualRect(m_grid->gridModel()->index(row - 1, 2));
            return shot.copy(QRect(0, 0, 14, 14).translated(r.center() - QPoint(7, 7)));
        };
        QVERIFY(boxImage(1) != boxImage(2));
    }

private:
    QPoint active() const { return {m_grid->activeCol(), m_grid->activeRow()}; } // (col, row)
    QWidget* target() const { return QApplication::focusWidget() ? QApplication::focusWidget() : m_grid; }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(target(), Qt::Key(k), mods); }
    void type(const QString& ascii) {
        for (QChar ch : ascii) QTest::keyClick(target(), ch.toLatin1());
    }

    QPoint cellCentre(int col, int row) const {
        return m_grid->visualRect(m_grid->gridModel()->index(row - 1, col - 1)).center();
    }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
