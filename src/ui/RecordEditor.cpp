#include "ui/RecordEditor.h"
#include "db/Database.h"
#include "ui/EditorNavigation.h"
#include "ui/FloatNotice.h"
#include "core/Prompt.h"
#include "ui/RecordWindow.h"
#include "ui/WindowRegistry.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>

RecordEditor::RecordEditor(const QString& title, QWidget* parent)
    : QWidget(parent), m_title(title) {
    setWindowTitle(title);
}

void RecordEditor::setContinueBox(QAbstractButton* box) { m_continueBox = box; }

void RecordEditor::setModeCaptions(const QString& newCaption, const QString& editCaption) {
    m_newCaption = newCaption;
    m_editCaption = editCaption;
    if (m_mode == NewMode && !m_newCaption.isEmpty()) setWindowTitle(m_newCaption);
    if (m_mode == EditMode && !m_editCaption.isEmpty()) setWindowTitle(m_editCaption);
}

void RecordEditor::SetFormMode(int mode, int code) {
    m_mode = mode;
    m_code = mode == EditMode ? code : 0;
    m_loading = true;
    if (mode == EditMode) DispRec(code);
    else clearInputs();
    takeLoadedValues();
    m_loading = false;
    m_dirty = false;
    QString caption = FormModeCaption(m_title, mode);
    if (mode == NewMode && !m_newCaption.isEmpty()) caption = m_newCaption;
    if (mode == EditMode && !m_editCaption.isEmpty()) caption = m_editCaption;
    setWindowTitle(caption);
}

bool RecordEditor::RecSave() {
    if (!checkInputs()) return false;
    m_saveHandled = false;
    const int rows = writeRecord();
    if (rows <= 0) {
        if (m_saveHandled) return false; // the user chose reload or to go on editing
        // The message of a failed save, and one line naming the cause when the engine
        // gave one (another PC writing, a read-only file, a full disk).
        const QString cause = LastStatementFailed() ? DbFailureCause(LastDbErrorCode()) : QString();
        MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다.") +
                (cause.isEmpty() ? QString() : u'\n' + cause));
        return false;
    }
    if (m_mode == NewMode) m_code = LastIdentity();
    const int saved = m_code;
    m_dirty = false;
    ShowFloatNotice(QStringLiteral("자료가 저장되었습니다."), 500, 1, 0xFFFF00);
    afterSave();
    emit recordSaved(saved);
    if (m_mode == NewMode && m_continueBox && m_continueBox->isChecked()) {
        SetFormMode(NewMode, 0);
        focusFirstInput();
    } else {
        CloseWindow(this);
    }
    return true;
}

void RecordEditor::takeLoadedValues() {
    if (m_mode != EditMode || recordTable().isEmpty()) return m_changes.clear();
    m_changes.take(recordTable(), m_code, inputValues(), stampValues().keys());
}

int RecordEditor::updateChangedColumns() {
    int rows = 0;
    switch (m_changes.save(inputValues(), stampValues(), &rows, parentRows())) {
    case RecordChanges::Outcome::Unchanged: return 1;
    case RecordChanges::Outcome::Written: return rows;
    case RecordChanges::Outcome::Failed: return 0;
    case RecordChanges::Outcome::Reload:
        m_saveHandled = true;
        SetFormMode(EditMode, m_code);
        return 0;
    case RecordChanges::Outcome::KeepEditing: m_saveHandled = true; return 0;
    case RecordChanges::Outcome::Gone:
        m_saveHandled = true;
        emit recordGone();
        return 0;
    }
    return 0;
}

int RecordEditor::writeRecord() {
    if (m_mode == EditMode && !recordTable().isEmpty()) return updateChangedColumns();
    const SqlStatement st = saveStatement();
    if (st.sql.isEmpty()) return 0;
    const QList<RowRef> parents = parentRows();
    if (parents.isEmpty()) return ExecSQL(st.sql, st.params);
    Transaction t;
    if (!t.ok()) return 0;
    if (!ParentsExist(parents)) {
        m_saveHandled = true;
        emit recordGone();
        return 0;
    }
    const int rows = ExecSQL(st.sql, st.params);
    return rows > 0 && t.commit() ? rows : 0;
}

void RecordEditor::clearInputs() {
    for (auto* le : findChildren<QLineEdit*>()) {
        if (qobject_cast<QComboBox*>(le->parentWidget()) ||
            qobject_cast<QAbstractSpinBox*>(le->parentWidget()))
            continue;
        le->clear();
    }
    for (auto* te : findChildren<QTextEdit*>()) te->clear();
    for (auto* pe : findChildren<QPlainTextEdit*>()) pe->clear();
    for (auto* cb : findChildren<QComboBox*>())
        if (cb->isEditable()) cb->clearEditText();
}

void RecordEditor::focusFirstInput() {
    QWidget* w = nextInFocusChain();
    while (w && w != this) {
        if (isAncestorOf(w) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            !qobject_cast<QAbstractButton*>(w)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
        w = w->nextInFocusChain();
    }
}

void RecordEditor::markDirty() {
    // Ticking "continue" is not a change of the record.
    if (m_loading || (m_continueBox && sender() == m_continueBox)) return;
    m_dirty = true;
}

void RecordEditor::trackChanges() {
    for (auto* le : findChildren<QLineEdit*>())
        connect(le, &QLineEdit::textEdited, this, &RecordEditor::markDirty,
                Qt::UniqueConnection);
    for (auto* te : findChildren<QTextEdit*>())
        connect(te, &QTextEdit::textChanged, this, &RecordEditor::markDirty,
                Qt::UniqueConnection);
    for (auto* pe : findChildren<QPlainTextEdit*>())
        connect(pe, &QPlainTextEdit::textChanged, this, &RecordEditor::markDirty,
                Qt::UniqueConnection);
    for (auto* cb : findChildren<QComboBox*>())
        connect(cb, &QComboBox::activated, this, &RecordEditor::markDirty, Qt::UniqueConnection);
    for (auto* sb : findChildren<QSpinBox*>())
        connect(sb, &QSpinBox::valueChanged, this, &RecordEditor::markDirty,
                Qt::UniqueConnection);
    for (auto* sb : findChildren<QDoubleSpinBox*>())
        connect(sb, &QDoubleSpinBox::valueChanged, this, &RecordEditor::markDirty,
                Qt::UniqueConnection);
    for (auto* de : findChildren<QDateTimeEdit*>())
        connect(de, &QDateTimeEdit::dateTimeChanged, this, &RecordEditor::markDirty,
                Qt::UniqueConnection);
    for (auto* b : findChildren<QAbstractButton*>()) {
        if (!b->isCheckable() || b == m_continueBox) continue;
        connect(b, &QAbstractButton::clicked, this, &RecordEditor::markDirty,
                Qt::UniqueConnection);
    }
    EditorNavigation::install(this);
}

void RecordEditor::closeEvent(QCloseEvent* event) {
    if (m_dirty && m_closeQuestion != CloseQuestion::None) {
        const QString text = m_closeQuestion == CloseQuestion::Changed
                                 ? QStringLiteral("변경된 내용이 저장되지 않았습니다. 정말 닫으시겠습니까?")
                                 : QStringLiteral("수정된 내용이 저장되지 않았습니다. 그래도, 닫으시겠습니까?");
        if (!AskYesNo(text, {}, false)) {
            event->ignore();
            return;
        }
        m_dirty = false; // asked once: the frame's close that follows must not ask again
    }
    event->accept();
}

void RecordEditor::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Escape) {
        CloseWindow(this);
        return;
    }
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_F2) {
        RecSave();
        return;
    }
    QWidget::keyPressEvent(event);
}
