// Clearing data from the main menu: password checks, the question, one transaction.
#include "WindowTest.h"
#include "app/ToolCommands.h"
#include "core/PrivateData.h"

#include "core/AppState.h"
#include "db/Database.h"
#include "db/SchemaUpgrade.h"
#include "tools/FrmTool_ClearAll.h"

#include <QApplication>
#include <QPointer>
#include <QProgressBar>
#include <QtTest>

namespace {
const QStringList kCleared = {"tblgroupmon", "tblitem", "tblsubdata", "tblaffairsnote", "tbljangbu"};
const QStringList kKept = {"tblfriend", "tbltrade", "tblgroup", "tblgrouping"};

QMap<QString, int> counts() {
    QMap<QString, int> out;
    for (const QString& t : kCleared + kKept) out[t] = CountRows(t);
    return out;
}
} // namespace

class tst_cleardata : public WindowTest {
    Q_OBJECT
    FrmTool_ClearAll* open() { return m_d->open<FrmTool_ClearAll>("mnuETCRoot_Del"); }
    void attempt(FrmTool_ClearAll* w, const QString& pwd) {
        m_d->retype("htPwd", pwd, w);
        m_d->click("btnDelete", w);
    }

private slots:
    void init() {
        WindowTest::init();
        RegisterToolCommands();
        QCOMPARE(ExecSQL("UPDATE local_user SET loginpwd = ? WHERE loginid = 'ADMIN'", {HashPassword("s3cret")}), 1);
        for (const QString& t : kCleared + kKept)
            for (int i = 0; i < 3; ++i) QVERIFY(RunSilent(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(t)).ok);
    }

    void clearsAfterPasswordAndQuestion() {
        const auto before = counts();
        FrmTool_ClearAll* w = open();
        QVERIFY(w);
        attempt(w, "s3cret");
        QCOMPARE(prompt().lastText(), "정말로 삭제할까요?");
        QCOMPARE(prompt().lastDefault(), Prompt::Answer::No);
        QCOMPARE(counts(), before);
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnDelete", w);
        QCOMPARE(prompt().lastText(), "삭제가 완료되었습니다.");
        QCOMPARE(m_d->find<QProgressBar>("ProgressBar1", w)->value(), 5);
        const auto after = counts();
        for (const QString& t : kKept) QCOMPARE(after[t], before[t]);
        QCOMPARE(after["tblitem"], 1);
        QCOMPARE(after["tblaffairsnote"], 1);
        QCOMPARE(after["tblgroupmon"] + after["tblsubdata"] + after["tbljangbu"], 0);
        // The ledger's totals went with it and keep counting what is written next.
        QCOMPARE(CountRows(QStringLiteral("tbljangbusum")), 0);
        QVERIFY(TestEnv::runOnOtherConnection(
            QStringLiteral("INSERT INTO tbljangbu (sdate, sectionclass, smoney) VALUES ('2026-12-01', '1', 5)")));
        QVERIFY(LedgerTotalsKept());
        QCOMPARE(GetScalar(QStringLiteral("SELECT smoney FROM tbljangbusum")).toDouble(), 5.0);
    }

    void wrongPasswordsAndNonAdmin_data() {
        QTest::addColumn<QString>("pwd");
        QTest::newRow("empty") << QString();
        QTest::newRow("quote injection") << "' OR '1'='1";
        QTest::newRow("case differs") << "S3CRET";
    }
    void wrongPasswordsAndNonAdmin() {
        QFETCH(QString, pwd);
        const auto before = counts();
        QPointer<FrmTool_ClearAll> w = open();
        QVERIFY(w);
        attempt(w, pwd);
        attempt(w, pwd);
        QCOMPARE(prompt().texts(), QStringList(2, "관리자암호가 일치하지 않습니다."));
        QVERIFY(w);
        QCOMPARE(QApplication::focusWidget(), m_d->find("htPwd", w));
        attempt(w, pwd);
        QCoreApplication::processEvents();
        QTRY_VERIFY(!w);
        QCOMPARE(counts(), before);

        App().userCode = "01";
        w = open();
        attempt(w, "s3cret");
        QCOMPARE(prompt().lastText(),
                 "이 기능은 관리자(ADMIN)로 로그인한 경우만 처리가능합니다.\n관리자로 로그인후 다시 시도 하세요.");
    }

    // The last statement fails: nothing is deleted and no success is claimed.
    void failingStatementUndoesAll() {
        if (ServerDatabase())
            QVERIFY(RunSilent("CREATE FUNCTION keep_ledger() RETURNS trigger LANGUAGE plpgsql AS "
                                             "'BEGIN RAISE EXCEPTION ''ledger locked''; END'").ok &&
                    RunSilent("CREATE TRIGGER keep_ledger BEFORE DELETE ON tbljangbu "
                                             "FOR EACH ROW EXECUTE FUNCTION keep_ledger()").ok);
        else
            QVERIFY(RunSilent("CREATE TRIGGER keep_ledger BEFORE DELETE ON tbljangbu "
                                             "BEGIN SELECT RAISE(ABORT, 'ledger locked'); END").ok);
        const auto before = counts();
        FrmTool_ClearAll* w = open();
        prompt().pushAnswer(Prompt::Answer::Yes);
        attempt(w, "s3cret");
        QVERIFY(!prompt().texts().contains("삭제가 완료되었습니다."));
        QVERIFY(prompt().lastText().contains("ledger locked"));
        QCOMPARE(counts(), before);
    }
};

QTEST_MAIN(tst_cleardata)
#include "tst_cleardata.moc"
