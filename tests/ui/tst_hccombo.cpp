#include "ControlForm.h"
#include "TestEnv.h"

#include "ui/HCCombo.h"
#include "ui/HCText.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QWidget>
#include <QtTest>

class TstHCCombo : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_env = new TestEnv(false);
        m_form = new ControlForm;
        m_before = m_form->add<HCText>();
        m_combo = m_form->add<HCCombo>("cmbGroup");
        m_after = m_form->add<HCText>();
        QVERIFY(m_form->showActive());
    }
    void cleanup() {
        delete m_form;
        delete m_env;
    }

    // An empty list answers every question with "nothing"; a cleared one is empty again.
    void emptyAndClearedList() {
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(m_combo->ListCount(), 0);
            QCOMPARE(m_combo->ListIndex(), -1);
            QCOMPARE(m_combo->NewIndex(), -1);
            QCOMPARE(m_combo->Text(), QString());
            QCOMPARE(m_combo->Text2(), QString());
            QCOMPARE(m_combo->FindItemData(0), -1);
            QCOMPARE(m_combo->FindCODE(QStringLiteral("9"), true), -1);
            QCOMPARE(m_combo->ItemData(0), 0);
            QCOMPARE(m_combo->List2(-1), QString());
            fill();
            m_combo->SetListIndex(1);
            m_combo->Clear();
        }
        m_combo->AddItem(QStringLiteral("새 항목"), 5, QStringLiteral("5"));
        QCOMPARE(m_combo->NewIndex(), 0);
    }

    void itemsNumbersCodesAndTexts() {
        fill();
        QCOMPARE(m_combo->ListCount(), 4);
        QCOMPARE(m_combo->NewIndex(), 3);
        QCOMPARE(m_combo->List(1), QStringLiteral("O'Brien 모임"));
        QCOMPARE(m_combo->ItemData(3), 0);
        QCOMPARE(m_combo->List2(3), QString());
        m_combo->SetListIndex(99);
        QCOMPARE(m_combo->ListIndex(), -1);
        QCOMPARE(m_combo->Text2(), QString());

        QCOMPARE(m_combo->FindItemData(7), 1); // the first of two items with the number
        QCOMPARE(m_combo->FindItemData(0), 3);
        QCOMPARE(m_combo->FindItemData(8), -1);

        m_combo->SetListIndex(0);
        QCOMPARE(m_combo->FindCODE(QStringLiteral("9"), false), 2);
        QCOMPARE(m_combo->ListIndex(), 0);
        QCOMPARE(m_combo->FindCODE(QStringLiteral("C'7"), true), 1);
        QCOMPARE(m_combo->ListIndex(), 1);
        QCOMPARE(m_combo->Text2(), QStringLiteral("C'7"));
        // Unknown codes (also a prefix of one, or one differing in case) leave the selection.
        for (const char* code : {"c'7", "C", "42"}) QCOMPARE(m_combo->FindCODE(QString::fromUtf8(code), true), -1);
        QCOMPARE(m_combo->ListIndex(), 1);
        // A text chooses its item, or none.
        m_combo->SetText(QStringLiteral("축구회"));
        QCOMPARE(m_combo->ListIndex(), 2);
        QCOMPARE(m_combo->Text2(), QStringLiteral("9"));
        m_combo->SetText(QStringLiteral("없는 그룹"));
        QCOMPARE(m_combo->ListIndex(), -1);
        // An editable list keeps a typed text that is no item.
        m_combo->setEditable(true);
        m_combo->SetText(QStringLiteral("직접 입력'"));
        QCOMPARE(m_combo->Text(), QStringLiteral("직접 입력'"));
        QCOMPARE(m_combo->ListCount(), 4);
    }

    void autoTabKeys() {
        fill();
        // Without AutoTab Left and Right stay in the list.
        m_combo->setFocus();
        QTest::keyClick(m_combo, Qt::Key_Right);
        QTest::keyClick(m_combo, Qt::Key_Left);
        QCOMPARE(QApplication::focusWidget(), m_combo);

        m_combo->SetAutoTab(true);
        m_combo->SetListIndex(0);
        const QList<std::pair<Qt::Key, QWidget*>> moves = {
            {Qt::Key_Return, m_after}, {Qt::Key_Right, m_after}, {Qt::Key_Left, m_before}};
        for (auto [key, next] : moves) {
            m_combo->setFocus();
            QTest::keyClick(m_combo, key);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // Up and Down still choose items.
        m_combo->setFocus();
        QTest::keyClick(m_combo, Qt::Key_Down);
        QCOMPARE(m_combo->ListIndex(), 1);
        QCOMPARE(QApplication::focusWidget(), m_combo);
    }

    void autoShowItemOpensList() {
        fill();
        m_combo->SetAutoShowItem(true);
        m_combo->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(m_combo->view()->isVisible());
        m_combo->hidePopup();
        // An empty list is not opened.
        m_combo->Clear();
        m_after->setFocus();
        m_combo->setFocus(Qt::TabFocusReason);
        QTest::qWait(20);
        QVERIFY(!m_combo->view()->isVisible());
    }

private:
    void fill() {
        m_combo->AddItem(QStringLiteral("[기본그룹]"), 1, QStringLiteral("1"));
        m_combo->AddItem(QStringLiteral("O'Brien 모임"), 7, QStringLiteral("C'7"));
        m_combo->AddItem(QStringLiteral("축구회"), 7, QStringLiteral("9"));
        m_combo->AddItem(QStringLiteral("코드없음"));
    }

    TestEnv* m_env = nullptr;
    ControlForm* m_form = nullptr;
    HCText* m_before = nullptr;
    HCCombo* m_combo = nullptr;
    HCText* m_after = nullptr;
};

QTEST_MAIN(TstHCCombo)
#include "tst_hccombo.moc"
