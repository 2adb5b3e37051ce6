#include "ui/RecordWindow.h"
#include "ui/FloatNotice.h"
#include "core/Prompt.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>

QString FormModeCaption(const QString& title, int mode) {
    if (mode == RecordEditor::NewMode) return title + QStringLiteral(" - 『신규등록』");
    if (mode == RecordEditor::EditMode) return title + QStringLiteral(" - 『수정』");
    return title;
}

QString InputText(const QWidget* input) {
    if (!input) return {};
    if (auto* le = qobject_cast<const QLineEdit*>(input)) return le->text();
    if (auto* cb = qobject_cast<const QComboBox*>(input)) return cb->currentText();
    if (auto* te = qobject_cast<const QTextEdit*>(input)) return te->toPlainText();
    if (auto* pe = qobject_cast<const QPlainTextEdit*>(input)) return pe->toPlainText();
    if (auto* sb = qobject_cast<const QAbstractSpinBox*>(input)) return sb->text();
    return input->property("text").toString();
}

bool CheckRequired(QWidget* input, const QString& label, bool setFocus) {
    if (!InputText(input).trimmed().isEmpty()) return true;
    if (label.isEmpty())
        MsgInfo(QStringLiteral("필수 입력사항을 입력하지 않았습니다."), QStringLiteral("필수입력"));
    else
        MsgInfo(QStringLiteral("[") + label + QStringLiteral("]은(는) 필수 입력 사항입니다."),
                QStringLiteral("필수입력"));
    if (setFocus && input) input->setFocus(Qt::OtherFocusReason);
    return false;
}

void FocusFirstInput(QWidget* window) {
    if (!window) return;
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        // Hidden inputs (a code field) cannot take the keyboard; a focus given to one
        // would leave it in the input typed last.
        if (window->isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(window) &&
            (w->focusPolicy() & Qt::TabFocus) && !qobject_cast<QAbstractButton*>(w) &&
            !qobject_cast<QAbstractItemView*>(w)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void ShowNoResultNotice() { ShowFloatNotice(QStringLiteral("검색된 결과가 없습니다."), 500, 1, 0xFFFF00); }
