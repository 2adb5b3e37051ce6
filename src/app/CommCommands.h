#pragma once

// The caller-ID menu items, the test input behind the user-name panel, the trade
// window's caller list button, and the link opened once the main window is up.
void RegisterCommCommands();
