#include "ui/HCTerm.h"

#include "core/Clock.h"
#include "ui/FrmEasyDate.h"
#include "ui/HCDateBox.h"

#include <QApplication>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QToolButton>

namespace {
QString isoDate(const QDate& d) { return d.toString(QStringLiteral("yyyy-MM-dd")); }
} // namespace

HCTerm::HCTerm(QWidget* parent) : QWidget(parent) {
    auto* lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(1);
    m_box1 = new HCDateBox(this);
    m_box1->setObjectName(QStringLiteral("txtDate1"));
    m_box2 = new HCDateBox(this);
    m_box2->setObjectName(QStringLiteral("txtDate2"));
    int i = 1;
    for (HCDateBox* b : {m_box1, m_box2}) {
        const QString n = QString::number(i++);
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 14);
        lay->addWidget(b, 1);
        lay->addWidget(b->MakeStepper(this, n));
        lay->addWidget(b->MakeCalendarButton(this, b, QStringLiteral("btnCalendar") + n));
        if (b == m_box1) lay->addWidget(new QLabel(QStringLiteral("~"), this));
        connect(b, &HCDateBox::Change, this, &HCTerm::Change);
        connect(b, &HCDateBox::GotFocus, this, [this, b] {
            applyFocusLook(b, true);
            emit GotFocus();
        });
        connect(b, &HCDateBox::LostFocus, this, [this, b] {
            applyFocusLook(b, false);
            emit LostFocus();
        });
    }
    m_easyButton = new QToolButton(this);
    m_easyButton->setObjectName(QStringLiteral("btnEasyDate"));
    m_easyButton->setText(QStringLiteral("기간"));
    m_easyButton->setToolTip(QStringLiteral("기간 간편설정"));
    m_easyButton->setFocusPolicy(Qt::NoFocus);
    connect(m_easyButton, &QToolButton::clicked, this, &HCTerm::OpenEasyDate);
    lay->addWidget(m_easyButton);
    setFocusProxy(m_box1);
    // Tab reaches the box through the proxy; a click on a button must not focus it.
    // Qt hands a proxied widget's policy on to the proxy, so the boxes get theirs after.
    setFocusPolicy(Qt::TabFocus);
    m_box1->setFocusPolicy(Qt::StrongFocus);
    m_box2->setFocusPolicy(Qt::StrongFocus);
}

QString HCTerm::Text1() const { return m_box1->Text(); }
QString HCTerm::Text2() const { return m_box2->Text(); }
void HCTerm::SetText1(const QString& value) { m_box1->SetText(value); }
void HCTerm::SetText2(const QString& value) { m_box2->SetText(value); }
bool HCTerm::AllowEmpty() const { return m_box1->AllowEmpty(); }

void HCTerm::SetAllowEmpty(bool on) {
    m_box1->SetAllowEmpty(on);
    m_box2->SetAllowEmpty(on);
}

bool HCTerm::AutoTab() const { return m_box1->AutoTab(); }

void HCTerm::SetAutoTab(bool on) {
    m_box1->SetAutoTab(on);
    m_box2->SetAutoTab(on);
}

QColor HCTerm::ForeColor() const { return m_box1->palette().color(QPalette::Text); }

void HCTerm::SetForeColor(const QColor& c) {
    for (HCDateBox* b : {m_box1, m_box2}) {
        QPalette p = b->palette();
        p.setColor(QPalette::Text, c);
        b->setPalette(p);
    }
}

QColor HCTerm::BackColor() const { return m_box1->palette().color(QPalette::Base); }

void HCTerm::SetBackColor(const QColor& c) {
    m_backColor = c;
    applyFocusLook(m_box1, m_box1->hasFocus());
    applyFocusLook(m_box2, m_box2->hasFocus());
}

void HCTerm::applyFocusLook(HCDateBox* box, bool focused) {
    QPalette p = box->palette();
    QColor base = m_backColor.isValid() ? m_backColor : QApplication::palette(box).color(QPalette::Base);
    if (focused && m_focusEffect != 0 && m_focusColor.isValid()) base = m_focusColor;
    p.setColor(QPalette::Base, base);
    box->setPalette(p);
}

void HCTerm::ToDay() {
    const QString t = isoDate(Clock::today());
    m_box1->SetText(t);
    m_box2->SetText(t);
}

void HCTerm::ThisMonth() {
    const QDate t = Clock::today();
    m_box1->SetText(isoDate(QDate(t.year(), t.month(), 1)));
    m_box2->SetText(isoDate(t));
}

void HCTerm::ThisYear() {
    const QDate t = Clock::today();
    m_box1->SetText(isoDate(QDate(t.year(), 1, 1)));
    m_box2->SetText(isoDate(t));
}

FrmEasyDate* HCTerm::EasyDate() const { return m_easyDate; }

void HCTerm::OpenEasyDate() {
    if (m_easyDate) {
        m_easyDate->raise();
        m_easyDate->activateWindow();
        return;
    }
    auto* dlg = new FrmEasyDate(this);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->SetText1(Text1());
    dlg->SetText2(Text2());
    m_easyDate = dlg;
    connect(dlg, &QDialog::accepted, this, [this, dlg] {
        SetText1(dlg->Text1());
        SetText2(dlg->Text2());
    });
    connect(dlg, &QObject::destroyed, this, [this] { m_easyDate = nullptr; });
    connect(dlg, &QDialog::finished, this, [this] { m_box1->setFocus(); });

    dlg->adjustSize();
    const QSize sz = dlg->size();
    const QPoint topLeft = mapToGlobal(QPoint(0, 0));
    const bool right = m_easyDateShowPos == 1 || m_easyDateShowPos == 3;
    const bool above = m_easyDateShowPos == 2 || m_easyDateShowPos == 3;
    QPoint pos(right ? topLeft.x() + width() - sz.width() : topLeft.x(),
               above ? topLeft.y() - sz.height() : topLeft.y() + height());
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        pos.setX(qBound(area.left(), pos.x(), qMax(area.left(), area.right() - sz.width())));
        pos.setY(qBound(area.top(), pos.y(), qMax(area.top(), area.bottom() - sz.height())));
    }
    dlg->move(pos);
    dlg->open();
}
