#pragma once

#include <QWidget>

class HCTerm;
class HCText;
class QComboBox;
class QRadioButton;

// "가계부 분석": sums the money book's income or expenses by one basis and hands the
// points to the graph window.
class FrmRPT_graphA : public QWidget {
    Q_OBJECT
public:
    QSize sizeHint() const override { return {520, 360}; }
    explicit FrmRPT_graphA(QWidget* parent = nullptr);
    HCTerm* period() const { return m_period; }
    // Runs the analysis and shows the graph; the number of points.
    int query();

private:
    void fillAccounts();
    HCTerm* m_period = nullptr;
    HCText* m_item = nullptr;
    HCText* m_use = nullptr;
    int m_useCode = 0;
    QComboBox* m_acc = nullptr;
    QRadioButton* m_type[8] = {};
    QRadioButton* m_inOut[2] = {};
};
