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

    // "" when the box shows the empty mask, else its text ("YYYY-MM-DD" once checked).
    QString Text() const;
    // A date is shown as "YYYY-MM-DD"; "" shows the empty mask. Other text is shown as far
    // as its digits fill the mask, and is checked when the box is left.
    void SetText(const QString& value);

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
    bool m_allowEmpty = false;
    bool m_autoTab = false;
    bool m_lunar = false;
    bool m_validating = false;
    QPointer<FrmCalendar> m_calendar;
};
