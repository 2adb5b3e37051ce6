#pragma once

// "문자  전  송": the recipient window on its menu item, and the member list's SMS button
// handing its marked members to the messaging program.
void RegisterSmsCommands();
