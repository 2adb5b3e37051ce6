#pragma once

#include "reports/HeaderFooterCode.h"

#include <QDialog>

class PrintContext;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

// Edits the header or footer of one list as lines of a left, a centre and a right part,
// each with its font. The code text of the lines is shown below the grid and may be
// edited there too. A saved text replaces the standard header or footer of the list;
// an empty one brings the standard back.
class FrmSPPrint_HeaderFooter : public QDialog {
    Q_OBJECT
public:
    enum Kind { Header = 0, Footer = 1 };
    static constexpr int MinLines = 6;

    FrmSPPrint_HeaderFooter(PrintContext* context, QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    void setKind(Kind kind);
    QList<HfCellLine> lines() const;
    void setLines(const QList<HfCellLine>& lines);
    QString code() const { return HfCellsToCode(lines()); }
    // Reads a code text into the grid; false after "Error parsing FONT NAME" or
    // "Error parsing FONT SIZE" (the grid is left as it was).
    bool setCode(const QString& code);
    bool save();

protected:
    void reject() override;

private:
    void chooseFont();
    void insertPageNumber();
    void clearText();
    void cellEdited();
    void showCode();

    PrintContext* m_context;
    Kind m_kind = Header;
    QList<HfCellLine> m_buffers[2];
    bool m_dirty[2] = {false, false};
    bool m_filling = false;
    QRadioButton* m_header;
    QRadioButton* m_footer;
    QTableWidget* m_grid;
    QLineEdit* m_code;
    QPushButton* m_save;
};
