#pragma once

// Rows of the money book written as the windows write them, for the money-book tests.
#include "db/Database.h"

#include <QString>

// A place money is kept: class "1" an account, "2" a card settled from `settle`.
inline int addPlace(const QString& cls, const QString& name, double opening = 0, int settle = 1) {
    ExecSQL("INSERT INTO tblgrouping (accountclass, accountname, sbalance, ctblgrouping) VALUES "
            "(?, ?, ?, ?)",
            {cls, name, opening, settle});
    return LastIdentity();
}

inline int addEntry(const QString& date, int section, double money, int in = 1, int out = 1,
                    const QString& item = {}, int use = 1, const QString& memo = {}) {
    ExecSQL("INSERT INTO tbljangbu (sdate, sectionclass, smoney, cgroupin, cgroupout, ctblitem, "
            "ctblusename, smemo) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            {date, QString::number(section), money, in, out, item, use, memo});
    return LastIdentity();
}
