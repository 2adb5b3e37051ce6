#pragma once

#include "ui/RecordChanges.h"

#include <QPointer>
#include <QString>
#include <QVariantHash>
#include <QVariantList>
#include <QWidget>

class QAbstractButton;

// One SQL statement with its bound values ("?" placeholders).
struct SqlStatement {
    QString sql;
    QVariantList params;
};

// An editor window showing one record in new or edit mode. A window derived from it
// builds its inputs, calls trackChanges() once they exist, and supplies DispRec (record →
// inputs), checkInputs (required and uniqueness checks with their messages) and
// saveStatement (INSERT in new mode, UPDATE ... WHERE code = ? in edit mode). RecSave runs
// the common save order; openers connect to recordSaved to refresh their lists.
class RecordEditor : public QWidget {
    Q_OBJECT
public:
    enum Mode { NoMode = 0, NewMode = 1, EditMode = 2 };
    enum class CloseQuestion {
        None,
        Changed,  // "변경된 내용이 저장되지 않았습니다. 정말 닫으시겠습니까?"
        Modified, // "수정된 내용이 저장되지 않았습니다. 그래도, 닫으시겠습니까?"
    };

    explicit RecordEditor(const QString& title, QWidget* parent = nullptr);

    // Mode 1: empties the inputs; mode 2: reads record `code` (DispRec). Sets the caption.
    void SetFormMode(int mode, int code = 0);
    int mode() const { return m_mode; }
    int code() const { return m_code; }
    QString title() const { return m_title; }
    // Captions for windows that write them differently (e.g. "항목등록 -『신규등록』").
    void setModeCaptions(const QString& newCaption, const QString& editCaption);

    // The save: checkInputs → statement → 0 rows: "수정된 내용이 없거나, 자료저장을
    // 실패하였습니다." and the window stays as it is; otherwise the new code (new mode), the
    // notice "자료가 저장되었습니다.", recordSaved, then the window closes, or clears for
    // the next record in new mode when the continue box is ticked. True when saved.
    bool RecSave();

    // The "continue" box (e.g. chkCun "계속 등록하기(&N)").
    void setContinueBox(QAbstractButton* box);
    void setCloseQuestion(CloseQuestion question) { m_closeQuestion = question; }

    // Watches every input for user changes and installs Enter/Up/Down navigation.
    void trackChanges();
    bool isDirty() const { return m_dirty; }
    void setDirty(bool dirty) { m_dirty = dirty; }

signals:
    // After a successful save, with the record's code.
    void recordSaved(int code);
    // After a save refused because the record or a row it refers to (parentRows) was
    // deleted elsewhere; the message was shown. Openers reload their lists.
    void recordGone();

protected:
    // Reads record `code` into the inputs (edit mode).
    virtual void DispRec(int code) = 0;
    // Empties the inputs (new mode, next record). Default: line edits, text edits, the
    // edit text of editable combos.
    virtual void clearInputs();
    // Required inputs and uniqueness, each failure with its own message. True to go on.
    virtual bool checkInputs() { return true; }
    // The INSERT (new mode) or UPDATE (edit mode).
    virtual SqlStatement saveStatement() = 0;
    // Runs the save; rows affected. Override for saves of more than one statement.
    virtual int writeRecord();
    // After a successful save, before the window closes or clears.
    virtual void afterSave() {}
    // Where the focus goes for a new record. Default: the first input in tab order.
    virtual void focusFirstInput();

    // Edit-mode saves of changed columns only. An editor that names its table and gives
    // the values its inputs stand for (column → value, as stored) gets the common update:
    // the values are taken when the record is shown; a save writes only the columns whose
    // input changed since (plus stampValues()), so a stored value an input cannot show is
    // never rewritten. When another PC changed the row since it was loaded, the user is
    // asked to overwrite (only his own changes are written), reload, or go on editing.
    virtual QString recordTable() const { return {}; }
    virtual QVariantHash inputValues() const { return {}; }
    virtual QVariantHash stampValues() const { return {}; }
    // Rows the record refers to (its trade, a picked service). Every save checks inside its
    // transaction that they still exist and otherwise writes nothing and says so.
    virtual QList<RowRef> parentRows() const { return {}; }
    // The edit-mode update above; rows written. With no changed column nothing is written
    // and 1 is returned (the save succeeds without touching the row). 0 after a failure,
    // or when the user chose reload or to go on editing (then no further message).
    int updateChangedColumns();

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void markDirty();
    void takeLoadedValues();
    QString m_title;
    RecordChanges m_changes;
    bool m_saveHandled = false;
    QString m_newCaption;
    QString m_editCaption;
    int m_mode = NoMode;
    int m_code = 0;
    bool m_dirty = false;
    bool m_loading = false;
    CloseQuestion m_closeQuestion = CloseQuestion::None;
    QPointer<QAbstractButton> m_continueBox;
};
