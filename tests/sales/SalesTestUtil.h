#pragma once

// Set-up shared by the sales window tests: rows written as the windows write them, and a
// fixture that drives the real main window through MainWindowDriver.

#include "MainWindowDriver.h"
#include "TestEnv.h"

#include "app/SalesCommands.h"
#include "db/Database.h"
#include "ui/Grid.h"
#include "ui/WindowRegistry.h"

#include <QtTest>

#include <memory>

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

// Each test gets a fresh database and the main window with the sales commands, as the
// program registers them (setUp in init, tearDown in cleanup).
class SalesWindowTest : public QObject {
protected:
    std::unique_ptr<MainWindowDriver> d;
    TestEnv* m_env = nullptr;

    void setUp() {
        RegisterSalesCommands();
        d = std::make_unique<MainWindowDriver>();
        QVERIFY(d->ok());
        m_env = &d->env();
    }
    void tearDown() {
        m_env = nullptr;
        d.reset();
    }
    template <class T>
    T* open(const char* command) { return d->open<T>(QString::fromLatin1(command)); }
    // Types into a cell of a grid and leaves it with Enter.
    void typeCell(Grid* g, int col, int row, const QString& text) {
        d->clickCell(g, col, row);
        d->type(text);
        d->key(Qt::Key_Return);
    }
};

} // namespace salestest
