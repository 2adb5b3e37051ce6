#pragma once

#include "ui/RecordEditor.h"

class HCText;
class QCheckBox;

// Editor of one service: name, unit price, points per unit, memo.
class frmServiceSub : public RecordEditor {
    Q_OBJECT
public:
    enum Field { FCode = 0, FName, FPrice, FPoint, FMemo, FieldCount };

    explicit frmServiceSub(QWidget* parent = nullptr);

    HCText* field(int i) const { return m_fields[i]; }
    QCheckBox* continueBox() const { return m_cun; }
    // The values of the record last saved (the inputs are cleared after a save).
    QString savedName() const { return m_savedName; }
    double savedPrice() const { return m_savedPrice; }
    double savedPoints() const { return m_savedPoints; }
    QString savedMemo() const { return m_savedMemo; }

    // Opens a new-mode editor with a typed name, without "continue", and waits until it
    // closes; the saved code and name, or code 0.
    static int addFromPicker(const QString& name, QString* savedName);

signals:
    void closed();

protected:
    void DispRec(int code) override;
    bool checkInputs() override;
    SqlStatement saveStatement() override;
    QString recordTable() const override { return QStringLiteral("tblservice"); }
    QVariantHash inputValues() const override;
    void afterSave() override;
    void closeEvent(QCloseEvent* event) override;

private:
    HCText* m_fields[FieldCount] = {};
    QCheckBox* m_cun = nullptr;
    QString m_savedName;
    double m_savedPrice = 0;
    double m_savedPoints = 0;
    QString m_savedMemo;
};
