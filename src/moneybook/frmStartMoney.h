#pragma once

#include <QWidget>

class HCText;

// "기초 현금 잔액을 입력하세요": the opening balance of the cash box.
class frmStartMoney : public QWidget {
    Q_OBJECT
public:
    explicit frmStartMoney(QWidget* parent = nullptr);
    bool RecSave();

private:
    HCText* m_field = nullptr;
    double m_loaded = 0; // the stored opening cash the field showed
};
