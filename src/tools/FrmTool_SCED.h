#pragma once

#include <QDate>
#include <QWidget>

class Grid;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;

// The month view of the logged-in user's schedules: one cell per day, weeks as rows.
// A day cell (double-click or Enter) opens the day window on that date.
class FrmTool_SCED : public QWidget {
    Q_OBJECT
public:
    explicit FrmTool_SCED(QWidget* parent = nullptr);

    // Shows month `month` of `year` and re-reads its entries.
    void showMonth(int year, int month);
    void RefreshSheet();
    int year() const { return m_year; }
    int month() const { return m_month; }
    // The date of a grid cell, invalid for a cell outside the month.
    QDate cellDate(int col, int row) const;
    QDate selectedDate() const;
    void openDay(const QDate& day);
    // "btnRecDel": every entry stored with the selected date.
    void deleteDay();
    // Clock label text for `now`: "YYYY.MM.DD(요일) 오전 HH:MM:SS".
    static QString clockText(const QDateTime& now);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void moveMonth(int step);
    void takeYearInput();
    void updateClock();

    Grid* m_grid = nullptr;
    QLineEdit* m_year_ = nullptr;
    QComboBox* m_monthBox = nullptr;
    QCheckBox* m_hide = nullptr;
    QCheckBox* m_showMsg = nullptr;
    QLabel* m_clock = nullptr;
    QTimer* m_timer = nullptr;
    QDate m_first; // first day of the shown month
    int m_year = 0;
    int m_month = 0;
    int m_lead = 0; // blank cells before the 1st in the first row
};
