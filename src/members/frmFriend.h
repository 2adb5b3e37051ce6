#pragma once

#include "db/SqlPart.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class Grid;
class HCTerm;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class frmFriendAdd;
struct MemberSearchInput;

// The member register: the group tree, the searchable member grid and the detail panel
// of the selected member.
class frmFriend : public QWidget {
    Q_OBJECT
public:
    enum Col {
        ColGroup = 1, ColName, ColMobile, ColPhone1, ColBirth, ColAddress, ColMemo, ColCheck,
        ColIdNo, ColMail, ColHomePage, ColPhone2, ColFax, ColInsert, ColFeeStart, ColMarried,
        ColMarryDay, ColEctDay, ColRelation, ColSex, ColBlood, ColCode, ColAddr1, ColAddr2, ColZip,
        ColCount
    };
    static constexpr int BaseColumns = ColCount - 1; // 25; user-field columns follow

    explicit frmFriend(QWidget* parent = nullptr);
    ~frmFriend() override;

    // ---- refresh operations other windows call ----
    void InitSearch();
    void updateFriend2();
    void UpdateFriend();
    void SetTv();

    // ---- the window's operations ----
    void Search();
    void SetUserColumns();
    void SetGridColumns();
    void ShowMemberDetail(int code);
    void DeleteMembers();
    int GetSelectedCode() const;
    // Opens the member editor: code 0 new, otherwise on that member.
    frmFriendAdd* openEditor(int code);
    void editSelected();
    // Runs a node's pop-up menu entry by its two-digit number ("01", "02", "03").
    void runNodeCommand(QTreeWidgetItem* item, const QString& number);
    // Ticks or clears column 8 of a row as a click would.
    void setRowChecked(int row, bool checked);
    int checkedCount() const { return m_checked; }
    // Inverts the check of rows first..last (a block selected with the mouse).
    void invertChecks(int first, int last);

    Grid* grid() const { return m_grid; }
    QTreeWidget* tree() const { return m_tree; }
    QStringList userFieldNames() const { return m_userFieldNames; }

    // Openers of windows that live elsewhere; the buttons stay disabled until set.
    static void setTradeViewOpener(std::function<void(int memberCode)> opener);
    static void setSmsOpener(std::function<void(Grid* grid)> opener);
    static void setDmOpener(std::function<void(Grid* grid)> opener);
    // The group picker used to move members (tests replace it); returns 0 for none.
    static void setGroupPicker(std::function<int()> picker);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool handleKey(int key);
    void buildUi();
    void menuChanged();
    MemberSearchInput searchInput() const;
    void loadGroupMembers(QTreeWidgetItem* groupItem);
    void nodeClicked(QTreeWidgetItem* item);
    void nodeRenamed(QTreeWidgetItem* item);
    void nodeMenu(const QPoint& pos);
    QTreeWidgetItem* groupNode(int groupCode) const;
    void rowDoubleClicked(int row);
    void checkChanged(int row);
    void selectAllChanged(bool on);
    void clearDetail();
    // The detail panel shows the active row's member, or nothing.
    void showActiveDetail();
    int pickGroup();

    QTreeWidget* m_tree = nullptr;
    Grid* m_grid = nullptr;
    QComboBox* m_date = nullptr;
    HCTerm* m_period = nullptr;
    QComboBox* m_menu = nullptr;
    QLineEdit* m_text = nullptr;
    QComboBox* m_data = nullptr;
    QCheckBox* m_hidden = nullptr;
    QCheckBox* m_selectAll = nullptr;
    QLabel* m_count = nullptr;
    QList<QLabel*> m_detail;
    QList<QLabel*> m_points;
    QList<int> m_lineWidths; // widths of the detail and point labels' texts (-1: narrower than the longest)
    int m_longestLine = -1;  // the widest of them when the panel was last sized
    QWidget* m_top = nullptr;
    QWidget* m_panel = nullptr;
    QPushButton* m_trade = nullptr;
    QPushButton* m_sms = nullptr;
    QPushButton* m_dm = nullptr;
    QStringList m_userFieldNames;
    SqlPart m_countSql; // counts what the list shows (tick all)
    int m_checked = 0;
    bool m_loadingTree = false;
    bool m_bulk = false;
};
