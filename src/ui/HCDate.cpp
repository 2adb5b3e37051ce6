#include "ui/HCDate.h"

#include "core/Clock.h"
#include "ui/HCDateBox.h"

#include <QApplication>
#include <QDate>
#include <QHBoxLayout>
#include <QPalette>
#include <QToolButton>

HCDate::HCDate(QWidget* parent) : QWidget(parent) { build(false); }

HCDate::HCDate(QWidget* parent, bool withStepper) : QWidget(parent) { build(withStepper); }

void HCDate::build(bool withStepper) {
    auto* lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(1);
    m_box = new HCDateBox(this);
    m_box->setObjectName(QStringLiteral("txtDate"));
    m_box->setMinimumWidth(m_box->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 14);
    lay->addWidget(m_box, 1);
    if (withStepper) lay->addWidget(m_box->MakeStepper(this, QString()));
    m_calendarButton = m_box->MakeCalendarButton(this, this, QStringLiteral("btnCalendar"));
    lay->addWidget(m_calendarButton);
    setFocusProxy(m_box);
    // Tab reaches the box through the proxy; a click on a button must not focus it.
    // Qt hands a proxied widget's policy on to the proxy, so the box gets its own after.
    setFocusPolicy(Qt::TabFocus);
    m_box->setFocusPolicy(Qt::StrongFocus);
    connect(m_box, &HCDateBox::Change, this, &HCDate::Change);
    connect(m_box, &HCDateBox::GotFocus, this, [this] {
        applyFocusLook(true);
        emit GotFocus();
    });
    connect(m_box, &HCDateBox::LostFocus, this, [this] {
        applyFocusLook(false);
        emit LostFocus();
    });
}

QString HCDate::Text() const { return m_box->Text(); }
void HCDate::SetText(const QString& value) { m_box->SetText(value); }
bool HCDate::AllowEmpty() const { return m_box->AllowEmpty(); }
void HCDate::SetAllowEmpty(bool on) { m_box->SetAllowEmpty(on); }
bool HCDate::AutoTab() const { return m_box->AutoTab(); }
bool HCDate::Lunar() const { return m_box->Lunar(); }
void HCDate::SetLunar(bool on) { m_box->SetLunar(on); }
void HCDate::SetAutoTab(bool on) { m_box->SetAutoTab(on); }

QColor HCDate::ForeColor() const { return m_box->palette().color(QPalette::Text); }

void HCDate::SetForeColor(const QColor& c) {
    QPalette p = m_box->palette();
    p.setColor(QPalette::Text, c);
    m_box->setPalette(p);
}

QColor HCDate::BackColor() const { return m_box->palette().color(QPalette::Base); }

void HCDate::SetBackColor(const QColor& c) {
    m_backColor = c;
    applyFocusLook(m_box->hasFocus());
}

void HCDate::applyFocusLook(bool focused) {
    QPalette p = m_box->palette();
    QColor base = m_backColor.isValid() ? m_backColor : QApplication::palette(m_box).color(QPalette::Base);
    if (focused && m_focusEffect != 0 && m_focusColor.isValid()) base = m_focusColor;
    p.setColor(QPalette::Base, base);
    m_box->setPalette(p);
}

void HCDate::ToDay() { m_box->SetText(Clock::today().toString(QStringLiteral("yyyy-MM-dd"))); }
