#pragma once

#include "ui/RecordList.h"

#include <optional>

class Grid;
class QRadioButton;
struct PickRow;

// Card companies with their fee rate ("신용카드등록"). In pick mode the grid is read-only and
// a row is chosen; in edit mode cells are saved as they are left and the empty last row
// takes a new company.
class frmCardInfo : public RecordList {
    Q_OBJECT
public:
    enum Col { ColName = 1, ColFee, ColMemo, ColCode, ColCount = ColCode };

    explicit frmCardInfo(QWidget* parent = nullptr);

    void Refresh_Sheet();
    void setPickMode(bool pick);
    bool pickMode() const;
    Grid* grid() const { return m_grid; }
    std::optional<PickRow> chosen() const;

    // Shows the list modally in pick mode; the chosen company or nullopt.
    static std::optional<PickRow> pick();

public slots:
    void query() override { Refresh_Sheet(); }

signals:
    void picked();

protected:
    bool deleteGuards(int code) override;
    void rowDoubleClicked(int row) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onLeaveCell(int col, int row, bool* cancel);
    void pickRow(int row);

    Grid* m_grid = nullptr;
    QRadioButton* m_pick = nullptr;
    QRadioButton* m_edit = nullptr;
    int m_changedCol = 0, m_changedRow = 0;
    QString m_oldText;
    int m_chosenCode = 0;
    QString m_chosenName;
};
