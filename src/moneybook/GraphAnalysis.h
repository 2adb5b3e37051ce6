#pragma once

#include <QList>
#include <QString>

// The income or expense analysis of the money book (all-money basis): sums of the
// amounts grouped by one basis, in the order of the groups.
namespace GraphAnalysis {

enum Basis { ByDay, ByWeek, ByMonth, ByYear, BySection, ByUsePlace, ByItem, ByAccount, BasisCount };

struct Filter {
    int basis = ByDay;
    bool income = true;
    QString item;     // category text (contains), "" none
    int usePlace = 0; // tblusename code, 0 none
    int account = 0;  // tblgrouping code, 0 none
    bool accountIsCard = false;
    QString from; // period; one date alone is that day
    QString to;
};

struct Point {
    QString label;
    double value = 0;
};

// Weeks run Sunday to Saturday; a week is labelled with the week-of-month text of its
// first day (with the year when the points span more than one year). By section the
// label is the section's name, by usage place its name, by account its name ("현금" for
// the cash box); a point without a name (no usage place, no category) is "(없음)".
QList<Point> Run(const Filter& filter);

} // namespace GraphAnalysis
