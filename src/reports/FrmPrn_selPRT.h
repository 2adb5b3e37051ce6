#pragma once

#include <QDialog>

class QListWidget;

// Chooses the printer of one document type ("A4일반", "DM", ...): the installed printers
// and the PDF file entry, the stored one selected. OK or a double-click stores the
// choice; "기본 프린터" stores the empty value (the default printer).
class FrmPrn_selPRT : public QDialog {
    Q_OBJECT
public:
    explicit FrmPrn_selPRT(const QString& documentType, QWidget* parent = nullptr);
    const QString& documentType() const { return m_type; }

private:
    void store(const QString& printer);

    QString m_type;
    QListWidget* m_list;
};
