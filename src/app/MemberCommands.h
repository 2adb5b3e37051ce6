#pragma once

class QWidget;
class frmFriend;
class frmFriendAdd;
class frmGroupSub;

// Openers of the member windows and their main-menu items.

// Enables "회  원  등  록  (&F)", "그  룹  등  록  (&G)" and "회  원  관  리  (&M)" of the
// main window. Call once at start-up, before or after the frame exists.
void RegisterMemberCommands();

frmFriend* OpenFriendList();
frmFriendAdd* OpenFriendEditor(int code = 0); // 0: a new member
frmGroupSub* OpenGroupWindow();
