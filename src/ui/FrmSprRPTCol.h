#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class Grid;
class QCheckBox;
class QListWidget;
class QListWidgetItem;

// Report columns of a grid: the visible columns by header text, each with a check box;
// "저장(&S)" writes the choice to the window's layout file ([<grid>_RPTCOL]). Printing
// then leaves out the unticked columns (SetSpreadRPTCol).
class FrmSprRPTCol : public QWidget {
    Q_OBJECT
public:
    // Opens the window for `grid` of the window named `windowName`.
    static FrmSprRPTCol* open(Grid* grid, const QString& windowName);

    bool save();
    // Ticks (true) or clears every column.
    void setAllChecked(bool checked);
    bool isDirty() const { return m_dirty; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    FrmSprRPTCol(Grid* grid, const QString& windowName);
    void fill();
    QPointer<Grid> m_grid;
    QString m_windowName;
    QListWidget* m_list = nullptr;
    QCheckBox* m_chkAll = nullptr;
    bool m_dirty = false;
    bool m_filling = false;
};
