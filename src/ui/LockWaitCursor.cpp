#include "ui/LockWaitCursor.h"

#include "db/Database.h"

#include <QApplication>
#include <QCursor>

void InstallLockWaitCursor() {
    SetBusyWaitHooks(
        [] {
            if (qApp) QApplication::setOverrideCursor(Qt::WaitCursor);
        },
        [] {
            if (qApp) QApplication::restoreOverrideCursor();
        });
}
