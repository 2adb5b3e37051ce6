#include "ui/HCDateBox.h"

#include "core/Clock.h"
#include "calendar/Convlunar.h"
#include "calendar/DateText.h"
#include "ui/FrmCalendar.h"
#include "core/Prompt.h"

#include <QDate>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString digitsOf(const QString& s) {
    QString d;
    for (QChar c : s)
        if (c >= u'0' && c <= u'9') d += c;
    return d;
}

QString formatDate(const QDate& d) { return d.toString(QStringLiteral("yyyy-MM-dd")); }

const QString kMask = QStringLiteral("0000-00-00;_");

// Texts the mask shows as they are: "YYYY-MM-DD" with every digit written.
bool fitsMask(const QString& s) {
    if (s.size() != 10) return false;
    for (int i = 0; i < 10; ++i) {
        const bool dash = i == 4 || i == 7;
        if (dash ? s[i] != u'-' : !(s[i] >= u'0' && s[i] <= u'9')) return false;
    }
    return true;
}

QString formatYmd(int y, int m, int d) {
    return QStringLiteral("%1-%2-%3").arg(y, 4, 10, QChar(u'0')).arg(m, 2, 10, QChar(u'0')).arg(d, 2, 10, QChar(u'0'));
}

// A lunar date exists when its month is in the table and long enough.
bool lunarDayExists(int y, int m, int d) {
    static const Convlunar table;
    return m >= 1 && m <= 12 && d >= 1 && d <= table.lunarMonthDays(y, m);
}

// The date a full "YYYY-MM-DD" text names when it exists in the chosen calendar, else "".
QString existingDate(const QString& text, bool lunar) {
    int y = 0, m = 0, d = 0;
    if (!SplitDateText(text, y, m, d)) return {};
    if (lunar ? !lunarDayExists(y, m, d) : !QDate(y, m, d).isValid()) return {};
    return formatYmd(y, m, d);
}

} // namespace

HCDateBox::HCDateBox(QWidget* parent) : QLineEdit(parent) {
    setInputMask(kMask);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setInputMethodHints(Qt::ImhDigitsOnly);
    setText(QString());
    connect(this, &QLineEdit::textChanged, this, &HCDateBox::Change);
    // A stored text changed by a way the keys below do not see (a paste or drop from the
    // context menu): the mask comes back with the digits of what now stands there.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& now) {
        if (m_stored) setMasked(digitsOf(now).left(8));
    });
}

void HCDateBox::showStored(const QString& text) {
    m_stored = true;
    m_storedText = text;
    setInputMask(QString());
    setText(text);
    setToolTip(QStringLiteral("저장된 그대로의 값입니다. 날짜를 입력하면 바뀝니다."));
    setCursorPosition(0);
}

void HCDateBox::setMasked(const QString& text) {
    if (m_stored) {
        m_stored = false;
        m_storedText.clear();
        setToolTip(QString());
        setInputMask(kMask);
    }
    setText(text);
}

QString HCDateBox::Text() const {
    if (m_stored) return m_storedText;
    const QString shown = displayText();
    if (shown == EmptyMask() || digitsOf(shown).isEmpty()) return {};
    QString t = shown;
    t.remove(u'_');
    return t;
}

void HCDateBox::SetText(const QString& value) {
    const QString v = value.trimmed();
    // A full date, even a day that does not exist (refused when the box is left), stands
    // in the mask; anything else would be changed by it, so it is shown as it is.
    if (v.isEmpty() || fitsMask(v)) setMasked(v);
    else showStored(value);
}

void HCDateBox::SetLunar(bool on) {
    if (m_lunar == on) return;
    m_lunar = on;
    // A day that exists only in the other calendar is refused at once, not kept.
    if (!m_stored && !digitsOf(displayText()).isEmpty() && !HoldsValidDate()) Validate();
}

bool HCDateBox::HoldsValidDate() const {
    if (m_stored) return false;
    const QString t = Text();
    if (t.isEmpty()) return m_allowEmpty;
    return !existingDate(t, m_lunar).isEmpty();
}

bool HCDateBox::Validate() {
    if (m_stored) return true; // not typed by the user: kept as stored
    const QString digits = digitsOf(displayText());
    QString date;
    if (!digits.isEmpty()) {
        // A full box is read as written; fewer digits follow the short date forms
        // ("1001" is October 1st of this year, "5" the 5th of this month).
        if (digits.size() == 8) date = existingDate(Text(), m_lunar);
        else date = NormalizeDate(digits);
        if (date.isEmpty()) {
            emit Refused();
            MsgInfo(QStringLiteral("날짜의 입력형식이 잘못 되었거나,          ") + u'\n'
                        + QStringLiteral("존재하지 않는 날짜입니다."),
                    QStringLiteral("날짜입력 확인"));
        }
    }
    if (!date.isEmpty()) {
        if (date != displayText()) setText(date);
        return true;
    }
    // Nothing valid: today where a date is required; otherwise empty, so that a date
    // which does not exist never reaches the caller.
    if (!m_allowEmpty) setText(formatDate(Clock::today()));
    else setText(QString());
    return digits.isEmpty();
}

void HCDateBox::StepDays(int days) {
    if (m_stored) setMasked(fitsMask(m_storedText) ? m_storedText : QString());
    QDate d = DateFromText(Text());
    if (!d.isValid()) {
        if (!digitsOf(displayText()).isEmpty()) {
            Validate();
            d = DateFromText(Text());
        }
        if (!d.isValid()) {
            setText(formatDate(Clock::today()));
            return;
        }
    }
    setText(formatDate(d.addDays(days)));
}

FrmCalendar* HCDateBox::Calendar() const { return m_calendar.data(); }

void HCDateBox::OpenCalendar(QWidget* anchor) {
    if (!anchor) anchor = this;
    if (!m_stored && !digitsOf(displayText()).isEmpty() && !DateFromText(Text()).isValid()) Validate();
    if (m_calendar) m_calendar->close();
    auto* cal = new FrmCalendar(this);
    cal->setAttribute(Qt::WA_DeleteOnClose);
    cal->SetText(Text());
    connect(cal, &FrmCalendar::Picked, this, [this](const QString& date) {
        setMasked(date);
        setFocus();
    });
    m_calendar = cal;
    cal->ShowBelow(anchor);
}

QToolButton* HCDateBox::MakeCalendarButton(QWidget* parent, QWidget* anchor, const QString& name) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(QStringLiteral("▼"));
    b->setToolTip(QStringLiteral("달력 (F4)"));
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    connect(b, &QToolButton::clicked, this, [this, anchor] { OpenCalendar(anchor); });
    return b;
}

QWidget* HCDateBox::MakeStepper(QWidget* parent, const QString& suffix) {
    auto* w = new QWidget(parent);
    auto* lay = new QVBoxLayout(w);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    const struct {
        const char* name;
        Qt::ArrowType arrow;
        int days;
        const char* tip;
    } parts[] = {{"btnUp", Qt::UpArrow, 1, "다음날 (PgUp)"}, {"btnDown", Qt::DownArrow, -1, "전날 (PgDn)"}};
    for (const auto& p : parts) {
        auto* b = new QToolButton(w);
        b->setObjectName(QString::fromLatin1(p.name) + suffix);
        b->setArrowType(p.arrow);
        b->setToolTip(QString::fromUtf8(p.tip));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setFixedSize(16, 11);
        const int days = p.days;
        connect(b, &QToolButton::clicked, this, [this, days] { StepDays(days); });
        lay->addWidget(b);
    }
    return w;
}

void HCDateBox::keyPressEvent(QKeyEvent* e) {
    const auto mods = e->modifiers() & ~Qt::KeypadModifier;
    const int key = e->key();
    if (mods == Qt::NoModifier && m_autoTab
        && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down || key == Qt::Key_Up)) {
        if (key == Qt::Key_Up) focusPreviousChild();
        else focusNextChild();
        e->accept();
        return;
    }
    if ((mods == Qt::NoModifier && key == Qt::Key_F4) || (mods == Qt::AltModifier && key == Qt::Key_Down)) {
        OpenCalendar(parentWidget() ? parentWidget() : this);
        e->accept();
        return;
    }
    if (mods == Qt::NoModifier && (key == Qt::Key_PageUp || key == Qt::Key_PageDown)) {
        StepDays(key == Qt::Key_PageUp ? 1 : -1);
        e->accept();
        return;
    }
    // Digits only: other characters would move the caret over the mask's separators or
    // leave blanks behind.
    const QString typed = e->text();
    const bool plain = !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const bool digit = !typed.isEmpty() && typed[0] >= u'0' && typed[0] <= u'9';
    if (plain && !typed.isEmpty() && typed[0] >= u' ' && typed[0] != QChar(0x7F) && !digit) {
        e->accept();
        return;
    }
    // A stored text gives way to the first edit: a digit starts a new date in the empty
    // mask, a delete empties it, a paste fills it.
    if (m_stored && ((plain && digit) || key == Qt::Key_Backspace || key == Qt::Key_Delete
                     || e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut))) {
        setMasked(QString());
        setCursorPosition(0);
        if (key == Qt::Key_Backspace || key == Qt::Key_Delete || e->matches(QKeySequence::Cut)) {
            e->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

void HCDateBox::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    selectAll();
    if (e->reason() == Qt::MouseFocusReason)
        QTimer::singleShot(0, this, [this] {
            if (hasFocus()) selectAll();
        });
    emit GotFocus();
}

void HCDateBox::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    // Leaving for the own calendar is not leaving the box.
    if (m_validating || (m_calendar && m_calendar->isVisible())) return;
    m_validating = true;
    Validate();
    m_validating = false;
    emit LostFocus();
}
