#pragma once

#include <QWidget>

class Grid;
class QComboBox;
class QLabel;
class QLineEdit;

// "DM발송": the members chosen for direct mail (name, address, zip code, telephone) and
// the printing of their address labels on 2 × 8 label sheets.
class FrmCust_DM : public QWidget {
    Q_OBJECT
public:
    enum Col { ColName = 1, ColAddr1, ColAddr2, ColZip, ColTel, ColCount };

    explicit FrmCust_DM(QWidget* parent = nullptr);

    // Appends one row to the grid.
    void AddOneLine(const QString& name, const QString& address1, const QString& address2,
                    const QString& zipCode, const QString& telephone);

    void btnPrint();
    void btnDelTel();
    void btnRecDel();
    void btnExcel();
    void btnPrnterSetup();

    Grid* grid() const { return m_grid; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool handleKey(int key);
    void loadSettings();
    void showPrinter();

    Grid* m_grid = nullptr;
    QComboBox* m_paper = nullptr;
    QComboBox* m_start = nullptr;
    QLineEdit* m_top = nullptr;
    QLineEdit* m_left = nullptr;
    QLabel* m_printer = nullptr;
};

// Opens the direct-mail window (or brings it forward) and appends the members ticked in
// the member list's grid: name, mobile phone, address lines and zip code.
FrmCust_DM* OpenDmWindow(Grid* memberGrid);
