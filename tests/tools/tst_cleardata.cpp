// Clearing data from the main menu: password checks, the question, one transaction.
#include "TestEnv.h"
#include "core/PrivateData.h"
#include "ToolsDriver.h"

#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "tools/FrmTool_ClearAll.h"

#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

using namespace tools_test;

namespace {
const QStringList kCleared = {"tblgroupmon", "tblitem", "tblsubdata", "tblaffairsnote", "tbljangbu"};
const QStringList kKept = {"tblfriend", "tbltrade", "tblgroup", "tblgrouping"};

QMap<QString, int> counts() {
    QMap<QString, int> out;
    for (const QString& t : kCleared + kKept) out[t] = CountRows(t);
    return out;
}
} // namespace

class tst_cleardata : public QObject {
    Q_OBJECT
    TestEnv* m_env = nullptr;
    std::unique_ptr<frmMain> m_frame;

    FrmTool_ClearAll* open() {
        if (!runMenu(*m_frame, "mnuETCRoot_Del")) return nullptr;
        return dynamic_cast<FrmTool_ClearAll*>(WindowRegistry::find(QStringLiteral("FrmTool_ClearAll")));
    }
    void attempt(FrmTool_ClearAll* w, const QString& pwd) {
        focusAndType(find<QLineEdit>(w, QStringLiteral("htPwd")), pwd);
        click(find<QPushButton>(w, QStringLiteral("btnDelete")));
    }

private slots:
    void init() {
        m_env = new TestEnv;
        QVERIFY(m_env->ok());
        App().userCode = QStringLiteral("00");
        App().start = QStringLiteral("9");
        Settings::set(App().appTitle, QStringLiteral("Config"), QStringLiteral("스케줄알림"), QStringLiteral("0"));
        QCOMPARE(ExecSQL(QStringLiteral("UPDATE local_user SET loginpwd = ? WHERE loginid = 'ADMIN'"), {HashPassword(QStringLiteral("s3cret"))}), 1);
        for (const QString& t : kCleared + kKept)
            for (int i = 0; i < 3; ++i) QVERIFY(RunSilent(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(t)).ok);
        m_frame = openFrame();
    }
    void cleanup() {
        m_frame.reset();
        delete m_env;
        m_env = nullptr;
    }

    void clearsAfterPasswordAndQuestion() {
        const auto before = counts();
        FrmTool_ClearAll* w = open();
        QVERIFY(w);
        attempt(w, QStringLiteral("s3cret"));
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("정말로 삭제할까요?"));
        QCOMPARE(m_env->prompt().lastDefault(), Prompt::Answer::No);
        QCOMPARE(counts(), before);
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        click(find<QPushButton>(w, QStringLiteral("btnDelete")));
        QCOMPARE(m_env->prompt().lastText(), QStringLiteral("삭제가 완료되었습니다."));
        QCOMPARE(find<QProgressBar>(w, QStringLiteral("ProgressBar1"))->value(), 5);
        const auto after = counts();
        for (const QString& t : kKept) QCOMPARE(after[t], before[t]);
        QCOMPARE(after["tblitem"], 1);
        QCOMPARE(after["tblaffairsnote"], 1);
        QCOMPARE(after["tblgroupmon"] + after["tblsubdata"] + after["tbljangbu"], 0);
    }

    void wrongPasswordsAndNonAdmin_data() {
        QTest::addColumn<QString>("pwd");
        QTest::newRow("empty") << QString();
        QTest::newRow("quote injection") << QStringLiteral("' OR '1'='1");
        QTest::newRow("case differs") << QStringLiteral("S3CRET");
    }
    void wrongPasswordsAndNonAdmin() {
        QFETCH(QString, pwd);
        const auto before = counts();
        QPointer<FrmTool_ClearAll> w = open();
        QVERIFY(w);
        attempt(w, pwd);
        attempt(w, pwd);
        QCOMPARE(m_env->prompt().texts(), QStringList(2, QStringLiteral("관리자암호가 일치하지 않습니다.")));
        QVERIFY(w);
        QCOMPARE(QApplication::focusWidget(), find<QLineEdit>(w, QStringLiteral("htPwd")));
        attempt(w, pwd);
        QCoreApplication::processEvents();
        QTRY_VERIFY(!w);
        QCOMPARE(counts(), before);

        App().userCode = QStringLiteral("01");
        w = open();
        attempt(w, QStringLiteral("s3cret"));
        QCOMPARE(m_env->prompt().lastText(),
                 QStringLiteral("이 기능은 관리자(ADMIN)로 로그인한 경우만 처리가능합니다.\n관리자로 로그인후 다시 시도 하세요."));
    }

    // The last statement fails: nothing is deleted and no success is claimed.
    void failingStatementUndoesAll() {
        if (ServerDatabase())
            QVERIFY(RunSilent(QStringLiteral("CREATE FUNCTION keep_ledger() RETURNS trigger LANGUAGE plpgsql AS "
                                             "'BEGIN RAISE EXCEPTION ''ledger locked''; END'")).ok &&
                    RunSilent(QStringLiteral("CREATE TRIGGER keep_ledger BEFORE DELETE ON tbljangbu "
                                             "FOR EACH ROW EXECUTE FUNCTION keep_ledger()")).ok);
        else
            QVERIFY(RunSilent(QStringLiteral("CREATE TRIGGER keep_ledger BEFORE DELETE ON tbljangbu "
                                             "BEGIN SELECT RAISE(ABORT, 'ledger locked'); END")).ok);
        const auto before = counts();
        FrmTool_ClearAll* w = open();
        m_env->prompt().pushAnswer(Prompt::Answer::Yes);
        attempt(w, QStringLiteral("s3cret"));
        QVERIFY(!m_env->prompt().texts().contains(QStringLiteral("삭제가 완료되었습니다.")));
        QVERIFY(m_env->prompt().lastText().contains(QStringLiteral("ledger locked")));
        QCOMPARE(counts(), before);
    }
};

QTEST_MAIN(tst_cleardata)
#include "tst_cleardata.moc"
