#pragma once

#include "ui/RecordEditor.h"

class QCheckBox;
class QComboBox;
class HCText;

// Editor of one income or expense category of `table` (tblitem for the money book,
// tblaffairsnote for the group funds).
class frmItemSub : public RecordEditor {
    Q_OBJECT
public:
    explicit frmItemSub(const QString& table = QStringLiteral("tblitem"),
                        QWidget* parent = nullptr);

    QString table() const { return m_table; }
    // Class choice: 0 "수입", 1 "지출", -1 none.
    void setClassIndex(int index);
    void setText(const QString& text);
    // Text and class of the last saved category (what a caller picks up).
    QString savedText() const { return m_savedText; }
    // Hides the continue box (a caller waits for one category).
    void hideContinueBox();

protected:
    void DispRec(int code) override;
    void clearInputs() override;
    bool checkInputs() override;
    SqlStatement saveStatement() override;
    // Edit mode writes only the changed columns, after checking another PC left them alone.
    QString recordTable() const override { return m_table; }
    QVariantHash inputValues() const override;
    void afterSave() override;

private:
    QString m_table;
    QComboBox* m_inOut = nullptr;
    HCText* m_text = nullptr;
    QCheckBox* m_cun = nullptr;
    QString m_savedText;
};
