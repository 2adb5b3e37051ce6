#pragma once

#include <QObject>

class QWidget;

// Keyboard movement between the inputs of an editor: Enter and Down move to the next
// input (as Tab does), Up to the previous one (as Shift+Tab); a text input that gets the
// focus selects its whole text. Multi-line text edits keep their keys, a combo box with
// its list open keeps them, spin boxes and combo boxes keep Up/Down (they change the value
// or the choice), push buttons keep Enter.
class EditorNavigation : public QObject {
    Q_OBJECT
public:
    // Installs the navigation on every input inside `editor` (call once the inputs exist;
    // calling it again adds inputs created since).
    static EditorNavigation* install(QWidget* editor);
    // Adds one input created later.
    void watch(QWidget* input);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit EditorNavigation(QWidget* editor);
};
