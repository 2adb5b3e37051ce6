#pragma once

#include "ui/QuickPeriod.h"

#include <QDialog>

class HCDateBox;
class QPushButton;

// "기간 간편설정": sets a period with one of 27 quick-period buttons (btnQuick(0) ..
// btnQuick(26)), moves it with btnPrev/btnNext by the unit of the quick period chosen
// last, and returns it with "확인(&O)" (Text1/Text2); "닫기(&C)" or Esc leave it unchanged.
class FrmEasyDate : public QDialog {
    Q_OBJECT
public:
    explicit FrmEasyDate(QWidget* parent = nullptr);

    QString Text1() const;
    QString Text2() const;
    void SetText1(const QString& date);
    void SetText2(const QString& date);

    // What the buttons do, callable without clicking.
    void ChooseQuick(QuickPeriod p);
    void Move(int direction);
    QuickPeriod Unit() const { return m_unit; }

    QPushButton* QuickButton(QuickPeriod p) const;

private:
    void ok();
    // Checks both dates (message for a date that does not exist); false when one was bad.
    bool validateBoth();

    HCDateBox* m_date1 = nullptr;
    HCDateBox* m_date2 = nullptr;
    QList<QPushButton*> m_quick;
    QuickPeriod m_unit = QuickPeriod::None;
    bool m_setting = false;
    bool m_refused = false; // a date was refused since the dates were last set
};
