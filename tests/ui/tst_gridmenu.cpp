#include "GridTest.h"

#include "ui/FormIni.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "ui/IniFile.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QtTest>

namespace {
const QString kNotNumber = QStringLiteral("입력값이 숫자가 아닙니다. 다시 입력해 주십시요.");
const QString kOutOfRange = QStringLiteral("입력값이 범위를 벗어났습니다. 다시 입력해 주십시요.");
} // namespace

class TestGridMenu : public GridTest {
    Q_OBJECT
    GridMenu* m_menu = nullptr;

    QStringList captions() {
        std::unique_ptr<QMenu> menu(m_menu->buildMenu());
        QStringList out;
        for (QAction* a : menu->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }
    IniFile layout() { return IniFile(FormIniPath(QStringLiteral("frmSample"))); }

private slots:
    void init() {
        GridTest::init();
        fill(2, 6, [](int c, int r) { return c == 1 ? QString::number(r) : QString(); });
        m_grid->setColWidth(1, 50);
        m_menu = GridMenu::attach(m_grid, m_window);
    }

    void itemsFollowTheGridsFlags() {
        QCOMPARE(captions(), QStringList({"08구분선 표시", "-", "01그리드 【줄높이】변경",
                                          "02【글자크기】       변경",
                                          "03폼 및 그리드 설정【초기화】", "-",
                                          "00메    뉴      닫    기"}));
        QVERIFY(!m_menu->trigger(QStringLiteral("04")));
        m_grid->setAllowsReports(true);
        m_grid->setAllowsShortcutList(true);
        m_grid->setRowMark(3, QStringLiteral("subtot"));
        QCOMPARE(captions(), QStringList({"08구분선 표시", "-", "01그리드 【줄높이】변경",
                                          "02【글자크기】       변경",
                                          "03폼 및 그리드 설정【초기화】", "-",
                                          "04【보고서】용 칼럼 설정", "05시트내 【단축키】 목록",
                                          "-", "06【소계】숨김/보기", "07【소계만】보기/해제", "-",
                                          "00메    뉴      닫    기"}));
        QCOMPARE(GridMenu::attach(m_grid, m_window), m_menu); // attached once
    }

    // Each answer in turn; a bad one is followed by its message and the question again.
    void numberQuestions_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("result"); // -1: unchanged
        const auto row = [](const char* name, const char* item, const QStringList& answers,
                            const QStringList& messages, int result) {
            QTest::newRow(name) << QString::fromLatin1(item) << answers << messages << result;
        };
        row("divider text then cancel", "08", {"abc", ""}, {kNotNumber}, -1);
        row("divider 1", "08", {"1", ""}, {kOutOfRange}, -1);
        row("divider 10001 then 2", "08", {"10001", "2"}, {kOutOfRange}, 2);
        row("divider 10000", "08", {"10000"}, {}, 10000);
        row("font 0 is default", "02", {"0"}, {}, 0);
        row("font 8", "02", {"8"}, {}, 8);
        row("font 60", "02", {" 60 "}, {}, 60);
        row("font 7, 61, text, then 9", "02", {"7", "61", "큰글씨", "9"}, {kOutOfRange, kOutOfRange, kNotNumber}, 9);
        row("row height 9", "01", {"9", ""}, {kOutOfRange}, -1);
        row("row height 100", "01", {"100"}, {}, 100);
    }

    void numberQuestions() {
        QFETCH(QString, item);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, messages);
        QFETCH(int, result);
        m_grid->setFontSize(12);
        const int rowHeightBefore = m_grid->rowHeight();
        for (const QString& a : answers) m_env->prompt().pushText(a);
        QVERIFY(m_menu->trigger(item));
        QStringList shownMessages;
        int questions = 0;
        for (const auto& s : m_env->prompt().shown()) {
            if (s.kind == ScriptedPrompt::Kind::Input) ++questions;
            else shownMessages << s.text;
        }
        QCOMPARE(shownMessages, messages);
        QCOMPARE(questions, int(answers.size()));
        QCOMPARE(m_env->prompt().pendingReplies(), 0);
        const ScriptedPrompt::Shown& asked = m_env->prompt().shown().first();
        if (item == u"08")
            QCOMPARE(asked.text, QStringLiteral("몇줄마다 구분선을 표시하시겠습니까?\n\n가능범위: 2 ~ 10000"));
        if (item == u"02") {
            QCOMPARE(asked.text, QStringLiteral("변경할 글자의 크기를 입력하세요.(입력범위: 8~60, 0:기본값)"));
            QCOMPARE(asked.title, QStringLiteral("그리드내 글자크기 변경"));
        }
        const QString general = QStringLiteral("spList_General");
        if (item == u"08") {
            QCOMPARE(m_grid->dividerEvery(), result == -1 ? 0 : result);
            QVERIFY(!QFile::exists(FormIniPath(QStringLiteral("frmSample"))));
        } else if (item == u"02") {
            QCOMPARE(m_grid->fontSize(), result == -1 ? 12 : result);
            QCOMPARE(layout().value(general, QStringLiteral("FontSize")),
                     result == -1 ? QString() : QString::number(result));
        } else {
            QCOMPARE(m_grid->rowHeight(), result == -1 ? rowHeightBefore : result);
            QCOMPARE(layout().value(general, QStringLiteral("RowHeight")),
                     result == -1 ? QString() : QString::number(result));
        }
    }

    void resetDeletesFileAndRestoresDesign() {
        m_grid->setColWidth(1, 200);
        m_grid->setFontSize(20);
        SaveSpreadIni_Gn(QStringLiteral("frmSample"), m_grid);
        m_env->prompt().pushAnswer(Prompt::Answer::No);
        m_menu->trigger(QStringLiteral("03"));
        QVERIFY(QFile::exists(FormIniPath(QStringLiteral("frmSample"))));
        QCOMPARE(m_env->prompt().lastDefault(), Prompt::Answer::No);

        m_env->prompt().clear();
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        m_menu->trigger(QStringLiteral("03"));
        QVERIFY(!QFile::exists(FormIniPath(QStringLiteral("frmSample"))));
        QCOMPARE(m_grid->colWidth(1), 50);
        QCOMPARE(m_grid->fontSize(), 0);
        QCOMPARE(m_env->prompt().texts(),
                 QStringList({"해당폼의 폼의 위치 및 크기, 그리드의 각 칸의 넓이\n, 줄높이, "
                              "글자크기등이 모두 초기화 됩니다.\n\n초기화 하시겠습니까?",
                              "초기화를 완료하였습니다.\n\n현재창을 닫고 다시 열어 주셔야 "
                              "초기화된 형태가 제대로 보여집니다."}));
        SaveFormIni(m_window); // closing after the reset writes nothing back
        QVERIFY(!QFile::exists(FormIniPath(QStringLiteral("frmSample"))));
    }

    // A width the user drags is saved at once; widths and fonts the program sets are not.
    void userColumnWidthIsSaved() {
        shownGrid(2, 6);
        m_grid->setColWidth(1, 120);
        m_grid->setFontSize(14);
        m_grid->setFontSize(0);
        QVERIFY(!QFile::exists(FormIniPath(QStringLiteral("frmSample"))));
        QHeaderView* header = m_grid->horizontalHeader();
        const int edge = header->sectionViewportPosition(0) + header->sectionSize(0) - 1;
        const int y = header->height() / 2;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
        QTest::mouseMove(header->viewport(), QPoint(edge + 30, y));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 30, y));
        QVERIFY(m_grid->colWidth(1) > 120);
        QCOMPARE(layout().value(QStringLiteral("spList_ColsWidth"), QStringLiteral("1")),
                 QString::number(m_grid->colWidth(1)));
    }

    void gridKeys() {
        m_grid->setActiveCell(1, 3);
        QTest::keyClick(m_grid, Qt::Key_E, Qt::ControlModifier);
        QVERIFY(m_grid->rowHidden(3));
        QCOMPARE(m_grid->activeRow(), 4);
        QTest::keyClick(m_grid, Qt::Key_E, Qt::ControlModifier);
        QVERIFY(m_grid->rowHidden(4));
        QCOMPARE(m_grid->activeRow(), 5);
        m_grid->setActiveCell(1, 6);
        QTest::keyClick(m_grid, Qt::Key_E, Qt::ControlModifier); // last row: moves up
        QCOMPARE(m_grid->activeRow(), 5);
        m_grid->setRowHidden(1, true);
        m_grid->setActiveCell(1, 2);
        QTest::keyClick(m_grid, Qt::Key_W, Qt::ControlModifier); // 3, 4 below and 1 above
        QVERIFY(!m_grid->rowHidden(1));
        QVERIFY(!m_grid->rowHidden(3));
        QVERIFY(!m_grid->rowHidden(4));
        QVERIFY(m_grid->rowHidden(6)); // not next to row 2
        // Ctrl+H lists the grid's keys.
        QTest::keyClick(m_grid, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(m_env->prompt().lastTitle(), QStringLiteral("시트내 단축키 목록"));
        QCOMPARE(m_env->prompt().lastText(),
                 QStringLiteral(" - Ctrl + H : 단축키 목록보기\n\n - Ctrl + F : 찾기\n\n"
                                " - Ctrl + E : 행숨김\n\n - Ctrl + W : 행숨김 취소(아래/위행)"));
    }

};

QTEST_MAIN(TestGridMenu)
#include "tst_gridmenu.moc"
