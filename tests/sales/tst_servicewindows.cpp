// The services catalog driven through the main window: list, editor, delete guard and the
// service picker.
#include "SalesTestUtil.h"

#include "ui/PickOrAdd.h"
#include "sales/frmService.h"
#include "sales/frmServiceSub.h"
#include "ui/HCText.h"

#include <QCheckBox>
#include <QTimer>

using namespace salestest;

class TestServiceWindows : public SalesWindowTest {
    Q_OBJECT

    frmService* openList() { return open<frmService>("mnuTrade_Sub"); }

private slots:

    void addAndEditThroughEditor() {
        frmService* list = openList();
        QVERIFY(list);
        QCOMPARE(list->windowTitle(), "거래내용관리");
        QCOMPARE(m_d->env().notices(), QStringList{"검색된 결과가 없습니다."});
        m_d->click("btnRecAdd", list);
        auto* ed = dynamic_cast<frmServiceSub*>(WindowRegistry::find("frmServiceSub"));
        QVERIFY(ed);
        QCOMPARE(ed->windowTitle(), "거래내용등록 -『신규등록』");
        QVERIFY(ed->continueBox()->isChecked());
        ed->field(frmServiceSub::FName)->setFocus();
        m_d->key(Qt::Key_F2);
        QCOMPARE(prompt().lastText(), "거래명이 입력되지 않았습니다");
        m_d->type("O'Neil 커트");
        m_d->key(Qt::Key_Return);
        m_d->key(Qt::Key_F2);
        QCOMPARE(prompt().lastText(), "단가가 입력되지 않았습니다");
        QCOMPARE(m_d->focus(), ed->field(frmServiceSub::FPrice));
        m_d->type("1500");
        m_d->key(Qt::Key_Return);
        m_d->type("x"); // letters are not taken by the points field: saved as 0
        m_d->key(Qt::Key_Return);
        m_d->type("a'b");
        m_d->key(Qt::Key_F2);
        QCOMPARE(scalar("SELECT sname || '|' || CAST(smoney AS INTEGER) || '|' || spoint || '|' || smemo FROM tblservice WHERE code > 1"),
                 "O'Neil 커트|1500|0|a'b");
        // "continue" keeps the editor open and empty; the list got the row.
        QVERIFY(ed->isVisible());
        QVERIFY(ed->field(frmServiceSub::FName)->text().isEmpty());
        QCOMPARE(list->grid()->rowTexts(1).mid(0, 4), (QStringList{"O'Neil 커트", "1,500", "0", "a'b"}));

        // Unticking is remembered; editing always closes and rewrites the row found by code.
        m_d->click(ed->continueBox(), QPoint(5, ed->continueBox()->height() / 2));
        QVERIFY(!ed->continueBox()->isChecked());
        CloseWindow(ed);
        QCoreApplication::processEvents();
        m_d->clickCell(list->grid(), 1, 1);
        QCOMPARE(m_d->focus(), list->grid());
        m_d->key(Qt::Key_Return);
        ed = dynamic_cast<frmServiceSub*>(WindowRegistry::find("frmServiceSub"));
        QVERIFY(ed);
        QCOMPARE(ed->windowTitle(), "거래내용등록 - 『수정』");
        QVERIFY(!ed->continueBox()->isChecked());
        m_d->retype(ed->field(frmServiceSub::FPrice), "2000");
        // another PC changed the memo meanwhile: asked; Yes writes only the price typed here
        QVERIFY(TestEnv::runOnOtherConnection("UPDATE tblservice SET smemo = 'other' WHERE code > 1"));
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->key(Qt::Key_F2);
        QCOMPARE(prompt().lastTitle(), "다른 곳에서 수정됨");
        QVERIFY(!WindowRegistry::find("frmServiceSub"));
        QCOMPARE(scalar("SELECT smemo FROM tblservice WHERE code > 1"), "other");
        QCOMPARE(GetScalar("SELECT smoney FROM tblservice WHERE code > 1").toDouble(), 2000.0);
        QCOMPARE(list->grid()->text(frmService::ColPrice, 1), "2,000");
        QCOMPARE(list->grid()->dataRowCnt(), 1);
    }

    void searchIsLiteralAndHidesFixedRow_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("all") << "" << QStringList{"50% 할인", "5_0 세트", "커트"};
        QTest::newRow("percent literal") << "%" << QStringList{"50% 할인"};
        QTest::newRow("underscore literal") << "_" << QStringList{"5_0 세트"};
        QTest::newRow("quote") << "'" << QStringList{};
    }
    void searchIsLiteralAndHidesFixedRow() {
        QFETCH(QString, search);
        QFETCH(QStringList, names);
        ExecSQL("UPDATE tblservice SET sname = '커트 기본' WHERE code = 1");
        for (const char* n : {"50% 할인", "5_0 세트", "커트"})
            addService(QString::fromUtf8(n), 1000);
        frmService* list = openList();
        list->searchInput()->setFocus();
        m_d->type(search);
        m_d->click("btnQuery", list);
        QStringList got;
        for (int r = 1; r <= list->grid()->dataRowCnt(); ++r)
            got << list->grid()->text(frmService::ColName, r);
        QCOMPARE(got, names);
        QCOMPARE(m_d->env().notices().contains("검색된 결과가 없습니다."), names.isEmpty());
    }

    void deleteGuardedByTradeLines() {
        const int used = addService("커트", 1000);
        addService("염색", 2000);
        addLine(addTrade(addMember("홍길동"), "2026-12-01"), "커트", 1, 1000, used);
        frmService* list = openList();
        m_d->clickCell(list->grid(), 1, 1);
        m_d->key(Qt::Key_F4);
        QCOMPARE(prompt().lastText(), "해당 데이터가 「회원거래」에서 사용중이기 때문에 삭제할 수 없습니다.");
        QCOMPARE(list->grid()->dataRowCnt(), 2);
        m_d->clickCell(list->grid(), 1, 2);
        prompt().pushAnswer(Prompt::Answer::Yes);
        m_d->click("btnRecDel", list);
        QCOMPARE(prompt().lastText(), "선택된 자료를 정말로 삭제 하시겠습니까?");
        QCOMPARE(scalar("SELECT COUNT(*) FROM tblservice"), "2");
        QCOMPARE(list->grid()->dataRowCnt(), 1);
    }

    void picker() {
        const int cut = addService("커트", 1000);
        const int cut2 = addService("커트 세트", 3000);
        // one match at once
        QCOMPARE(PickOrAdd("tblservice", "세트"), "커트 세트");
        QCOMPARE(LastPickedServiceCode(), cut2);
        // several: the list window titled "거래내용선택", Enter takes the active row
        QTimer::singleShot(0, [] {
            auto* w = qobject_cast<frmService*>(QApplication::activeModalWidget());
            QVERIFY(w);
            QCOMPARE(w->windowTitle(), "거래내용선택");
            QCOMPARE(w->grid()->dataRowCnt(), 2);
            w->grid()->setActiveCell(1, 1);
            QTest::keyClick(w->grid(), Qt::Key_Return);
        });
        QCOMPARE(PickOrAdd("tblservice", "커트"), "커트");
        QCOMPARE(LastPickedServiceCode(), cut);
        // none: No gives nothing
        prompt().pushAnswer(Prompt::Answer::No);
        QCOMPARE(PickOrAdd("tblservice", "펌"), QString());
        QCOMPARE(prompt().lastText(),
                 "[펌]은(는) 등록된 거래명이 아닙니다.\n입력하신 거래명을 추가하시겠습니까?");
        // Yes opens the editor with the typed name; its save is the result
        prompt().pushAnswer(Prompt::Answer::Yes);
        QTimer::singleShot(0, [] {
            auto* ed = qobject_cast<frmServiceSub*>(QApplication::activeModalWidget());
            QVERIFY(ed);
            QCOMPARE(ed->field(frmServiceSub::FName)->text(), "펌");
            ed->field(frmServiceSub::FPrice)->setText("30000");
            QTest::keyClick(ed->field(frmServiceSub::FPrice), Qt::Key_F2);
        });
        QCOMPARE(PickOrAdd("tblservice", "펌"), "펌");
        QCOMPARE(GetScalar("SELECT smoney FROM tblservice WHERE code = ?", {LastPickedServiceCode()}).toDouble(), 30000.0);
    }
};

QTEST_MAIN(TestServiceWindows)
#include "tst_servicewindows.moc"
