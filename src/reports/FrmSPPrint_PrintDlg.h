#pragma once

#include <QDialog>

#include <array>

class PrintContext;
class QCheckBox;
class QLineEdit;
class QRadioButton;

// Print options, print range and printing of one list. Each option is stored as soon
// as it is clicked.
class FrmSPPrint_PrintDlg : public QDialog {
    Q_OBJECT
public:
    explicit FrmSPPrint_PrintDlg(PrintContext* context, QWidget* parent = nullptr);

    // The pages of the chosen range; false after a message when the page is not valid.
    bool pageRange(int* from, int* to);

private:
    void optionClicked(int index, bool on);
    void printClicked(bool toPdf);
    void showOptions();

    PrintContext* m_context;
    std::array<QCheckBox*, 9> m_checks{};
    QRadioButton* m_all;
    QRadioButton* m_page;
    QRadioButton* m_selection;
    QLineEdit* m_pageText;
};
