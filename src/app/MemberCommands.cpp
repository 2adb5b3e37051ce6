#include "app/MemberCommands.h"

#include "app/MainCommands.h"
#include "members/frmFriend.h"
#include "members/frmFriendAdd.h"
#include "members/FrmTool_ImpData.h"
#include "members/frmAffairs.h"
#include "members/frmGroupSub.h"
#include "ui/RecordWindow.h"

frmFriend* OpenFriendList()
{
    return OpenChild<frmFriend>(QStringLiteral("frmFriend"));
}

frmFriendAdd* OpenFriendEditor(int code)
{
    if (auto* list = dynamic_cast<frmFriend*>(WindowRegistry::find(QStringLiteral("frmFriend"))))
        return list->openEditor(code);
    auto* editor = ChildWindow<frmFriendAdd>(QStringLiteral("frmFriendAdd"));
    editor->SetFormMode(code > 0 ? 2 : 1, code);
    FormFocus(editor);
    return editor;
}

frmGroupSub* OpenGroupWindow()
{
    auto* w = ChildWindow<frmGroupSub>(QStringLiteral("frmGroupSub"));
    w->SetFormMode(1, false);
    FormFocus(w);
    return w;
}

void RegisterMemberCommands()
{
    RegisterMemberPicker();
    MainCommands::add(QStringLiteral("mnuFriend_FriendSub"), [](frmMain*) { OpenFriendEditor(0); });
    MainCommands::add(QStringLiteral("mnuFriend_Group"), [](frmMain*) { OpenGroupWindow(); });
    MainCommands::add(QStringLiteral("mnuFriend_Friend"), [](frmMain*) { OpenFriendList(); });
    MainCommands::add(QStringLiteral("mnuETCRoot_Exel"),
                      [](frmMain*) { OpenChild<FrmTool_ImpData>(QStringLiteral("FrmTool_ImpData")); });
    MainCommands::add(QStringLiteral("mnuAffairs_Money"), [](frmMain*) { OpenChild<frmAffairs>(QStringLiteral("frmAffairs")); });
}
