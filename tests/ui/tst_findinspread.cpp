#include "GridTest.h"

#include "ui/FormIni.h"
#include "ui/FrmFindInSpread.h"
#include "ui/FrmSprRPTCol.h"
#include "ui/Grid.h"
#include "ui/IniFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

Q_DECLARE_METATYPE(GridCell)

namespace {
// 3 columns x 3 rows:
//   kim    Lee   park
//   lee k  kim   x
//   y      z     KIM
const QStringList kCells = {"kim", "Lee", "park", "lee k", "kim", "x", "y", "z", "KIM"};
QString cell(int col, int row) { return kCells.value((row - 1) * 3 + (col - 1)); }
} // namespace

class TestFindInSpread : public GridTest {
    Q_OBJECT

private slots:
    void init() {
        GridTest::init();
        fill(3, 3, cell);
        m_grid->setHeaderTexts({"이름", "메모", "code"});
        m_window->resize(400, 300);
        m_window->show();
    }

    // The search rule; moving along rows, skipping a hidden column, wrapping and a miss are
    // shown through the find window below.
    void search_data() {
        QTest::addColumn<GridCell>("start");
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("byRows");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<GridCell>("expected");
        const auto row = [](const char* name, GridCell start, const char* what, bool byRows, bool whole,
                            GridCell expected) {
            QTest::newRow(name) << start << QString::fromUtf8(what) << byRows << whole << expected;
        };
        row("down columns after start", {1, 1}, "kim", false, false, {2, 2});
        row("columns: whole cell skips 'lee k'", {1, 1}, "LEE", false, true, {2, 1});
        row("rows: contains finds 'Lee' first", {1, 1}, "lee", true, false, {2, 1});
        row("ignores case", {2, 2}, "kim", true, false, {3, 3});
        row("columns: left of the start after wrapping", {2, 3}, "lee", false, false, {1, 2});
        row("the start cell comes last", {3, 1}, "park", true, false, {3, 1});
        row("no start begins at the first cell", {0, 0}, "kim", true, false, {1, 1});
        row("whole cell no hit", {1, 1}, "ki", true, true, {});
        row("blank finds nothing", {1, 1}, "  ", true, false, {});
    }

    void search() {
        QFETCH(GridCell, start);
        QFETCH(QString, what);
        QFETCH(bool, byRows);
        QFETCH(bool, whole);
        QFETCH(GridCell, expected);
        const GridCell hit = FindNextCell(3, 3, start, what, byRows, whole, cell, [](int, int) { return false; });
        QCOMPARE(hit.col, expected.col);
        QCOMPARE(hit.row, expected.row);
        // The find window over the grid lands on the same cell (down the columns it reads
        // the rows in one pass of its own).
        if (!start.isValid() || !expected.isValid()) return;
        m_grid->setActiveCell(start.col, start.row);
        FrmFindInSpread* w = FrmFindInSpread::open(m_grid);
        w->findChild<QComboBox*>(QStringLiteral("cboFindDir"))->setCurrentIndex(byRows ? 0 : 1);
        w->findChild<QCheckBox*>(QStringLiteral("chkSameAll"))->setChecked(whole);
        QTest::keyClicks(w->findChild<QLineEdit*>(QStringLiteral("txtFindWd")), what);
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("btnFindNext")), Qt::LeftButton);
        QCOMPARE(m_grid->activeCol(), expected.col);
        QCOMPARE(m_grid->activeRow(), expected.row);
    }

    void findWindowMovesActiveCell() {
        m_grid->setColHidden(3, true);
        m_grid->setActiveCell(1, 1);
        FrmFindInSpread* w = FrmFindInSpread::open(m_grid);
        QCOMPARE(FrmFindInSpread::open(m_grid), w); // one per grid
        auto* txt = w->findChild<QLineEdit*>(QStringLiteral("txtFindWd"));
        auto* dir = w->findChild<QComboBox*>(QStringLiteral("cboFindDir"));
        auto* same = w->findChild<QCheckBox*>(QStringLiteral("chkSameAll"));
        auto* next = w->findChild<QPushButton*>(QStringLiteral("btnFindNext"));
        QVERIFY(txt && dir && same && next);
        QCOMPARE(dir->itemText(0), QStringLiteral("행(가로방향)"));
        QCOMPARE(dir->itemText(1), QStringLiteral("열(세로방향)"));
        QTest::keyClicks(txt, QStringLiteral("kim"));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(m_grid->activeCol(), 2);
        QCOMPARE(m_grid->activeRow(), 2);
        QTest::keyClick(txt, Qt::Key_Return); // row 3's KIM is in the hidden column
        QCOMPARE(m_grid->activeRow(), 1);
        QCOMPARE(m_grid->activeCol(), 1);
        QVERIFY(m_env->prompt().shown().isEmpty());

        txt->setText(QStringLiteral("홍길동"));
        QVERIFY(!w->findNext());
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("일치하는 데이터가 없습니다."));
        QCOMPARE(m_env->prompt().lastTitle(), QStringLiteral("검색실패"));
        QCOMPARE(m_grid->activeRow(), 1);
        // A hit far down is scrolled to the top.
        m_grid->setMaxRows(100);
        m_grid->setText(1, 80, QStringLiteral("needle"));
        QCoreApplication::processEvents();
        m_grid->setActiveCell(1, 1);
        txt->setText(QStringLiteral("needle"));
        QVERIFY(w->findNext());
        QCOMPARE(m_grid->activeRow(), 80);
        QCOMPARE(m_grid->topRow(), 80);
    }

    void reportColumnsSaveAndCloseQuestion() {
        m_grid->setColHidden(3, true);
        FrmSprRPTCol* w = FrmSprRPTCol::open(m_grid, QStringLiteral("frmSample"));
        auto* list = w->findChild<QListWidget*>(QStringLiteral("lstCol"));
        auto* all = w->findChild<QCheckBox*>(QStringLiteral("chkAll"));
        QCOMPARE(list->count(), 2); // hidden code column not offered
        QCOMPARE(list->item(0)->text(), QStringLiteral("이름"));
        QVERIFY(all->isChecked());

        list->item(1)->setCheckState(Qt::Unchecked);
        QVERIFY(w->isDirty());
        m_env->prompt().pushAnswer(Prompt::Answer::No);
        QVERIFY(!w->close());
        QCOMPARE(m_env->prompt().lastText(),
                 QStringLiteral("수정된 내용이 저장되지 않았습니다. 그래도, 닫으시겠습니까?"));
        QVERIFY(w->isVisible());

        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("btnSave")), Qt::LeftButton);
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("저장을 완료하였습니다."));
        const IniFile ini(FormIniPath(QStringLiteral("frmSample")));
        QCOMPARE(ini.value(QStringLiteral("spList_RPTCOL"), QStringLiteral("1")), QStringLiteral("1"));
        QCOMPARE(ini.value(QStringLiteral("spList_RPTCOL"), QStringLiteral("2")), QStringLiteral("0"));
        QVERIFY(!ini.contains(QStringLiteral("spList_RPTCOL"), QStringLiteral("3")));

        QTest::mouseClick(all, Qt::LeftButton); // ticks everything again
        QCOMPARE(list->item(1)->checkState(), Qt::Checked);
        QTest::mouseClick(all, Qt::LeftButton);
        QCOMPARE(list->item(0)->checkState(), Qt::Unchecked);
        m_env->prompt().clear();
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        QVERIFY(w->close());
        QCOMPARE(m_env->prompt().shown().size(), 1);
    }
};

QTEST_MAIN(TestFindInSpread)
#include "tst_findinspread.moc"
