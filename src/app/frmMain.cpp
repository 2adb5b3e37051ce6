#include "app/frmMain.h"
#include "app/AppState.h"

#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(App().appTitle);
    setCentralWidget(new QMdiArea(this));
    auto* user = new QLabel(App().userName, this);
    user->setObjectName(QStringLiteral("pnlUserName"));
    statusBar()->addPermanentWidget(user);
    resize(1024, 720);
}
