#pragma once

// Shared steps of the tools window tests: the real frame, its menu, clicks and typing.
#include "app/MainCommands.h"
#include "app/ToolCommands.h"
#include "app/frmMain.h"
#include "MainWindowDriver.h"
#include "ui/WindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QWidget>
#include <QtTest>

#include <memory>

namespace tools_test {

inline std::unique_ptr<frmMain> openFrame() {
    RegisterToolCommands();
    auto f = std::make_unique<frmMain>();
    f->show();
    QCoreApplication::processEvents();
    return f;
}

// Chooses a menu item as a person does (it must be enabled).
inline bool runMenu(frmMain& frame, const char* name) {
    QAction* a = frame.menuAction(QString::fromLatin1(name));
    if (!a || !a->isEnabled()) return false;
    a->trigger();
    QCoreApplication::processEvents();
    return true;
}

template <class T>
T* find(QWidget* w, const QString& name) {
    T* c = w ? w->findChild<T*>(name) : nullptr;
    if (!c) qWarning() << "missing control" << name;
    return c;
}

inline void click(QWidget* w) {
    QVERIFY(w);
    ClickAsPerson(w);
}

// Types into the widget that has the focus; Hangul goes through text key events.
inline void type(const QString& text) {
    QWidget* w = QApplication::focusWidget();
    QVERIFY(w);
    for (const QChar ch : text) {
        if (ch == u'\n')
            QTest::keyClick(w, Qt::Key_Return);
        else if (ch.unicode() < 0x80)
            QTest::keyClicks(w, QString(ch));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

inline void focusAndType(QWidget* w, const QString& text, bool clearFirst = true) {
    QVERIFY(w);
    click(w);
    w->setFocus();
    if (clearFirst) QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier), QTest::keyClick(w, Qt::Key_Delete);
    type(text);
}

} // namespace tools_test

#include "ui/Grid.h"
#include <QAbstractItemModel>

namespace tools_test {

inline void clickCell(Grid* g, int col, int row) { ClickAsPerson(g->viewport(), CellPoint(g, col, row)); }

inline void doubleClickCell(Grid* g, int col, int row) {
    QPoint p = CellPoint(g, col, row);
    QWidget* hit = WidgetUnder(g->viewport(), p);
    QTest::mouseClick(hit, Qt::LeftButton, {}, p);
    QTest::mouseDClick(hit, Qt::LeftButton, {}, p);
    QCoreApplication::processEvents();
}

} // namespace tools_test
