#include "sales/frmTrade.h"

#include "calendar/DateText.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "db/Database.h"
#include "db/DbRow.h"
#include "ui/PickOrAdd.h"
#include "members/frmFriendAdd.h"
#include "sales/SalesRules.h"
#include "sales/TradeStore.h"
#include "sales/SalesWidgets.h"
#include "sales/frmTradeSub.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/HCTerm.h"
#include "ui/SqlRowSource.h"
#include "ui/RecordWindow.h"
#include "ui/TotalsGrid.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QHeaderView>
#include <QVBoxLayout>

namespace {
// `to` takes the characters of `from` into its own buffer (kept from row to row) rather
// than sharing `from`'s, which is itself rewritten for the next row.
void setText(QString& to, const QString& from)
{
    to.resize(0);
    to.append(from.constData(), from.size());
}

void setNumber(QString& to, qint64 n)
{
    char16_t buf[24];
    int at = 24;
    const bool negative = n < 0;
    quint64 u = negative ? 0 - quint64(n) : quint64(n);
    do {
        buf[--at] = char16_t(u'0' + u % 10);
        u /= 10;
    } while (u > 0);
    if (negative)
        buf[--at] = u'-';
    to.resize(0);
    to.append(reinterpret_cast<const QChar*>(buf + at), 24 - at);
}

const QString kSaveFailed = QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다.");

QString nowTime()
{
    return Clock::now().toString(QStringLiteral("HH:mm"));
}

Grid* makeGrid(QWidget* parent, const QString& name, int index, const QStringList& headers)
{
    auto* g = new Grid(parent);
    g->setObjectName(name);
    g->setGridIndex(index);
    g->setListMode();
    g->setMaxCols(int(headers.size()));
    g->setHeaderTexts(headers);
    for (int c = 1; c <= int(headers.size()); ++c)
        g->setColAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    return g;
}
// The width at which a grid shows all its columns (with room for a vertical scroll bar,
// as the window's first-start fitting reckons).
int widthOfAllColumns(const Grid* g)
{
    int w = 2 * g->frameWidth() + 2 + g->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (!g->verticalHeader()->isHidden())
        w += g->verticalHeader()->sizeHint().width();
    for (int c = 1; c <= g->maxCols(); ++c)
        if (!g->colHidden(c))
            w += g->colWidth(c);
    return w;
}
} // namespace

static std::function<void()>& callerListOpener()
{
    static std::function<void()> opener;
    return opener;
}

frmTrade::frmTrade(QWidget* parent)
    : TradeEntryList(QStringLiteral("회원거래관리"), {CCode, CDate, CPoint, CInTime, COutTime, CEnd, CMemo}, parent)
{
    setObjectName(QStringLiteral("frmTrade"));
    m_period = new HCTerm(this);
    m_period->setObjectName(QStringLiteral("htDate"));
    m_period->ThisMonth();
    auto* queryButton = SalesButton(this, "btnQuery", QStringLiteral("조회 (F5)"));
    m_chkFriend = new QCheckBox(QStringLiteral("검색 고객만 보기"), this);
    m_chkFriend->setObjectName(QStringLiteral("chkFriend"));
    m_chkFriend->setFocusPolicy(Qt::NoFocus);

    makeEntryGrid({QStringLiteral("거래일자"), QStringLiteral("회 원 명"), QStringLiteral("거래내용"),
                   QStringLiteral("총    액"), QStringLiteral("수 금 액"), QStringLiteral("미 수 금"),
                   QStringLiteral("적립 P"), QStringLiteral("접수T"), QStringLiteral("완료T"), QStringLiteral("완 료"),
                   QStringLiteral("Memo"), QStringLiteral("code"), QStringLiteral("f.Code"), QStringLiteral("현금"),
                   QStringLiteral("카드금액"), QStringLiteral("카드코드"), QStringLiteral("포인트"),
                   QStringLiteral("할인금액"), QStringLiteral("통장입금")},
                  {CLines, CTotal, CReceived, COutstanding}, CCode, {CTotal, CReceived, COutstanding, CPoint});
    m_list->setGridIndex(0);
    m_list->setColWidth(CDate, 90);
    m_list->setColWidth(CName, 100);
    m_list->setColWidth(CMemo, 200);

    m_lines = makeGrid(this, QStringLiteral("spList"), 1,
                       {QStringLiteral("거 래 내 용"), QStringLiteral("수 량"), QStringLiteral("단    가"),
                        QStringLiteral("금    액"), QStringLiteral("Memo"), QStringLiteral("code")});
    m_lines->setColHidden(6, true);
    m_lines->setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    m_lines->setColAlignment(5, Qt::AlignLeft | Qt::AlignVCenter);
    m_lines->setObjectName(QStringLiteral("spList(1)"));
    m_pay = makeGrid(this, QStringLiteral("spList(2)"), 2,
                     {QStringLiteral("현  금"), QStringLiteral("신용카드"), QStringLiteral("통장입금"),
                      QStringLiteral("포 인 트"), QStringLiteral("D  .  C"), QStringLiteral("합  계")});
    m_sum = new TotalsGrid(m_list,
                           {{CTotal, QStringLiteral("총액 합계")},
                            {CReceived, QStringLiteral("수금액합계")},
                            {COutstanding, QStringLiteral("미수금 합계")},
                            {CPoint, QStringLiteral("포인트 합계")}},
                           this);
    m_list->setObjectName(QStringLiteral("spList(0)"));
    m_info = MakeInfoPanel(this);

    auto* add = SalesButton(this, "btnRecAdd", QStringLiteral("내역추가"));
    auto* edit = SalesButton(this, "btnRecEdit", QStringLiteral("내역수정"));
    auto* del = SalesButton(this, "btnRecDel", QStringLiteral("삭제 (F4)"));
    auto* money = SalesButton(this, "btnInMoney", QStringLiteral("입금 (F6)"));
    auto* friendEdit = SalesButton(this, "btnFriendEdit", QStringLiteral("회원정보"));
    auto* cid = SalesButton(this, "btnCIDList", QStringLiteral("수신목록 (F11)"));
    cid->setEnabled(bool(callerListOpener()));
    connect(cid, &QPushButton::clicked, this, [] {
        if (callerListOpener())
            callerListOpener()();
    });
    auto* print = SalesButton(this, "btnPrint", QStringLiteral("인쇄 (F7)"));
    auto* excel = SalesButton(this, "btnExcel", QStringLiteral("엑셀 (F8)"));
    auto* close = SalesButton(this, "btnClose", QStringLiteral("닫기"));
    connect(queryButton, &QPushButton::clicked, this, &frmTrade::query);
    connect(add, &QPushButton::clicked, this, [this] { openLineEditor(0); });
    connect(edit, &QPushButton::clicked, this, [this] {
        const int r = m_lines->activeRow();
        const int line = r >= 1 && r <= m_lines->dataRowCnt() ? m_lines->text(6, r).toInt() : 0;
        if (line <= 0) {
            MsgInfo(QStringLiteral("먼저 그리드에서 수정할 자료를 선택하세요."));
            return;
        }
        openLineEditor(line);
    });
    connect(del, &QPushButton::clicked, this, &frmTrade::deleteActive);
    connect(money, &QPushButton::clicked, this, &frmTrade::openPayment);
    connect(friendEdit, &QPushButton::clicked, this, [this] {
        const int row = m_list->activeRow();
        const int member = row >= 1 && row < newRow() ? m_list->text(CFriend, row).toInt() : 0;
        if (member <= 1) {
            MsgInfo(QStringLiteral("먼저 그리드에서 수정할 자료를 선택하세요."));
            return;
        }
        // Its save reaches this window as any member save does (UpdateFriend).
        auto* ed = ChildWindow<frmFriendAdd>(QStringLiteral("frmFriendAdd"));
        ed->SetFormMode(RecordEditor::EditMode, member);
        FormFocus(ed);
    });
    connect(print, &QPushButton::clicked, this, &frmTrade::printList);
    connect(excel, &QPushButton::clicked, this, &frmTrade::exportList);
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(m_chkFriend, &QCheckBox::toggled, this, [this](bool on) {
        const int row = m_list->activeRow();
        m_filterMember = on && row >= 1 && row < newRow() ? m_list->text(CFriend, row).toInt() : 0;
        m_list->setHeaderText(COutstanding, m_filterMember ? QStringLiteral("누적미수금") : QStringLiteral("미 수 금"));
        load(row >= 1 && row < newRow() ? tradeAt(row) : 0);
    });

    connect(m_list, &Grid::activeCellChanged, this, [this](int, int row) {
        // A new trade goes under the whole list: the rows still to come are read first
        // (they go in above the new row, which the cursor stays on).
        if (row == newRow() && m_list->hasMoreRows()) {
            m_list->fetchAll();
            row = m_list->activeRow();
        }
        if (row != m_shownRow)
            showActive(row);
    });
    connect(m_list, &Grid::cellDoubleClicked, this, [this](int col, int) {
        if (col == CLines || col == CReceived)
            openActiveCell();
    });

    auto* top = new QHBoxLayout;
    top->addWidget(m_period);
    top->addWidget(queryButton);
    top->addWidget(m_chkFriend);
    top->addStretch();
    // The payment split keeps the width of its six columns; the lines take what is left.
    auto* detail = new QHBoxLayout;
    detail->addWidget(m_lines, 1);
    auto* right = new QVBoxLayout;
    m_pay->setMaxRows(1);
    m_pay->setFixedHeight(72);
    m_pay->setMinimumWidth(widthOfAllColumns(m_pay));
    right->addWidget(m_pay);
    right->addWidget(m_info, 1);
    detail->addLayout(right, 0);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {add, edit, del, money, friendEdit, cid, print, excel})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 3);
    layout->addWidget(m_sum);
    layout->addLayout(detail, 1);
    layout->addLayout(buttons);
    setListGrid(m_list, CCode, QStringLiteral("tbltrade"));
    setDeleteNotice(false);
    resize(980, 640);
    load();
}

// ---- loading ----

void frmTrade::query()
{
    load();
}

void frmTrade::load(int keepCode, int col)
{
    m_busy = true;
    MemberSums sums{m_filterMember};
    if (m_filterMember > 0) {
        // One member's trades are few: read at once, each row with the running outstanding
        // amount, as recomputeOutstanding would write it afterwards.
        m_list->beginFill();
        double running = 0;
        QStringList texts;
        const int read = ReadMemberTrades(m_filterMember, [&](const TradeRow& t) {
            sums.outstanding += t.total - t.received();
            sums.points += t.stackPoint - t.points;
            tradeTexts(t, texts);
            running += GridModel::leadingNumber(texts[CTotal - 1]) -
                       GridModel::leadingNumber(texts[CReceived - 1]);
            texts[COutstanding - 1] = MoneyText(running);
            m_list->appendRow(texts);
        });
        if (read < 0) { // failed part way (the error was shown): none of its rows
            m_list->endFill();
            m_list->beginFill();
            sums = MemberSums{m_filterMember};
        }
        m_list->appendRow({});
        m_list->endFill();
    } else {
        // A period may hold many trades: the first block shows at once, the rest follows as
        // the list scrolls. Each row's outstanding amount is its own; the sums come from
        // the whole period (recomputeSums).
        m_from = m_period->Text1();
        m_to = m_period->Text2();
        auto format = [reader = std::make_shared<TradeRowReader>()](const DbRow& row, QVector<QStringList>& out) {
            const TradeRow& t = reader->read(row);
            QStringList texts = tradeTexts(t);
            texts[COutstanding - 1] = MoneyText(t.outstanding());
            out.append(std::move(texts));
        };
        if (!m_list->fillFrom(std::make_unique<SqlRowSource>(
                TradePeriodSelect(m_from, m_to),
                QList<SqlRowSource::Key>{{QStringLiteral("t.sdate"), QStringLiteral("sdate")},
                                         {QStringLiteral("t.code"), QStringLiteral("code")}},
                format))) {
            m_busy = false;
            return; // reported by the database layer; the list stays as it was
        }
        m_list->appendRow({}); // the row for a new trade, under the rows still to come
    }
    recomputeSums();
    m_changedCol = m_changedRow = 0;
    m_busy = false;
    int row = keepCode ? rowOfTrade(keepCode) : 0;
    if (keepCode && row < 1 && m_list->hasMoreRows()) { // not read yet
        m_list->fetchAll();
        row = rowOfTrade(keepCode);
    }
    if (row < 1)
        row = 1;
    if (col < CDate || col >= CCode)
        col = CDate;
    m_shownRow = row; // shown once, below, not again when the cell moves there
    m_list->setActiveCell(col, row);
    m_oldText = m_list->text(col, row);
    m_loadedSums = m_filterMember > 0 ? sums : MemberSums{};
    showActive(row, true);
    m_loadedSums = {}; // later edits change them
}

QStringList frmTrade::tradeTexts(const TradeRow& t)
{
    QStringList texts;
    tradeTexts(t, texts);
    return texts;
}

void frmTrade::tradeTexts(const TradeRow& t, QStringList& into)
{
    into.resize(ColCount);
    QString* cell = into.data(); // the grid copies each row: the list is only read meanwhile
    setText(cell[CDate - 1], t.date);
    setText(cell[CName - 1], t.friendName);
    setNumber(cell[CLines - 1], t.lineCount);
    cell[CLines - 1].append(QStringLiteral(" 건"));
    cell[CTotal - 1] = MoneyText(t.total);
    cell[CReceived - 1] = MoneyText(t.received());
    cell[COutstanding - 1].resize(0);
    cell[CPoint - 1] = MoneyText(t.stackPoint);
    setText(cell[CInTime - 1], t.inTime);
    setText(cell[COutTime - 1], t.outTime);
    setText(cell[CEnd - 1], t.endOx == QStringLiteral("1") ? QStringLiteral("1") : QString());
    setText(cell[CMemo - 1], t.memo);
    setNumber(cell[CCode - 1], t.code);
    setNumber(cell[CFriend - 1], t.friendCode);
    cell[CCash - 1] = PlainNumber(t.cash);
    cell[CCard - 1] = PlainNumber(t.card);
    setNumber(cell[CCardCode - 1], t.cardCode);
    cell[CPoints - 1] = PlainNumber(t.points);
    cell[CDiscount - 1] = PlainNumber(t.discount);
    cell[CAccount - 1] = PlainNumber(t.account);
}

void frmTrade::fillRow(int row, const TradeRow& t)
{
    m_list->setRowTexts(row, tradeTexts(t));
}

void frmTrade::appendNewRow()
{
    m_list->setMaxRows(m_list->maxRows() + 1);
}

int frmTrade::newRow() const
{
    return m_list->maxRows();
}

int frmTrade::rowOfTrade(int code) const
{
    if (code <= 0)
        return -1;
    return m_list->searchCol(CCode, 1, newRow() - 1, QString::number(code));
}

int frmTrade::tradeAt(int row) const
{
    return row >= 1 && row < newRow() ? m_list->text(CCode, row).toInt() : 0;
}

void frmTrade::refreshRow(int row)
{
    const int code = tradeAt(row);
    if (code <= 0)
        return;
    const TradeRow t = LoadTrade(code);
    if (t.code == 0)
        return;
    fillRow(row, t);
    recomputeOutstanding();
    if (row == m_list->activeRow())
        showActive(row, true);
}

void frmTrade::recomputeOutstanding()
{
    double running = 0;
    for (int r = 1; r < newRow(); ++r) {
        const double own = m_list->number(CTotal, r) - m_list->number(CReceived, r);
        running = m_filterMember > 0 ? running + own : own;
        m_list->setText(COutstanding, r, MoneyText(running));
    }
    recomputeSums();
}

void frmTrade::recomputeSums()
{
    if (m_filterMember == 0) { // the whole period, also the rows not read yet
        const TradeSums sums = LoadTradePeriodSums(m_from, m_to);
        m_sum->setText(CTotal, 1, MoneyText(sums.total));
        m_sum->setText(CReceived, 1, MoneyText(sums.received));
        m_sum->setText(COutstanding, 1, MoneyText(sums.total - sums.received));
        m_sum->setText(CPoint, 1, MoneyText(sums.points));
        return;
    }
    double total = 0, received = 0, points = 0;
    for (int r = 1; r < newRow(); ++r) {
        total += m_list->number(CTotal, r);
        received += m_list->number(CReceived, r);
        points += m_list->number(CPoint, r);
    }
    // The outstanding total is that of the trades themselves, also when the column runs.
    m_sum->setText(CTotal, 1, MoneyText(total));
    m_sum->setText(CReceived, 1, MoneyText(received));
    m_sum->setText(COutstanding, 1, MoneyText(total - received));
    m_sum->setText(CPoint, 1, MoneyText(points));
}

// ---- the active trade ----

void frmTrade::showActive(int row, bool force)
{
    if (row == m_shownRow && !force)
        return;
    m_shownRow = row;
    m_lines->clear();
    m_lines->setMaxRows(0);
    m_pay->clear();
    const int code = tradeAt(row);
    if (code <= 0) {
        m_info->clear();
        return;
    }
    const QVector<TradeLineRow> lines = LoadTradeLines(code);
    m_lines->beginFill(int(lines.size()));
    for (const TradeLineRow& l : lines)
        m_lines->appendRow({l.name, MoneyText(l.quantity), MoneyText(l.price), MoneyText(l.amount), l.memo,
                            QString::number(l.code)});
    m_lines->endFill();
    const double cash = m_list->number(CCash, row), card = m_list->number(CCard, row),
                 account = m_list->number(CAccount, row), points = m_list->number(CPoints, row),
                 dc = m_list->number(CDiscount, row);
    const QString cardName = CardName(m_list->text(CCardCode, row).toInt());
    m_pay->setRowTexts(1, {MoneyText(cash), MoneyText(card) + (cardName.isEmpty() ? QString() : QStringLiteral("  ") + cardName),
                           MoneyText(account), MoneyText(points), MoneyText(dc),
                           MoneyText(cash + card + account + points + dc)});
    showMemberPanel(m_list->text(CFriend, row).toInt());
}

void frmTrade::showMemberPanel(int member)
{
    Recordset rs;
    if (member <= 1
        || OpenRecordset(rs, QStringLiteral("SELECT sname, hpline, hline1, smemo FROM tblfriend WHERE code = ?"), {member})
               <= 0) {
        m_info->clear();
        return;
    }
    rs.moveFirst();
    const bool fromRows = m_loadedSums.member > 0 && m_loadedSums.member == member;
    m_info->setText(QStringLiteral("회원명 : %1\n휴대폰 : %2\n전화1 : %3\n포인트 : %4\n미수금 : %5\n메모 : %6")
                        .arg(rs.text(QStringLiteral("sname")), rs.text(QStringLiteral("hpline")),
                             rs.text(QStringLiteral("hline1")),
                             MoneyText(fromRows ? double(qRound64(m_loadedSums.points))
                                                : double(FriendPointBalance(member))),
                             MoneyText(fromRows ? m_loadedSums.outstanding : FriendBalance(member)),
                             rs.text(QStringLiteral("smemo"))));
}

// ---- cell editing ----

int frmTrade::memberAt(int row) const
{
    return m_list->text(CFriend, row).toInt();
}

QString frmTrade::dateForEmpty() const
{
    return m_period->Text2();
}

void frmTrade::tradeCellSaved(int row)
{
    refreshRow(row);
}

void frmTrade::reloadList()
{
    load(tradeAt(m_list->activeRow()), m_list->activeCol());
}

bool frmTrade::commitOwnCell(int col, int row)
{
    if (col == CName)
        pickMember(row);
    return true;
}

void frmTrade::pickMember(int row)
{
    const QString typed = m_list->text(CName, row).trimmed();
    const bool isNew = row == newRow();
    const QString previous = isNew ? QString() : m_oldText;
    const QString name = typed.isEmpty() ? QString() : PickOrAdd(QStringLiteral("tblfriend"), typed);
    const int member = name.isEmpty() ? 0 : LastPickedCode();
    if (member <= 1) {
        // Nothing chosen: a trade keeps its member.
        m_list->setText(CName, row, previous);
        return;
    }
    // With "검색 고객만 보기" on, a trade of another member does not belong to the list.
    const bool leavesFilter = m_filterMember > 0 && member != m_filterMember;
    if (isNew) {
        QString date = NormalizeDate(m_list->text(CDate, row));
        if (date.isEmpty())
            date = m_period->Text2();
        QString time = NormalizeTime(m_list->text(CInTime, row));
        if (time.isEmpty())
            time = nowTime();
        const int code = insertTrade(date, member, time, m_list->text(CMemo, row));
        if (code <= 0) {
            m_list->setText(CName, row, QString());
            return;
        }
        if (leavesFilter) {
            reloadLater();
            return;
        }
        fillRow(row, LoadTrade(code));
        appendNewRow();
        recomputeOutstanding();
        showActive(row, true);
        return;
    }
    m_list->setText(CName, row, name);
    const CellSave outcome =
        saveTrade(row,
                  {{QStringLiteral("ctblfriend"), m_list->text(CFriend, row).toInt()},
                   {QStringLiteral("sintime"), m_list->text(CInTime, row)}},
                  {{QStringLiteral("ctblfriend"), member}, {QStringLiteral("sintime"), m_list->text(CInTime, row)}},
                  {{QStringLiteral("tblfriend"), member}});
    if (outcome == CellSave::Written || outcome == CellSave::Unchanged) {
        m_list->setText(CFriend, row, QString::number(member));
        if (leavesFilter)
            reloadLater();
        else
            refreshRow(row);
    } else {
        m_list->setText(CName, row, previous);
    }
}

int frmTrade::insertTrade(const QString& date, int member, const QString& time, const QString& memo)
{
    Transaction t;
    if (!t.ok()) {
        MsgInfo(DbFailureCause(LastDbErrorCode()));
        return 0;
    }
    if (!ParentsExist({{QStringLiteral("tblfriend"), member}})) {
        reloadLater();
        return 0;
    }
    const int code = InsertTrade(date, member, time, memo);
    if (code <= 0 || !t.commit()) {
        MsgInfo(kSaveFailed);
        return 0;
    }
    return code;
}

void frmTrade::setCallerListOpener(std::function<void()> opener)
{
    callerListOpener() = std::move(opener);
}

void frmTrade::CallMe()
{
    const int col = m_list->activeCol(), row = m_list->activeRow();
    if (row >= 1)
        commit(col, row);
}

// ---- editors ----

void frmTrade::openActiveCell()
{
    const int col = m_list->activeCol();
    if (col == CLines)
        openLineEditor(0);
    else if (col == CReceived)
        openPayment();
}

void frmTrade::openLineEditor(int lineCode)
{
    const int row = m_list->activeRow();
    const int code = tradeAt(row);
    if (code <= 0) {
        if (row == newRow() && m_list->activeCol() == CLines) {
            MsgInfo(QStringLiteral("우선 회원선택을 하셔야 합니다."));
            m_list->setActiveCell(CName, row);
        } else {
            MsgInfo(QStringLiteral("먼저 그리드를 선택하세요"));
        }
        return;
    }
    auto* ed = ChildWindow<frmTradeSub>(QStringLiteral("frmTradeSub"));
    if (!ed->property("tradeListLinked").toBool()) {
        ed->setProperty("tradeListLinked", true);
        connect(ed, &RecordEditor::recordSaved, this, [this, ed](int) { UpdateTrade(ed->tradeCode()); });
        // The trade or the line was deleted elsewhere: nothing to edit any more.
        connect(
            ed, &RecordEditor::recordGone, this,
            [this, ed] {
                CloseWindow(ed);
                reloadList();
            },
            Qt::QueuedConnection);
    }
    ed->setTrade(code);
    ed->SetFormMode(lineCode > 0 ? RecordEditor::EditMode : RecordEditor::NewMode, lineCode);
    FormFocus(ed);
}

void frmTrade::openPayment()
{
    const int row = m_list->activeRow();
    const int code = tradeAt(row);
    if (code <= 0) {
        MsgInfo(QStringLiteral("먼저 그리드를 선택하세요"));
        return;
    }
    openPaymentEditor(code, m_list->text(CFriend, row).toInt(), "tradeListLinked");
}

void frmTrade::UpdateTrade(int tradeCode)
{
    const int row = rowOfTrade(tradeCode);
    if (row >= 1)
        refreshRow(row);
}

void frmTrade::UpDateMoney(int tradeCode)
{
    UpdateTrade(tradeCode);
}

void frmTrade::UpdateFriend()
{
    reloadList();
}

// ---- delete, print ----

void frmTrade::deleteActive()
{
    if (m_lines->hasFocus()) {
        const int r = m_lines->activeRow();
        const int line = r >= 1 && r <= m_lines->dataRowCnt() ? m_lines->text(6, r).toInt() : 0;
        if (line <= 0) {
            MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
            return;
        }
        if (!AskYesNo(QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"), QStringLiteral("삭제"), false))
            return;
        const int trade = tradeAt(m_list->activeRow());
        const qint64 before = ProposedPoints(trade);
        if (ExecSQL(QStringLiteral("DELETE FROM tbltradesub WHERE code = ?"), {line}) <= 0) {
            MsgWarning(QStringLiteral("코드[") + QString::number(line)
                       + QStringLiteral("]에 해당하는 자료를 삭제할 수 없습니다."));
            return;
        }
        FollowProposedPoints(trade, before);
        // The trade's count, total and outstanding all follow the removed line.
        refreshRow(m_list->activeRow());
        m_lines->setFocus();
        return;
    }
    // Trades have no reserved row: code 1 is a real trade, so the shared list delete
    // (which skips code 1) is not used here.
    const int row = m_list->activeRow();
    const int code = tradeAt(row);
    if (code <= 0) {
        MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
    } else if (deleteTrade(code)) {
        m_list->deleteRows(row, 1);
        recomputeOutstanding();
        showActive(m_list->activeRow(), true);
    }
    m_list->setFocus();
}

bool frmTrade::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier) {
            switch (key->key()) {
            case Qt::Key_F4:
                deleteActive();
                return true;
            case Qt::Key_F6:
                openPayment();
                return true;
            case Qt::Key_F11:
                if (callerListOpener())
                    callerListOpener()();
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space:
                if (watched == m_list && !m_list->isEditing()
                    && (m_list->activeCol() == CLines || m_list->activeCol() == CReceived)) {
                    openActiveCell();
                    return true;
                }
                break;
            default:
                break;
            }
        }
    }
    return RecordList::eventFilter(watched, event);
}
