#pragma once

#include "db/SqlPart.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <algorithm>
#include <functional>
#include <vector>

// Rules of the money book that need no window: the ten sections of an entry, where each
// section's amount shows on the two bases, which place cells a section uses, the ledger
// query and the running balance.
//
// Sections (tbljangbu.sectionclass):
//   0 현금지출  1 현금수입  2 통장지출  3 통장수입  4 통장출금
//   5 통장입금  6 카드지출  7 현금써비스 8 통장간이동 9 통장잔액
// On the all-money basis 1, 3 are income and 0, 2, 6 expense; on the cash basis 1, 4, 7
// are income and 0, 5 expense. Every other section's amount shows in the "other" column.

namespace MoneyBook {

constexpr int SectionCount = 10;

QString SectionName(int section);     // cell text, "" outside 0..9
QString SectionPickText(int section); // text in the section picker ("현  금  지  출")
// The section of a cell text; blanks are ignored and "통장잔액기록" counts as "통장잔액".
// -1 when the text names no section.
int SectionByName(const QString& text);
// A section typed as a shortcut: "1".."10" in order (1 = 현금지출 ... 10 = 통장잔액);
// -1 for any other text.
int SectionByShortcut(const QString& text);

enum class AmountColumn { Income, Expense, Other };
AmountColumn AmountColumnOf(int section, bool cashOnly);

// The place cells a section uses: received account (cgroupin), paying account
// (cgroupout), card (cgroupin = card, cgroupout = its settlement account).
struct PlaceCells {
    bool accountIn = false;
    bool accountOut = false;
    bool card = false;
};
PlaceCells PlaceCellsOf(int section);

// Category class a ledger line asks for: "2" (expense) for sections 0, 2, 6, "1"
// (income) for 1, 3, "" for the others (the user chooses).
QString ItemClassOfSection(int section);
// The class option of the category list for a section: 0 income, 1 expense, 2 all.
int ItemOptionOfSection(int section);

// Period of a query: dates normalised, swapped when the end is before the start; one date
// alone is that single day. Both empty: no date condition.
struct Period {
    QString from;
    QString to;
};
Period NormalizePeriod(const QString& from, const QString& to);

struct LedgerFilter {
    Period period;
    int kind = 0; // 0 all, 1 income, 2 expense
    bool cashOnly = false;
    bool noCarry = false; // "이월안함"
    int section = -1;     // -1 none
    int account = 0;      // tblgrouping code, 0 none
    QString item;         // category text (contains)
    int usePlace = 0;     // tblusename code, 0 none
    QString memo;         // memo text (contains)
    int code = 0;         // one entry only, 0 all
};
// The balance is carried over from before the period only when no filter narrows the
// list: all kinds, no section, account, category, usage place or memo, and "이월안함"
// not ticked.
bool CarriesBalance(const LedgerFilter& filter);
// The conditions of the list query on "tbljangbu AS j": kind, filters and period.
SqlPart LedgerWhere(const LedgerFilter& filter);
// The list query: entries with their place and usage-place names (outer joins, so an
// entry whose referenced row is missing still shows); LedgerSql orders it by date and
// code, LedgerSelect leaves the order to a reader that pages through it.
SqlPart LedgerSelect(const LedgerFilter& filter);
SqlPart LedgerSql(const LedgerFilter& filter);

struct LedgerEntry {
    int code = 0;
    QString date;
    int section = -1;
    QString useName;
    QString inName;
    QString outName;
    double money = 0;
    QString item;
    int groupIn = 1;
    int groupOut = 1;
    int usePlace = 1;
    QString memo;
};
// One row of LedgerSelect; a section outside "0".."9" reads as -1.
LedgerEntry ReadLedgerEntry(const QVector<QVariant>& row);
QList<LedgerEntry> LoadLedger(const LedgerFilter& filter);

// The amounts of the entries the list query finds, summed by section (index SectionCount:
// a section text outside "0".."9"): of all of them, and of those before the entry
// (date, code) in the list's order (none when `beforeDate` is empty).
struct LedgerSums {
    double all[SectionCount + 1] = {};
    double before[SectionCount + 1] = {};
    // Income minus expense on the basis, of all entries or of those before.
    double movement(bool cashOnly, bool beforeOnly) const;
};
// False when the query failed (reported by the database layer).
bool LoadLedgerSums(const LedgerFilter& filter, const QString& beforeDate, int beforeCode,
                    LedgerSums* sums);

// Amount typed into a money cell: its numeric value ("1,500원" → 1500, "" → 0). Money is
// whole won, never negative and never beyond the limit of the sales amounts; text without
// any digit is no amount at all (it would otherwise be stored as 0 and lose the old one).
enum class AmountCheck { Ok, NotNumber, Negative, Fraction, TooLarge };
AmountCheck CheckAmount(const QString& text, double* value);
// The message shown for a refused amount ("" for Ok).
QString AmountMessage(AmountCheck check);

// The place cell a section still lacks before it may carry an amount: the money of an
// account or card section must come from or go to a named place, otherwise the account
// balances and the ledger's balance part. "" when nothing is missing, otherwise the
// caption of the missing cell ("입금통장", "출금통장", "신용카드").
QString MissingPlace(int section, int groupIn, int groupOut);

// The date a new entry (or a cleared date cell) takes: today when it lies in the period
// (or no period is set), the period's end otherwise.
QString DefaultEntryDate(const Period& period);

// Display of money: "#,##0".
QString MoneyText(double value);

// The running balance of a list of rows, worked out when a row's balance is asked instead
// of being written into every row: the balance before the first row plus the movements of
// the rows up to it. The sums are kept per row and stay valid up to the first row changed
// since, so changing one row's amount costs nothing until a balance after it is asked.
class RunningBalance {
public:
    // The money a row (0-based) moves: + income, - expense, 0 for anything else.
    using Movement = std::function<double(int row)>;
    explicit RunningBalance(Movement movement) : m_movement(std::move(movement)) {}

    double base() const { return m_base; }
    void setBase(double base) { m_base = base; }
    // The movement of `row`, or which rows stand from it on, changed.
    void changedFrom(int row) { m_valid = std::max(0, std::min(m_valid, row)); }
    // The balance after `row`.
    double at(int row);

private:
    Movement m_movement;
    double m_base = 0;
    std::vector<double> m_sums; // movements of rows 0..i
    int m_valid = 0;            // m_sums[0..m_valid-1] hold
};

} // namespace MoneyBook
