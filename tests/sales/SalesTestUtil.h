#pragma once

// Driving the sales windows as a person does: the real main window, its menu commands,
// clicks on controls and keys typed into whatever has the focus.

#include "MainWindowDriver.h"
#include "TestEnv.h"

#include "app/MainCommands.h"
#include "app/MemberCommands.h"
#include "app/SalesCommands.h"
#include "app/frmMain.h"
#include "core/AppState.h"
#include "db/Database.h"
#include "ui/Grid.h"
#include "ui/WindowRegistry.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QPointer>
#include <QTableView>
#include <QtTest>

#include <memory>

namespace salestest {

inline std::unique_ptr<frmMain> openFrame()
{
    App().loginId = QStringLiteral("ADMIN");
    App().ownerCode = 1;
    App().start = QStringLiteral("9");
    RegisterMemberCommands();
    RegisterSalesCommands();
    auto f = std::make_unique<frmMain>();
    f->show();
    QCoreApplication::processEvents();
    return f;
}

// Runs a menu command and returns the registered window it opened.
template <class T>
T* runCommand(frmMain* f, const char* command, const char* window)
{
    QAction* a = f->menuAction(QString::fromLatin1(command));
    if (!a || !a->isEnabled()) {
        qWarning() << "command not enabled" << command;
        return nullptr;
    }
    a->trigger();
    QCoreApplication::processEvents();
    return dynamic_cast<T*>(WindowRegistry::find(QString::fromLatin1(window)));
}

template <class T = QWidget>
T* child(QWidget* w, const QString& name)
{
    T* c = w ? w->findChild<T*>(name) : nullptr;
    if (!c)
        qWarning() << "missing control" << name;
    return c;
}

inline void click(QWidget* w, const QString& name)
{
    auto* b = child<QAbstractButton>(w, name);
    QVERIFY(b);
    ClickAsPerson(b);
}

// Clicks a cell of a grid (1-based column and row) as a user does.
inline void clickCell(QTableView* grid, int col, int row)
{
    const QModelIndex i = grid->model()->index(row - 1, col - 1);
    grid->scrollTo(i);
    ClickAsPerson(grid->viewport(), grid->visualRect(i).center());
}

inline void doubleClickCell(QTableView* grid, int col, int row)
{
    const QRect r = grid->visualRect(grid->model()->index(row - 1, col - 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    QCoreApplication::processEvents();
}

inline QWidget* focused()
{
    return QApplication::focusWidget();
}

// Types text into the focused widget; Hangul through key events carrying the text.
inline void type(const QString& text)
{
    for (const QChar ch : text) {
        QWidget* w = focused();
        if (!w)
            return;
        if (ch.unicode() < 0x80)
            QTest::keyClicks(w, QString(ch));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

inline void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    if (QWidget* w = focused())
        QTest::keyClick(w, k, mods);
    QCoreApplication::processEvents();
}

inline int addService(const QString& name, double price, double points = 0)
{
    ExecSQL(QStringLiteral("INSERT INTO tblservice (sname, smoney, spoint) VALUES (?, ?, ?)"), {name, price, points});
    return LastIdentity();
}

inline int addMember(const QString& name, const QString& mobile = {}, int hidden = 0)
{
    ExecSQL(QStringLiteral("INSERT INTO tblfriend (sname, hpline, hidden) VALUES (?, ?, ?)"), {name, mobile, hidden});
    return LastIdentity();
}

inline int addTrade(int member, const QString& date, double cash = 0, double card = 0, int cardCode = 1)
{
    ExecSQL(QStringLiteral("INSERT INTO tbltrade (sdate, ctblfriend, dmoney, dcard, ctblcard) VALUES (?, ?, ?, ?, ?)"),
            {date, member, cash, card, cardCode});
    return LastIdentity();
}

inline int addLine(int trade, const QString& name, double qty, double price, int service = 1)
{
    ExecSQL(QStringLiteral("INSERT INTO tbltradesub (ctbltrade, ctblservice, servicename, lnumber, dmoney, dsum) "
                           "VALUES (?, ?, ?, ?, ?, ?)"),
            {trade, service, name, qty, price, qty * price});
    return LastIdentity();
}

inline QString scalar(const QString& sql, const QVariantList& params = {})
{
    return GetScalar(sql, params).toString();
}

// Closes every top-level window left over by a test.
inline void closeAll()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows << w;
    for (const QPointer<QWidget>& w : windows)
        if (w && !w->parentWidget())
            delete w.data();
}

// Types into a cell of a grid and leaves it with Enter.
inline void typeCell(Grid* g, int col, int row, const QString& text)
{
    clickCell(g, col, row);
    type(text);
    key(Qt::Key_Return);
}

// Base of a sales window test: each test gets a fresh database and the main window
// (setUp in init, tearDown in cleanup).
class SalesWindowTest : public QObject {
protected:
    TestEnv* m_env = nullptr;
    std::unique_ptr<frmMain> m_frame;

    void setUp()
    {
        m_env = new TestEnv;
        QVERIFY(m_env->ok());
        m_frame = openFrame();
    }
    void tearDown()
    {
        m_frame.reset();
        closeAll();
        delete m_env;
        m_env = nullptr;
    }
};

} // namespace salestest
