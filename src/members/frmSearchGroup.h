#pragma once

#include <QDialog>

class Grid;

// The group picker: every group but the default one. Double-click or Enter takes the row's
// group, Esc closes without a choice.
class frmSearchGroup : public QDialog {
    Q_OBJECT
public:
    enum Col { ColName = 1, ColCode, ColCount };

    explicit frmSearchGroup(QWidget* parent = nullptr);

    void Refresh_Sheet();
    int rowCount() const;
    int chosenCode() const { return m_chosen; }

    // Shows the picker modally; the chosen group's code, 0 when none was chosen.
    static int pickGroup(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void takeRow(int row);

    Grid* m_grid = nullptr;
    int m_chosen = 0;
};
