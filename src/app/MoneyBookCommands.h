#pragma once

class frmRecord;

// Openers of the money-book windows and their main-menu items ("입출금관리" menu and the
// group funds' category list). Call once at start-up; also plugs the money book into the
// lookup picker.
void RegisterMoneyBookCommands();

frmRecord* OpenRecordWindow();
