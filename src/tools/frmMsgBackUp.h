#pragma once

// The question asked when the program closes: back up and close, close without a backup,
// or stay. It goes through the prompt service as a Yes/No/Cancel question titled
// "데이터 백업" (Yes backs up, No closes without a backup, Cancel or the window's close
// button keeps the program open), so tests answer it like every other question.
class frmMsgBackUp {
public:
    enum Choice { BackupAndClose = 0, CloseOnly = 1, Stay = 2, Closed = 3 };

    // Asks and returns the choice.
    static int ask();
};
