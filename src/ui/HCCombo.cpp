#include "ui/HCCombo.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

HCCombo::HCCombo(QWidget* parent) : QComboBox(parent) {
    setInsertPolicy(QComboBox::NoInsert);
}

void HCCombo::AddItem(const QString& text, int itemData, const QString& text2) {
    addItem(text);
    m_newIndex = count() - 1;
    setItemData(m_newIndex, itemData, NumberRole);
    setItemData(m_newIndex, text2, Text2Role);
}

void HCCombo::Clear() {
    clear();
    m_newIndex = -1;
}

void HCCombo::SetListSize(int items) { setMaxVisibleItems(qMax(1, items)); }

int HCCombo::FindItemData(int value) const {
    for (int i = 0; i < count(); ++i)
        if (ItemData(i) == value) return i;
    return -1;
}

int HCCombo::FindCODE(const QString& code, bool select) {
    for (int i = 0; i < count(); ++i) {
        if (List2(i) == code) {
            if (select) setCurrentIndex(i);
            return i;
        }
    }
    return -1;
}

void HCCombo::SetText(const QString& value) {
    if (isEditable()) {
        const int i = findText(value, Qt::MatchExactly);
        if (i >= 0) setCurrentIndex(i);
        setEditText(value);
        return;
    }
    setCurrentIndex(findText(value, Qt::MatchExactly));
}

QString HCCombo::Text2() const { return List2(currentIndex()); }

void HCCombo::SetListIndex(int index) { setCurrentIndex(index >= 0 && index < count() ? index : -1); }

int HCCombo::ItemData(int index) const {
    if (index < 0 || index >= count()) return 0;
    return itemData(index, NumberRole).toInt();
}

void HCCombo::SetItemData(int index, int value) {
    if (index >= 0 && index < count()) setItemData(index, value, NumberRole);
}

QString HCCombo::List2(int index) const {
    if (index < 0 || index >= count()) return {};
    return itemData(index, Text2Role).toString();
}

void HCCombo::SetList2(int index, const QString& text2) {
    if (index >= 0 && index < count()) setItemData(index, text2, Text2Role);
}

void HCCombo::keyPressEvent(QKeyEvent* e) {
    const bool plain = !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
    if (m_autoTab && plain) {
        switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Right:
            focusNextChild();
            e->accept();
            return;
        case Qt::Key_Left:
            focusPreviousChild();
            e->accept();
            return;
        default:
            break;
        }
    }
    QComboBox::keyPressEvent(e);
}

void HCCombo::focusInEvent(QFocusEvent* e) {
    QComboBox::focusInEvent(e);
    if (isEditable() && lineEdit()) lineEdit()->selectAll();
    emit GotFocus();
    // Opened once the focus change is complete, so the list does not steal it halfway.
    if (m_autoShowItem && e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason)
        QTimer::singleShot(0, this, [this] {
            if (hasFocus() && isEnabled() && count() > 0) showPopup();
        });
}

void HCCombo::focusOutEvent(QFocusEvent* e) {
    QComboBox::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason) emit LostFocus();
}
