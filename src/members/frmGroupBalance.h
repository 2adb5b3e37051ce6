#pragma once

#include <QWidget>

class QLabel;

// The fund totals of one group: dues, other income, expenses, the detail lines' total and
// the balance (dues and income in, expenses out).
class frmGroupBalance : public QWidget {
    Q_OBJECT
public:
    explicit frmGroupBalance(QWidget* parent = nullptr);
    void showGroup(int group, const QString& name);

private:
    QLabel* m_title = nullptr;
    QLabel* m_values[5] = {};
};
