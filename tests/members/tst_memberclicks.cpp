// The member windows opened from the main window's menu and used with the mouse and the
// keyboard, as a person does; checked against the database and the prompts shown.
#include "WindowTest.h"
#include "MemberTestUtil.h"
#include "OtherPc.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "members/frmFriend.h"
#include "members/frmGroupSub.h"
#include "ui/Grid.h"
#include "ui/HCDate.h"
#include "ui/HCDateBox.h"
#include "ui/HCTerm.h"
#include "ui/HCText.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QtTest>

class tst_memberclicks : public WindowTest {
    Q_OBJECT

    frmFriend* openList() { return m_d->open<frmFriend>("mnuFriend_Friend"); }
    QString memberName(int code) { return m_d->query("SELECT sname FROM tblfriend WHERE code = ?", {code}).toString(); }

private slots:
    // A click into a date input takes the focus and the caret, so digits land there.
    void clickedDateTakesTyping_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("kept");
        QTest::newRow("birthday") << "mnuFriend_FriendSub" << "hdBarth" << "htField(3)" << "010-1234";
        QTest::newRow("joined") << "mnuFriend_FriendSub" << "hdInsert" << "htField(3)" << "010-1234";
        QTest::newRow("period start") << "mnuFriend_Friend" << "htDate" << "txtData" << "0101234";
    }
    void clickedDateTakesTyping() {
        QFETCH(QString, command);
        QFETCH(QString, date);
        QFETCH(QString, before);
        QFETCH(QString, kept);
        QWidget* w = m_d->open(command);
        QVERIFY(w);
        m_d->click(before, w);
        m_d->type("0101234");
        QWidget* outer = m_d->find(date, w);
        HCDateBox* box = qobject_cast<HCDate*>(outer) ? qobject_cast<HCDate*>(outer)->Box()
                                                      : outer->findChildren<HCDateBox*>().value(0);
        m_d->click(box);
        QCOMPARE(m_d->focus(), box);
        m_d->type("19800101");
        QCOMPARE(box->Text(), QString("1980-01-01"));
        QCOMPARE(m_d->find<QLineEdit>(before, w)->text(), kept);
    }

    // The member editor's inputs: opening it writes no settings; user-field name inputs show
    // a placeholder until named; a phone input keeps words but filters pasted text; a number
    // typed without dashes is compared by its digits; lunar mode takes lunar month lengths
    // (day 30 of a long month), solar mode refuses that day.
    void editorInputs() {
        addMember("Lee", {{"hpline", "010-1234-5678"}});
        QWidget* editor = m_d->open("mnuFriend_FriendSub");
        QCOMPARE(Settings::getIn(App().appTitle, "Config", "FRIEND_CHKAUTO", "<none>"), QString("<none>"));
        QCOMPARE(m_d->find<QLineEdit>("htUser(0)", editor)->placeholderText(), QString("사용자정의 1"));
        QCOMPARE(m_d->find<QLineEdit>("htUser(17)", editor)->placeholderText(), QString("사용자정의 18"));

        auto* phone = m_d->find<HCText>("htField(4)", editor);
        m_d->click(phone);
        QGuiApplication::clipboard()->setText(QString::fromUtf8("형님abc12"));
        m_d->key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(phone->text(), QString("12"));
        phone->setText("(02)1234-5678 내선 12");
        m_d->key(Qt::Key_Tab);
        QCOMPARE(phone->text(), QString("(02)1234-5678 내선 12"));

        prompt().pushAnswer(Prompt::Answer::No);
        m_d->click("htField(3)", editor);
        m_d->type("01012345678");
        m_d->key(Qt::Key_Tab);
        QCOMPARE(prompt().shown().size(), 1);
        QVERIFY(prompt().lastText().contains("010-1234-5678"));

        prompt().clear();
        m_d->click("htField(1)", editor);
        m_d->type("Kim");
        m_d->click("btnOX(0)", editor);
        QCOMPARE(m_d->find<QPushButton>("btnOX(0)", editor)->text().trimmed(), QString("음"));
        auto* birthday = m_d->find<HCDate>("hdBarth", editor);
        m_d->click(birthday->Box());
        m_d->type("19710230");
        m_d->key(Qt::Key_Tab);
        QCOMPARE(prompt().texts(), QStringList());
        QCOMPARE(birthday->Text(), QString("1971-02-30"));
        m_d->click("btnOX(0)", editor);
        m_d->click(birthday->Box());
        m_d->type("19710230");
        m_d->key(Qt::Key_Tab);
        QVERIFY(prompt().lastText().contains("존재하지 않는 날짜"));
        QCOMPARE(birthday->Text(), QString());
    }

    // Clicking the check column ticks a row; a block dragged over inverts its rows. The
    // grid's keys win over the child window's own shortcuts.
    void ticksAndGridKeys() {
        for (const char* n : {"가", "나", "다", "라"}) addMember(QString::fromUtf8(n));
        frmFriend* list = openList();
        Grid* g = list->grid();
        QVERIFY(g->dataRowCnt() >= 4);
        auto* count = m_d->find<QLabel>("lblCountRec", list);
        m_d->clickCell(g, frmFriend::ColCheck, 2);
        QCOMPARE(g->text(frmFriend::ColCheck, 2), QString("1"));
        QCOMPARE(count->text(), QString("1"));
        m_d->drag(g->viewport(), CellPoint(g, frmFriend::ColName, 1), CellPoint(g, frmFriend::ColName, 3));
        QCOMPARE(g->text(frmFriend::ColCheck, 1), QString("1"));
        QCOMPARE(g->text(frmFriend::ColCheck, 2), QString());
        QCOMPARE(g->text(frmFriend::ColCheck, 3), QString("1"));
        QCOMPARE(count->text(), QString("2"));

        m_d->clickCell(g, frmFriend::ColName, 2);
        m_d->key(Qt::Key_E, Qt::ControlModifier);
        QVERIFY(g->rowHidden(2));
        m_d->key(Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!g->rowHidden(2));
        QVERIFY(m_d->activeWindow() == list);
    }

    // "..." in the editor opens the group window to add: the default group is untouched,
    // the new group is added, and the open member list shows it.
    void groupAddedFromEditor() {
        frmFriend* list = openList();
        const int groupsBefore = m_d->query("SELECT COUNT(*) FROM tblgroup").toInt();
        QWidget* editor = m_d->open("mnuFriend_FriendSub");
        m_d->click("btnShowFindFld", editor);
        auto* groups = qobject_cast<frmGroupSub*>(m_d->activeWindow());
        QVERIFY(groups);
        QCOMPARE(m_d->find<HCText>("htField(1)", groups)->text(), QString());
        m_d->click("htField(1)", groups);
        m_d->type("Club");
        m_d->find<QComboBox>("cmbYear", groups)->setCurrentIndex(1);
        m_d->find<QComboBox>("cmbDay", groups)->setCurrentIndex(5);
        m_d->click("btnSave", groups);
        QCOMPARE(m_d->query("SELECT gname FROM tblgroup WHERE code = 1").toString(), QString("[기본그룹]"));
        QCOMPARE(m_d->query("SELECT COUNT(*) FROM tblgroup").toInt(), groupsBefore + 1);
        QVERIFY(!list->tree()->findItems("Club", Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    }

    // A whole-year anniversary search finds solar and lunar members alike.
    void wholeYearAnniversarySearch() {
        addMember("Solar", {{"barthday", "1980-03-01"}, {"lunarbarth", 0}});
        addMember("Lunar", {{"barthday", "1971-02-30"}, {"lunarbarth", 1}});
        addMember("Winter", {{"barthday", "1975-12-20"}, {"lunarbarth", 1}});
        frmFriend* list = openList();
        auto* kind = m_d->find<QComboBox>("cmbDate", list);
        kind->setCurrentIndex(1);
        auto* period = m_d->find<HCTerm>("htDate", list);
        period->SetText1("2026-01-01");
        period->SetText2("2026-12-31");
        m_d->click("btnQuery", list);
        QStringList names = gridColumn(list->grid(), frmFriend::ColName);
        names.sort();
        QCOMPARE(names, QStringList({"Lunar", "Solar", "Winter"}));
    }

    // Renaming a member to nothing in the tree is refused as in the editor.
    void treeRenameToEmptyRefused() {
        const int code = addMember("Park");
        frmFriend* list = openList();
        QTreeWidget* tree = list->tree();
        QTreeWidgetItem* group = tree->topLevelItem(0);
        m_d->click(tree->viewport(), tree->visualItemRect(group).center());
        group->setExpanded(true);
        QTreeWidgetItem* member = tree->findItems("Park", Qt::MatchExactly | Qt::MatchRecursive).value(0);
        QVERIFY(member);
        m_d->click(tree->viewport(), tree->visualItemRect(member).center());
        m_d->key(Qt::Key_F2);
        m_d->key(Qt::Key_A, Qt::ControlModifier);
        m_d->key(Qt::Key_Backspace);
        m_d->key(Qt::Key_Return);
        QCOMPARE(memberName(code), QString("Park"));
        QCOMPARE(prompt().lastText(), QString("이름이 입력되지 않았습니다"));
        QCOMPARE(member->text(0), QString("Park"));
    }

    // The detail panel: stored text that looks like HTML is shown as written, a lunar
    // birthday's line (with this year's solar day) whole, not cut; a deleted member leaves it.
    void detailPanel() {
        addMember("<i>Kim</i>", {{"comname", "<b>5</b>"}});
        addMember("Lee", {{"barthday", "1971-02-30"}, {"lunarbarth", 1}});
        frmFriend* list = openList();
        Grid* g = list->grid();
        auto* name = m_d->find<QLabel>("lblData(0)", list);
        QVERIFY(name);
        m_d->clickCell(g, frmFriend::ColName, g->searchCol(frmFriend::ColName, 1, -1, "<i>Kim</i>"));
        for (QLabel* l : list->findChildren<QLabel*>())
            if (l->text().contains("<b>") || l->text().contains("<i>"))
                QCOMPARE(l->textFormat(), Qt::PlainText);
        QCOMPARE(name->text(), QString("<i>Kim</i>"));

        m_d->clickCell(g, frmFriend::ColName, g->searchCol(frmFriend::ColName, 1, -1, "Lee"));
        auto* birthday = m_d->find<QLabel>("lblData(15)", list);
        QVERIFY(birthday->text().contains("올해 양력"));
        QVERIFY2(birthday->width() >= birthday->sizeHint().width(),
                 qPrintable(QString("%1 < %2").arg(birthday->width()).arg(birthday->sizeHint().width())));
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->key(Qt::Key_F4);
        QCOMPARE(m_d->query("SELECT COUNT(*) FROM tblfriend WHERE sname = 'Lee'").toInt(), 0);
        QVERIFY(name->text() != QString("Lee"));
    }

    // Members shown in turn whose longest lines are as wide as each other show their own
    // texts, and a longer line later still fits when the grid is pulled over the panel.
    void detailLinesOfEqualWidth() {
        addMember("A", {{"smemo", QString(40, '1')}});
        addMember("B", {{"smemo", QString(40, '2')}});
        addMember("C", {{"smemo", QString(70, '3')}, {"hpline", "010-3"}});
        frmFriend* list = openList();
        Grid* g = list->grid();
        auto* memo = m_d->find<QLabel>("lblData(23)", list);
        for (const char* name : {"A", "B", "C"}) {
            m_d->clickCell(g, frmFriend::ColName, g->searchCol(frmFriend::ColName, 1, -1, name));
            QCOMPARE(memo->text().at(0), QChar(name[0] - 'A' + '1'));
        }
        QCOMPARE(m_d->find<QLabel>("lblData(4)", list)->text(), QString("010-3"));
        auto* split = qobject_cast<QSplitter*>(memo->parentWidget()->parentWidget());
        QVERIFY(split);
        QList<int> sizes = split->sizes(); // tree, grid, panel
        sizes[1] += sizes.last();
        sizes.last() = 0;
        split->setSizes(sizes);
        QApplication::processEvents();
        QVERIFY2(memo->width() >= memo->sizeHint().width(),
                 qPrintable(QString("%1 < %2").arg(memo->width()).arg(memo->sizeHint().width())));
    }

    // A group opened again shows what another PC changed in it meanwhile: a member renamed
    // (with a quote) and of the other sex; once all its members moved away, none.
    void treeGroupOpenedAgainFollowsOtherPc() {
        const int club = addGroup("Club");
        const int kim = addMember("Kim", {{"ctblgroup", club}, {"male", "남"}});
        addMember("Lee", {{"ctblgroup", club}, {"male", "남"}});
        frmFriend* list = openList();
        QTreeWidget* tree = list->tree();
        QTreeWidgetItem* node = tree->findItems("Club", Qt::MatchExactly).value(0);
        QVERIFY(node);
        const auto names = [node] {
            QStringList n;
            for (int i = 0; i < node->childCount(); ++i)
                n << node->child(i)->text(0);
            return n;
        };
        const auto open = [&] {
            if (node->childCount() > 0) // a member clicked first, so the group is not renamed
                m_d->click(tree->viewport(), tree->visualItemRect(node->child(0)).center());
            m_d->click(tree->viewport(), tree->visualItemRect(node).center());
        };
        open();
        QCOMPARE(names(), QStringList({"Kim", "Lee"}));
        const qint64 man = node->child(0)->icon(0).cacheKey();
        QCOMPARE(node->child(1)->icon(0).cacheKey(), man);
        const auto otherPc = [](const QString& sql) {
            if (TestEnv::onServer())
                return ExecSQL(sql) > 0;
            OtherPc other;
            return other.exec(sql);
        };
        QVERIFY(otherPc(QString("UPDATE tblfriend SET sname = 'Kim''s', male = '여' WHERE code = %1").arg(kim)));
        open();
        QCOMPARE(names(), QStringList({"Kim's", "Lee"}));
        QVERIFY(node->child(0)->icon(0).cacheKey() != man);
        QCOMPARE(node->child(1)->icon(0).cacheKey(), man);
        QVERIFY(otherPc(QString("UPDATE tblfriend SET ctblgroup = 1 WHERE ctblgroup = %1").arg(club)));
        open();
        QCOMPARE(node->childCount(), 0);
        QVERIFY(tree->findItems("Kim's", Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    }

    // Enter and Down move between the group window's inputs, Up back; the default group
    // cannot be renamed there either.
    void groupWindowKeysAndDefaultGroup() {
        auto* groups = m_d->open<frmGroupSub>("mnuFriend_Group");
        m_d->click("htField(1)", groups);
        m_d->key(Qt::Key_Return);
        QCOMPARE(m_d->focus(), m_d->find("htField(2)", groups));
        m_d->key(Qt::Key_Up);
        QCOMPARE(m_d->focus(), m_d->find("htField(1)", groups));
        m_d->key(Qt::Key_Down);
        QCOMPARE(m_d->focus(), m_d->find("htField(2)", groups));

        Grid* g = groups->grid();
        m_d->clickCell(g, frmGroupSub::ColName, g->searchCol(frmGroupSub::ColCode, 1, -1, "1"));
        m_d->retype("htField(1)", "Other", groups);
        m_d->click("btnSave", groups);
        QCOMPARE(m_d->query("SELECT gname FROM tblgroup WHERE code = 1").toString(), QString("[기본그룹]"));
        QCOMPARE(prompt().lastText(), QString("[기본그룹]은 수정할수 없습니다."));
    }
};

QTEST_MAIN(tst_memberclicks)
#include "tst_memberclicks.moc"
