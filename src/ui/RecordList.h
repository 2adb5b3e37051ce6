#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class Grid;

// A list window: a grid of records with add, edit, delete, query, print and export.
// A window derived from it builds its controls and sets up the grid's columns, then
// calls setListGrid(grid, codeCol, table) (the grid's design layout is recorded there),
// and overrides what it offers: addRecord (F2), editRecord (edit button, double-click),
// query (F5), deleteGuards; F4 runs RecDelete, F7 prints, F8 exports. Editors tell the
// list to reload through refresh() (by default query()).
class RecordList : public QWidget {
    Q_OBJECT
public:
    explicit RecordList(const QString& title, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    // The list grid, the column holding the record code and the table deleted from.
    // Attaches the grid menu.
    void setListGrid(Grid* grid, int codeCol, const QString& table);
    Grid* listGrid() const;
    int codeCol() const { return m_codeCol; }

    // The active data row (0 when none) and its record code (0 when none).
    int activeDataRow() const;
    int activeCode() const;

    // The delete of the active row: no row → "삭제할 자료를 선택하세요."; guards; the
    // question "선택된 자료를 정말로 삭제 하시겠습니까?" (title "삭제", default No); the
    // DELETE; no row deleted → "코드[" + code + "]에 해당하는 자료를 삭제할 수 없습니다.";
    // otherwise the row leaves the grid and the notice "자료를 삭제하였습니다." follows.
    // True when deleted.
    bool RecDelete();
    // Edit of the active row, or "먼저 그리드에서 수정할 자료를 선택하세요.".
    void editActive();
    // Whether RecDelete shows its notice (on by default).
    void setDeleteNotice(bool on) { m_deleteNotice = on; }

public slots:
    // The key operations, also for the window's buttons.
    virtual void addRecord() {}
    virtual void query() {}
    virtual void refresh() { query(); }
    virtual void printList();
    virtual void exportList();

protected:
    virtual void editRecord(int code) { Q_UNUSED(code); }
    // Reference checks before a delete; false stops it (after the guard's own message).
    virtual bool deleteGuards(int code) {
        Q_UNUSED(code);
        return true;
    }
    // The delete itself; rows affected. Default: DELETE FROM <table> WHERE code = ?.
    virtual int deleteRecord(int code);
    // A double-click on a data row. Default: editActive().
    virtual void rowDoubleClicked(int row);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool handleKey(int key);
    void watchKeys();
    QString m_title;
    QPointer<Grid> m_grid;
    int m_codeCol = 0;
    QString m_table;
    bool m_deleteNotice = true;
};
