#pragma once

#include <QDialog>

class PrintContext;
class QComboBox;
class QLineEdit;
class QRadioButton;

// Margins, orientation and preview zoom of one list; OK stores them.
class FrmSPPrint_PageSetup : public QDialog {
    Q_OBJECT
public:
    FrmSPPrint_PageSetup(PrintContext* context, QWidget* parent = nullptr);

    // Checks and stores the inputs; false after a message naming the bad input.
    bool save();

private:
    PrintContext* m_context;
    QLineEdit* m_top;
    QLineEdit* m_bottom;
    QLineEdit* m_left;
    QLineEdit* m_right;
    QRadioButton* m_portrait;
    QRadioButton* m_landscape;
    QComboBox* m_zoom;
};
