#include "ControlForm.h"

#include <QVBoxLayout>
#include <QtTest>

ControlForm::ControlForm() { new QVBoxLayout(this); }

void ControlForm::place(QWidget* w) { layout()->addWidget(w); }

bool ControlForm::showActive() {
    show();
    return QTest::qWaitForWindowActive(this);
}
