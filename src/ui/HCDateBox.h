#pragma once

#include <QLineEdit>
#include <QPointer>

class FrmCalendar;
class QToolButton;

// The masked date box shared by the date and period inputs: shows "____-__-__" when
// empty, takes digits only, checks the date when the focus leaves, steps by days and
// opens the month calendar.
class HCDateBox : public QLineEdit {
    Q_OBJECT
public:
    explicit HCDateBox(QWidget* parent = nullptr);

    static QString EmptyMask() { return QStringLiteral("____-__-__"); }

    // "" when the box shows the empty mask, else its text ("YYYY-MM-DD" once checked), or
    // the stored text shown as it is (below).
    QString Text() const;
    // "YYYY-MM-DD" and "" are shown in the mask. Any other text (a stored "1990-1-5" or
    // "봄") is shown and kept exactly as given until the user types, deletes, pastes,
    // steps or picks a date; leaving the box without doing so keeps it untouched.
    void SetText(const QString& value);
    // True while the box shows such a stored text.
    bool ShowsStoredText() const { return m_stored; }

    bool AllowEmpty() const { return m_allowEmpty; }
    void SetAllowEmpty(bool on) { m_allowEmpty = on; }
    bool AutoTab() const { return m_autoTab; }
    void SetAutoTab(bool on) { m_autoTab = on; }
    // Lunar mode: dates are checked against the lunar month lengths (lunar 02-30 exists in
    // a long month), otherwise against the solar calendar.
    bool Lunar() const { return m_lunar; }
    void SetLunar(bool on);

    // True when the box holds a valid date, or is empty and may be.
    bool HoldsValidDate() const;
    // The check run when the box is left: short forms are completed by the date-text
    // rule; a date that does not exist shows "날짜입력 확인" and the box becomes today
    // (or empty where that is allowed). Returns false when a date that does not exist
    // was refused (the message was shown).
    bool Validate();
    // Moves the date by `days`; an empty box gets today's date.
    void StepDays(int days);
    // Opens the month calendar below `anchor` (the owning control) with the current date.
    void OpenCalendar(QWidget* anchor = nullptr);
    // The calendar opened last while it is open, else nullptr.
    FrmCalendar* Calendar() const;

    // Small buttons of the owning controls: a calendar button and the day up/down pair.
    QToolButton* MakeCalendarButton(QWidget* parent, QWidget* anchor, const QString& name);
    QWidget* MakeStepper(QWidget* parent, const QString& suffix);

signals:
    void GotFocus();
    void LostFocus();
    void Change();
    // A typed date that does not exist was refused (before its message is shown).
    void Refused();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    // Puts the mask back (after a stored text) and shows `text` in it.
    void setMasked(const QString& text);
    void showStored(const QString& text);
    bool m_stored = false;
    QString m_storedText;
    bool m_allowEmpty = false;
    bool m_autoTab = false;
    bool m_lunar = false;
    bool m_validating = false;
    QPointer<FrmCalendar> m_calendar;
};
