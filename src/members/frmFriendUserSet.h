#pragma once

#include <QHash>
#include <QWidget>

class Grid;

// The pick list of one user field (cmbUser(k) of the member editor): one value per row,
// saved as soon as a changed cell is committed; the last row is always empty for a new
// value.
class frmFriendUserSet : public QWidget {
    Q_OBJECT
public:
    enum Col { ColValue = 1, ColCode, ColCount };

    explicit frmFriendUserSet(QWidget* parent = nullptr);

    void SetFormMode(int k);
    void Refresh_Sheet();
    bool RecDelete();
    Grid* grid() const { return m_grid; }

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void saveCell(int col, int row);
    void ensureEmptyLastRow();

    Grid* m_grid = nullptr;
    int m_k = 0;
    bool m_filling = false;
    QHash<int, QString> m_shown; // value code -> the text the list loaded or last saved
};
