#include "ui/HCText.h"

#include "calendar/DateText.h"
#include "core/Prompt.h"
#include "ui/TextRules.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QList>
#include <QPalette>
#include <QTimer>

namespace {

constexpr int kBackspace = 8;
constexpr int kEnter = 13;

bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isLatinLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

QString charText(int c) {
    const char32_t u = char32_t(c);
    return QString::fromUcs4(&u, 1);
}

QString timeMessage(const QString& text) {
    return QStringLiteral("[") + text + QStringLiteral("]는 시간형식이 아닙니다.(00:00~23:59)") + u'\n'
           + QStringLiteral("시:분 방식으로 입력하세요.") + u'\n' + QStringLiteral("예) 14:25 또는 1425") + u'\n'
           + QStringLiteral("     01:05 또는 0105");
}

QString lengthMessage(int bytes, int maxBytes) {
    return QStringLiteral("최대 입력 길이를 초과하였습니다. 입력된 자료는 길이에 맞게 자동으로 짤립니다.")
           + QStringLiteral("\n\n") + QStringLiteral("현재 입력된 길이는 ") + QString::number(bytes)
           + QStringLiteral(" 이며, 최대입력 길이는 ") + QString::number(maxBytes) + QStringLiteral(" 입니다.")
           + u'\n' + QStringLiteral("(한글은 한 글자당 길이가 2입니다.)");
}

QString trimRight(const QString& s) {
    qsizetype n = s.size();
    while (n > 0 && (s[n - 1] == u' ' || s[n - 1] == u'\t')) --n;
    return s.left(n);
}

} // namespace

HCText::HCText(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, &HCText::onTextChanged);
    connect(this, &QLineEdit::textEdited, this, &HCText::onTextEdited);
}

void HCText::SetAcceptType(int kind) {
    m_acceptType = (kind >= AnyText && kind <= Dashed10) ? kind : AnyText;
    // Amounts line up on the right, like every money column.
    setAlignment((m_acceptType == Number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    applyInputHints();
}

void HCText::SetShowSeparate(bool on) {
    m_showSeparate = on;
    if (on) onTextChanged();
}

void HCText::SetDecPlace(int places) {
    m_decPlace = qBound(0, places, 10);
    applyInputHints();
}

void HCText::SetIMEMode(int mode) {
    m_imeMode = mode;
    applyInputHints();
}

void HCText::SetPasswordChar(const QString& mask) {
    m_passwordChar = mask;
    setEchoMode(mask.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
}

QColor HCText::BackColor() const { return palette().color(QPalette::Base); }

void HCText::SetBackColor(const QColor& c) {
    m_backColor = c;
    applyLook(hasFocus());
}

QColor HCText::ForeColor() const { return palette().color(QPalette::Text); }

void HCText::SetForeColor(const QColor& c) {
    QPalette p = palette();
    p.setColor(QPalette::Text, c);
    setPalette(p);
}

void HCText::applyInputHints() {
    // Digits-only kinds and Latin typing modes keep the input method out of the way.
    const bool numeric = m_acceptType == Number || m_acceptType == Telephone || m_acceptType == Time
                         || m_acceptType == Dashed10;
    const bool latin = numeric || m_acceptType == Letters || m_imeMode == 2 || m_imeMode == 3 || m_imeMode == 8;
    setAttribute(Qt::WA_InputMethodEnabled, !latin);
    Qt::InputMethodHints hints = Qt::ImhNone;
    if (numeric) hints |= m_acceptType == Number ? Qt::ImhFormattedNumbersOnly : Qt::ImhDigitsOnly;
    else if (latin) hints |= Qt::ImhLatinOnly;
    setInputMethodHints(hints);
}

void HCText::applyLook(bool focused) {
    QPalette p = palette();
    QColor base = m_backColor.isValid() ? m_backColor : QApplication::palette(this).color(QPalette::Base);
    if (focused && m_focusEffect != 0 && m_focusColor.isValid()) base = m_focusColor;
    p.setColor(QPalette::Base, base);
    setPalette(p);
}

int HCText::filterChar(int keyAscii, bool& beep) {
    beep = false;
    int k = keyAscii;
    emit KeyPress(k);
    if (k == 0) return 0;
    if (k == kBackspace || k == kEnter) return k;
    switch (m_acceptType) {
    case Number:
        if (k == '-') return k;
        // Decimals can only be typed where the input shows them.
        if (k == '.' && m_decPlace > 0) return k;
        [[fallthrough]];
    case Time:
        // "14:25", as the time message asks for.
        if (k == ':' && m_acceptType == Time) return k;
        [[fallthrough]];
    case Telephone:
    case Dashed10:
        if (!isDigit(k)) {
            beep = true;
            return 0;
        }
        return k;
    case Letters:
        if (!isLatinLetter(k)) {
            beep = true;
            return 0;
        }
        break;
    default:
        break;
    }
    if (m_convertCase == 1 || m_convertCase == 2) {
        const QString s = charText(k);
        const QString c = m_convertCase == 1 ? s.toUpper() : s.toLower();
        if (c.size() == s.size() && !c.isEmpty()) k = int(c.toUcs4().value(0));
    }
    return k;
}

void HCText::insertFiltered(const QString& text) {
    if (isReadOnly()) return;
    QString filtered;
    bool anyBeep = false;
    for (char32_t c : text.toUcs4()) {
        if (c < 0x20 || c == 0x7F) continue; // line breaks and tabs do not belong in one line
        bool beep = false;
        const int k = filterChar(int(c), beep);
        anyBeep = anyBeep || beep;
        if (k != 0 && k != kEnter && k != kBackspace) filtered += charText(k);
    }
    if (anyBeep) QApplication::beep();
    if (filtered.isEmpty()) return;
    insert(filtered);
    m_changed = 1;
}

void HCText::contextMenuEvent(QContextMenuEvent* e) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // "Paste" goes through the key filter like typing.
    for (QAction* a : menu->actions()) {
        if (a->objectName() != QLatin1String("edit-paste")) continue;
        disconnect(a, &QAction::triggered, nullptr, nullptr);
        connect(a, &QAction::triggered, this, [this] { insertFiltered(QGuiApplication::clipboard()->text()); });
    }
    menu->popup(e->globalPos());
}

void HCText::mouseReleaseEvent(QMouseEvent* e) {
    // The middle button pastes the selection on X11: filtered as well.
    if (e->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        insertFiltered(QGuiApplication::clipboard()->text(QClipboard::Selection));
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void HCText::dropEvent(QDropEvent* e) {
    if (e->mimeData() && e->mimeData()->hasText()) {
        setCursorPosition(cursorPositionAt(e->position().toPoint()));
        insertFiltered(e->mimeData()->text());
        e->acceptProposedAction();
        return;
    }
    e->ignore();
}

void HCText::keyPressEvent(QKeyEvent* e) {
    int code = e->key();
    emit KeyDown(code, e->modifiers());
    if (code == 0) {
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        insertFiltered(QGuiApplication::clipboard()->text());
        e->accept();
        return;
    }
    const bool plain = !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (m_autoTab && plain && (code == Qt::Key_Down || code == Qt::Key_Up)) {
        if (code == Qt::Key_Down) focusNextChild();
        else focusPreviousChild();
        e->accept();
        return;
    }

    // The characters the key types, as KeyPress codes.
    QList<int> typed;
    if (code == Qt::Key_Return || code == Qt::Key_Enter) {
        typed << kEnter;
    } else if (code == Qt::Key_Backspace) {
        typed << kBackspace;
    } else if (plain || (e->modifiers() & Qt::AltModifier && e->modifiers() & Qt::ControlModifier)) {
        for (char32_t c : e->text().toUcs4())
            if (c >= 0x20 && c != 0x7F) typed << int(c);
    }
    if (typed.isEmpty()) {
        QLineEdit::keyPressEvent(e);
        return;
    }

    e->accept();
    bool anyBeep = false;
    for (int original : typed) {
        bool beep = false;
        const int k = filterChar(original, beep);
        anyBeep = anyBeep || beep;
        if (k == 0) continue;
        if (k == kEnter) {
            if (m_autoTab) {
                focusNextChild();
            } else {
                // Enter is never typed in; the line edit still reports it (returnPressed)
                // and leaves it to a dialog's default button.
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
                QLineEdit::keyPressEvent(&enter);
                if (!enter.isAccepted()) e->ignore();
            }
            continue;
        }
        if (isReadOnly()) continue;
        if (k == kBackspace) {
            backspace();
        } else {
            insert(charText(k));
        }
        m_changed = 1;
    }
    if (anyBeep) QApplication::beep();
}

void HCText::inputMethodEvent(QInputMethodEvent* e) {
    // The line edit itself would take committed text even when read-only.
    if (isReadOnly()) {
        e->ignore();
        return;
    }
    const QString commit = e->commitString();
    if (commit.isEmpty()) {
        QLineEdit::inputMethodEvent(e);
        return;
    }
    QString filtered;
    bool anyBeep = false;
    for (char32_t c : commit.toUcs4()) {
        bool beep = false;
        const int k = filterChar(int(c), beep);
        anyBeep = anyBeep || beep;
        if (k != 0 && k != kEnter && k != kBackspace) filtered += charText(k);
    }
    if (anyBeep) QApplication::beep();
    if (filtered == commit) {
        QLineEdit::inputMethodEvent(e);
    } else {
        QInputMethodEvent changed(e->preeditString(), e->attributes());
        changed.setCommitString(filtered, e->replacementStart(), e->replacementLength());
        QLineEdit::inputMethodEvent(&changed);
    }
    if (!filtered.isEmpty()) m_changed = 1;
}

void HCText::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    applyLook(true);
    selectAll();
    // A mouse click places the caret after focusing; select again once it is handled.
    if (e->reason() == Qt::MouseFocusReason)
        QTimer::singleShot(0, this, [this] {
            if (hasFocus()) selectAll();
        });
    emit GotFocus();
}

void HCText::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // Switching to another program or opening a menu is not leaving the input.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    applyLook(false);
    FormatNow();
    emit LostFocus();
}

void HCText::FormatNow() {
    const QString before = text();
    QString t = trimRight(before);
    if (m_acceptType == Number) {
        if (NumericValue(t) == 0.0) t = QStringLiteral("0");
    } else if (!t.isEmpty()) {
        if (m_acceptType == Telephone) {
            t = FormatTelephone(t);
        } else if (m_acceptType == Time) {
            const QString time = NormalizeTime(t, true);
            if (time.isEmpty()) MsgInfo(timeMessage(t));
            else t = time;
        } else if (m_acceptType == Dashed10) {
            t = FormatDashed10(t);
        }
    }
    if (m_maxBytes > 0) {
        const int bytes = ByteLength(t);
        if (bytes > m_maxBytes) {
            MsgInfo(lengthMessage(bytes, m_maxBytes), QStringLiteral("입력길이 초과"));
            t = CutToBytes(t, m_maxBytes);
        }
    }
    if (t != before) setText(t);
}

void HCText::onTextChanged() {
    if (m_reformatting) return;
    if (m_acceptType == Number && m_showSeparate) {
        const QString t = text();
        const QString f = FormatTypedNumber(t, m_decPlace);
        if (f != t) {
            const int caret = CaretAfterReformat(t, cursorPosition(), f);
            m_reformatting = true;
            setText(f);
            setCursorPosition(caret);
            m_reformatting = false;
        }
    }
    emit Change();
}

void HCText::onTextEdited() { m_changed = 1; }
