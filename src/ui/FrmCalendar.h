#pragma once

#include <QDialog>

class QCalendarWidget;
class QDate;

// Month calendar window of the date inputs. Clicking a day or pressing Enter on it picks
// that date ("YYYY-MM-DD", signal Picked, Text afterwards) and closes the window; Esc
// closes it without a change. Opened as a drop-down (ShowBelow) or with exec().
class FrmCalendar : public QDialog {
    Q_OBJECT
public:
    explicit FrmCalendar(QWidget* parent = nullptr);

    // The date shown (empty or invalid: today) and, after a pick, the picked date.
    QString Text() const { return m_text; }
    void SetText(const QString& date);
    // Shows the window as a drop-down under `anchor`, kept on the anchor's screen.
    void ShowBelow(QWidget* anchor);
    QCalendarWidget* MonthView() const { return m_view; }

signals:
    void Picked(const QString& date);

private:
    void pick(const QDate& d);

    QCalendarWidget* m_view = nullptr;
    QString m_text;
};
