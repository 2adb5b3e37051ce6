#include "ControlForm.h"
#include "TestEnv.h"

#include "ui/HCText.h"
#include "ui/TextRules.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QWidget>
#include <QtTest>

namespace {

// Types text one character at a time, as a keyboard would: ASCII as key clicks, Korean as
// text-only key events.
void typeChars(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        if (ch.unicode() < 0x80) QTest::keyClick(w, ch.toLatin1());
        else QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
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

    // Bytes as the old database counts them (Korean two, ASCII one) and the cut to a limit,
    // never through a character.
    void byteLengthAndCut_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QString>("cut");
        QTest::newRow("empty") << QString() << 0 << 0 << QString();
        QTest::newRow("ascii fits exactly") << QStringLiteral("abc'1") << 5 << 5 << QStringLiteral("abc'1");
        QTest::newRow("zero limit") << QStringLiteral("abc") << 3 << 0 << QString();
        QTest::newRow("korean exact") << QStringLiteral("홍길동") << 6 << 4 << QStringLiteral("홍길");
        QTest::newRow("half a korean character dropped") << QStringLiteral("가나다") << 6 << 5 << QStringLiteral("가나");
        QTest::newRow("mixed odd limit") << QStringLiteral("a가b") << 4 << 2 << QStringLiteral("a");
        QTest::newRow("U+007F is one byte") << QString(QChar(0x7F)) << 1 << 1 << QString(QChar(0x7F));
        QTest::newRow("U+0080 is two") << QString(QChar(0x80)) << 2 << 1 << QString();
        QTest::newRow("surrogate pair is one character, never split")
            << QString::fromUcs4(U"a\U0001F600") << 3 << 2 << QStringLiteral("a");
    }
    void byteLengthAndCut() {
        QFETCH(QString, text);
        QFETCH(int, bytes);
        QFETCH(int, maxBytes);
        QFETCH(QString, cut);
        QCOMPARE(ByteLength(text), bytes);
        QCOMPARE(CutToBytes(text, maxBytes), cut);
    }

    // What an input shows for what was typed, by its kind: telephone numbers, ten-digit
    // dashed numbers and numbers with separators (with the decimals asked for).
    void formats_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("five characters stay") << "tel" << "12345" << "12345";
        QTest::newRow("short with dash stays") << "tel" << "02-12" << "02-12";
        QTest::newRow("seven digits") << "tel" << "1234567" << "123-4567";
        QTest::newRow("eight digits no area") << "tel" << "15881234" << "1588-1234";
        QTest::newRow("seoul 9 digits") << "tel" << "021234567" << "02-123-4567";
        QTest::newRow("seoul already dashed") << "tel" << "02-1234-5678" << "02-1234-5678";
        QTest::newRow("seoul too short for area") << "tel" << "02-123" << "02-123";
        QTest::newRow("0505 number") << "tel" << "05051234567" << "0505-123-4567";
        QTest::newRow("0505 too short") << "tel" << "0505123" << "0505123";
        QTest::newRow("bracketed area") << "tel" << "(02)1234-5678" << "02-1234-5678";
        QTest::newRow("mobile") << "tel" << "01012345678" << "010-1234-5678";
        QTest::newRow("local area 031") << "tel" << "0311234567" << "031-123-4567";
        QTest::newRow("leading zero 8 digits has no area") << "tel" << "03112345" << "0311-2345";
        QTest::newRow("words stay") << "tel" << "(02)1234-5678 내선 12" << "(02)1234-5678 내선 12";
        QTest::newRow("four digits and letters") << "tel" << "ext.1234" << "ext.1234";
        QTest::newRow("no digits kept") << "tel" << "없음 미등록" << "없음 미등록";
        QTest::newRow("ten digits") << "dashed" << "1234567890" << "123-456-7890";
        QTest::newRow("dashes moved") << "dashed" << "12-34567-890" << "123-456-7890";
        QTest::newRow("short zero-filled") << "dashed" << "12345" << "000-001-2345";
        QTest::newRow("long keeps extra in front") << "dashed" << "12345678901" << "1234-567-8901";
        QTest::newRow("letters unchanged") << "dashed" << "12a45" << "12a45";
        QTest::newRow("empty stays") << "number0" << "" << "";
        QTest::newRow("lone minus stays") << "number0" << "-" << "-";
        QTest::newRow("three digits") << "number0" << "999" << "999";
        QTest::newRow("four digits") << "number0" << "1000" << "1,000";
        QTest::newRow("seven digits two commas") << "number0" << "1234567" << "1,234,567";
        QTest::newRow("old separators") << "number0" << "1,2345" << "12,345";
        QTest::newRow("negative") << "number0" << "-1234" << "-1,234";
        QTest::newRow("decimals") << "number2" << "1234.5" << "1,234.50";
        QTest::newRow("rounds half up") << "number0" << "2.5" << "3";
        QTest::newRow("zero with decimals") << "number2" << "0" << "0.00";
        QTest::newRow("trailing letters ignored") << "number0" << "12abc" << "12";
        QTest::newRow("not a number") << "number0" << "abc" << "0";
    }
    void formats() {
        QFETCH(QString, kind);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        if (kind == QLatin1String("tel"))
            QCOMPARE(FormatTelephone(typed), shown);
        else if (kind == QLatin1String("dashed"))
            QCOMPARE(FormatDashed10(typed), shown);
        else
            QCOMPARE(FormatTypedNumber(typed, kind.back().digitValue()), shown);
    }

    void keyFilter_data() {
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
    void keyFilter() {
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

    void keyPressMayCancelOrChange() {
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

    // What stands in the input after typing and after leaving it, and the one message a
    // refused text gives; the window's LostFocus handler sees the final text.
    void typedThenLeft_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("whileTyping");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        const int num = HCText::Number, tel = HCText::Telephone, time = HCText::Time;
        const QString ten = QStringLiteral("가나다라마바사아자차");
        const QString timeRefused = QStringLiteral(
            "[2460]는 시간형식이 아닙니다.(00:00~23:59)\n시:분 방식으로 입력하세요.\n"
            "예) 14:25 또는 1425\n     01:05 또는 0105");
        const auto tooLong = [](int bytes) {
            return QStringLiteral("최대 입력 길이를 초과하였습니다. 입력된 자료는 길이에 맞게 자동으로 짤립니다.\n\n"
                                  "현재 입력된 길이는 %1 이며, 최대입력 길이는 20 입니다.\n"
                                  "(한글은 한 글자당 길이가 2입니다.)").arg(bytes);
        };
        QTest::newRow("number left empty becomes 0") << num << 0 << "" << "" << "0" << "" << "";
        QTest::newRow("lone minus becomes 0") << num << 0 << "-" << "-" << "0" << "" << "";
        QTest::newRow("number keeps its leading zero") << num << 0 << "0120  " << "0120" << "0120" << "" << "";
        QTest::newRow("telephone formatted on leaving")
            << tel << 0 << "0212345678" << "0212345678" << "02-1234-5678" << "" << "";
        QTest::newRow("time hour only") << time << 0 << "9" << "9" << "09:00" << "" << "";
        QTest::newRow("time three digits") << time << 0 << "105" << "105" << "01:05" << "" << "";
        QTest::newRow("time 24:60 refused") << time << 0 << "2460" << "2460" << "2460" << "MemberDesk"
                                            << timeRefused;
        QTest::newRow("quote is plain text, trailing blanks go")
            << 0 << 10 << "O'Neil's   " << "O'Neil's   " << "O'Neil's" << "" << "";
        QTest::newRow("korean exactly at the limit") << 0 << 20 << ten << ten << ten << "" << "";
        QTest::newRow("korean one character over")
            << 0 << 20 << ten + "카" << ten + "카" << ten << kLengthTitle << tooLong(22);
        QTest::newRow("one byte over cuts a whole character")
            << 0 << 20 << "a" + ten << "a" + ten << "a" + ten.left(9) << kLengthTitle << tooLong(21);
    }
    void typedThenLeft() {
        QFETCH(int, kind);
        QFETCH(int, maxBytes);
        QFETCH(QString, typed);
        QFETCH(QString, whileTyping);
        QFETCH(QString, left);
        QFETCH(QString, title);
        QFETCH(QString, message);
        m_ht->SetAcceptType(kind);
        if (maxBytes) m_ht->SetMaxLength(maxBytes);
        QStringList seen;
        connect(m_ht, &HCText::LostFocus, this, [&] { seen << m_ht->Text(); });
        typeChars(m_ht, typed);
        QCOMPARE(m_ht->Text(), whileTyping);
        leave();
        QCOMPARE(m_ht->Text(), left);
        QCOMPARE(seen, QStringList{left});
        const auto& shown = m_env->prompt().shown();
        QCOMPARE(shown.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(shown[0].title, title);
            QCOMPARE(shown[0].icon, Prompt::Icon::Information);
            QCOMPARE(shown[0].text, message);
        }
    }

    void separatorsWhileTyping() {
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
    void koreanThroughInputMethod() {
        commitIme(m_ht, QStringLiteral("홍길동"));
        QCOMPARE(m_ht->Text(), QStringLiteral("홍길동"));
        QCOMPARE(m_ht->bChanged(), 1);
        // Letters-only input: the committed Korean text is filtered like typed keys.
        m_next->SetAcceptType(HCText::Letters);
        m_next->setFocus();
        commitIme(m_next, QStringLiteral("a한b"));
        QCOMPARE(m_next->Text(), QStringLiteral("ab"));
    }

    void autoTabKeys() {
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

    // Only the user's edits mark the input changed; a locked input takes no key at all.
    void changedFlagAndLock() {
        m_ht->SetText(QStringLiteral("loaded"));
        QCOMPARE(m_ht->bChanged(), 0);
        QTest::keyClick(m_ht, Qt::Key_End);
        QCOMPARE(m_ht->bChanged(), 0);
        QTest::keyClick(m_ht, Qt::Key_Backspace);
        QCOMPARE(m_ht->bChanged(), 1);
        m_ht->SetbChanged(0);
        m_ht->SetLocked(true);
        m_ht->SetConvertCase(1); // a changed key must not slip past the lock either
        QTest::keyClicks(m_ht, QStringLiteral("x"));
        QTest::keyClick(m_ht, Qt::Key_Backspace);
        commitIme(m_ht, QStringLiteral("한"));
        QCOMPARE(m_ht->Text(), QStringLiteral("loade"));
        QCOMPARE(m_ht->bChanged(), 0);
    }

private:
    void leave() { m_next->setFocus(); QCoreApplication::processEvents(); }

    TestEnv* m_env = nullptr;
    ControlForm* m_form = nullptr;
    HCText* m_first = nullptr;
    HCText* m_ht = nullptr;
    HCText* m_next = nullptr;
};

QTEST_MAIN(TstHCText)
#include "tst_hctext.moc"
