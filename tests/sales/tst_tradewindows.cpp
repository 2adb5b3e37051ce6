// The trade list, line editor and payment editor driven through the main window.
#include "SalesTestUtil.h"

#include "ui/PickOrAdd.h"
#include "ui/CellChanges.h"
#include "sales/SalesRules.h"
#include "sales/frmTrade.h"
#include "sales/frmTradeMoney.h"
#include "sales/frmTradeSub.h"
#include "ui/HCTerm.h"
#include "ui/HCText.h"

#include <QCheckBox>
#include <QLabel>

using namespace salestest;

class TestTradeWindows : public SalesWindowTest {
    Q_OBJECT

    frmTrade* openTrades() { return open<frmTrade>("mnuTrade_List"); }
    frmTradeMoney* openPaymentOfRow(Grid* g, int row) {
        m_d->clickCell(g, frmTrade::CDate, row);
        m_d->key(Qt::Key_F6);
        return dynamic_cast<frmTradeMoney*>(WindowRegistry::find("frmTradeMoney"));
    }
    void typeField(HCText* f, const QString& text) {
        m_d->retype(f, text);
        m_d->key(Qt::Key_Return);
    }
    static QString tradeField(int code, const char* column) {
        return scalar("SELECT " + QString::fromLatin1(column) + " FROM tbltrade WHERE code = ?",
                      {code});
    }

    // Another PC deletes the trade, then F2 saves the editor `window`: refused with `message`
    // alone, the editor closed and the list read again without the trade.
    void saveAfterTradeDeleted(int trade, const QString& message, const char* window, Grid* g) {
        otherPc(QString("DELETE FROM tbltrade WHERE code = %1").arg(trade));
        prompt().clear();
        m_d->key(Qt::Key_F2);
        QCoreApplication::processEvents();
        QCOMPARE(prompt().texts(), QStringList{message});
        QVERIFY(!WindowRegistry::find(window));
        QCOMPARE(g->maxRows(), 1);
    }

private slots:
    void cleanup() {
        frmTradeMoney::setCardPicker({});
        WindowTest::cleanup();
    }

    void newRowCreatesTradeAndCellsSave() {
        const int member = addMember("홍길동", "010-1234-5678");
        frmTrade* w = openTrades();
        QVERIFY(w && WindowRegistry::find("frmTrade") == w);
        QCOMPARE(w->windowTitle(), "회원거래관리");
        Grid* g = w->list();
        QCOMPARE(g->maxRows(), 1); // only the row for a new trade
        typeCell(g, frmTrade::CName, 1, "5678");
        const int code = GetScalar("SELECT MAX(code) FROM tbltrade").toInt();
        QVERIFY(code > 0);
        QCOMPARE(tradeField(code, "ctblfriend").toInt(), member);
        QCOMPARE(tradeField(code, "ctblcard"), "1");
        QCOMPARE(tradeField(code, "sintime"), "10:00");
        QCOMPARE(tradeField(code, "sdate"), w->period()->Text2());
        QCOMPARE(g->text(frmTrade::CName, 1), "홍길동");
        QCOMPARE(g->text(frmTrade::CLines, 1), "0 건");
        QCOMPARE(g->maxRows(), 2);
        QVERIFY(w->memberPanel()->text().contains("홍길동"));

        // bad input is cleared with a message and never stored
        const QString date = tradeField(code, "sdate");
        typeCell(g, frmTrade::CDate, 1, "20260230");
        QVERIFY(prompt().lastText().contains("날짜형식이 아닙니다"));
        QCOMPARE(tradeField(code, "sdate"), date);
        QCOMPARE(g->text(frmTrade::CDate, 1), date); // the stored date shows again
        typeCell(g, frmTrade::CDate, 1, "20261203");
        QCOMPARE(tradeField(code, "sdate"), "2026-12-03");
        for (const char* bad : {"2460", "24:00"}) {
            prompt().clear();
            typeCell(g, frmTrade::CInTime, 1, bad);
            QVERIFY(prompt().lastText().contains("시간형식이 아닙니다"));
            QCOMPARE(tradeField(code, "sintime"), "10:00");
            QCOMPARE(g->text(frmTrade::CInTime, 1), "10:00");
        }
        typeCell(g, frmTrade::CInTime, 1, "925");
        QCOMPARE(tradeField(code, "sintime"), "09:25");
        typeCell(g, frmTrade::CPoint, 1, "1,500");
        QCOMPARE(tradeField(code, "lstackpoint"), "1500");
        prompt().clear();
        typeCell(g, frmTrade::CPoint, 1, "99999999999");
        QCOMPARE(prompt().lastText(), "입력하신 숫자가 너무 큽니다.");
        QCOMPARE(tradeField(code, "lstackpoint"), "1500");
        typeCell(g, frmTrade::CMemo, 1, "it's");
        QCOMPARE(tradeField(code, "smemo"), "it's");
        // a completion time also completes the trade
        typeCell(g, frmTrade::COutTime, 1, "1130");
        QCOMPARE(tradeField(code, "souttime") + tradeField(code, "lendox"), "11:301");
        QCOMPARE(g->text(frmTrade::CEnd, 1), "1");
        // unticking asks; No keeps it, Yes clears the time too
        m_d->clickCell(g, frmTrade::CEnd, 1);
        QCOMPARE(prompt().lastText(), "완료를 정말 취소 하시겠습니까?");
        QCOMPARE(prompt().lastTitle(), "완료 취소 확인");
        QCOMPARE(tradeField(code, "lendox"), "1");
        QCOMPARE(g->text(frmTrade::CEnd, 1), "1");
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->key(Qt::Key_Space);
        QCOMPARE(tradeField(code, "souttime") + "|" + tradeField(code, "lendox"), "|0");
        // ticking on the new row has nothing to complete
        m_d->clickCell(g, frmTrade::CEnd, 2);
        QCOMPARE(prompt().lastText(), "완료할 내용이 없습니다");
        // the line editor on the new row asks for a member first
        m_d->clickCell(g, frmTrade::CLines, 2);
        m_d->key(Qt::Key_Return);
        QCOMPARE(prompt().lastText(), "우선 회원선택을 하셔야 합니다.");
    }

    void memberCellRules() {
        const int kim = addMember("김철수", "010-1111-2222");
        addMember("박숨김", "010-9999-0000", 1); // suspended
        const int trade = addTrade(kim, "2026-12-01");
        frmTrade* w = openTrades();
        Grid* g = w->list();
        // a suspended member is not offered: the add question comes, No creates nothing
        prompt().pushAnswer(Prompt::Answer::No);
        typeCell(g, frmTrade::CName, 2, "0000");
        QCOMPARE(prompt().lastText(), "[0000]은(는) 등록된 회원명이 아닙니다.\n입력하신 회원명을 추가하시겠습니까?");
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltrade"), "1");
        QCOMPARE(g->text(frmTrade::CName, 2), QString());
        // an existing trade keeps its member when nothing is chosen
        prompt().pushAnswer(Prompt::Answer::No);
        typeCell(g, frmTrade::CName, 1, "nobody");
        QCOMPARE(g->text(frmTrade::CName, 1), "김철수");
        QCOMPARE(tradeField(trade, "ctblfriend").toInt(), kim);
        // a call: the caller's number written into the empty member cell, then CallMe
        const int row = g->maxRows();
        m_d->clickCell(g, frmTrade::CName, row);
        prompt().pushAnswer(Prompt::Answer::No);
        g->setText(frmTrade::CName, row, "010-9999-0000"); // the suspended member's phone
        w->CallMe();
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltrade"), "1");
        g->setText(frmTrade::CName, row, "010-1111-2222");
        w->CallMe();
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltrade WHERE ctblfriend = ?", {kim}), "2");
        QCOMPARE(g->maxRows(), row + 1);
    }

    void linesPaymentAndBalances() {
        const int member = addMember("홍길동");
        ExecSQL("INSERT INTO tblcard (sname, dfee) VALUES ('BC''카드', 3.5)");
        const int bc = LastIdentity();
        addService("커트", 20000);
        const int old = addTrade(member, "2026-12-01", 5000);
        addLine(old, "염색", 1, 15000);
        const int trade = addTrade(member, "2026-12-02");
        frmTrade* w = openTrades();
        Grid* g = w->list();
        QCOMPARE(g->text(frmTrade::COutstanding, 1), "10,000");
        // a line through the editor: the picker fills quantity 1 and the catalog price
        m_d->doubleClickCell(g, frmTrade::CLines, 2);
        auto* ed = dynamic_cast<frmTradeSub*>(WindowRegistry::find("frmTradeSub"));
        QVERIFY(ed);
        QCOMPARE(m_d->focus(), ed->field(frmTradeSub::FName));
        m_d->type("커");
        m_d->key(Qt::Key_Return);
        QCOMPARE(ed->field(frmTradeSub::FQty)->text(), "1");
        QCOMPARE(ed->field(frmTradeSub::FPrice)->text(), "20,000");
        QCOMPARE(ed->field(frmTradeSub::FAmount)->text(), "20,000");
        m_d->key(Qt::Key_F2);
        QCOMPARE(scalar("SELECT servicename || '|' || lnumber || '|' || CAST(dsum AS INTEGER) FROM tbltradesub "
                        "WHERE ctbltrade = ?",
                        {trade}),
                 "커트|1|20000");
        QCOMPARE(g->text(frmTrade::CLines, 2), "1 건");
        QCOMPARE(g->text(frmTrade::CTotal, 2), "20,000");
        QCOMPARE(w->lines()->dataRowCnt(), 1);

        // payment: cash proposed = old debt + sale; card taken from the cash
        frmTradeMoney::setCardPicker([bc] { return std::optional<PickRow>(PickRow{bc, "BC'카드"}); });
        frmTradeMoney* pay = openPaymentOfRow(g, 2);
        QVERIFY(pay);
        QCOMPARE(pay->value(frmTradeMoney::FOldDebt), 10000.0);
        QCOMPARE(pay->value(frmTradeMoney::FSale), 20000.0);
        QCOMPARE(pay->value(frmTradeMoney::FCash), 30000.0);
        typeField(pay->field(frmTradeMoney::FCard), "70000");
        QCOMPARE(pay->value(frmTradeMoney::FCash), 0.0); // never below 0
        typeField(pay->field(frmTradeMoney::FCard), "10000");
        QCOMPARE(pay->value(frmTradeMoney::FCash), 0.0); // cash was 0: stays 0
        m_d->retype(pay->field(frmTradeMoney::FCash), "20000");
        m_d->retype(pay->field(frmTradeMoney::FPoint), "500");
        m_d->key(Qt::Key_F2); // more points than the member has: asked, default No
        QCOMPARE(prompt().lastText(), "사용 포인트가 현포인트보다 많습니다. 그래도 저장하시겠습니까?");
        QVERIFY(WindowRegistry::find("frmTradeMoney"));
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->key(Qt::Key_F2);
        QVERIFY(!WindowRegistry::find("frmTradeMoney"));
        QCOMPARE(tradeField(trade, "dmoney").toDouble() + tradeField(trade, "dcard").toDouble(), 29500.0);
        QCOMPARE(tradeField(trade, "ctblcard").toInt(), bc);
        QCOMPARE(g->text(frmTrade::CReceived, 2), "30,000");
        QVERIFY(w->payment()->text(2, 1).endsWith("  BC'카드"));

        // the running balance with the member filter ends at the member's balance
        m_d->clickCell(g, frmTrade::CDate, 2);
        m_d->click(w->memberFilter(), QPoint(5, w->memberFilter()->height() / 2));
        QCOMPARE(g->headerText(frmTrade::COutstanding), "누적미수금");
        QCOMPARE(g->number(frmTrade::COutstanding, 2), FriendBalance(member));
        QCOMPARE(w->sums()->number(frmTrade::COutstanding, 1), FriendBalance(member));
        // the member panel sums the loaded rows then; it must agree with the stored trades
        QVERIFY(w->memberPanel()->text().contains("미수금 : " + MoneyText(FriendBalance(member))));
        QVERIFY(w->memberPanel()->text().contains("포인트 : " + MoneyText(FriendPointBalance(member))));

        // a card amount back at 0 resets the company and forgets the deposit check
        ExecSQL("UPDATE tbltrade SET cardchk = '2026-12-05' WHERE code = ?", {trade});
        m_d->clickCell(g, frmTrade::CReceived, 2);
        m_d->key(Qt::Key_Return);
        pay = dynamic_cast<frmTradeMoney*>(WindowRegistry::find("frmTradeMoney"));
        QVERIFY(pay);
        typeField(pay->field(frmTradeMoney::FCard), "0");
        QCOMPARE(pay->field(frmTradeMoney::FCardCode)->text(), "1");
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->key(Qt::Key_F2);
        QCOMPARE(tradeField(trade, "ctblcard") + "|" + tradeField(trade, "cardchk"), "1|");

        // deleting a line recomputes the row; deleting the trade takes its lines along
        m_d->clickCell(w->lines(), 1, 1);
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->key(Qt::Key_F4);
        QCOMPARE(g->text(frmTrade::CLines, 2), "0 건");
        QCOMPARE(g->text(frmTrade::CTotal, 2), "0");
        m_d->clickCell(g, frmTrade::CDate, 1);
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->key(Qt::Key_F4);
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltrade WHERE code = ?", {old}), "0");
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltradesub"), "0");
        QCOMPARE(g->maxRows(), 2);
    }

    // "검색 고객만 보기": a new row typed for another member does not join the list, whose
    // running outstanding stays that of the filtered member.
    void filteredListKeepsItsMember() {
        const int kim = addMember("김철수", "010-1111-2222");
        const int lee = addMember("이영희", "010-3333-4444");
        addLine(addTrade(kim, "2026-12-01"), "커트", 1, 15000);
        addLine(addTrade(lee, "2026-12-02"), "염색", 1, 15000);
        frmTrade* w = openTrades();
        Grid* g = w->list();
        m_d->clickCell(g, frmTrade::CDate, 1);
        m_d->click(w->memberFilter(), QPoint(5, w->memberFilter()->height() / 2));
        QCOMPARE(g->maxRows(), 2);
        typeCell(g, frmTrade::CName, 2, "4444");
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltrade WHERE ctblfriend = ?", {lee}), "2");
        QCOMPARE(g->maxRows(), 2);
        QCOMPARE(g->text(frmTrade::CName, 1), "김철수");
        QCOMPARE(g->number(frmTrade::COutstanding, 1), 15000.0);
        QCOMPARE(w->sums()->number(frmTrade::COutstanding, 1), FriendBalance(kim));
    }

    // Another PC changes or deletes what the list shows: asked, refused, reloaded.
    void anotherPcChangesTheTrade() {
        const int member = addMember("홍길동");
        const int trade = addTrade(member, "2026-12-02");
        addService("커트", 15000);
        frmTrade* w = openTrades();
        Grid* g = w->list();
        otherPc(QStringLiteral("UPDATE tbltrade SET smemo = 'other' WHERE code = %1").arg(trade));
        prompt().pushAnswer(Prompt::Answer::No);
        typeCell(g, frmTrade::CMemo, 1, "mine");
        QCOMPARE(prompt().lastTitle(), "다른 곳에서 수정됨");
        QCOMPARE(tradeField(trade, "smemo"), "other");
        QCOMPARE(g->text(frmTrade::CMemo, 1), "other");
        // another column of the row changed meanwhile: nothing to ask, both stay
        otherPc(QStringLiteral("UPDATE tbltrade SET sintime = '09:00' WHERE code = %1").arg(trade));
        prompt().clear();
        typeCell(g, frmTrade::CMemo, 1, "it's mine");
        QCOMPARE(prompt().texts(), QStringList());
        QCOMPARE(tradeField(trade, "smemo") + "|" + tradeField(trade, "sintime"), "it's mine|09:00");
        // Yes writes over the other value
        otherPc(QStringLiteral("UPDATE tbltrade SET lstackpoint = 7 WHERE code = %1").arg(trade));
        prompt().pushAnswer(Prompt::Answer::Yes);
        typeCell(g, frmTrade::CPoint, 1, "300");
        QCOMPARE(tradeField(trade, "lstackpoint"), "300");

        // a line editor outliving its trade: refused, nothing written, the list reloads
        m_d->doubleClickCell(g, frmTrade::CLines, 1);
        QVERIFY(WindowRegistry::find("frmTradeSub"));
        m_d->type("커");
        m_d->key(Qt::Key_Return);
        saveAfterTradeDeleted(trade, RowGoneMessage("tbltrade"), "frmTradeSub", g);
        QCOMPARE(scalar("SELECT COUNT(*) FROM tbltradesub"), "0");
    }

    // The payment editor: another PC's payment is never lost unasked, a card amount needs a
    // card company, and the totals follow the card amount before the company is picked.
    void paymentOfAnotherPcAndCardCompany() {
        const int member = addMember("홍길동");
        ExecSQL("INSERT INTO tblcard (sname, dfee) VALUES ('BC', 3)");
        const int bc = LastIdentity();
        const int trade = addTrade(member, "2026-12-02");
        addLine(trade, "커트", 1, 30000);
        frmTrade* w = openTrades();
        Grid* g = w->list();
        frmTradeMoney* pay = openPaymentOfRow(g, 1);
        QVERIFY(pay);
        QCOMPARE(pay->value(frmTradeMoney::FCash), 30000.0);
        otherPc(QStringLiteral("UPDATE tbltrade SET dmoney = 10000 WHERE code = %1").arg(trade));
        typeField(pay->field(frmTradeMoney::FAccount), "5000");
        QCOMPARE(pay->value(frmTradeMoney::FCash), 25000.0);
        prompt().pushAnswer(Prompt::Answer::No); // see the other change
        m_d->key(Qt::Key_F2);
        QCOMPARE(prompt().lastTitle(), "다른 곳에서 수정됨");
        QCOMPARE(tradeField(trade, "dmoney") + "|" + tradeField(trade, "daccount"), "10000|0");
        QCOMPARE(pay->value(frmTradeMoney::FCash), 10000.0);
        QCOMPARE(pay->value(frmTradeMoney::FAccount), 0.0);

        QStringList atPicker;
        bool offer = false;
        frmTradeMoney::setCardPicker([&]() -> std::optional<PickRow> {
            atPicker << pay->field(frmTradeMoney::FTotal)->text() << pay->field(frmTradeMoney::FRest)->text();
            return offer ? std::optional<PickRow>(PickRow{bc, "BC"}) : std::nullopt;
        });
        typeField(pay->field(frmTradeMoney::FCard), "15000");
        QCOMPARE(atPicker, (QStringList{"15,000", "15,000"}));
        prompt().clear();
        m_d->key(Qt::Key_F2);
        QCOMPARE(prompt().texts(), QStringList{"신용카드 금액이 있으면 카드회사를 선택하셔야 합니다."});
        QCOMPARE(tradeField(trade, "dcard"), "0");
        offer = true;
        m_d->click("btnCharge", pay);
        m_d->key(Qt::Key_F2);
        QVERIFY(!WindowRegistry::find("frmTradeMoney"));
        QCOMPARE(tradeField(trade, "dmoney") + "|" + tradeField(trade, "dcard") + "|" + tradeField(trade, "ctblcard"),
                 QString("0|15000|%1").arg(bc));
        QCOMPARE(g->text(frmTrade::CReceived, 1), "15,000");
        // the trade deleted elsewhere while its payment is edited: refused, the list reloads
        QVERIFY(openPaymentOfRow(g, 1));
        saveAfterTradeDeleted(trade, "다른 컴퓨터에서 이 자료를 삭제하여 저장할 수 없습니다.", "frmTradeMoney", g);
    }

    // The point settings of the options window propose the points; a typed value stands.
    void pointsFollowTheOptions() {
        const int member = addMember("홍길동");
        const int trade = addTrade(member, "2026-12-02");
        addLine(trade, "커트", 1, 30000);
        const int second = addTrade(member, "2026-12-03");
        addService("펌", 40000, 120);
        frmTrade* w = openTrades(); // a new database's options: 10 % of the amount received
        Grid* g = w->list();
        QVERIFY(openPaymentOfRow(g, 1));
        m_d->key(Qt::Key_F2); // the proposed cash, 30,000
        QCOMPARE(tradeField(trade, "lstackpoint"), "3000");
        QCOMPARE(g->text(frmTrade::CPoint, 1), "3,000");
        typeCell(g, frmTrade::CPoint, 1, "50");
        frmTradeMoney* pay = openPaymentOfRow(g, 1);
        QVERIFY(pay);
        typeField(pay->field(frmTradeMoney::FDc), "10000");
        m_d->key(Qt::Key_F2);
        QCOMPARE(tradeField(trade, "dmoney") + "|" + tradeField(trade, "lstackpoint"), "20000|50");

        // points per service: picked on a line, times its quantity
        QWidget* options = open<QWidget>("mnuFriend_Option");
        QVERIFY(options);
        m_d->click("opPoint(1)", options);
        m_d->click("btnSel", options);
        RaiseChildWindow(w);
        m_d->doubleClickCell(g, frmTrade::CLines, 2);
        m_d->type("펌");
        m_d->key(Qt::Key_Return);
        m_d->type("2");
        m_d->key(Qt::Key_F2);
        QCOMPARE(tradeField(second, "lstackpoint"), "240");
        QCOMPARE(g->text(frmTrade::CPoint, 2), "240");
    }

    // Quantities are whole: a decimal point typed in the line editor is refused at once.
    void lineQuantityIsWhole() {
        const int trade = addTrade(addMember("홍길동"), "2026-12-02");
        frmTrade* w = openTrades();
        m_d->doubleClickCell(w->list(), frmTrade::CLines, 1);
        auto* ed = dynamic_cast<frmTradeSub*>(WindowRegistry::find("frmTradeSub"));
        QVERIFY(ed);
        prompt().pushAnswer(Prompt::Answer::No); // a free name
        m_d->type("it's");
        m_d->key(Qt::Key_Return);
        prompt().clear();
        m_d->type("1.");
        QCOMPARE(prompt().texts(), QStringList{"수량은 정수로 입력하세요."});
        QCOMPARE(ed->field(frmTradeSub::FQty)->text(), "1");
        m_d->key(Qt::Key_Return);
        m_d->type("9000");
        m_d->key(Qt::Key_F2);
        QCOMPARE(scalar("SELECT servicename || '|' || lnumber || '|' || CAST(dsum AS INTEGER) FROM tbltradesub "
                        "WHERE ctbltrade = ?", {trade}),
                 "it's|1|9000");
    }
};

QTEST_MAIN(TestTradeWindows)
#include "tst_tradewindows.moc"
