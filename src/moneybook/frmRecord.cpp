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
#include "ui/HCTerm.h"
#include "ui/HCText.h"
#include "ui/CellChanges.h"
#include "ui/RecordWindow.h"
#include "ui/SearchInput.h"
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

frmRecord::frmRecord(QWidget* parent) : QWidget(parent) {
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
    const QString group = QStringLiteral("통장/카드 상세");
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
    switch (AmountColumnOf(section, m_basis[1]->isChecked())) {
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

namespace {
// The running balance and the column totals, from the stored amounts of the entries
// (never from the text of a cell, which is rounded for display).
struct Running {
    double balance = 0, in = 0, out = 0, other = 0;
    void add(const LedgerEntry& e, bool cashOnly) {
        switch (AmountColumnOf(e.section, cashOnly)) {
        case AmountColumn::Income:
            balance += e.money;
            in += e.money;
            break;
        case AmountColumn::Expense:
            balance -= e.money;
            out += e.money;
            break;
        default:
            other += e.money;
            break;
        }
    }
};
} // namespace

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
    const QList<LedgerEntry> entries = LoadLedger(f);
    m_entries.clear();
    m_entries.reserve(entries.size());
    // The balance column is written with the rows, as recomputeBalances writes it.
    const bool cashOnly = m_basis[1]->isChecked();
    Running run{m_start};
    m_grid->beginFill(int(entries.size()) + 1);
    for (const LedgerEntry& e : entries) {
        m_entries.insert(e.code, e);
        run.add(e, cashOnly);
        QStringList texts = entryTexts(e);
        texts[ColBalance - 1] = MoneyText(run.balance);
        m_grid->appendRow(texts);
    }
    m_grid->appendRow({});
    m_grid->endFill();
    for (int r = 1; r <= m_grid->maxRows(); ++r)
        lockRow(r);
    showTotals(run.balance, run.in, run.out, run.other);
    if (entries.isEmpty()) ShowNoResultNotice();
    m_grid->setActiveCell(ColDate, int(entries.size()) + 1);
}

void frmRecord::showEntry(int row, const LedgerEntry& e) {
    QStringList t = entryTexts(e);
    t[ColBalance - 1] = m_grid->text(ColBalance, row);
    t[ColDel - 1] = m_grid->text(ColDel, row);
    m_grid->setRowTexts(row, t);
    lockRow(row);
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
void frmRecord::lockRow(int row) {
    const int code = m_grid->text(ColCode, row).toInt();
    const int section = code > 0 ? m_entries.value(code).section : -1;
    const PlaceCells places = PlaceCellsOf(section);
    const int amountCol = code > 0 ? amountColumn(section) : 0;
    for (int c : {ColUse, ColItem, ColMemo})
        m_grid->setCellLocked(c, row, code <= 0);
    for (int c : {ColIn, ColOut, ColOther})
        m_grid->setCellLocked(c, row, c != amountCol);
    m_grid->setCellLocked(ColAcIn, row, !places.accountIn);
    m_grid->setCellLocked(ColAcOut, row, !places.accountOut);
    m_grid->setCellLocked(ColCard, row, !places.card);
    m_grid->setCellLocked(ColDel, row, code <= 0);
}

void frmRecord::appendEmptyRow() {
    const int row = m_grid->maxRows() + 1;
    m_grid->setMaxRows(row);
    lockRow(row);
}

// The running balance and the totals, from the stored amounts of the entries (never from
// the text of a cell, which is rounded for display).
void frmRecord::recomputeBalances() {
    const bool cashOnly = m_basis[1]->isChecked();
    Running run{m_start};
    for (int r = 1; r <= m_grid->maxRows(); ++r) {
        const int code = m_grid->text(ColCode, r).toInt();
        if (code <= 0) {
            m_grid->setText(ColBalance, r, QString());
            continue;
        }
        const auto it = m_entries.constFind(code);
        if (it != m_entries.cend()) run.add(*it, cashOnly);
        m_grid->setText(ColBalance, r, MoneyText(run.balance));
    }
    showTotals(run.balance, run.in, run.out, run.other);
}

void frmRecord::showTotals(double balance, double in, double out, double other) {
    m_sum->setText(ColIn, 1, MoneyText(in));
    m_sum->setText(ColOut, 1, MoneyText(out));
    m_sum->setText(ColBalance, 1, MoneyText(m_carried ? balance : in - out));
    m_sum->setText(ColOther, 1, MoneyText(other));
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
    m_entries.insert(e.code, e);
    showEntry(row, e);
    if (row == m_grid->maxRows()) appendEmptyRow();
    recomputeBalances();
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
    if (ok) recomputeBalances();
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
