#pragma once

#include "ui/PickOrAdd.h"
#include "ui/RecordList.h"

#include <optional>

class Grid;
class HCText;
class QRadioButton;
class QPushButton;
class frmItemSub;

// The categories of income and expense of `table` (tblitem: money book, tblaffairsnote:
// group funds). As a list window it adds, edits and deletes them; in picker mode (title
// "항목선택") it hands the chosen row back through m_sItemBigo and m_lItemCode.
class frmItem : public RecordList {
    Q_OBJECT
public:
    QSize sizeHint() const override { return {460, 520}; }
    enum Col { ColText = 1, ColClass, ColCode, ColCount };

    explicit frmItem(const QString& table = QStringLiteral("tblitem"), QWidget* parent = nullptr);

    QString table() const { return m_table; }
    // 0 "수입(&i)", 1 "지출(&O)", 2 "전체(&A)".
    void setClassOption(int option);
    int classOption() const;
    void setSearchText(const QString& text);
    void setPickMode(bool on);
    Grid* grid() const { return m_grid; }
    int rowCount() const;

    void UpdateItem() { query(); }

    // What the picker hands back.
    QString m_sItemBigo;
    int m_lItemCode = 0;

    // Shows the list modally as a picker; the chosen row or nullopt.
    static std::optional<PickRow> pickModal(const QString& table, const QString& text, int option);

public slots:
    void addRecord() override;
    void query() override;

signals:
    void closed();

protected:
    void editRecord(int code) override;
    void rowDoubleClicked(int row) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void pickActive();
    frmItemSub* editor();

    QString m_table;
    Grid* m_grid = nullptr;
    HCText* m_search = nullptr;
    QRadioButton* m_options[3] = {};
    QPushButton* m_sel = nullptr;
    bool m_pickMode = false;
};

// The picker of a category by typed text (kinds "tblitem" and "tblaffairsnote"):
// `itemClass` "1" income, "2" expense, "" any.
QString PickItem(const QString& table, const QString& text, const QString& itemClass);
