#pragma once

#include <QObject>

// Tells every interested window that a member was saved in the member editor, whichever
// window opened the editor.
class MemberEvents : public QObject {
    Q_OBJECT
public:
    static MemberEvents* instance();

signals:
    void memberSaved(int code);

private:
    MemberEvents() = default;
};
