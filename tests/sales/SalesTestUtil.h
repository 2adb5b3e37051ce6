#pragma once

// Set-up shared by the sales window tests: rows written as the windows write them, and a
// fixture that drives the real main window through MainWindowDriver.

#include "WindowTest.h"

#include "app/SalesCommands.h"
#include "db/Database.h"
#include "ui/Grid.h"
#include "ui/WindowRegistry.h"

#include <QtTest>

namespace salestest {

inline int addService(const QString& name, double price, double points = 0) {
    ExecSQL("INSERT INTO tblservice (sname, smoney, spoint) VALUES (?, ?, ?)", {name, price, points});
    return LastIdentity();
}

inline int addMember(const QString& name, const QString& mobile = {}, int hidden = 0) {
    ExecSQL("INSERT INTO tblfriend (sname, hpline, hidden) VALUES (?, ?, ?)", {name, mobile, hidden});
    return LastIdentity();
}

inline int addTrade(int member, const QString& date, double cash = 0, double card = 0, int cardCode = 1) {
    ExecSQL("INSERT INTO tbltrade (sdate, ctblfriend, dmoney, dcard, ctblcard) VALUES (?, ?, ?, ?, ?)",
            {date, member, cash, card, cardCode});
    return LastIdentity();
}

inline int addLine(int trade, const QString& name, double qty, double price, int service = 1) {
    ExecSQL("INSERT INTO tbltradesub (ctbltrade, ctblservice, servicename, lnumber, dmoney, dsum) "
                           "VALUES (?, ?, ?, ?, ?, ?)",
            {trade, service, name, qty, price, qty * price});
    return LastIdentity();
}

inline QString scalar(const QString& sql, const QVariantList& params = {}) {
    return GetScalar(sql, params).toString();
}

// Each test gets a fresh database and the main window (WindowTest), with the sales
// commands registered as the program registers them.
class SalesWindowTest : public WindowTest {
protected:
    SalesWindowTest() { RegisterSalesCommands(); }
    static void otherPc(const QString& sql) { QVERIFY(TestEnv::runOnOtherConnection(sql)); }
    template <class T>
    T* open(const char* command) { return m_d->open<T>(QString::fromLatin1(command)); }
    // Types into a cell of a grid and leaves it with Enter.
    void typeCell(Grid* g, int col, int row, const QString& text) {
        m_d->clickCell(g, col, row);
        m_d->type(text);
        m_d->key(Qt::Key_Return);
    }
};

} // namespace salestest
