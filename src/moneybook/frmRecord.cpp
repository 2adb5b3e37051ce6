#include "moneybook/frmRecord.h"
#include "moneybook/MoneyBookWidgets.h"

#include "calendar/DateText.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "ui/PickOrAdd.h"
#include "ui/HelpWindow.h"
#include "moneybook/frmSection.h"
#include "sales/MoneyBalance.h"
#include "ui/ExcelExport.h"
#include "ui/FloatNotice.h"
#include "ui/FormIni.h"
#include "ui/Grid.h"
#include "ui/GridMenu.h"
#include "ui/GridModel.h"
#include "ui/HCTerm.h"
#include "ui/HCText.h"
#include "ui/CellChanges.h"
#include "ui/RecordWindow.h"
#include "ui/SearchInput.h"
#include "ui/SqlRowSource.h"
#include "ui/TotalsGrid.h"
#include "ui/cFpPreview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

using MoneyBook::button;

using namespace MoneyBook;

namespace {
const QString kOldBalanceKey = QStringLiteral("OLD_BALANCE");

QRadioButton* radio(QWidget* parent, const QString& name, const QString& caption,
                    QButtonGroup* group, int id) {
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(name);
    group->addButton(r, id);
    return r;
}

QString placeName(int code) {
    return code > 1 ? AccountNameByCode(code) : QString();
}
} // namespace

frmRecord::frmRecord(QWidget* parent)
    : QWidget(parent), m_balance([this](int row) {
          const auto it = m_entries.constFind(m_grid->text(ColCode, row + 1).toInt());
          return it == m_entries.cend() ? 0.0 : movement(*it);
      }) {
    setObjectName(QStringLiteral("frmRecord"));
    setWindowTitle(QStringLiteral("입출금관리"));
    resize(1180, 620);

    m_period = new HCTerm(this);
    m_period->setObjectName(QStringLiteral("htDate"));
    const QDate today = Clock::today();
    const QDate first(today.year(), today.month(), 1);
    m_period->SetText1(first.toString(QStringLiteral("yyyy-MM-dd")));
    m_period->SetText2(first.addMonths(1).addDays(-1).toString(QStringLiteral("yyyy-MM-dd")));

    m_section = new QComboBox(this);
    m_section->setObjectName(QStringLiteral("cmbSection"));
    m_section->addItem(QStringLiteral("구분선택"));
    for (int s = 0; s < SectionCount; ++s)
        m_section->addItem(SectionName(s), s);
    m_acc = new QComboBox(this);
    m_acc->setObjectName(QStringLiteral("cmbAcc"));
    fillAccountCombo();

    m_item = new HCText(this);
    CapSearchInput(m_item);
    m_item->setObjectName(QStringLiteral("htField(0)"));
    m_item->setPlaceholderText(QStringLiteral("항목"));
    m_use = new HCText(this);
    m_use->setObjectName(QStringLiteral("htField(1)"));
    m_use->setPlaceholderText(QStringLiteral("사용처"));
    connect(m_item, &QLineEdit::returnPressed, this, &frmRecord::pickFilterItem);
    connect(m_use, &QLineEdit::returnPressed, this, &frmRecord::pickFilterUsePlace);
    connect(m_use, &QLineEdit::textEdited, this, [this] { m_useCode = 0; });

    auto* kindGroup = new QButtonGroup(this);
    m_inOut[0] = radio(this, QStringLiteral("opInOut(0)"), QStringLiteral("전체"), kindGroup, 0);
    m_inOut[1] = radio(this, QStringLiteral("opInOut(1)"), QStringLiteral("수입"), kindGroup, 1);
    m_inOut[2] = radio(this, QStringLiteral("opInOut(2)"), QStringLiteral("지출"), kindGroup, 2);
    m_inOut[0]->setChecked(true);
    auto* basisGroup = new QButtonGroup(this);
    m_basis[0] =
        radio(this, QStringLiteral("opBalance(0)"), QStringLiteral("전체기준"), basisGroup, 0);
    m_basis[1] =
        radio(this, QStringLiteral("opBalance(1)"), QStringLiteral("현금기준"), basisGroup, 1);
    m_basis[0]->setChecked(true);
    m_oldBalance = new QCheckBox(QStringLiteral("이월안함"), this);
    m_oldBalance->setObjectName(QStringLiteral("chkOldBalance"));
    m_oldBalance->setChecked(Settings::getIn(App().appTitle, QStringLiteral("Config"), kOldBalanceKey,
                                           QStringLiteral("0")) == QStringLiteral("1"));
    connect(kindGroup, &QButtonGroup::idClicked, this, &frmRecord::loadList);
    connect(basisGroup, &QButtonGroup::idClicked, this, &frmRecord::loadList);
    connect(m_oldBalance, &QCheckBox::clicked, this, [this](bool on) {
        Settings::set(App().appTitle, QStringLiteral("Config"), kOldBalanceKey,
                      on ? QStringLiteral("1") : QStringLiteral("0"));
        loadList();
    });

    auto* query = button(this, "btnQuery", QStringLiteral("조회(F5)"));
    auto* del = button(this, "btnRecDel", QStringLiteral("삭제(F4)"));
    auto* print = button(this, "btnPrint", QStringLiteral("인쇄(F7)"));
    auto* excel = button(this, "btnExcel", QStringLiteral("엑셀(F8)"));
    auto* help = button(this, "btnHelp", QStringLiteral("도움말"));
    auto* close = button(this, "btnClose", QStringLiteral("닫기"));
    connect(query, &QPushButton::clicked, this, &frmRecord::loadList);
    connect(del, &QPushButton::clicked, this, &frmRecord::RecDelete);
    connect(print, &QPushButton::clicked, this, [this] {
        savePending();
        PrintGridForReport(objectName(), m_grid, windowTitle());
    });
    connect(excel, &QPushButton::clicked, this, [this] {
        savePending();
        ExportToExcelFile(m_grid, QStringLiteral("Sheet1"));
    });
    connect(help, &QPushButton::clicked, this, &frmRecord::showHelp);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    const std::pair<int, QPushButton*> keys[] = {
        {Qt::Key_F4, del}, {Qt::Key_F5, query}, {Qt::Key_F7, print}, {Qt::Key_F8, excel}};
    for (const auto& [key, b] : keys) {
        auto* sc = new QShortcut(QKeySequence(key), this, nullptr, nullptr,
                                 Qt::WidgetWithChildrenShortcut);
        connect(sc, &QShortcut::activated, b, &QPushButton::click);
    }

    buildGrid();

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("기간"), this));
    filters->addWidget(m_period);
    filters->addWidget(m_section);
    filters->addWidget(m_acc);
    filters->addWidget(m_item);
    filters->addWidget(m_use);
    filters->addStretch();
    auto* options = new QHBoxLayout;
    for (auto* r : m_inOut)
        options->addWidget(r);
    options->addSpacing(20);
    for (auto* r : m_basis)
        options->addWidget(r);
    options->addWidget(m_oldBalance);
    options->addStretch();
    for (auto* b : {query, del, print, excel, help, close})
        options->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addLayout(options);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_sum);
    loadList();
}

void frmRecord::buildGrid() {
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setEntryMode();
    m_grid->setEnterMove(EnterMove::Right);
    m_grid->setAllowsReports(true);
    m_grid->setMaxCols(ColCount - 1);
    m_grid->setHeaderRows(2);
    // Two header rows: the place columns share the caption of their group above their
    // own names; the other columns have their caption in the first row.
    const QString group = QStringLiteral("통 장  /  카 드     상 세 내 역");
    const QStringList top = {"날  짜",  "입출구분", "사용처",    "항  목",        "수 입",
                             "지  출",  "잔  액",   group,       group,           group,
                             group,     "Memo",     "Code",      "입금통장 코드", "출금통장코드",
                             "InTotal", "OutTotal", "MoveTotal", "사용처 코드",   "삭제선택"};
    QStringList second;
    for (int c = 1; c < ColCount; ++c)
        second << QString();
    second[ColAcIn - 1] = QStringLiteral("입금통장");
    second[ColAcOut - 1] = QStringLiteral("출금통장");
    second[ColCard - 1] = QStringLiteral("신용카드명");
    second[ColOther - 1] = QStringLiteral("금 액");
    m_grid->setHeaderTexts(top, 1);
    m_grid->setHeaderTexts(second, 2);
    for (int c = ColCode; c <= ColUseCode; ++c)
        m_grid->setColHidden(c, true);
    for (int c : {ColIn, ColOut, ColBalance, ColOther})
        m_grid->setColType(c, CellType::Number);
    m_grid->setColType(ColDel, CellType::CheckBox);
    MarkTickColumn(m_grid, ColDel);
    m_grid->setColLocked(ColBalance, true);
    GridModel* model = m_grid->gridModel();
    model->setLockRule([this](int row, int col) { return lockedByRule(row, col); });
    model->setDerivedColumn(ColBalance - 1, [this](int row) { return balanceText(row); });
    // Rows put in or taken out move the rows under them.
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                m_balance.changedFrom(first);
                if (m_changedRow > first) m_changedRow += last - first + 1; // still to save
                if (m_readBefore && first == 0) {
                    m_readBefore = false;
                    rowsReadBefore(last + 1);
                }
            });
    connect(model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int) { m_balance.changedFrom(first); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] { m_balance.changedFrom(0); });
    const std::pair<int, int> widths[] = {
        {ColDate, 84},  {ColSection, 78}, {ColUse, 90},  {ColItem, 90},  {ColIn, 80},
        {ColOut, 80},   {ColBalance, 90}, {ColAcIn, 80}, {ColAcOut, 80}, {ColCard, 80},
        {ColOther, 80}, {ColMemo, 140},   {ColDel, 56}};
    for (const auto& [col, width] : widths)
        m_grid->setColWidth(col, width);
    GridMenu::attach(m_grid, this);
    connect(m_grid, &Grid::cellChanged, this, [this](int col, int row) {
        if (col != ColDel) {
            m_changedCol = col;
            m_changedRow = row;
        }
    });
    connect(m_grid, &Grid::leaveCell, this, [this](int col, int row, int, int, bool*) {
        if (col == m_changedCol && row == m_changedRow && !m_saving) UpdateRecord(col, row);
    });

    m_sum = new TotalsGrid(m_grid,
                           {{ColIn, QStringLiteral("수 입")},
                            {ColOut, QStringLiteral("지  출")},
                            {ColBalance, QStringLiteral("잔  액")},
                            {ColOther, QStringLiteral("금 액")}},
                           this);
}

void frmRecord::fillAccountCombo() {
    const int current = m_acc->currentData().toInt();
    m_acc->clear();
    m_acc->addItem(QStringLiteral("통장/카드 선택"), 0);
    Recordset rs;
    if (OpenRecordset(rs,
                      QStringLiteral(
                          "SELECT code, accountname, accountclass FROM tblgrouping WHERE code <> 1 "
                          "ORDER BY accountclass, accountname")) > 0)
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            m_acc->addItem((rs.text(QStringLiteral("accountclass")) == QStringLiteral("2")
                                ? QStringLiteral("카드☞ ")
                                : QStringLiteral("통장☞ ")) +
                               rs.text(QStringLiteral("accountname")),
                           rs.integer(QStringLiteral("code")));
    m_acc->setCurrentIndex(qMax(0, m_acc->findData(current)));
}

LedgerFilter frmRecord::currentFilter() const {
    LedgerFilter f;
    f.period = NormalizePeriod(m_period->Text1(), m_period->Text2());
    f.kind = m_inOut[1]->isChecked() ? 1 : m_inOut[2]->isChecked() ? 2 : 0;
    f.cashOnly = m_basis[1]->isChecked();
    f.noCarry = m_oldBalance->isChecked();
    f.section = m_section->currentIndex() > 0 ? m_section->currentData().toInt() : -1;
    f.account = m_acc->currentData().toInt();
    f.item = m_item->text();
    f.usePlace = m_useCode;
    f.memo = m_memo;
    return f;
}

int frmRecord::amountColumn(int section) const {
    switch (AmountColumnOf(section, m_cashOnly)) {
    case AmountColumn::Income:
        return ColIn;
    case AmountColumn::Expense:
        return ColOut;
    default:
        return ColOther;
    }
}

void frmRecord::savePending() {
    m_grid->commitEdit();
    if (m_changedCol > 0 && !m_saving) UpdateRecord(m_changedCol, m_changedRow);
    m_changedCol = m_changedRow = 0;
}

void frmRecord::loadList() {
    // A cell typed but not yet left is saved before the list is read again.
    savePending();
    if (!m_use->text().isEmpty() && m_useCode <= 0) pickFilterUsePlace();
    LedgerFilter f = currentFilter();
    // A period typed backwards is read forwards.
    if (!f.period.from.isEmpty()) {
        m_period->SetText1(f.period.from);
        m_period->SetText2(f.period.to);
    }
    m_carried = CarriesBalance(f); // without a period: from the opening balances
    m_start = m_carried ? BalanceBefore(f.cashOnly, f.period.from) : 0;
    m_cashOnly = f.cashOnly;
    m_filter = f;
    m_entries.clear();
    // The newest entries show first, over the empty row for a new one; older ones are read
    // a block at a time as the list scrolls up. Totals and the balance before the first
    // row read come from sums over the whole list (refreshSums).
    auto format = [this](Recordset& rs, QVector<QStringList>& out) {
        for (int r = 0; r < rs.recordCount(); ++r) {
            const LedgerEntry e = ReadLedgerEntry(rs.row(r));
            m_entries.insert(e.code, e);
            out.append(entryTexts(e));
        }
        m_readBefore = true;
    };
    const bool read = m_grid->fillFromEnd(std::make_unique<SqlRowSource>(
        LedgerSelect(f),
        QList<SqlRowSource::Key>{{QStringLiteral("j.sdate"), QStringLiteral("sdate"), true},
                                 {QStringLiteral("j.code"), QStringLiteral("code"), true}},
        format));
    m_readBefore = false;
    if (!read) { // reported by the database layer
        m_grid->clear();
        m_grid->setMaxRows(0);
    }
    m_grid->appendRow({});
    m_balance.changedFrom(0);
    refreshSums(true);
    if (m_entries.isEmpty()) ShowNoResultNotice();
    m_grid->setActiveCell(ColDate, m_grid->maxRows());
}

// The column totals of the whole list and the balance before its first row read, from
// sums over the entries the list query finds: rows never read count, and so does an entry
// another PC put before them since. Just after loading, the rows read are all the entries
// from the first one read on, so what lies before them is the whole less what they move.
void frmRecord::refreshSums(bool loaded) {
    m_sumsQueued = false;
    const auto first = m_entries.constFind(m_grid->text(ColCode, 1).toInt());
    const bool split = !loaded && first != m_entries.cend();
    LedgerSums sums;
    if (!LoadLedgerSums(m_filter, split ? first->date : QString(), split ? first->code : 0, &sums))
        return;
    m_totals = {};
    for (int s = 0; s <= SectionCount; ++s) {
        LedgerEntry e;
        e.section = s < SectionCount ? s : -1;
        e.money = sums.all[s];
        addToTotals(e, +1);
    }
    double before = sums.movement(m_cashOnly, split);
    if (!split) {
        for (const LedgerEntry& e : std::as_const(m_entries))
            before -= movement(e);
    }
    m_balance.setBase(m_start + before);
    m_grid->gridModel()->derivedChanged(ColBalance - 1, 0);
    showTotals();
}

// Older entries read in above the rows shown: until their sums are read again, the
// balance before them is the one before the rows shown less what they move.
void frmRecord::rowsReadBefore(int count) {
    double moved = 0;
    for (int r = 1; r <= count; ++r) {
        const auto it = m_entries.constFind(m_grid->text(ColCode, r).toInt());
        if (it != m_entries.cend()) moved += movement(*it);
    }
    m_balance.setBase(m_balance.base() - moved);
    if (!m_sumsQueued) {
        m_sumsQueued = true;
        QMetaObject::invokeMethod(this, [this] { refreshSums(false); }, Qt::QueuedConnection);
    }
}

void frmRecord::showEntry(int row, const LedgerEntry& e) {
    QStringList t = entryTexts(e);
    t[ColDel - 1] = m_grid->text(ColDel, row);
    m_grid->setRowTexts(row, t);
}

QStringList frmRecord::entryTexts(const LedgerEntry& e) const {
    QStringList t;
    for (int c = 1; c < ColCount; ++c)
        t << QString();
    t[ColDate - 1] = e.date;
    t[ColSection - 1] = SectionName(e.section);
    t[ColUse - 1] = e.usePlace > 1 ? e.useName : QString();
    t[ColItem - 1] = e.item;
    const int amountCol = amountColumn(e.section);
    t[amountCol - 1] = MoneyText(e.money);
    const PlaceCells places = PlaceCellsOf(e.section);
    const QString inName = e.groupIn > 1 ? e.inName : QString();
    const QString outName = e.groupOut > 1 ? e.outName : QString();
    if (places.card)
        t[ColCard - 1] = inName;
    else if (e.section == 3 || e.section == 5 || e.section == 8 || e.section == 9)
        t[ColAcIn - 1] = inName;
    t[ColAcOut - 1] = outName;
    t[ColCode - 1] = QString::number(e.code);
    t[ColInCode - 1] = QString::number(e.groupIn);
    t[ColOutCode - 1] = QString::number(e.groupOut);
    t[ColInTotal - 1] = amountCol == ColIn ? QString::number(e.money, 'f', 0) : QString();
    t[ColOutTotal - 1] = amountCol == ColOut ? QString::number(e.money, 'f', 0) : QString();
    t[ColMoveTotal - 1] = amountCol == ColOther ? QString::number(e.money, 'f', 0) : QString();
    t[ColUseCode - 1] = QString::number(e.usePlace);
    t[ColMemo - 1] = e.memo;
    return t;
}

// A row takes input only where its section uses it: an empty row only its date and
// section; the amount only in the column where it shows; the place cells by section.
bool frmRecord::lockedByRule(int row, int col) const {
    ++col;
    if (col != ColUse && col != ColItem && col != ColMemo && col != ColDel && col != ColIn &&
        col != ColOut && col != ColOther && col != ColAcIn && col != ColAcOut && col != ColCard)
        return false;
    const int code = m_grid->text(ColCode, row + 1).toInt();
    if (code <= 0) return true; // an empty row: only its date and section
    const auto it = m_entries.constFind(code);
    const int section = it == m_entries.cend() ? -1 : it->section;
    switch (col) {
    case ColIn:
    case ColOut:
    case ColOther:
        return col != amountColumn(section);
    case ColAcIn:
        return !PlaceCellsOf(section).accountIn;
    case ColAcOut:
        return !PlaceCellsOf(section).accountOut;
    case ColCard:
        return !PlaceCellsOf(section).card;
    default:
        return false;
    }
}

double frmRecord::movement(const LedgerEntry& e) const {
    switch (AmountColumnOf(e.section, m_cashOnly)) {
    case AmountColumn::Income:
        return e.money;
    case AmountColumn::Expense:
        return -e.money;
    default:
        return 0;
    }
}

// The running balance is summed from the stored amounts of the entries (never from the
// text of a cell, which is rounded for display); a row without an entry shows none.
QString frmRecord::balanceText(int row) {
    if (m_grid->text(ColCode, row + 1).toInt() <= 0) return {};
    return MoneyText(m_balance.at(row));
}

void frmRecord::appendEmptyRow() { m_grid->setMaxRows(m_grid->maxRows() + 1); }

void frmRecord::addToTotals(const LedgerEntry& e, int sign) {
    switch (AmountColumnOf(e.section, m_cashOnly)) {
    case AmountColumn::Income:
        m_totals.in += sign * e.money;
        break;
    case AmountColumn::Expense:
        m_totals.out += sign * e.money;
        break;
    default:
        m_totals.other += sign * e.money;
        break;
    }
}

// The balance under the list is the last running balance when the balance is carried
// over, the income total minus the expense total otherwise.
void frmRecord::showTotals() {
    const Totals& t = m_totals;
    // Only a sum that changed is written: a saved amount moves one or two of them.
    const auto set = [this](int col, double value) {
        const QString text = MoneyText(value);
        if (m_sum->text(col, 1) != text) m_sum->setText(col, 1, text);
    };
    set(ColIn, t.in);
    set(ColOut, t.out);
    set(ColBalance, (m_carried ? m_start : 0) + t.in - t.out);
    set(ColOther, t.other);
}

void frmRecord::reloadLater() {
    QMetaObject::invokeMethod(this, &frmRecord::loadList, Qt::QueuedConnection);
}

bool frmRecord::saveNewRow(int col, int row) {
    const QString typed = m_grid->text(col, row).trimmed();
    const LedgerFilter f = currentFilter();
    if (col == ColDate) {
        // The date waits for the section; shown normalised, or emptied when invalid.
        m_grid->setText(ColDate, row, typed.isEmpty() ? QString() : CheckDateText(typed, true));
        return false;
    }
    if (col != ColSection) {
        m_grid->setText(col, row, QString());
        return false;
    }
    if (typed.isEmpty()) return false;
    int section = SectionByShortcut(typed);
    if (section < 0) section = SectionByName(typed);
    if (section < 0) section = frmSection::choose(this);
    if (section < 0) {
        m_grid->setText(ColSection, row, QString());
        return false;
    }
    QString date = NormalizeDate(m_grid->text(ColDate, row));
    if (date.isEmpty()) date = DefaultEntryDate(f.period);
    if (ExecSQL(QStringLiteral("INSERT INTO tbljangbu (sdate, sectionclass) VALUES (?, ?)"),
                {date, QString::number(section)}) <= 0) {
        MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
        m_grid->setText(ColSection, row, QString());
        return false;
    }
    LedgerEntry e;
    e.code = LastIdentity();
    e.date = date;
    e.section = section;
    m_entries.insert(e.code, e); // no amount yet: balances and totals stay
    showEntry(row, e);
    if (row == m_grid->maxRows()) appendEmptyRow();
    return true;
}

// Saves one cell of a stored entry. Each column gives the columns it writes (`values`)
// and the values this window loaded for them (`shown`); the shared cell save writes only
// when nobody changed them meanwhile and the rows they refer to still exist.
bool frmRecord::UpdateRecord(int col, int row) {
    m_saving = true;
    m_changedCol = m_changedRow = 0;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_saving};

    const int code = m_grid->text(ColCode, row).toInt();
    if (code <= 0) return saveNewRow(col, row);
    LedgerEntry e = m_entries.value(code);
    const QString typed = m_grid->text(col, row).trimmed();
    QVariantHash shown, values;
    QList<RowRef> parents;
    switch (col) {
    case ColDate: {
        const QString date =
            typed.isEmpty() ? DefaultEntryDate(currentFilter().period) : CheckDateText(typed, true);
        if (date.isEmpty()) break;
        shown = {{QStringLiteral("sdate"), e.date}};
        values = {{QStringLiteral("sdate"), date}};
        e.date = date;
        break;
    }
    case ColSection: {
        int section = SectionByShortcut(typed);
        if (section < 0) section = SectionByName(typed);
        if (section < 0) section = frmSection::choose(this);
        if (section < 0 || section == e.section) break;
        // A new section starts the entry afresh: no category, the cash box on both sides, no
        // amount.
        shown = {{QStringLiteral("sectionclass"), QString::number(e.section)},
                 {QStringLiteral("ctblitem"), e.item},
                 {QStringLiteral("cgroupin"), e.groupIn},
                 {QStringLiteral("cgroupout"), e.groupOut},
                 {QStringLiteral("smoney"), e.money}};
        values = {{QStringLiteral("sectionclass"), QString::number(section)},
                  {QStringLiteral("ctblitem"), QString()},
                  {QStringLiteral("cgroupin"), 1},
                  {QStringLiteral("cgroupout"), 1},
                  {QStringLiteral("smoney"), 0.0}};
        e.section = section;
        e.item.clear();
        e.groupIn = e.groupOut = 1;
        e.inName.clear();
        e.outName.clear();
        e.money = 0;
        break;
    }
    case ColUse: {
        int use = 1;
        QString name;
        if (!typed.isEmpty()) {
            name = PickOrAdd(QStringLiteral("tblusename"), typed);
            use = LastPickedCode();
            if (name.isEmpty() || use <= 1) break;
        }
        shown = {{QStringLiteral("ctblusename"), e.usePlace}};
        values = {{QStringLiteral("ctblusename"), use}};
        parents = {{QStringLiteral("tblusename"), use}};
        e.usePlace = use;
        e.useName = name;
        break;
    }
    case ColItem: {
        QString item;
        if (!typed.isEmpty()) {
            item = PickOrAdd(QStringLiteral("tblitem"), typed, ItemClassOfSection(e.section));
            if (item.isEmpty()) break;
        }
        shown = {{QStringLiteral("ctblitem"), e.item}};
        values = {{QStringLiteral("ctblitem"), item}};
        e.item = item;
        break;
    }
    case ColIn:
    case ColOut:
    case ColOther: {
        if (col != amountColumn(e.section)) break;
        double money = 0;
        const AmountCheck check = CheckAmount(typed, &money);
        if (check != AmountCheck::Ok) {
            MsgInfo(AmountMessage(check));
            break;
        }
        const QString missing = MissingPlace(e.section, e.groupIn, e.groupOut);
        if (money != 0 && !missing.isEmpty()) {
            // "출금통장을", "신용카드를": the object particle follows the last syllable.
            const char16_t last = missing.back().unicode();
            const bool closed = last >= 0xAC00 && last <= 0xD7A3 && (last - 0xAC00) % 28 != 0;
            MsgInfo(SectionName(e.section) + QStringLiteral("의 금액을 저장하려면 먼저 ") +
                    missing + (closed ? QStringLiteral("을") : QStringLiteral("를")) +
                    QStringLiteral(" 입력하세요."));
            break;
        }
        shown = {{QStringLiteral("smoney"), e.money}};
        values = {{QStringLiteral("smoney"), money}};
        parents = {{QStringLiteral("tblgrouping"), e.groupIn},
                   {QStringLiteral("tblgrouping"), e.groupOut}};
        e.money = money;
        break;
    }
    case ColAcIn:
    case ColAcOut: {
        const bool in = col == ColAcIn;
        const PlaceCells places = PlaceCellsOf(e.section);
        if (in ? !places.accountIn : !places.accountOut) break;
        int account = 1;
        QString name;
        if (!typed.isEmpty()) {
            name = PickOrAdd(in ? QStringLiteral("ACIn") : QStringLiteral("ACOut"), typed);
            account = LastPickedCode();
            if (name.isEmpty() || account <= 1) break;
            if (e.section == 8 && account == (in ? e.groupOut : e.groupIn)) {
                MsgInfo(QStringLiteral("입금통장과 출금통장이 같습니다."));
                break;
            }
        } else if (e.money != 0) {
            MsgInfo(QStringLiteral("금액이 입력된 내역의 ") +
                    (in ? QStringLiteral("입금통장") : QStringLiteral("출금통장")) +
                    QStringLiteral("은 비울 수 없습니다."));
            break;
        }
        const QString column = in ? QStringLiteral("cgroupin") : QStringLiteral("cgroupout");
        shown = {{column, in ? e.groupIn : e.groupOut}};
        values = {{column, account}};
        parents = {{QStringLiteral("tblgrouping"), account}};
        (in ? e.groupIn : e.groupOut) = account;
        (in ? e.inName : e.outName) = name;
        break;
    }
    case ColCard: {
        if (!PlaceCellsOf(e.section).card) break;
        int card = 1;
        int settle = 1;
        QString name;
        if (!typed.isEmpty()) {
            name = PickOrAdd(QStringLiteral("Card"), typed);
            card = LastPickedCode();
            if (name.isEmpty() || card <= 1) break;
            settle =
                GetScalar(QStringLiteral("SELECT ctblgrouping FROM tblgrouping WHERE code = ?"),
                          {card})
                    .toInt();
            if (settle < 1) settle = 1;
        } else if (e.money != 0) {
            MsgInfo(QStringLiteral("금액이 입력된 내역의 신용카드는 비울 수 없습니다."));
            break;
        }
        shown = {{QStringLiteral("cgroupin"), e.groupIn},
                 {QStringLiteral("cgroupout"), e.groupOut}};
        values = {{QStringLiteral("cgroupin"), card}, {QStringLiteral("cgroupout"), settle}};
        parents = {{QStringLiteral("tblgrouping"), card}, {QStringLiteral("tblgrouping"), settle}};
        e.groupIn = card;
        e.groupOut = settle;
        e.inName = name;
        e.outName = placeName(settle);
        break;
    }
    case ColMemo:
        shown = {{QStringLiteral("smemo"), e.memo}};
        values = {{QStringLiteral("smemo"), m_grid->text(ColMemo, row)}};
        e.memo = m_grid->text(ColMemo, row);
        break;
    default:
        return false;
    }
    bool ok = false;
    if (!values.isEmpty()) {
        switch (SaveCell(QStringLiteral("tbljangbu"), code, shown, values, parents)) {
        case CellSave::Written:
        case CellSave::Unchanged:
            addToTotals(m_entries.value(code), -1);
            addToTotals(e, +1);
            m_entries.insert(code, e);
            ok = true;
            break;
        case CellSave::Reload:
        case CellSave::Gone:
            reloadLater();
            break;
        case CellSave::Failed:
            break;
        }
    }
    // The row shows what is stored: the saved value, or the old one when nothing was saved.
    showEntry(row, m_entries.value(code));
    if (ok) {
        // Only the rows from this one on show another balance; they are worked out when
        // drawn.
        m_balance.changedFrom(row - 1);
        m_grid->gridModel()->derivedChanged(ColBalance - 1, row - 1);
        showTotals();
    }
    return ok;
}

bool frmRecord::RecDelete() {
    savePending();
    QList<int> ticked;
    for (int r = 1; r <= m_grid->maxRows(); ++r)
        if (m_grid->text(ColDel, r) == QStringLiteral("1") && m_grid->text(ColCode, r).toInt() > 0)
            ticked << m_grid->text(ColCode, r).toInt();
    if (ticked.isEmpty()) {
        const int row = m_grid->activeRow();
        const int code = row >= 1 ? m_grid->text(ColCode, row).toInt() : 0;
        if (code <= 0) {
            MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
            return false;
        }
        if (!AskYesNo(QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"),
                      QStringLiteral("삭제"), false))
            return false;
        ticked << code;
    } else if (!AskYesNo(QStringLiteral("선택된 ") + QString::number(ticked.size()) +
                             QStringLiteral("개의 자료를 모두 삭제 하시겠습니까?"),
                         QStringLiteral("삭제"), false)) {
        return false;
    }
    bool any = false;
    {
        Transaction tx;
        for (int code : ticked) {
            if (ExecSQL(QStringLiteral("DELETE FROM tbljangbu WHERE code = ?"), {code}) > 0)
                any = true;
            else
                MsgWarning(QStringLiteral("코드[") + QString::number(code) +
                           QStringLiteral("]에 해당하는 자료를 삭제할 수 없습니다."));
        }
        tx.commit();
    }
    loadList();
    return any;
}

void frmRecord::pickFilterItem() {
    const QString text = m_item->text();
    const QString name = PickOrAdd(QStringLiteral("tblitem"), text, QString());
    if (!name.isEmpty()) m_item->setText(name);
}

void frmRecord::pickFilterUsePlace() {
    const QString text = m_use->text();
    const QString name = PickOrAdd(QStringLiteral("tblusename"), text);
    m_useCode = name.isEmpty() ? 0 : LastPickedCode();
    m_use->setText(name);
}

void frmRecord::showHelp() { OpenHelp(objectName()); }

void frmRecord::closeEvent(QCloseEvent* event) {
    savePending();
    QWidget::closeEvent(event);
}
