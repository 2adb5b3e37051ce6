// Members edited from two PCs at once, stored values the editor cannot show, members whose
// group is gone, and search texts with control characters.
#include "WindowTest.h"
#include "MemberTestUtil.h"

#include "db/Database.h"
#include "members/MemberSearch.h"
#include "members/MemberStore.h"
#include "members/frmFriend.h"
#include "members/frmGroupSub.h"
#include "ui/Grid.h"
#include "ui/HCDate.h"
#include "ui/HCDateBox.h"
#include "ui/HCText.h"

#include <QComboBox>
#include <QTextEdit>
#include <QtTest>

class TestMemberSafety : public WindowTest {
    Q_OBJECT

    // The member editor on `code`, opened by a double click in the member list (or as the
    // list opens it, for a member no list filter shows).
    QWidget* openMember(int code) {
        auto* list = m_d->open<frmFriend>("mnuFriend_Friend");
        const int row = list->grid()->searchCol(frmFriend::ColCode, 1, -1, QString::number(code));
        if (row > 0)
            m_d->doubleClickCell(list->grid(), frmFriend::ColName, row);
        else
            list->openEditor(code);
        return m_d->activeWindow();
    }
    QVariant member(int code, const char* column) {
        return m_d->query(QString("SELECT %1 FROM tblfriend WHERE code = ?").arg(column), {code});
    }

private slots:
    // A and B open one record; B (elsewhere) changes it and saves; A changes another field
    // and saves. A is asked, and each answer keeps or shows B's change: in the member
    // editor and in the group window alike.
    void concurrentEditIsNeverSilent_data() {
        QTest::addColumn<bool>("group");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("mineWritten");
        for (bool group : {false, true}) {
            const char* w = group ? "group: " : "member: ";
            QTest::addRow("%soverwrite writes only mine", w) << group << int(Prompt::Answer::Yes) << true;
            QTest::addRow("%sreload shows the other change", w) << group << int(Prompt::Answer::No) << false;
            QTest::addRow("%scancel goes on editing", w) << group << int(Prompt::Answer::Cancel) << false;
        }
    }
    void concurrentEditIsNeverSilent() {
        QFETCH(bool, group);
        QFETCH(int, answer);
        QFETCH(bool, mineWritten);
        QWidget* w = nullptr;
        QString table = "tblfriend", theirs = "hpline", mine = "smemo";
        int code = 0;
        if (group) {
            ExecSQL("INSERT INTO tblgroup (gname, smemo) VALUES ('Club', '첫 메모')");
            code = LastIdentity();
            table = "tblgroup";
            theirs = "gname";
            auto* groups = m_d->open<frmGroupSub>("mnuFriend_Group");
            m_d->clickCell(groups->grid(), frmGroupSub::ColName,
                           groups->grid()->searchCol(frmGroupSub::ColCode, 1, -1, QString::number(code)));
            w = groups;
        } else {
            code = addMember("홍길동", {{"hpline", "010-1111-2222"}, {"smemo", "첫 메모"}});
            w = openMember(code);
        }
        QVERIFY(w);
        QVERIFY(TestEnv::runOnOtherConnection(QString("UPDATE %1 SET %2 = '010-9999-0000' WHERE code = %3").arg(table, theirs).arg(code)));

        auto* memoBox = m_d->find<QTextEdit>("MemoBox", w);
        m_d->click(memoBox->viewport());
        memoBox->moveCursor(QTextCursor::End);
        m_d->type(" 추가");
        prompt().pushAnswer(Prompt::Answer(answer));
        m_d->click("btnSave", w);

        QCOMPARE(prompt().texts().size(), 1);
        QVERIFY(prompt().lastText().startsWith("이 자료를 불러온 뒤 다른 컴퓨터에서 자료가 수정되었습니다."));
        const auto stored = [&](const QString& c) {
            return m_d->query(QString("SELECT %1 FROM %2 WHERE code = ?").arg(c, table), {code}).toString();
        };
        QCOMPARE(stored(theirs), QString("010-9999-0000")); // never lost
        QCOMPARE(stored(mine), mineWritten ? QString("첫 메모 추가") : QString("첫 메모"));
        // Reload shows their change in the inputs.
        if (answer == int(Prompt::Answer::No))
            QCOMPARE(m_d->find<HCText>(group ? "htField(1)" : "htField(3)", w)->text(), QString("010-9999-0000"));
    }

    // Values the inputs cannot show are shown as stored and survive opening and saving,
    // with and without a change of another field; a real change replaces them.
    void unshownStoredValuesAreKept() {
        const MemberValues odd = {
            {"barthday", "1990-1-5"}, {"marryday", "봄"}, {"male", "M"},
            {"abo", "AB-"},           {"hidden", 2},      {"smemo", "줄1\r\n줄2"},
            {"ctblgroup", 77}};
        const int code = addMember("이상한", odd);
        const MemberValues before = LoadMember(code);
        for (bool change : {false, true}) {
            QWidget* w = openMember(code);
            QVERIFY(w);
            QCOMPARE(m_d->find<QComboBox>("cmbSex", w)->currentText(), QString("M"));
            QCOMPARE(m_d->find<QComboBox>("cmbABO", w)->currentText(), QString("AB-"));
            QCOMPARE(m_d->find<HCDate>("hdBarth", w)->Box()->displayText(), QString("1990-1-5"));
            QCOMPARE(m_d->find<HCDate>("hdMarry", w)->Box()->displayText(), QString("봄"));
            if (change) {
                m_d->click("htField(3)", w);
                m_d->type("0105");
                m_d->click(m_d->find<HCDate>("hdBarth", w)->Box()); // passed through, not edited
            }
            m_d->click("btnSave", w);
            const MemberValues after = LoadMember(code);
            for (const QString& c : odd.keys())
                QCOMPARE(after.value(c).toString(), before.value(c).toString());
            if (!change)
                QCOMPARE(after, before); // saving without a change writes nothing at all
            else
                QVERIFY(after.value("hpline") != before.value("hpline"));
        }
        QWidget* w = openMember(code);
        m_d->click(m_d->find<HCDate>("hdBarth", w)->Box());
        m_d->type("19900105");
        m_d->click("btnSave", w);
        QCOMPARE(member(code, "barthday").toString(), QString("1990-01-05"));
        QCOMPARE(member(code, "marryday").toString(), QString("봄"));
        QVERIFY(prompt().texts().isEmpty());
    }

    void memberWithoutGroupStaysVisible() {
        const int code = addMember("고아", {{"ctblgroup", 999}});
        MemberSearchInput in;
        in.menu = MemberSearchText::MenuAll;
        const SqlPart sql = MemberSearchSql(in);
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, sql.sql, sql.params), 1);
        QCOMPARE(rs.integer("code"), code);
        QCOMPARE(rs.text("gname"), QString());
        // In the tree he stands under the default group.
        const QList<MemberNode> defaults = GroupMembers(1);
        QCOMPARE(defaults.size(), 1);
        QCOMPARE(defaults.first().code, code);
    }

    void controlCharactersAreNoSearchText() {
        addMember("김철수");
        addMember("박영희");
        MemberSearchInput in;
        in.menu = MemberSearchText::MenuName;
        for (const QString& text :
             {QString("철") + QChar(0), QChar(0) + QString("철"), QString("철\t\n")}) {
            in.text = text;
            const SqlPart sql = MemberSearchSql(in);
            Recordset rs;
            QCOMPARE(OpenRecordset(rs, sql.sql, sql.params), 1);
            QCOMPARE(rs.text("sname"), QString("김철수"));
        }
    }
};

QTEST_MAIN(TestMemberSafety)
#include "tst_membersafety.moc"
