#pragma once

#include <QComboBox>

// Drop-down list whose items carry, besides their text (List), a number (ItemData) and a
// second hidden text (List2, typically the record code). Accessors carry the names the
// windows use (ListIndex(), AddItem(), FindCODE(), ...).
class HCCombo : public QComboBox {
    Q_OBJECT
public:
    explicit HCCombo(QWidget* parent = nullptr);

    void AddItem(const QString& text, int itemData = 0, const QString& text2 = {});
    void Clear();
    // Height of the opened list, in items.
    void SetListSize(int items);

    // Index of the first item whose number equals `value`, or -1.
    int FindItemData(int value) const;
    // Index of the first item whose second text equals `code`, or -1. With `select` the
    // item found becomes the current one; nothing found leaves the selection alone.
    int FindCODE(const QString& code, bool select = false);

    QString Text() const { return currentText(); }
    // Editable lists take any text; otherwise the item with that text is selected (none:
    // no selection).
    void SetText(const QString& value);
    QString Text2() const;
    int ListIndex() const { return currentIndex(); }
    void SetListIndex(int index);
    int NewIndex() const { return m_newIndex; }
    int ListCount() const { return count(); }
    QString List(int index) const { return itemText(index); }
    int ItemData(int index) const;
    void SetItemData(int index, int value);
    QString List2(int index) const;
    void SetList2(int index, const QString& text2);

    bool AutoTab() const { return m_autoTab; }
    void SetAutoTab(bool on) { m_autoTab = on; }
    // Opens the list whenever the control gets the focus.
    bool AutoShowItem() const { return m_autoShowItem; }
    void SetAutoShowItem(bool on) { m_autoShowItem = on; }
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool on) { setEnabled(on); }

    // Roles holding the number and the second text of an item.
    static constexpr int NumberRole = Qt::UserRole + 1;
    static constexpr int Text2Role = Qt::UserRole + 2;

signals:
    void GotFocus();
    void LostFocus();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    bool m_autoTab = false;
    bool m_autoShowItem = false;
    int m_newIndex = -1;
};
