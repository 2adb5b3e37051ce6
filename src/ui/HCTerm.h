#pragma once

#include <QColor>
#include <QWidget>

class FrmEasyDate;
class HCDateBox;
class QToolButton;

// A period: start and end date boxes, each with day up/down and a calendar button, and a
// button opening the quick-period window. Values are "YYYY-MM-DD" texts.
class HCTerm : public QWidget {
    Q_OBJECT
public:
    explicit HCTerm(QWidget* parent = nullptr);

    QString Text1() const;
    QString Text2() const;
    void SetText1(const QString& value);
    void SetText2(const QString& value);
    bool AllowEmpty() const;
    void SetAllowEmpty(bool on);
    bool AutoTab() const;
    void SetAutoTab(bool on);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool on) { setEnabled(on); }
    // Where the quick-period window opens: 0 below the control (left edges aligned),
    // 1 below (right edges aligned), 2 above (left), 3 above (right).
    int EasyDateShowPos() const { return m_easyDateShowPos; }
    void SetEasyDateShowPos(int pos) { m_easyDateShowPos = pos; }
    int FocusEffect() const { return m_focusEffect; }
    void SetFocusEffect(int effect) { m_focusEffect = effect; }
    QColor FocusEffectParam() const { return m_focusColor; }
    void SetFocusEffectParam(const QColor& c) { m_focusColor = c; }
    QColor ForeColor() const;
    void SetForeColor(const QColor& c);
    QColor BackColor() const;
    void SetBackColor(const QColor& c);
    WId hWnd() const { return const_cast<HCTerm*>(this)->winId(); }

    // Both dates today.
    void ToDay();
    // The 1st of the current month to today.
    void ThisMonth();
    // January 1st of the current year to today.
    void ThisYear();
    void Refresh() { update(); }

    // Opens the quick-period window (not blocking); "확인(&O)" there sets both dates.
    void OpenEasyDate();
    FrmEasyDate* EasyDate() const;

    HCDateBox* Box1() const { return m_box1; }
    HCDateBox* Box2() const { return m_box2; }

signals:
    void Change();
    void GotFocus();
    void LostFocus();

private:
    void applyFocusLook(HCDateBox* box, bool focused);

    HCDateBox* m_box1 = nullptr;
    HCDateBox* m_box2 = nullptr;
    QToolButton* m_easyButton = nullptr;
    FrmEasyDate* m_easyDate = nullptr;
    int m_easyDateShowPos = 0;
    int m_focusEffect = 1;
    QColor m_focusColor = QColor(255, 255, 210);
    QColor m_backColor;
};
