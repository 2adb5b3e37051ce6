#include "sales/TradeEntryList.h"

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

bool TradeEntryList::saveTrade(int row, const QString& assignment, const QVariantList& values)
{
    const int trade = tradeAt(row);
    if (trade > 0
        && ExecSQL(QStringLiteral("UPDATE tbltrade SET ") + assignment + QStringLiteral(" WHERE code = ?"),
                   values + QVariantList{trade})
               > 0)
        return true;
    MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
    m_list->setFocus();
    return false;
}

bool TradeEntryList::readPoints(int col, int row, double* value)
{
    *value = SalesNumber(m_list->text(col, row).trimmed());
    if (CountFits(*value))
        return true;
    ShowNumberTooLarge();
    m_list->setText(col, row, m_oldText);
    return false;
}

void TradeEntryList::onCheck(int row)
{
    if (m_busy)
        return;
    m_busy = true;
    const bool ticked = m_list->text(m_cols.end, row) == QStringLiteral("1");
    if (tradeAt(row) <= 0) {
        m_list->setText(m_cols.end, row, QString());
        MsgInfo(QStringLiteral("완료할 내용이 없습니다"));
    } else if (ticked) {
        const QString time = Clock::now().toString(QStringLiteral("HH:mm"));
        if (saveTrade(row, QStringLiteral("souttime = ?, lendox = '1'"), {time}))
            m_list->setText(m_cols.outTime, row, time);
        else
            m_list->setText(m_cols.end, row, QString());
    } else if (AskYesNo(QStringLiteral("완료를 정말 취소 하시겠습니까?"), QStringLiteral("완료 취소 확인"), false)) {
        if (saveTrade(row, QStringLiteral("souttime = '', lendox = '0'"), {}))
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
    }
    ed->open(trade, member);
    FormFocus(ed);
}

void TradeEntryList::printList()
{
    PrintGridForReport(objectName(), m_list, QStringLiteral("회원 거래 내용"));
}
