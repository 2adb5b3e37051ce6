// The main window and its child windows used as a person does: placement, the window
// menu, options, export, pop-ups and typed input through the real controls.
#include "WindowTest.h"

#include "app/frmMain.h"
#include "members/MemberStore.h"
#include "members/frmFriend.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "ui/HCText.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QRadioButton>
#include <QtTest>

class tst_frameclicks : public WindowTest {
    Q_OBJECT

    void writeLayout(const QString& window, int left, int top) {
        WriteFileBytes(m_d->env().path("FormIni/" + window + ".ini"), QStringLiteral("[FormPosition]\nLeft=%1\nTop=%2\nWidth=600\nHeight=400\nWindowState=0\n")
                    .arg(left).arg(top).toUtf8());
    }
    static bool inside(QWidget* w, const QRect& area) { return area.contains(w->geometry()); }

private slots:
    // A remembered position outside the frame never hides a window.
    void rememberedPositionKeptInside_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::newRow("far right") << 3000 << 10;
        QTest::newRow("far down") << 10 << 3000;
        QTest::newRow("at the origin") << 0 << 0;
    }
    void rememberedPositionKeptInside() {
        QFETCH(int, left);
        QFETCH(int, top);
        writeLayout("frmGroupSub", left, top);
        QWidget* w = m_d->open("mnuFriend_Group");
        QMdiSubWindow* sub = m_d->frame()->mdiArea()->activeSubWindow();
        QVERIFY(w && sub);
        QVERIFY(inside(sub, QRect(QPoint(0, 0), m_d->frame()->mdiArea()->viewport()->size())));
        if (left == 0) QCOMPARE(sub->pos(), QPoint(0, 0));
    }

    // The window menu arranges the windows and lists them to bring one back.
    void windowMenuListsAndArranges() {
        m_d->open("mnuFriend_Group");
        m_d->open("mnuFriend_Friend");
        QMenu* menu = m_d->frame()->findChild<QMenu*>("mnuWindow");
        QVERIFY(menu);
        emit menu->aboutToShow();
        QAction* first = m_d->frame()->findChild<QAction*>("mnuWindow_List(1)");
        QVERIFY(first);
        QVERIFY(first->text().contains("그룹관리"));
        first->trigger();
        QCOMPARE(m_d->activeWindow()->objectName(), QString("frmGroupSub"));
        m_d->frame()->menuAction("mnuWindow_Tile")->trigger();
        const QRect area(QPoint(0, 0), m_d->frame()->mdiArea()->viewport()->size());
        for (QMdiSubWindow* sub : m_d->frame()->mdiArea()->subWindowList()) QVERIFY(inside(sub, area));
    }

    // After switching to per-item points and saving, the percentage is no longer shown nor
    // stored, also when the window is opened again.
    void optionsShowStoredPoints() {
        QWidget* w = m_d->open("mnuFriend_Option");
        auto* percent = m_d->find<HCText>("htField", w);
        QCOMPARE(percent->text(), QString("10"));
        m_d->click("opPoint(1)", w);
        QVERIFY(!percent->isEnabled());
        m_d->click("btnSel", w);
        QCOMPARE(m_d->query("SELECT optvalue FROM options WHERE optname = 'pointindex'").toString(), QString("1"));
        QCOMPARE(m_d->query("SELECT optvalue FROM options WHERE optname = 'point'").toString(), QString("0"));
        QCOMPARE(percent->text(), QString());
        m_d->click("btnCancel", w);
        QVERIFY(m_d->prompt().shown().isEmpty());
        QTRY_VERIFY(m_d->frame()->mdiArea()->subWindowList().isEmpty());
        w = m_d->open("mnuFriend_Option");
        percent = m_d->find<HCText>("htField", w);
        QVERIFY(m_d->find<QRadioButton>("opPoint(1)", w)->isChecked());
        QCOMPARE(percent->text(), QString());
        m_d->click("opPoint(0)", w);
        QVERIFY(percent->isEnabled());
        QCOMPARE(percent->text(), QString());
    }

    // Without a spreadsheet program the export says where the file is.
    void exportTellsWhereTheFileIs() {
        int code = 0;
        SaveMember(0, {{"sname", "Kim"}}, &code);
        m_d->env().launcher().result = false;
        auto* list = m_d->open<frmFriend>("mnuFriend_Friend");
        m_d->prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->clickCell(list->grid(), 2, 1);
        m_d->key(Qt::Key_F8);
        QVERIFY2(m_d->prompt().lastText().contains(m_d->env().path("ExpExcel")), qPrintable(m_d->prompt().texts().join('|')));
    }

    // The grid's pop-ups open over the window they belong to, not in a screen corner.
    void gridPopupsOpenOverTheirWindow_data() {
        QTest::addColumn<QString>("popup");
        QTest::newRow("find") << "FrmFindInSpread";
        QTest::newRow("report columns") << "FrmSprRPTCol";
    }
    void gridPopupsOpenOverTheirWindow() {
        QFETCH(QString, popup);
        auto* list = m_d->open<frmFriend>("mnuFriend_Friend");
        m_d->click(list->grid()->viewport(), QPoint(5, 5));
        if (popup == "FrmFindInSpread")
            m_d->key(Qt::Key_F, Qt::ControlModifier);
        else
            GridMenu::of(list->grid())->trigger("04"); // the menu's own item, as chosen
        QWidget* w = m_d->find(popup);
        QVERIFY(w && w->isVisible());
        const QRect owner(list->mapToGlobal(QPoint(0, 0)), list->size());
        QVERIFY(owner.contains(w->frameGeometry().center()));
    }

    // The saved notice is told to appear over the window it belongs to; the next group is
    // typed into the first input again.
    void savedNoticeOverItsWindow() {
        QWidget* groups = m_d->open("mnuFriend_Group");
        m_d->click("htField(1)", groups);
        m_d->type("Club");
        m_d->find<QComboBox>("cmbYear", groups)->setCurrentIndex(1);
        m_d->find<QComboBox>("cmbDay", groups)->setCurrentIndex(5);
        m_d->click("btnSave", groups);
        QCOMPARE(m_d->query("SELECT COUNT(*) FROM tblgroup WHERE gname = 'Club'").toInt(), 1);
        QCOMPARE(m_d->focus(), m_d->find("htField(1)", groups));
        QCOMPARE(m_d->env().notices(), QStringList({"자료가 저장되었습니다."}));
        const QStringList args = m_d->env().launcher().calls.last().args;
        const QStringList at = args.value(1).mid(5).split(',');
        QVERIFY2(args.value(1).startsWith("--at=") && at.size() == 2, qPrintable(args.join('|')));
        const QRect frame(m_d->frame()->mapToGlobal(QPoint(0, 0)), m_d->frame()->size());
        QVERIFY(frame.contains(QPoint(at[0].toInt(), at[1].toInt())));
    }
};

QTEST_MAIN(tst_frameclicks)
#include "tst_frameclicks.moc"
