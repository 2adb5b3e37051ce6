#pragma once

#include "ui/RecordList.h"

class Grid;
class HCTerm;
class QCheckBox;
class QLabel;

// Card payments of a period with fee and expected deposit ("신용카드입금확인"); each one is
// marked as deposited on a date.
class frmCardCheck : public RecordList {
    Q_OBJECT
public:
    enum Col { CSelect = 1, CDate, CName, CCompany, CAmount, CFee, CDeposit, CCheckDate, CChecked, CMemo, CCode,
               ColCount = CCode };

    explicit frmCardCheck(QWidget* parent = nullptr);

    Grid* list() const { return m_list; }
    Grid* sums() const { return m_sum; }
    HCTerm* period() const { return m_period; }
    QLabel* countLabel() const { return m_count; }
    QLabel* sumLabel() const { return m_selSum; }

    void confirmSelected();
    void cancelSelected();

public slots:
    void query() override;
    void printList() override;

private:
    void onCellChanged(int col, int row);
    bool setConfirmed(int row, bool on);
    void updateSelection();
    void recomputeSums();

    Grid* m_list = nullptr;
    Grid* m_sum = nullptr;
    HCTerm* m_period = nullptr;
    QCheckBox* m_onlyOpen = nullptr;
    QCheckBox* m_all = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_selSum = nullptr;
    bool m_busy = false;
};
