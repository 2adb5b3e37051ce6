#include "ControlForm.h"
#include "TestEnv.h"

#include "ui/HCText.h"
#include "ui/TextRules.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>

namespace {

// Types Korean (or any) text one character at a time, as a keyboard would.
void typeChars(QWidget* w, const QString& text) {
    for (QChar ch : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// Commits text through the input method, as a Korean IME does after composing.
void commitIme(QWidget* w, const QString& text) {
    QInputMethodEvent preedit(text.left(1), {});
    QApplication::sendEvent(w, &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(w, &commit);
}

const QString kLengthTitle = QStringLiteral("입력길이 초과");

} // namespace

class TstHCText : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_env = new TestEnv(false);
        m_form = new ControlForm;
        m_first = m_form->add<HCText>("htField(0)");
        m_ht = m_form->add<HCText>("htField(1)");
        m_next = m_form->add<HCText>("htField(2)");
        QVERIFY(m_form->showActive());
        m_ht->setFocus();
    }
    void cleanup() {
        delete m_form;
        delete m_env;
    }

    void byteLength_data();
    void byteLength();
    void cutToBytes_data();
    void cutToBytes();
    void telephone_data();
    void telephone();
    void dashed10_data();
    void dashed10();
    void typedNumber_data();
    void typedNumber();

    void keyFilter_data();
    void keyFilter();
    void keyPressMayCancelOrChange();
    void numberLeftEmptyBecomesZero();
    void separatorsWhileTyping();
    void lostFocusFormatsTelephone();
    void timeInput();
    void maxLengthKorean_data();
    void maxLengthKorean();
    void koreanThroughInputMethod();
    void autoTabKeys();
    void lockedTakesNoTyping();
    void changedFlagOnlyForUserEdits();
    void quoteIsPlainText();

private:
    void leave() { m_next->setFocus(); QCoreApplication::processEvents(); }

    TestEnv* m_env = nullptr;
    ControlForm* m_form = nullptr;
    HCText* m_first = nullptr;
    HCText* m_ht = nullptr;
    HCText* m_next = nullptr;
};

void TstHCText::byteLength_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bytes");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("ascii") << QStringLiteral("abc'1") << 5;
    QTest::newRow("korean") << QStringLiteral("홍길동") << 6;
    QTest::newRow("mixed") << QStringLiteral("A홍1") << 4;
    QTest::newRow("U+007F is one byte") << QString(QChar(0x7F)) << 1;
    QTest::newRow("U+0080 is two") << QString(QChar(0x80)) << 2;
    QTest::newRow("surrogate pair is one character") << QString::fromUcs4(U"\U0001F600") << 2;
}

void TstHCText::byteLength() {
    QFETCH(QString, text);
    QFETCH(int, bytes);
    QCOMPARE(ByteLength(text), bytes);
}

void TstHCText::cutToBytes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxBytes");
    QTest::addColumn<QString>("cut");
    QTest::newRow("fits") << QStringLiteral("abc") << 3 << QStringLiteral("abc");
    QTest::newRow("korean exact") << QStringLiteral("가나") << 4 << QStringLiteral("가나");
    QTest::newRow("half a korean character dropped") << QStringLiteral("가나다") << 5 << QStringLiteral("가나");
    QTest::newRow("mixed odd limit") << QStringLiteral("a가b") << 2 << QStringLiteral("a");
    QTest::newRow("zero limit") << QStringLiteral("abc") << 0 << QString();
    QTest::newRow("pair never split") << QString::fromUcs4(U"a\U0001F600") << 2 << QStringLiteral("a");
}

void TstHCText::cutToBytes() {
    QFETCH(QString, text);
    QFETCH(int, maxBytes);
    QFETCH(QString, cut);
    QCOMPARE(CutToBytes(text, maxBytes), cut);
}

void TstHCText::telephone_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("five characters stay") << QStringLiteral("12345") << QStringLiteral("12345");
    QTest::newRow("short with dash stays") << QStringLiteral("02-12") << QStringLiteral("02-12");
    QTest::newRow("seven digits") << QStringLiteral("1234567") << QStringLiteral("123-4567");
    QTest::newRow("eight digits no area") << QStringLiteral("15881234") << QStringLiteral("1588-1234");
    QTest::newRow("seoul 10 digits") << QStringLiteral("0212345678") << QStringLiteral("02-1234-5678");
    QTest::newRow("seoul 9 digits") << QStringLiteral("021234567") << QStringLiteral("02-123-4567");
    QTest::newRow("seoul already dashed") << QStringLiteral("02-1234-5678") << QStringLiteral("02-1234-5678");
    QTest::newRow("seoul too short for area") << QStringLiteral("02-123") << QStringLiteral("02-123");
    QTest::newRow("0505 number") << QStringLiteral("05051234567") << QStringLiteral("0505-123-4567");
    QTest::newRow("0505 too short") << QStringLiteral("0505123") << QStringLiteral("0505123");
    QTest::newRow("bracketed area") << QStringLiteral("(02)1234-5678") << QStringLiteral("02-1234-5678");
    QTest::newRow("mobile") << QStringLiteral("01012345678") << QStringLiteral("010-1234-5678");
    QTest::newRow("local area 031") << QStringLiteral("0311234567") << QStringLiteral("031-123-4567");
    QTest::newRow("leading zero 8 digits has no area")
        << QStringLiteral("03112345") << QStringLiteral("0311-2345");
    QTest::newRow("words stay") << QStringLiteral("(02)1234-5678 내선 12") << QStringLiteral("(02)1234-5678 내선 12");
    QTest::newRow("four digits and letters") << QStringLiteral("ext.1234") << QStringLiteral("ext.1234");
    QTest::newRow("no digits kept") << QStringLiteral("없음 미등록") << QStringLiteral("없음 미등록");
}

void TstHCText::telephone() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QCOMPARE(FormatTelephone(typed), shown);
}

void TstHCText::dashed10_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ten digits") << QStringLiteral("1234567890") << QStringLiteral("123-456-7890");
    QTest::newRow("dashes moved") << QStringLiteral("12-34567-890") << QStringLiteral("123-456-7890");
    QTest::newRow("short zero-filled") << QStringLiteral("12345") << QStringLiteral("000-001-2345");
    QTest::newRow("long keeps extra in front") << QStringLiteral("12345678901") << QStringLiteral("1234-567-8901");
    QTest::newRow("letters unchanged") << QStringLiteral("12a45") << QStringLiteral("12a45");
}

void TstHCText::dashed10() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QCOMPARE(FormatDashed10(typed), shown);
}

void TstHCText::typedNumber_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("decPlace");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty stays") << QString() << 0 << QString();
    QTest::newRow("lone minus stays") << QStringLiteral("-") << 0 << QStringLiteral("-");
    QTest::newRow("three digits") << QStringLiteral("999") << 0 << QStringLiteral("999");
    QTest::newRow("four digits") << QStringLiteral("1000") << 0 << QStringLiteral("1,000");
    QTest::newRow("seven digits two commas") << QStringLiteral("1234567") << 0 << QStringLiteral("1,234,567");
    QTest::newRow("old separators") << QStringLiteral("1,2345") << 0 << QStringLiteral("12,345");
    QTest::newRow("negative") << QStringLiteral("-1234") << 0 << QStringLiteral("-1,234");
    QTest::newRow("decimals") << QStringLiteral("1234.5") << 2 << QStringLiteral("1,234.50");
    QTest::newRow("rounds half up") << QStringLiteral("2.5") << 0 << QStringLiteral("3");
    QTest::newRow("zero with decimals") << QStringLiteral("0") << 2 << QStringLiteral("0.00");
    QTest::newRow("trailing letters ignored") << QStringLiteral("12abc") << 0 << QStringLiteral("12");
    QTest::newRow("not a number") << QStringLiteral("abc") << 0 << QStringLiteral("0");
}

void TstHCText::typedNumber() {
    QFETCH(QString, typed);
    QFETCH(int, decPlace);
    QFETCH(QString, shown);
    QCOMPARE(FormatTypedNumber(typed, decPlace), shown);
}

void TstHCText::keyFilter_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("convertCase");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("result");
    QTest::newRow("any text") << 0 << 0 << QStringLiteral("aB1-'") << QStringLiteral("aB1-'");
    QTest::newRow("upper case") << 0 << 1 << QStringLiteral("abc1") << QStringLiteral("ABC1");
    QTest::newRow("lower case") << 0 << 2 << QStringLiteral("ABc") << QStringLiteral("abc");
    QTest::newRow("number keeps minus") << 1 << 0 << QStringLiteral("-1a2.3") << QStringLiteral("-123");
    QTest::newRow("letters drop digits") << 2 << 0 << QStringLiteral("a1b-C") << QStringLiteral("abC");
    QTest::newRow("letters upper case") << 2 << 1 << QStringLiteral("ab") << QStringLiteral("AB");
    QTest::newRow("phone digits only") << 3 << 0 << QStringLiteral("02-12x34") << QStringLiteral("021234");
    QTest::newRow("time takes the colon") << 4 << 0 << QStringLiteral("14:2a5") << QStringLiteral("14:25");
    QTest::newRow("dashed digits only") << 5 << 1 << QStringLiteral("12-3a") << QStringLiteral("123");
}

void TstHCText::keyFilter() {
    QFETCH(int, kind);
    QFETCH(int, convertCase);
    QFETCH(QString, keys);
    QFETCH(QString, result);
    m_ht->SetAcceptType(kind);
    m_ht->SetConvertCase(convertCase);
    QTest::keyClicks(m_ht, keys);
    QCOMPARE(m_ht->Text(), result);
    // Korean letters are "other characters" for every kind but 0.
    m_ht->clear();
    typeChars(m_ht, QStringLiteral("한"));
    QCOMPARE(m_ht->Text(), kind == 0 ? QStringLiteral("한") : QString());
}

void TstHCText::keyPressMayCancelOrChange() {
    QList<int> seen;
    connect(m_ht, &HCText::KeyPress, this, [&seen](int& k) {
        seen << k;
        if (k == 'x') k = 0;          // cancelled
        else if (k == 'a') k = '7';   // changed; the filter then judges the new key
    });
    m_ht->SetAcceptType(HCText::Number);
    QTest::keyClicks(m_ht, QStringLiteral("1xa"));
    QTest::keyClick(m_ht, Qt::Key_Return);
    QCOMPARE(m_ht->Text(), QStringLiteral("17"));
    QCOMPARE(seen, (QList<int>{'1', 'x', 'a', 13}));
}

void TstHCText::numberLeftEmptyBecomesZero() {
    m_ht->SetAcceptType(HCText::Number);
    leave();
    QCOMPARE(m_ht->Text(), QStringLiteral("0"));
    m_ht->setFocus();
    QTest::keyClicks(m_ht, QStringLiteral("-"));
    leave();
    QCOMPARE(m_ht->Text(), QStringLiteral("0"));
    m_ht->setFocus();
    QTest::keyClicks(m_ht, QStringLiteral("0120  "));
    leave();
    QCOMPARE(m_ht->Text(), QStringLiteral("0120"));
    QVERIFY(m_env->prompt().shown().isEmpty());
}

void TstHCText::separatorsWhileTyping() {
    m_ht->SetAcceptType(HCText::Number);
    m_ht->SetShowSeparate(true);
    QTest::keyClicks(m_ht, QStringLiteral("1234567"));
    QCOMPARE(m_ht->Text(), QStringLiteral("1,234,567"));
    QCOMPARE(m_ht->cursorPosition(), 9);
    // Typing in the middle keeps the caret behind the typed digit.
    m_ht->setCursorPosition(1);
    QTest::keyClicks(m_ht, QStringLiteral("9"));
    QCOMPARE(m_ht->Text(), QStringLiteral("19,234,567"));
    QCOMPARE(m_ht->cursorPosition(), 2);
    // Backspace over every digit leaves an empty input, which becomes "0" on leaving.
    m_ht->end(false);
    for (int i = 0; i < 12; ++i) QTest::keyClick(m_ht, Qt::Key_Backspace);
    QCOMPARE(m_ht->Text(), QString());
    leave();
    QCOMPARE(m_ht->Text(), QStringLiteral("0"));
    // With decimals shown, the point can be typed and moves the caret into them.
    m_ht->SetDecPlace(2);
    m_ht->setFocus();
    QTest::keyClicks(m_ht, QStringLiteral("1234.5"));
    QCOMPARE(m_ht->Text(), QStringLiteral("1,234.50"));
    QCOMPARE(m_ht->cursorPosition(), 7);
}

void TstHCText::lostFocusFormatsTelephone() {
    m_ht->SetAcceptType(HCText::Telephone);
    QStringList order;
    connect(m_ht, &HCText::LostFocus, this, [&] { order << m_ht->Text(); });
    QTest::keyClicks(m_ht, QStringLiteral("0212345678"));
    QCOMPARE(m_ht->Text(), QStringLiteral("0212345678"));
    leave();
    QCOMPARE(m_ht->Text(), QStringLiteral("02-1234-5678"));
    // The window's LostFocus handler sees the formatted number.
    QCOMPARE(order, QStringList{QStringLiteral("02-1234-5678")});
}

void TstHCText::timeInput() {
    m_ht->SetAcceptType(HCText::Time);
    QTest::keyClicks(m_ht, QStringLiteral("9"));
    leave();
    QCOMPARE(m_ht->Text(), QStringLiteral("09:00"));
    m_ht->setFocus();
    QTest::keyClicks(m_ht, QStringLiteral("105"));
    leave();
    QCOMPARE(m_ht->Text(), QStringLiteral("01:05"));
    QVERIFY(m_env->prompt().shown().isEmpty());

    m_ht->setFocus();
    QTest::keyClicks(m_ht, QStringLiteral("2460"));
    leave();
    QCOMPARE(m_ht->Text(), QStringLiteral("2460"));
    QCOMPARE(m_env->prompt().shown().size(), 1);
    QCOMPARE(m_env->prompt().shown().first().icon, Prompt::Icon::Information);
    QCOMPARE(m_env->prompt().lastText(),
             QStringLiteral("[2460]는 시간형식이 아닙니다.(00:00~23:59)\n시:분 방식으로 입력하세요.\n"
                            "예) 14:25 또는 1425\n     01:05 또는 0105"));
}

void TstHCText::maxLengthKorean_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("message");
    const QString ten = QStringLiteral("가나다라마바사아자차");
    QTest::newRow("exactly at the limit") << ten << ten << QString();
    QTest::newRow("one character over") << ten + QStringLiteral("카") << ten
                                        << QStringLiteral("현재 입력된 길이는 22 이며, 최대입력 길이는 20 입니다.");
    QTest::newRow("one byte over cuts a whole character") << QStringLiteral("a") + ten << QStringLiteral("a")
        + ten.left(9) << QStringLiteral("현재 입력된 길이는 21 이며, 최대입력 길이는 20 입니다.");
}

void TstHCText::maxLengthKorean() {
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QFETCH(QString, message);
    m_ht->SetMaxLength(20);
    typeChars(m_ht, typed);
    QCOMPARE(m_ht->Text(), typed);
    leave();
    QCOMPARE(m_ht->Text(), kept);
    const auto& shown = m_env->prompt().shown();
    if (message.isEmpty()) {
        QVERIFY(shown.isEmpty());
        return;
    }
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].title, kLengthTitle);
    QCOMPARE(shown[0].icon, Prompt::Icon::Information);
    QCOMPARE(shown[0].text,
             QStringLiteral("최대 입력 길이를 초과하였습니다. 입력된 자료는 길이에 맞게 자동으로 짤립니다.\n\n")
                 + message + QStringLiteral("\n(한글은 한 글자당 길이가 2입니다.)"));
}

void TstHCText::koreanThroughInputMethod() {
    commitIme(m_ht, QStringLiteral("홍길동"));
    QCOMPARE(m_ht->Text(), QStringLiteral("홍길동"));
    QCOMPARE(m_ht->bChanged(), 1);
    // Letters-only input: the committed Korean text is filtered like typed keys.
    m_next->SetAcceptType(HCText::Letters);
    m_next->setFocus();
    commitIme(m_next, QStringLiteral("a한b"));
    QCOMPARE(m_next->Text(), QStringLiteral("ab"));
}

void TstHCText::autoTabKeys() {
    // Without AutoTab Enter and Down stay in the input; Enter still reaches the window.
    QSignalSpy returned(m_ht, &QLineEdit::returnPressed);
    QTest::keyClicks(m_ht, QStringLiteral("ab"));
    QTest::keyClick(m_ht, Qt::Key_Return);
    QTest::keyClick(m_ht, Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), m_ht);
    QCOMPARE(returned.count(), 1);

    m_ht->SetAutoTab(true);
    QTest::keyClick(m_ht, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m_next);
    QCOMPARE(m_ht->Text(), QStringLiteral("ab"));
    m_ht->setFocus();
    QTest::keyClick(m_ht, Qt::Key_Up);
    QCOMPARE(QApplication::focusWidget(), m_first);
    m_ht->setFocus();
    QTest::keyClick(m_ht, Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), m_next);
    // Entering selects the whole text, so typing replaces it.
    QTest::keyClicks(m_next, QStringLiteral("old"));
    m_ht->setFocus();
    m_next->setFocus();
    QCOMPARE(m_next->selectedText(), QStringLiteral("old"));
}

void TstHCText::lockedTakesNoTyping() {
    m_ht->SetText(QStringLiteral("fixed"));
    m_ht->SetLocked(true);
    m_ht->SetConvertCase(1); // a changed key must not slip past the lock either
    QTest::keyClicks(m_ht, QStringLiteral("x"));
    QTest::keyClick(m_ht, Qt::Key_Backspace);
    commitIme(m_ht, QStringLiteral("한"));
    QCOMPARE(m_ht->Text(), QStringLiteral("fixed"));
    QCOMPARE(m_ht->bChanged(), 0);
}

void TstHCText::changedFlagOnlyForUserEdits() {
    m_ht->SetText(QStringLiteral("loaded"));
    QCOMPARE(m_ht->bChanged(), 0);
    QTest::keyClick(m_ht, Qt::Key_End);
    QCOMPARE(m_ht->bChanged(), 0);
    QTest::keyClick(m_ht, Qt::Key_Backspace);
    QCOMPARE(m_ht->bChanged(), 1);
    m_ht->SetbChanged(0);
    QCOMPARE(m_ht->bChanged(), 0);
}

void TstHCText::quoteIsPlainText() {
    m_ht->SetMaxLength(10);
    QTest::keyClicks(m_ht, QStringLiteral("O'Neil's   "));
    leave();
    QCOMPARE(m_ht->Text(), QStringLiteral("O'Neil's"));
    QVERIFY(m_env->prompt().shown().isEmpty());
}

QTEST_MAIN(TstHCText)
#include "tst_hctext.moc"
