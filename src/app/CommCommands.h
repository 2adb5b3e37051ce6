#pragma once

// The caller-ID menu items, the test input behind the user-name panel, the trade
// window's caller list button, and the link opened once the main window is up.
void RegisterCommCommands();

// The member list's DM button: the address-label window with the ticked members.
// RegisterCommCommands runs it too; alone it wires the labels without the caller-ID link.
void RegisterLabelCommands();
