#pragma once

#include <QColor>
#include <QLineEdit>

// One-line text input that filters typed keys and formats its value by an input kind
// (AcceptType): 0 any text, 1 number, 2 letters only, 3 telephone number, 4 time
// "HH:MM", 5 ten digits shown "000-000-0000". Property accessors carry the names the
// editors use (AcceptType(), SetAcceptType(), ...).
class HCText : public QLineEdit {
    Q_OBJECT
public:
    enum Kind { AnyText = 0, Number = 1, Letters = 2, Telephone = 3, Time = 4, Dashed10 = 5 };

    explicit HCText(QWidget* parent = nullptr);

    QString Text() const { return text(); }
    void SetText(const QString& value) { setText(value); }

    int AcceptType() const { return m_acceptType; }
    void SetAcceptType(int kind);
    int ConvertCase() const { return m_convertCase; }
    void SetConvertCase(int mode) { m_convertCase = mode; }
    bool ShowSeparate() const { return m_showSeparate; }
    void SetShowSeparate(bool on);
    int DecPlace() const { return m_decPlace; }
    void SetDecPlace(int places);
    // Maximum length in bytes (a character beyond U+007F counts 2); 0 = no limit.
    int MaxLength() const { return m_maxBytes; }
    void SetMaxLength(int bytes) { m_maxBytes = bytes < 0 ? 0 : bytes; }
    bool Locked() const { return isReadOnly(); }
    void SetLocked(bool on) { setReadOnly(on); }
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool on) { setEnabled(on); }
    bool AutoTab() const { return m_autoTab; }
    void SetAutoTab(bool on) { m_autoTab = on; }
    // 0 no control, 1/9/10 Korean typing, 2/3/8 Latin typing only.
    int IMEMode() const { return m_imeMode; }
    void SetIMEMode(int mode);
    QString PasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(const QString& mask);
    // Set when the user changed the value; the editors read and reset it.
    int bChanged() const { return m_changed; }
    void SetbChanged(int value) { m_changed = value; }

    // Look of the focused control: FocusEffect != 0 colours the background with
    // FocusEffectParam (an RGB value) while the control has the focus.
    int FocusEffect() const { return m_focusEffect; }
    void SetFocusEffect(int effect) { m_focusEffect = effect; }
    QColor FocusEffectParam() const { return m_focusColor; }
    void SetFocusEffectParam(const QColor& c) { m_focusColor = c; }
    QColor BackColor() const;
    void SetBackColor(const QColor& c);
    QColor ForeColor() const;
    void SetForeColor(const QColor& c);

    // The lose-focus formatting of the current text (also run when the focus leaves).
    void FormatNow();

signals:
    // Raised for every typed character (Enter 13, Backspace 8) before it is filtered.
    // Set keyAscii to 0 to cancel the key, or to another character code to change it.
    void KeyPress(int& keyAscii);
    // Raised for every key before anything else; set keyCode to 0 to swallow the key.
    void KeyDown(int& keyCode, Qt::KeyboardModifiers shift);
    void Change();
    void GotFocus();
    void LostFocus();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    // The filtered character, or 0 when dropped. Raises KeyPress first.
    int filterChar(int keyAscii, bool& beep);
    // Inserts text from outside (paste, drop, selection) through the same filter as keys.
    void insertFiltered(const QString& text);
    void onTextChanged();
    void onTextEdited();
    void applyLook(bool focused);
    void applyInputHints();

    int m_acceptType = AnyText;
    int m_convertCase = 0;
    bool m_showSeparate = false;
    int m_decPlace = 0;
    int m_maxBytes = 0;
    bool m_autoTab = false;
    int m_imeMode = 0;
    QString m_passwordChar;
    int m_changed = 0;
    int m_focusEffect = 1;
    QColor m_focusColor = QColor(255, 255, 210);
    QColor m_backColor;
    bool m_reformatting = false;
};
