// Card companies and card deposit checks driven through the main window.
#include "SalesTestUtil.h"

#include "ui/PickOrAdd.h"
#include "sales/frmCardCheck.h"
#include "sales/frmCardInfo.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QTimer>

using namespace salestest;

class TestCardWindows : public SalesWindowTest {
    Q_OBJECT

private slots:

    void companiesEditPickAndGuard() {
        auto* w = open<frmCardInfo>("mnuTrade_Card");
        QVERIFY(w && WindowRegistry::find("frmCardInfo") == w);
        QCOMPARE(w->windowTitle(), "신용카드등록");
        Grid* g = w->grid();
        QCOMPARE(g->maxRows(), 1); // the reserved company 1 is not listed
        // Tab on the very last cell leaves it like any other cell.
        m_d->clickCell(g, frmCardInfo::ColMemo, 1);
        m_d->type("memo");
        m_d->key(Qt::Key_Tab);
        QCOMPARE(prompt().texts(), QStringList{"카드명을 먼저 입력하셔야 합니다"});
        QCOMPARE(g->text(frmCardInfo::ColMemo, 1), QString());
        typeCell(g, frmCardInfo::ColFee, 1, "3");
        QCOMPARE(prompt().lastText(), "카드명을 먼저 입력하셔야 합니다");
        QCOMPARE(scalar("SELECT COUNT(*) FROM tblcard"), "1");
        typeCell(g, frmCardInfo::ColName, 1, "BC'card");
        const int code = g->text(frmCardInfo::ColCode, 1).toInt();
        QCOMPARE(scalar("SELECT sname FROM tblcard WHERE code = ?", {code}), "BC'card");
        QCOMPARE(g->maxRows(), 2);
        typeCell(g, frmCardInfo::ColFee, 1, "3.5%");
        QCOMPARE(GetScalar("SELECT dfee FROM tblcard WHERE code = ?", {code}).toDouble(), 3.5);
        for (const char* bad : {"150", "-1"}) {
            typeCell(g, frmCardInfo::ColFee, 1, bad);
            QCOMPARE(prompt().lastText(), "수수료는 0에서 100 사이로 입력하세요.");
            QCOMPARE(GetScalar("SELECT dfee FROM tblcard WHERE code = ?", {code}).toDouble(), 3.5);
        }
        // an emptied name is refused and shows again; a name changed elsewhere is asked about
        m_d->clickCell(g, frmCardInfo::ColName, 1);
        m_d->key(Qt::Key_Delete);
        m_d->key(Qt::Key_Return);
        QCOMPARE(prompt().lastText(), "카드명을 먼저 입력하셔야 합니다");
        QCOMPARE(g->text(frmCardInfo::ColName, 1), "BC'card");
        QCOMPARE(scalar("SELECT sname FROM tblcard WHERE code = ?", {code}), "BC'card");
        QVERIFY(TestEnv::runOnOtherConnection(QStringLiteral("UPDATE tblcard SET sname = 'KB' WHERE code = %1").arg(code)));
        prompt().pushAnswer(Prompt::Answer::No);
        typeCell(g, frmCardInfo::ColName, 1, "Shinhan");
        QCOMPARE(prompt().lastTitle(), "다른 곳에서 수정됨");
        QCOMPARE(scalar("SELECT sname FROM tblcard WHERE code = ?", {code}), "KB");
        QCOMPARE(g->text(frmCardInfo::ColName, 1), "KB");
        // in use by a trade: refused, row kept
        addTrade(addMember("홍길동"), "2026-12-01", 0, 1000, code);
        m_d->clickCell(g, frmCardInfo::ColMemo, 1);
        m_d->key(Qt::Key_F4);
        QCOMPARE(prompt().lastText(), "해당 데이터가 「회원거래」에서 사용중이기 때문에 삭제할 수 없습니다.");
        QCOMPARE(g->text(frmCardInfo::ColCode, 1).toInt(), code);

        // pick mode: read-only grid, Enter hands the row back
        QTimer::singleShot(0, [] {
            auto* p = qobject_cast<frmCardInfo*>(QApplication::activeModalWidget());
            QVERIFY(p);
            QVERIFY(p->pickMode());
            p->grid()->setActiveCell(1, 1);
            QTest::keyClick(p->grid(), Qt::Key_Return);
        });
        const std::optional<PickRow> picked = frmCardInfo::pick();
        QVERIFY(picked);
        QCOMPARE(picked->code, code);
        QCOMPARE(picked->name, "KB");
    }

    // Pasted text loses control characters (both engines then hold the same text) and is
    // cut at the longest text a cell takes.
    void pastedCellTextIsCleanedAndCapped() {
        auto* w = open<frmCardInfo>("mnuTrade_Card");
        QVERIFY(w);
        Grid* g = w->grid();
        const QString pasted[] = {QString("BC\t카드") + QChar(0) + "사\r\n",
                                  QStringLiteral("가").repeated(40000)};
        const QString stored[] = {"BBC카드사", QStringLiteral("B") + QStringLiteral("가").repeated(254)};
        for (int i = 0; i < 2; ++i) {
            m_d->clickCell(g, frmCardInfo::ColName, 1);
            m_d->type("B");
            QApplication::clipboard()->setText(pasted[i]);
            m_d->key(Qt::Key_V, Qt::ControlModifier);
            m_d->key(Qt::Key_Return);
            QCOMPARE(scalar("SELECT sname FROM tblcard WHERE code <> 1"), stored[i]);
        }
        QCOMPARE(prompt().texts(), QStringList());
    }

    void depositChecks() {
        ExecSQL("INSERT INTO tblcard (sname, dfee) VALUES ('BC', 3.5)");
        const int bc = LastIdentity();
        const int member = addMember("홍길동");
        const int paid = addTrade(member, "2026-12-02", 0, 10000, bc);
        addTrade(member, "2026-12-03", 5000, 0, bc); // no card amount: never listed
        const int second = addTrade(member, "2026-12-04", 0, 333, bc);
        auto* w = open<frmCardCheck>("mnuTrade_Receipt");
        QVERIFY(w && WindowRegistry::find("frmCardCheck") == w);
        QCOMPARE(w->windowTitle(), "신용카드입금확인");
        Grid* g = w->list();
        QCOMPARE(g->maxRows(), 2);
        QCOMPARE(g->rowTexts(1).mid(frmCardCheck::CName - 1, 4), (QStringList{"홍길동", "BC", "10,000", "350"}));
        QCOMPARE(g->text(frmCardCheck::CDeposit, 1), "9,650");
        QCOMPARE(g->text(frmCardCheck::CFee, 2), "11.66"); // 333 × 3.5 % = 11.655
        QCOMPARE(w->sums()->text(frmCardCheck::CAmount, 1), "10,333");
        // select one row and confirm it
        m_d->clickCell(g, frmCardCheck::CSelect, 1);
        QCOMPARE(w->countLabel()->text(), "1");
        QCOMPARE(w->sumLabel()->text(), "9,650");
        m_d->click("btnOK", w);
        QCOMPARE(scalar("SELECT cardchk FROM tbltrade WHERE code = ?", {paid}), "2026-12-06");
        QCOMPARE(g->text(frmCardCheck::CChecked, 1), "1");
        // unticking "확인" asks; No restores the tick
        m_d->clickCell(g, frmCardCheck::CChecked, 1);
        QCOMPARE(prompt().lastText(), "확인를 정말 취소 하시겠습니까?");
        QCOMPARE(prompt().lastTitle(), "취소 확인");
        QCOMPARE(g->text(frmCardCheck::CChecked, 1), "1");
        // only unconfirmed: the row stays until the next query
        m_d->click(m_d->find<QCheckBox>("chkEnd", w), QPoint(5, 5));
        QCOMPARE(g->maxRows(), 2);
        m_d->key(Qt::Key_F5);
        QCOMPARE(g->maxRows(), 1);
        QCOMPARE(g->text(frmCardCheck::CCode, 1).toInt(), second);
        // undo through btnCancel stores an empty date again
        m_d->click(m_d->find<QCheckBox>("chkEnd", w), QPoint(5, 5));
        m_d->click("btnQuery", w);
        m_d->click(m_d->find<QCheckBox>("chkSelectAll", w), QPoint(5, 5));
        QCOMPARE(w->countLabel()->text(), "2");
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnCancel", w);
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltrade WHERE cardchk <> ''"), "0");
    }
};

QTEST_MAIN(TestCardWindows)
#include "tst_cardwindows.moc"
