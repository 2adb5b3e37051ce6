// Members edited from two PCs at once, stored values the editor cannot show, members whose
// group is gone, and search texts with control characters.
#include "TestEnv.h"

#include "core/AppState.h"
#include "db/Database.h"
#include "members/MemberSearch.h"
#include "members/MemberStore.h"
#include "members/frmFriendAdd.h"
#include "ui/HCText.h"

#include <QComboBox>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>


namespace {
int addMember(const QString& name, MemberValues extra = {}) {
    extra.insert("sname", name);
    int code = 0;
    SaveMember(0, extra, &code);
    return code;
}

// Another PC writing to the same database through its own connection.
void otherPcWrites(const QString& sql) {
    QVERIFY(TestEnv::runOnOtherConnection(sql));
}

void typeText(QWidget* w, const QString& text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}
} // namespace

class TestMemberSafety : public QObject {
    Q_OBJECT
    TestEnv* m_env = nullptr;

private slots:
    void init() {
        m_env = new TestEnv;
        QVERIFY(m_env->ok());
    }
    void cleanup() {
        delete m_env;
        m_env = nullptr;
    }

    // A and B open one member; B (elsewhere) changes the mobile number and saves; A adds
    // a memo and saves. A is asked, and each answer keeps or shows B's change.
    void concurrentEditIsNeverSilent_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("memo");
        QTest::addColumn<bool>("closed");
        QTest::newRow("overwrite writes only the memo")
            << int(Prompt::Answer::Yes) << "첫 메모 추가" << true;
        QTest::newRow("reload shows the other change")
            << int(Prompt::Answer::No) << "첫 메모" << false;
        QTest::newRow("cancel goes on editing")
            << int(Prompt::Answer::Cancel) << "첫 메모" << false;
    }
    void concurrentEditIsNeverSilent() {
        QFETCH(int, answer);
        QFETCH(QString, memo);
        QFETCH(bool, closed);
        const int code = addMember("홍길동", {{"hpline", "010-1111-2222"}, {"smemo", "첫 메모"}});
        auto* a = new frmFriendAdd;
        QPointer<frmFriendAdd> guard(a);
        a->SetFormMode(RecordEditor::EditMode, code);
        a->show();
        QVERIFY(QTest::qWaitForWindowExposed(a));
        otherPcWrites(
            QString("UPDATE tblfriend SET hpline = '010-9999-0000' WHERE code = %1").arg(code));

        auto* memoBox = a->findChild<QTextEdit*>("MemoBox");
        QTest::mouseClick(memoBox->viewport(), Qt::LeftButton);
        memoBox->moveCursor(QTextCursor::End);
        typeText(memoBox, " 추가");
        m_env->prompt().pushAnswer(Prompt::Answer(answer));
        QTest::mouseClick(a->findChild<QPushButton*>("btnSave"), Qt::LeftButton);

        QCOMPARE(m_env->prompt().shown().size(), 1);
        QVERIFY(m_env->prompt().lastText().startsWith(
            "이 자료를 불러온 뒤 다른 컴퓨터에서 자료가 수정되었습니다."));
        const MemberValues v = LoadMember(code);
        QCOMPARE(v.value("hpline").toString(), QString("010-9999-0000")); // never lost
        QCOMPARE(v.value("smemo").toString(), memo);
        QCOMPARE(guard.isNull() || !guard->isVisible(), closed);
        if (answer == int(Prompt::Answer::No))
            QCOMPARE(a->findChild<HCText*>("htField(3)")->text(), QString("010-9999-0000"));
        delete guard.data();
    }

    // Values the inputs cannot show survive opening and saving, with and without a change
    // of another field.
    void unshownStoredValuesAreKept() {
        const MemberValues odd = {
            {"barthday", "1990-1-5"}, {"marryday", "봄"}, {"male", "M"},
            {"abo", "AB-"},           {"hidden", 2},      {"smemo", "줄1\r\n줄2"},
            {"ctblgroup", 77}};
        const int code = addMember("이상한", odd);
        const MemberValues before = LoadMember(code);
        for (bool change : {false, true}) {
            frmFriendAdd w;
            w.SetFormMode(RecordEditor::EditMode, code);
            w.show();
            QCOMPARE(w.findChild<QComboBox*>("cmbSex")->currentText(), QString("M"));
            QCOMPARE(w.findChild<QComboBox*>("cmbABO")->currentText(), QString("AB-"));
            if (change) {
                auto* mobile = w.findChild<HCText*>("htField(3)");
                QTest::mouseClick(mobile, Qt::LeftButton);
                QTest::keyClicks(mobile, "0105");
            }
            QVERIFY(w.RecSave());
            MemberValues after = LoadMember(code);
            for (const QString& c : odd.keys())
                QCOMPARE(after.value(c).toString(), before.value(c).toString());
            // Saving without a change writes nothing at all.
            if (!change)
                QCOMPARE(after, before);
            else
                QVERIFY(after.value("hpline").toString() != before.value("hpline").toString());
        }
        QVERIFY(m_env->prompt().shown().isEmpty());
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
