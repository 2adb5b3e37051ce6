#pragma once

// Openers of the tools windows (schedules, zip codes, backup and restore, clearing data,
// network setup) and their main-menu items, the automatic backup at exit and the settings
// copy. Call once at start-up.
void RegisterToolCommands();
