#include "app/AppState.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication a(argc, argv);
    ResetAppState(DefaultDataDir());
    return 0;
}
