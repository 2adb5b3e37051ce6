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
    m_shown.clear();
    m_loaded.clear();
    if (m_mode != EditMode || recordTable().isEmpty()) return;
    m_shown = inputValues();
    QStringList columns = m_shown.keys();
    const QVariantHash stamp = stampValues();
    for (auto it = stamp.cbegin(); it != stamp.cend(); ++it)
        if (!columns.contains(it.key())) columns << it.key();
    columns.sort();
    if (const auto row = ReadRecord(recordTable(), m_code, columns)) m_loaded = *row;
}

int RecordEditor::updateChangedColumns() {
    const QVariantHash now = inputValues();
    QVariantHash changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (!m_shown.contains(it.key()) || m_shown.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    if (changed.isEmpty()) return 1;
    const QStringList columns = m_loaded.keys();
    for (;;) {
        // Compared outside any transaction, so that no lock is held while the user thinks.
        const auto stored = ReadRecord(recordTable(), m_code, columns);
        if (!stored) return 0;
        if (stored->isEmpty()) {
            m_saveHandled = true;
            MsgInfo(QStringLiteral("다른 컴퓨터에서 이 자료를 삭제하여 저장할 수 없습니다."));
            return 0;
        }
        if (*stored != m_loaded) {
            const Prompt::Answer a = AskYesNoCancel(
                QStringLiteral("이 자료를 불러온 뒤 다른 컴퓨터에서 자료가 수정되었습니다.") +
                    QStringLiteral("\n\n") + QStringLiteral("예: 내가 고친 항목만 덮어씁니다.") +
                    QStringLiteral("\n") +
                    QStringLiteral("아니오: 저장하지 않고 수정된 자료를 다시 불러옵니다.") +
                    QStringLiteral("\n") + QStringLiteral("취소: 저장하지 않고 계속 편집합니다."),
                QStringLiteral("다른 곳에서 수정됨"), Prompt::Answer::Cancel);
            if (a == Prompt::Answer::Yes) {
                m_loaded = *stored; // the other change is seen; only ours is written over it
                continue;
            }
            m_saveHandled = true;
            if (a == Prompt::Answer::No) SetFormMode(EditMode, m_code);
            return 0;
        }
        // Checked again under the write lock, so no change slips in between.
        Transaction t;
        if (!t.ok()) return 0; // another PC kept the write lock; the cause is named
        const auto locked = ReadRecord(recordTable(), m_code, columns);
        if (!locked) return 0;
        if (*locked != m_loaded) continue;
        QVariantHash write = changed;
        const QVariantHash stamp = stampValues();
        for (auto it = stamp.cbegin(); it != stamp.cend(); ++it)
            write.insert(it.key(), it.value());
        const int rows = UpdateRecord(recordTable(), m_code, write);
        if (rows <= 0 || !t.commit()) return 0;
        if (const auto saved = ReadRecord(recordTable(), m_code, columns)) m_loaded = *saved;
        m_shown = now;
        return rows;
    }
}

int RecordEditor::writeRecord() {
    if (m_mode == EditMode && !recordTable().isEmpty()) return updateChangedColumns();
    const SqlStatement st = saveStatement();
    if (st.sql.isEmpty()) return 0;
    return ExecSQL(st.sql, st.params);
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
