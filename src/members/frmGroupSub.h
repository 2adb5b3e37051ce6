#pragma once

#include "ui/RecordChanges.h"

#include <QList>
#include <QWidget>

class Grid;
class HCText;
class QComboBox;
class QPushButton;
class QTextEdit;
struct GroupRecord;

// The group window: the list of groups with their dues schedule, and the inputs of the
// group being edited (or entered, when the code is empty) in the same window.
class frmGroupSub : public QWidget {
    Q_OBJECT
public:
    enum Col { ColName = 1, ColSchedule, ColAmount, ColMemo, ColCode, ColCount };

    explicit frmGroupSub(QWidget* parent = nullptr);
    ~frmGroupSub() override;

    // Prepares the window. `openedByOther`: the window closes after a save (it was opened
    // to add a group for another window).
    void SetFormMode(int mode, bool openedByOther = false);
    // Writes the group just saved into the grid: a new row or the selected row.
    void UpdateGroup();

    // The grid and inputs as they stand (tests, the funds window).
    Grid* grid() const { return m_grid; }
    void loadGroups();
    void clearInputs();
    bool RecSave();
    // Whether closing now would lose what the user typed (Escape asks first then).
    Q_INVOKABLE bool hasUnsavedInput() const;
    bool RecDelete();
    // Loads the group of grid row `row` into the inputs.
    void selectRow(int row);

signals:
    void groupSaved(int code);
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void kindChanged();
    void dayChanged();
    GroupRecord inputRecord() const;
    void showRecord(const GroupRecord& g);
    void fillRow(int row, const GroupRecord& g);

    Grid* m_grid = nullptr;
    QList<HCText*> m_fields; // htField(0) code, (1) name, (2) amount
    QComboBox* m_year = nullptr;
    QList<QComboBox*> m_months;
    QComboBox* m_day = nullptr;
    QComboBox* m_week = nullptr;
    QTextEdit* m_memo = nullptr;
    RecordChanges m_changes; // the group shown for editing
    bool m_openedByOther = false;
    int m_savedCode = 0;
    bool m_savedWasNew = false;
};
