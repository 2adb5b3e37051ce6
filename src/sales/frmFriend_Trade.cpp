#include "sales/frmFriend_Trade.h"

#include "core/PrivateData.h"

#include "calendar/DateText.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "db/DbRow.h"
#include "ui/PickOrAdd.h"
#include "members/UserFields.h"
#include "sales/SalesRules.h"
#include "sales/TradeStore.h"
#include "sales/SalesWidgets.h"
#include "ui/Grid.h"
#include "ui/RecordWindow.h"
#include "ui/TotalsGrid.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kFriendSaveFailed = QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다.");
} // namespace

frmFriend_Trade::frmFriend_Trade(QWidget* parent)
    : TradeEntryList(QStringLiteral("회원별 거래 내역"), {CTrade, CDate, CPoint, CInTime, COutTime, CEnd, CMemo}, parent)
{
    setObjectName(QStringLiteral("frmFriend_Trade"));
    makeEntryGrid({QStringLiteral("거래일자"), QStringLiteral("거래내용"), QStringLiteral("수량"),
                   QStringLiteral("단   가"), QStringLiteral("총    액"), QStringLiteral("수 금 액"),
                   QStringLiteral("미 수 금"), QStringLiteral("적립 P"), QStringLiteral("접수T"), QStringLiteral("완료T"),
                   QStringLiteral("완 료"), QStringLiteral("Memo"), QStringLiteral("code"), QStringLiteral("현금"),
                   QStringLiteral("카드"), QStringLiteral("통장"), QStringLiteral("포인트"),
                   QStringLiteral("거래디테일코드"), QStringLiteral("상품코드")},
                  {CAmount, CReceived, COutstanding}, CTrade, {CQty, CPrice, CAmount, CReceived, COutstanding, CPoint});
    m_list->setColWidth(CService, 140);
    m_list->setColWidth(CMemo, 180);
    m_sum = new TotalsGrid(m_list,
                           {{CAmount, QStringLiteral("총액합계")},
                            {CReceived, QStringLiteral("수금액합계")},
                            {COutstanding, QStringLiteral("미수금합계")},
                            {CPoint, QStringLiteral("포인트합계")}},
                           this);
    m_info = MakeInfoPanel(this);
    m_info->setMinimumWidth(200);
    m_info->setMaximumWidth(260);
    m_info->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* queryButton = SalesButton(this, "btnQuery", QStringLiteral("조회 (F5)"));
    auto* del = SalesButton(this, "btnRecDel", QStringLiteral("삭제 (F4)"));
    auto* money = SalesButton(this, "btnInMoney", QStringLiteral("입금"));
    auto* call = SalesButton(this, "btnCall", QStringLiteral("전화걸기"));
    call->setEnabled(false);
    auto* print = SalesButton(this, "btnPrint", QStringLiteral("인쇄 (F7)"));
    auto* close = SalesButton(this, "btnClose", QStringLiteral("닫기"));
    connect(queryButton, &QPushButton::clicked, this, &frmFriend_Trade::query);
    connect(del, &QPushButton::clicked, this, &frmFriend_Trade::deleteActive);
    connect(money, &QPushButton::clicked, this, &frmFriend_Trade::openPayment);
    connect(print, &QPushButton::clicked, this, &frmFriend_Trade::printList);
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(m_list, &Grid::cellDoubleClicked, this, [this](int col, int) {
        if (col == CReceived)
            openPayment();
    });

    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(m_list, 1);
    left->addWidget(m_sum);
    body->addLayout(left, 1);
    body->addWidget(m_info);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {queryButton, del, money, call, print})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    setListGrid(m_list, CTrade, QStringLiteral("tbltrade"));
    resize(1000, 560);
}

int frmFriend_Trade::newRow() const
{
    return m_list->maxRows();
}

void frmFriend_Trade::SetFormMode(int member)
{
    m_member = member;
    load(); // the title's management number comes with the member panel's row
}

void frmFriend_Trade::query()
{
    reloadList();
}

void frmFriend_Trade::reloadList()
{
    const int row = m_list->activeRow();
    const RowKey key = keyAt(row);
    load(key, m_list->activeCol(), key.trade > 0 ? row : 0);
}

void frmFriend_Trade::tradeCellSaved(int)
{
    reloadLater();
}

frmFriend_Trade::RowKey frmFriend_Trade::keyAt(int row) const
{
    if (row < 1 || row > m_list->maxRows())
        return {};
    return {m_list->text(CTrade, row).toInt(), m_list->text(CLine, row).toInt()};
}

void frmFriend_Trade::UpDateMoney(int tradeCode)
{
    if (m_list->searchCol(CTrade, 1, -1, QString::number(tradeCode)) >= 1)
        reloadList();
}

void frmFriend_Trade::UpdateFriend()
{
    SetFormMode(m_member);
}

void frmFriend_Trade::load(const RowKey& keep, int col, int fallbackRow)
{
    m_busy = true;
    m_list->beginFill();
    double running = 0, sumAmount = 0, sumReceived = 0, sumPoints = 0, usedPoints = 0;
    int lastTrade = 0;
    // Columns are looked up on the first row; every row reads them by position, straight
    // from the engine into one list of cells kept from row to row.
    enum { Code, Date, Cash, Card, Account, Points, Dc, Stack, In, Out, End, Memo, Line, Name, Number, Price,
           Sum, Service, Tot, ColCount };
    static const char* const names[ColCount] = {"code", "sdate", "dmoney", "dcard", "daccount", "lpoint",
                                                "ddc", "lstackpoint", "sintime", "souttime", "lendox", "smemo",
                                                "lcode", "servicename", "lnumber", "lprice", "dsum", "ctblservice",
                                                "tot"};
    int at[ColCount];
    bool found = false;
    QStringList cells(19);
    QString endOx;
    const int n = ReadRows(MemberTradeLinesSql(), {m_member, m_member}, [&](const DbRow& row) {
        if (!found) {
            for (int i = 0; i < ColCount; ++i)
                at[i] = row.columnIndex(QString::fromLatin1(names[i]));
            found = true;
        }
        const auto num = [&row, &at](int c) { return row.number(at[c]); };
        const int trade = int(row.integer(at[Code]));
        const double cash = num(Cash), card = num(Card), account = num(Account), points = num(Points);
        const double received = cash + card + account + points + num(Dc);
        const double stack = num(Stack), amount = num(Sum);
        const bool first = trade != lastTrade;
        lastTrade = trade;
        // A trade's received amount, outstanding and points count once, on its first row.
        if (first) {
            running += num(Tot) - received;
            sumReceived += received;
            sumPoints += stack;
            usedPoints += points;
        }
        sumAmount += amount;
        const bool hasLine = row.integer(at[Line]) > 0;
        QString* cell = cells.data(); // the grid copies each row: the list is only read meanwhile
        const auto text = [&](int i, int c) {
            if (c < 0)
                cell[i].resize(0);
            else
                row.text(at[c], cell[i]);
        };
        text(0, Date);
        text(1, Name);
        cell[2] = hasLine ? MoneyText(num(Number)) : QString();
        cell[3] = hasLine ? MoneyText(num(Price)) : QString();
        cell[4] = hasLine ? MoneyText(amount) : QString();
        cell[5] = first ? MoneyText(qRound64(received)) : QString();
        cell[6] = MoneyText(running);
        cell[7] = MoneyText(stack);
        text(8, In);
        text(9, Out);
        row.text(at[End], endOx);
        if (endOx == QLatin1String("1"))
            cell[10] = endOx;
        else
            cell[10].resize(0);
        text(11, Memo);
        row.text(at[Code], cell[12]);
        cell[13] = PlainNumber(cash);
        cell[14] = PlainNumber(card);
        cell[15] = PlainNumber(account);
        cell[16] = PlainNumber(points);
        text(17, hasLine ? Line : -1);
        text(18, hasLine ? Service : -1);
        m_list->appendRow(cells);
    });
    if (n < 0) { // failed part way (the error was shown): none of its rows
        m_list->endFill();
        m_list->beginFill();
        running = sumAmount = sumReceived = sumPoints = usedPoints = 0;
    }
    // The rows hold every trade of the member, so their sums are the member's balances.
    showMember(running, qRound64(sumPoints - usedPoints));
    m_list->appendRow({});
    m_list->endFill();
    m_list->setHeaderText(COutstanding, QStringLiteral("미 수 금"));
    m_sum->setText(CAmount, 1, MoneyText(sumAmount));
    m_sum->setText(CReceived, 1, MoneyText(sumReceived));
    m_sum->setText(COutstanding, 1, MoneyText(running));
    m_sum->setText(CPoint, 1, MoneyText(sumPoints));
    m_changedCol = m_changedRow = 0;
    m_busy = false;
    int row = -1;
    if (keep.line > 0)
        row = m_list->searchCol(CLine, 1, newRow() - 1, QString::number(keep.line));
    else if (keep.trade > 0)
        row = m_list->searchCol(CTrade, 1, newRow() - 1, QString::number(keep.trade));
    if (row < 1)
        row = fallbackRow <= 0 ? newRow() : qBound(1, fallbackRow, newRow());
    m_list->setActiveCell(col >= 1 && col < CTrade ? col : CDate, row);
    m_oldText = m_list->text(m_list->activeCol(), row);
}

void frmFriend_Trade::showMember(double outstanding, qint64 points)
{
    Recordset rs;
    const auto title = [this](const QString& number) {
        setWindowTitle(QStringLiteral("회원별 거래 내역 - 관리번호 : [") + number + QStringLiteral("]"));
    };
    if (m_member <= 1 || OpenRecordset(rs, QStringLiteral("SELECT * FROM tblfriend WHERE code = ?"), {m_member}) <= 0) {
        title(m_member == 1 ? GetScalar(QStringLiteral("SELECT codeno FROM tblfriend WHERE code = 1")).toString()
                            : QString());
        m_info->clear();
        return;
    }
    rs.moveFirst();
    title(rs.text(QStringLiteral("codeno")));
    auto t = [&rs](const char* c) { return rs.text(QString::fromLatin1(c)); };
    auto day = [&rs, &t](const char* c, const char* lunar) {
        const QString d = t(c);
        if (d.isEmpty())
            return QString();
        return d + (rs.integer(QString::fromLatin1(lunar)) == 1 ? QStringLiteral(" 음력") : QStringLiteral(" 양력"));
    };
    QStringList lines{
        QStringLiteral("회원명 : ") + t("sname"),
        QStringLiteral("그룹 : ") + GroupNameByCode(rs.integer(QStringLiteral("ctblgroup"))),
        QStringLiteral("주민번호 : ") + IdNoForDisplay(t("idno")),
        QStringLiteral("성별 : ") + t("male"),
        QStringLiteral("휴대폰 : ") + t("hpline"),
        QStringLiteral("전화1 : ") + t("hline1"),
        QStringLiteral("전화2 : ") + t("hline2"),
        QStringLiteral("E-Mail : ") + t("mail"),
        QStringLiteral("홈페이지 : ") + t("homepi"),
        QStringLiteral("주소 : ") + t("hzipno") + QLatin1Char(' ') + t("homeadd") + QLatin1Char(' ') + t("homeadd2"),
        QStringLiteral("생일 : ") + day("barthday", "lunarbarth"),
        QStringLiteral("결혼기념일 : ") + day("marryday", "lunarmarry"),
        QStringLiteral("기타기념일 : ") + day("ectday", "lunarect"),
        QStringLiteral("혈액형 : ") + t("abo"),
        QStringLiteral("메모 : ") + t("smemo"),
        QStringLiteral("포인트 : ") + MoneyText(double(points)),
        QStringLiteral("미수금 : ") + MoneyText(outstanding),
    };
    const QStringList names = LoadUserFieldNames();
    for (int i = 0; i < names.size(); ++i)
        if (!names[i].isEmpty())
            lines << names[i] + QStringLiteral(" : ") + rs.text(QStringLiteral("userfieldnote%1").arg(i + 1));
    m_info->setText(lines.join(QLatin1Char('\n')));
    const bool centred = Settings::getIn(App().appTitle, QStringLiteral("Config"), QStringLiteral("CLIENT_SORT"),
                                       QStringLiteral("0"))
                         == QStringLiteral("1");
    m_info->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
}

// ---- editing ----

bool frmFriend_Trade::chooseService(int row)
{
    const QString typed = m_list->text(CService, row).trimmed();
    if (typed.isEmpty()) {
        restoreCell(CService, row);
        return false;
    }
    const QString name = PickOrAdd(QStringLiteral("tblservice"), typed);
    // A name typed without choosing a catalog entry is a free line (service 1).
    const int service = name.isEmpty() ? 1 : qMax(1, LastPickedServiceCode());
    double qty = SalesNumber(m_list->text(CQty, row)), price = SalesNumber(m_list->text(CPrice, row));
    ApplyPickedService(qMax(1, m_list->text(CServiceCode, row).toInt()), service, &qty, &price);
    m_list->setText(CService, row, name.isEmpty() ? typed : name);
    m_list->setText(CServiceCode, row, QString::number(service));
    m_list->setText(CQty, row, MoneyText(qty));
    m_list->setText(CPrice, row, MoneyText(price));
    return true;
}

bool frmFriend_Trade::commitService(int row)
{
    const QVariantHash shown{{QStringLiteral("ctblservice"), qMax(1, m_list->text(CServiceCode, row).toInt())},
                             {QStringLiteral("servicename"), m_oldText.trimmed()},
                             {QStringLiteral("lnumber"), SalesNumber(m_list->text(CQty, row))},
                             {QStringLiteral("dmoney"), SalesNumber(m_list->text(CPrice, row))}};
    if (!chooseService(row))
        return true;
    const double qty = SalesNumber(m_list->text(CQty, row)), price = SalesNumber(m_list->text(CPrice, row));
    if (!AmountFits(qty * price)) {
        ShowNumberTooLarge();
        restoreCell(CService, row);
        return true;
    }
    if (m_list->text(CLine, row).toInt() <= 0) {
        insertLine(row);
        return true;
    }
    saveLine(CService, row, shown,
             {{QStringLiteral("ctblservice"), m_list->text(CServiceCode, row).toInt()},
              {QStringLiteral("servicename"), m_list->text(CService, row).trimmed()},
              {QStringLiteral("lnumber"), qty},
              {QStringLiteral("dmoney"), price},
              {QStringLiteral("dsum"), qty * price}});
    return true;
}

bool frmFriend_Trade::commitLineNumber(int col, int row)
{
    const double v = SalesNumber(m_list->text(col, row));
    if (col == CQty && !WholeQuantity(v)) {
        ShowWholeQuantity();
        restoreCell(col, row);
        return false;
    }
    const double qty = col == CQty ? v : SalesNumber(m_list->text(CQty, row));
    const double price = col == CPrice ? v : SalesNumber(m_list->text(CPrice, row));
    if (!CountFits(qty) || !AmountFits(price) || !AmountFits(qty * price)) {
        ShowNumberTooLarge();
        restoreCell(col, row);
        return false;
    }
    m_list->setText(col, row, MoneyText(v));
    if (m_list->text(CLine, row).toInt() <= 0)
        return true; // kept for the line the service cell makes
    // The amount is computed from both numbers, so both must still be the shown ones.
    const QVariantHash shown{{QStringLiteral("lnumber"), col == CQty ? SalesNumber(m_oldText) : qty},
                             {QStringLiteral("dmoney"), col == CPrice ? SalesNumber(m_oldText) : price}};
    saveLine(col, row, shown,
             {{col == CQty ? QStringLiteral("lnumber") : QStringLiteral("dmoney"), v},
              {QStringLiteral("dsum"), qty * price}});
    return true;
}

void frmFriend_Trade::saveLine(int col, int row, const QVariantHash& shown, const QVariantHash& values)
{
    const int trade = m_list->text(CTrade, row).toInt();
    const qint64 before = ProposedPoints(trade);
    const CellSave outcome =
        SaveCell(QStringLiteral("tbltradesub"), m_list->text(CLine, row).toInt(), shown, values,
                 {{QStringLiteral("tbltrade"), trade},
                  {QStringLiteral("tblservice"), qMax(1, m_list->text(CServiceCode, row).toInt())}});
    if (outcome == CellSave::Failed) {
        restoreCell(col, row);
        return;
    }
    if (outcome == CellSave::Written)
        FollowProposedPoints(trade, before);
    reloadLater();
}

void frmFriend_Trade::insertLine(int row)
{
    const double qty = SalesNumber(m_list->text(CQty, row)), price = SalesNumber(m_list->text(CPrice, row));
    const QString name = m_list->text(CService, row).trimmed();
    const int service = qMax(1, m_list->text(CServiceCode, row).toInt());
    int trade = m_list->text(CTrade, row).toInt();
    const qint64 before = trade > 0 ? ProposedPoints(trade) : 0;
    int line = 0;
    {
        Transaction tx;
        if (!tx.ok()) {
            MsgInfo(DbFailureCause(LastDbErrorCode()));
            restoreCell(CService, row);
            return;
        }
        // A new row makes the trade and its first line together; a trade row without lines
        // gets its first line.
        if (!ParentsExist({{QStringLiteral("tblfriend"), m_member},
                           {QStringLiteral("tbltrade"), trade},
                           {QStringLiteral("tblservice"), service}})) {
            reloadLater();
            return;
        }
        if (trade <= 0) {
            QString date = NormalizeDate(m_list->text(CDate, row));
            if (date.isEmpty())
                date = Clock::today().toString(QStringLiteral("yyyy-MM-dd"));
            QString time = NormalizeTime(m_list->text(CInTime, row));
            if (time.isEmpty())
                time = Clock::now().toString(QStringLiteral("HH:mm"));
            trade = InsertTrade(date, m_member, time, m_list->text(CMemo, row));
        }
        if (trade > 0
            && ExecSQL(QStringLiteral("INSERT INTO tbltradesub (ctbltrade, lnumber, dmoney, dsum, servicename, "
                                      "ctblservice, smemo) VALUES (?, ?, ?, ?, ?, ?, '')"),
                       {trade, qty, price, qty * price, name, service})
                   > 0)
            line = LastIdentity();
        if (line <= 0 || !tx.commit()) {
            MsgInfo(kFriendSaveFailed);
            restoreCell(CService, row);
            return;
        }
    }
    FollowProposedPoints(trade, before);
    // The reload finds the row by its new trade and line.
    m_list->setText(CTrade, row, QString::number(trade));
    m_list->setText(CLine, row, QString::number(line));
    reloadLater();
}

bool frmFriend_Trade::commitOwnCell(int col, int row)
{
    switch (col) {
    case CService:
        return commitService(row);
    case CQty:
    case CPrice:
        return commitLineNumber(col, row);
    default:
        return true;
    }
}

// ---- payment, delete, print ----

void frmFriend_Trade::openPayment()
{
    const int row = m_list->activeRow();
    if (row < 1) {
        MsgInfo(QStringLiteral("먼저 그리드를 선택하세요"));
        return;
    }
    const int trade = m_list->text(CTrade, row).toInt();
    if (trade <= 0) {
        MsgInfo(QStringLiteral("우선 거래내용을 선택하셔야 합니다."));
        return;
    }
    openPaymentEditor(trade, m_member, "memberTradeLinked");
}

void frmFriend_Trade::deleteActive()
{
    const int row = m_list->activeRow();
    const int trade = row >= 1 ? m_list->text(CTrade, row).toInt() : 0;
    if (trade <= 0) {
        MsgInfo(QStringLiteral("삭제할 자료를 선택하세요."));
    } else if (deleteTrade(trade)) {
        load({}, m_list->activeCol(), row);
    }
    m_list->setFocus();
}

bool frmFriend_Trade::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier && key->key() == Qt::Key_F4) {
            deleteActive();
            return true;
        }
        if (watched == m_list && key->modifiers() == Qt::NoModifier && !m_list->isEditing()
            && m_list->activeCol() == CReceived && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            openPayment();
            return true;
        }
    }
    return RecordList::eventFilter(watched, event);
}
