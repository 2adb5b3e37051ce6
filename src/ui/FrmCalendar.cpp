#include "ui/FrmCalendar.h"

#include "core/Clock.h"
#include "calendar/DateText.h"

#include <QCalendarWidget>
#include <QDate>
#include <QGuiApplication>
#include <QScreen>
#include <QTextCharFormat>
#include <QVBoxLayout>

FrmCalendar::FrmCalendar(QWidget* parent) : QDialog(parent, Qt::Popup) {
    setObjectName(QStringLiteral("FrmCalendar"));
    setWindowTitle(QStringLiteral("달력"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(1, 1, 1, 1);
    m_view = new QCalendarWidget(this);
    m_view->setObjectName(QStringLiteral("MonthView1"));
    m_view->setLocale(QLocale(QLocale::Korean, QLocale::SouthKorea));
    m_view->setFirstDayOfWeek(Qt::Sunday);
    m_view->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_view->setGridVisible(true);
    QTextCharFormat sunday;
    sunday.setForeground(Qt::red);
    m_view->setWeekdayTextFormat(Qt::Sunday, sunday);
    QTextCharFormat saturday;
    saturday.setForeground(Qt::blue);
    m_view->setWeekdayTextFormat(Qt::Saturday, saturday);
    QTextCharFormat today;
    today.setFontWeight(QFont::Bold);
    today.setFontUnderline(true);
    m_view->setDateTextFormat(Clock::today(), today);
    lay->addWidget(m_view);
    // clicked: a day under the mouse; activated: Enter (or a double click) on a day.
    connect(m_view, &QCalendarWidget::clicked, this, &FrmCalendar::pick);
    connect(m_view, &QCalendarWidget::activated, this, &FrmCalendar::pick);
    SetText(QString());
}

void FrmCalendar::SetText(const QString& date) {
    QDate d = DateFromText(date);
    if (!d.isValid()) d = Clock::today();
    m_text = date;
    m_view->setSelectedDate(d);
    m_view->setCurrentPage(d.year(), d.month());
}

void FrmCalendar::pick(const QDate& d) {
    if (!d.isValid()) return;
    m_text = d.toString(QStringLiteral("yyyy-MM-dd"));
    emit Picked(m_text);
    accept();
}

void FrmCalendar::ShowBelow(QWidget* anchor) {
    adjustSize();
    if (anchor) {
        QPoint pos = anchor->mapToGlobal(QPoint(0, anchor->height()));
        if (const QScreen* screen = anchor->screen()) {
            const QRect area = screen->availableGeometry();
            if (pos.y() + height() > area.bottom()) pos.setY(anchor->mapToGlobal(QPoint(0, 0)).y() - height());
            pos.setX(qBound(area.left(), pos.x(), qMax(area.left(), area.right() - width())));
            pos.setY(qMax(area.top(), pos.y()));
        }
        move(pos);
    }
    show();
    m_view->setFocus();
}
