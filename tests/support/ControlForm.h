#pragma once

#include <QString>
#include <QWidget>

// A plain window holding input controls one under another, for tests of one control
// on its own (its keys, focus moves and messages):
//
//     m_form = new ControlForm;
//     m_date = m_form->add<HCDate>("hdInsert");
//     QVERIFY(m_form->showActive());
class ControlForm : public QWidget {
public:
    ControlForm();

    template <class T>
    T* add(const QString& name = {}) {
        auto* w = new T(this);
        if (!name.isEmpty()) w->setObjectName(name);
        place(w);
        return w;
    }
    // Shows the window and waits until it is the active one; false when it never is.
    bool showActive();

private:
    void place(QWidget* w);
};
