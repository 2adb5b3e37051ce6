#pragma once

#include "ui/RecordEditor.h"

class HCText;
class QCheckBox;

// Editor of one trade line ("거래내용등록"): service, quantity, unit price, amount, memo.
class frmTradeSub : public RecordEditor {
    Q_OBJECT
public:
    enum Field { FCode = 0, FName, FQty, FPrice, FAmount, FMemo, FService, FieldCount };

    explicit frmTradeSub(QWidget* parent = nullptr);

    // The trade the lines belong to; call before SetFormMode.
    void setTrade(int tradeCode) { m_trade = tradeCode; }
    int tradeCode() const { return m_trade; }
    HCText* field(int i) const { return m_fields[i]; }
    QCheckBox* continueBox() const { return m_cun; }

    // Runs the service picker on the name field.
    void findService();

protected:
    void DispRec(int code) override;
    void clearInputs() override;
    bool checkInputs() override;
    SqlStatement saveStatement() override;
    QString recordTable() const override { return QStringLiteral("tbltradesub"); }
    QVariantHash inputValues() const override;
    QList<RowRef> parentRows() const override;
    int writeRecord() override;
    void afterSave() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void computeAmount();

    HCText* m_fields[FieldCount] = {};
    QCheckBox* m_cun = nullptr;
    int m_trade = 0;
    // The catalog service the line has (1: none), kept while a new name is typed.
    int m_lineService = 1;
    bool m_nameEdited = false;
    qint64 m_pointsBefore = 0; // the points the options proposed before the save
};
