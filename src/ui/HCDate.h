#pragma once

#include <QColor>
#include <QWidget>

class HCDateBox;
class QToolButton;

// One date: the masked date box and a calendar button. Values are "YYYY-MM-DD" texts.
class HCDate : public QWidget {
    Q_OBJECT
public:
    explicit HCDate(QWidget* parent = nullptr);

    // "" when empty, else the date text.
    QString Text() const;
    void SetText(const QString& value);
    bool AllowEmpty() const;
    void SetAllowEmpty(bool on);
    bool AutoTab() const;
    void SetAutoTab(bool on);
    // Lunar mode: the date is checked against the lunar month lengths.
    bool Lunar() const;
    void SetLunar(bool on);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool on) { setEnabled(on); }
    QColor ForeColor() const;
    void SetForeColor(const QColor& c);
    QColor BackColor() const;
    void SetBackColor(const QColor& c);
    // FocusEffect != 0: the box takes the colour FocusEffectParam while focused.
    int FocusEffect() const { return m_focusEffect; }
    void SetFocusEffect(int effect) { m_focusEffect = effect; }
    QColor FocusEffectParam() const { return m_focusColor; }
    void SetFocusEffectParam(const QColor& c) { m_focusColor = c; }
    WId hWnd() const { return const_cast<HCDate*>(this)->winId(); }

    // Sets the date to today.
    void ToDay();
    void Refresh() { update(); }

    HCDateBox* Box() const { return m_box; }
    QToolButton* CalendarButton() const { return m_calendarButton; }

signals:
    void Change();
    void GotFocus();
    void LostFocus();

protected:
    // With `withStepper` a day up/down pair stands between the box and the calendar button.
    HCDate(QWidget* parent, bool withStepper);

private:
    void build(bool withStepper);
    void applyFocusLook(bool focused);

    HCDateBox* m_box = nullptr;
    QToolButton* m_calendarButton = nullptr;
    int m_focusEffect = 1;
    QColor m_focusColor = QColor(255, 255, 210);
    QColor m_backColor;
};
