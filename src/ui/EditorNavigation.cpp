#include "ui/EditorNavigation.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

namespace {

const char* kWatched = "editorNavigationWatched";

bool isInput(QWidget* w) {
    if (qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) return false;
    if (qobject_cast<QPushButton*>(w)) return false;
    // Line edits inside combos and spin boxes belong to their owner.
    if (auto* le = qobject_cast<QLineEdit*>(w)) {
        QWidget* p = le->parentWidget();
        if (qobject_cast<QComboBox*>(p) || qobject_cast<QAbstractSpinBox*>(p)) return false;
        return true;
    }
    return qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
           qobject_cast<QAbstractButton*>(w);
}

// Moves the focus as Tab / Shift+Tab would from `w`, following the window's tab order.
void moveFocus(QWidget* w, bool forward) {
    QKeyEvent tab(QEvent::KeyPress, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                  forward ? Qt::NoModifier : Qt::ShiftModifier);
    QCoreApplication::sendEvent(w, &tab);
}

} // namespace

EditorNavigation::EditorNavigation(QWidget* editor) : QObject(editor) {
    setObjectName(QStringLiteral("editorNavigation"));
}

EditorNavigation* EditorNavigation::install(QWidget* editor) {
    auto* nav = editor->findChild<EditorNavigation*>(QStringLiteral("editorNavigation"),
                                                     Qt::FindDirectChildrenOnly);
    if (!nav) nav = new EditorNavigation(editor);
    for (QWidget* w : editor->findChildren<QWidget*>()) nav->watch(w);
    return nav;
}

void EditorNavigation::watch(QWidget* input) {
    if (!input || !isInput(input) || input->property(kWatched).toBool()) return;
    input->setProperty(kWatched, true);
    input->installEventFilter(this);
}

bool EditorNavigation::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return false;
    if (event->type() == QEvent::FocusIn) {
        if (auto* le = qobject_cast<QLineEdit*>(w)) {
            // After the click that gave the focus has placed the cursor.
            QPointer<QLineEdit> guard(le);
            QTimer::singleShot(0, le, [guard] {
                if (guard && guard->hasFocus()) guard->selectAll();
            });
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))
        return false;
    auto* combo = qobject_cast<QComboBox*>(w);
    if (combo && combo->view() && combo->view()->isVisible()) return false;
    // Spin boxes and drop-downs use Up/Down to change their value or choice.
    const bool spin = qobject_cast<QAbstractSpinBox*>(w) != nullptr || combo != nullptr;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        moveFocus(w, true);
        return true;
    case Qt::Key_Down:
        if (spin) return false;
        moveFocus(w, true);
        return true;
    case Qt::Key_Up:
        if (spin) return false;
        moveFocus(w, false);
        return true;
    default:
        return false;
    }
}
