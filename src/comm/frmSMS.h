#pragma once

#include <QWidget>

class Grid;
class HCTerm;
class HCText;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
struct SmsSearchInput;

// "문자전송": chooses recipients among the members by filters and hands the marked ones
// to the messaging program.
class frmSMS : public QWidget {
    Q_OBJECT
public:
    enum Col { ColSelect = 1, ColName, ColPhone, ColRemark, ColAddress, ColMemo, ColCount };

    explicit frmSMS(QWidget* parent = nullptr);

    // Runs the recipient search with the current filters and fills the grid.
    void Search();
    Grid* grid() const { return m_grid; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    void menuChanged();
    void sectionChanged();
    SmsSearchInput searchInput() const;
    // For the unpaid-dues search: false when it should not run (no group chosen, no dues
    // settings, a month without dues, or the user stopped before the due day).
    bool duesSearchAllowed(const SmsSearchInput& in);
    void selectAll(bool on);
    // Empties the list and sets the remark heading of the current search.
    void clearList();
    void updateCount();

    Grid* m_grid = nullptr;
    QButtonGroup* m_marry = nullptr;
    QButtonGroup* m_sex = nullptr;
    QButtonGroup* m_section = nullptr;
    QComboBox* m_date = nullptr;
    HCTerm* m_period = nullptr;
    QComboBox* m_menu = nullptr;
    HCText* m_field = nullptr;
    QComboBox* m_data = nullptr;
    QComboBox* m_year = nullptr;
    QComboBox* m_month = nullptr;
    QCheckBox* m_all = nullptr;
    QLabel* m_count = nullptr;
    bool m_filling = false;
    int m_checked = 0; // marked rows
    int m_shownSection = 0; // the search kind (opSection) of the rows shown
};
