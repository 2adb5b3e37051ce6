#include "sales/TradeEntryList.h"

#include "calendar/DateText.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "db/Database.h"
#include "members/MemberEvents.h"
#include "sales/SalesRules.h"
#include "sales/frmTradeMoney.h"
#include "ui/FormIni.h"
#include "ui/Grid.h"
#include "ui/RecordWindow.h"

TradeEntryList::TradeEntryList(const QString& title, const TradeCols& cols, QWidget* parent)
    : RecordList(title, parent), m_cols(cols)
{
    connect(MemberEvents::instance(), &MemberEvents::memberSaved, this, &TradeEntryList::onMemberSaved);
}

Grid* TradeEntryList::makeEntryGrid(const QStringList& headers, std::initializer_list<int> locked, int firstHidden,
                                    std::initializer_list<int> numbers)
{
    m_list = new Grid(this);
    m_list->setObjectName(QStringLiteral("spList"));
    m_list->setEntryMode();
    m_list->setEnterMove(EnterMove::Right);
    m_list->setMaxCols(int(headers.size()));
    m_list->setHeaderTexts(headers);
    for (int c : locked)
        m_list->setColLocked(c, true);
    for (int c = firstHidden; c <= int(headers.size()); ++c) {
        m_list->setColLocked(c, true);
        m_list->setColHidden(c, true);
    }
    for (int c : numbers)
        m_list->setColType(c, CellType::Number);
    m_list->setColType(m_cols.end, CellType::CheckBox);
    connect(m_list, &Grid::cellChanged, this, [this](int col, int row) {
        if (col == m_cols.end) {
            onCheck(row);
            return;
        }
        m_changedCol = col;
        m_changedRow = row;
    });
    connect(m_list, &Grid::activeCellChanged, this, [this](int col, int row) { m_oldText = m_list->text(col, row); });
    // A reload after a save runs once the grid has moved on, so the cursor stays where
    // Enter or the click led.
    connect(m_list, &Grid::leaveCell, this,
            [this](int col, int row, int, int, bool* cancel) { onLeaveCell(col, row, cancel); });
    return m_list;
}

int TradeEntryList::tradeAt(int row) const
{
    return row >= 1 ? m_list->text(m_cols.trade, row).toInt() : 0;
}

void TradeEntryList::onMemberSaved()
{
    // A member added through the picker while a cell is committed is not on the grid yet;
    // reloading then would pull the row being typed away.
    if (!m_committing && !m_busy)
        UpdateFriend();
}

bool TradeEntryList::commit(int col, int row)
{
    m_committing = true;
    const bool done = commitCell(col, row);
    m_committing = false;
    return done;
}

void TradeEntryList::onLeaveCell(int col, int row, bool* cancel)
{
    if (m_busy || col != m_changedCol || row != m_changedRow)
        return;
    m_changedCol = m_changedRow = 0;
    if (!commit(col, row))
        *cancel = true;
}

void TradeEntryList::restoreCell(int col, int row)
{
    m_list->setText(col, row, m_oldText);
}

void TradeEntryList::reloadLater()
{
    if (m_reloadQueued)
        return;
    m_reloadQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_reloadQueued = false;
            reloadList();
        },
        Qt::QueuedConnection);
}

CellSave TradeEntryList::saveTrade(int row, const QVariantHash& shown, const QVariantHash& values,
                                   const QList<RowRef>& parents)
{
    const int trade = tradeAt(row);
    if (trade <= 0)
        return CellSave::Failed;
    const CellSave outcome = SaveCell(QStringLiteral("tbltrade"), trade, shown, values, parents);
    if (outcome == CellSave::Reload || outcome == CellSave::Gone)
        reloadLater();
    else if (outcome == CellSave::Failed)
        m_list->setFocus();
    return outcome;
}

void TradeEntryList::afterSave(int col, int row, CellSave outcome)
{
    if (outcome == CellSave::Written || outcome == CellSave::Unchanged)
        tradeCellSaved(row);
    else if (outcome == CellSave::Failed)
        restoreCell(col, row);
}

bool TradeEntryList::commitCell(int col, int row)
{
    if (col == m_cols.date)
        return commitDate(row);
    if (col == m_cols.point)
        return commitPoints(row);
    if (col == m_cols.inTime || col == m_cols.outTime)
        return commitTime(col, row);
    if (col == m_cols.memo) {
        const QString memo = m_list->text(col, row);
        if (tradeAt(row) > 0)
            afterSave(col, row,
                      saveTrade(row, {{QStringLiteral("smemo"), m_oldText}}, {{QStringLiteral("smemo"), memo}}));
        return true;
    }
    return commitOwnCell(col, row);
}

bool TradeEntryList::commitDate(int row)
{
    const int col = m_cols.date;
    QString text = m_list->text(col, row).trimmed();
    if (text.isEmpty())
        text = dateForEmpty();
    if (text.isEmpty()) {
        // An emptied date is no date: the stored one stays and shows again.
        restoreCell(col, row);
        return true;
    }
    const QString date = CheckDateText(text, true);
    if (date.isEmpty()) {
        restoreCell(col, row); // refused with the date message; the stored date shows again
        return false;
    }
    m_list->setText(col, row, date);
    if (tradeAt(row) > 0)
        afterSave(col, row,
                  saveTrade(row, {{QStringLiteral("sdate"), m_oldText.trimmed()}}, {{QStringLiteral("sdate"), date}}));
    return true;
}

bool TradeEntryList::commitPoints(int row)
{
    const int col = m_cols.point;
    const double v = SalesNumber(m_list->text(col, row));
    const int trade = tradeAt(row);
    if (!CountFits(v) || (trade > 0 && !MemberPointsFit(memberAt(row), trade, v))) {
        ShowNumberTooLarge();
        restoreCell(col, row);
        return false;
    }
    m_list->setText(col, row, MoneyText(v));
    if (trade > 0)
        afterSave(col, row,
                  saveTrade(row, {{QStringLiteral("lstackpoint"), SalesNumber(m_oldText)}},
                            {{QStringLiteral("lstackpoint"), qint64(v)}}));
    return true;
}

bool TradeEntryList::commitTime(int col, int row)
{
    const QString text = m_list->text(col, row).trimmed();
    const QString time = text.isEmpty() ? QString() : CheckTimeText(text, true);
    if (time.isEmpty() && !text.isEmpty()) {
        restoreCell(col, row); // refused with the time message; the stored time shows again
        return false;
    }
    m_list->setText(col, row, time);
    if (tradeAt(row) <= 0)
        return true;
    if (col == m_cols.inTime) {
        afterSave(col, row,
                  saveTrade(row, {{QStringLiteral("sintime"), m_oldText.trimmed()}}, {{QStringLiteral("sintime"), time}}));
        return true;
    }
    // A completion time also completes the trade.
    QVariantHash values{{QStringLiteral("souttime"), time}};
    if (!time.isEmpty())
        values.insert(QStringLiteral("lendox"), QStringLiteral("1"));
    const CellSave outcome = saveTrade(row, {{QStringLiteral("souttime"), m_oldText.trimmed()}}, values);
    if (!time.isEmpty() && (outcome == CellSave::Written || outcome == CellSave::Unchanged))
        m_list->setText(m_cols.end, row, QStringLiteral("1"));
    afterSave(col, row, outcome);
    return true;
}

void TradeEntryList::onCheck(int row)
{
    if (m_busy)
        return;
    m_busy = true;
    const bool ticked = m_list->text(m_cols.end, row) == QStringLiteral("1");
    const QVariantHash shown{{QStringLiteral("lendox"), ticked ? QStringLiteral("0") : QStringLiteral("1")},
                             {QStringLiteral("souttime"), m_list->text(m_cols.outTime, row)}};
    if (tradeAt(row) <= 0) {
        m_list->setText(m_cols.end, row, QString());
        MsgInfo(QStringLiteral("완료할 내용이 없습니다"));
    } else if (ticked) {
        const QString time = Clock::now().toString(QStringLiteral("HH:mm"));
        const CellSave outcome =
            saveTrade(row, shown, {{QStringLiteral("souttime"), time}, {QStringLiteral("lendox"), QStringLiteral("1")}});
        if (outcome == CellSave::Written || outcome == CellSave::Unchanged)
            m_list->setText(m_cols.outTime, row, time);
        else
            m_list->setText(m_cols.end, row, QString());
    } else if (AskYesNo(QStringLiteral("완료를 정말 취소 하시겠습니까?"), QStringLiteral("완료 취소 확인"), false)) {
        const CellSave outcome =
            saveTrade(row, shown, {{QStringLiteral("souttime"), QString()}, {QStringLiteral("lendox"), QStringLiteral("0")}});
        if (outcome == CellSave::Written || outcome == CellSave::Unchanged)
            m_list->setText(m_cols.outTime, row, QString());
        else
            m_list->setText(m_cols.end, row, QStringLiteral("1"));
    } else {
        m_list->setText(m_cols.end, row, QStringLiteral("1"));
    }
    m_busy = false;
}

bool TradeEntryList::deleteTrade(int trade)
{
    if (!AskYesNo(QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"), QStringLiteral("삭제"), false))
        return false;
    if (DeleteTradeWithLines(trade) > 0)
        return true;
    MsgWarning(QStringLiteral("코드[") + QString::number(trade) + QStringLiteral("]에 해당하는 자료를 삭제할 수 없습니다."));
    return false;
}

void TradeEntryList::openPaymentEditor(int trade, int member, const char* linkName)
{
    auto* ed = ChildWindow<frmTradeMoney>(QStringLiteral("frmTradeMoney"));
    if (!ed->property(linkName).toBool()) {
        ed->setProperty(linkName, true);
        connect(ed, &frmTradeMoney::paymentSaved, this, &TradeEntryList::UpDateMoney);
        connect(ed, &frmTradeMoney::tradeGone, this, &TradeEntryList::reloadLater);
    }
    ed->open(trade, member);
    FormFocus(ed);
}

void TradeEntryList::printList()
{
    PrintGridForReport(objectName(), m_list, QStringLiteral("회원 거래 내용"));
}
