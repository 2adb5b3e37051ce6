#include "sales/frmService.h"

#include "core/Prompt.h"
#include "db/Database.h"
#include "ui/PickOrAdd.h"
#include "sales/SalesRules.h"
#include "sales/SalesWidgets.h"
#include "sales/frmServiceSub.h"
#include "ui/Grid.h"
#include "ui/HCText.h"
#include "ui/RecordWindow.h"
#include "ui/SearchInput.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmService::frmService(QWidget* parent) : RecordList(QStringLiteral("거래내용관리"), parent)
{
    setObjectName(QStringLiteral("frmService"));
    m_search = new HCText(this);
    CapSearchInput(m_search);
    m_search->setObjectName(QStringLiteral("htField"));
    auto* queryButton = SalesButton(this, "btnQuery", QStringLiteral("검색 (F5)"), true);
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setMaxCols(ColCount);
    m_grid->setHeaderTexts({QStringLiteral("거 래 명"), QStringLiteral("단    가"), QStringLiteral("적립Point"),
                            QStringLiteral("Memo"), QStringLiteral("code")});
    m_grid->setColWidth(ColName, 180);
    m_grid->setColWidth(ColMemo, 200);
    for (int c : {int(ColPrice), int(ColPoint)})
        m_grid->setColAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    m_grid->setColHidden(ColCode, true);
    auto* add = SalesButton(this, "btnRecAdd", QStringLiteral("신규 (F2)"), true);
    auto* edit = SalesButton(this, "btnRecEdit", QStringLiteral("수정"), true);
    auto* del = SalesButton(this, "btnRecDel", QStringLiteral("삭제 (F4)"), true);
    auto* close = SalesButton(this, "btnClose", QStringLiteral("닫기"), true);
    connect(queryButton, &QPushButton::clicked, this, &frmService::query);
    connect(m_search, &QLineEdit::returnPressed, this, &frmService::query);
    connect(add, &QPushButton::clicked, this, &frmService::addRecord);
    connect(edit, &QPushButton::clicked, this, [this] { editActive(); });
    connect(del, &QPushButton::clicked, this, [this] {
        RecDelete();
        m_grid->setFocus();
    });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(QStringLiteral("거래명"), this));
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(queryButton);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {add, edit, del, close})
        buttons->addWidget(b);
    auto* top = new QVBoxLayout(this);
    top->addLayout(searchRow);
    top->addWidget(m_grid, 1);
    top->addLayout(buttons);
    setListGrid(m_grid, ColCode, QStringLiteral("tblservice"));
    setDeleteNotice(false);
    m_grid->installEventFilter(this);
    resize(620, 420);
    Refresh_Sheet();
}

void frmService::setPickerMode(bool on)
{
    m_picker = on;
    setWindowTitle(on ? QStringLiteral("거래내용선택") : title());
    m_chosenCode = 0;
    m_chosenName.clear();
}

std::optional<PickRow> frmService::chosen() const
{
    if (m_chosenCode <= 0)
        return std::nullopt;
    return PickRow{m_chosenCode, m_chosenName};
}

void frmService::query()
{
    Refresh_Sheet();
}

void frmService::Refresh_Sheet()
{
    Recordset rs;
    const int n = OpenRecordset(
        rs,
        QStringLiteral("SELECT code, sname, smoney, spoint, smemo FROM tblservice WHERE code <> 1 AND sname LIKE ? "
                       "ESCAPE '\\' ORDER BY code"),
        {LikeContains(m_search->text())});
    m_grid->beginFill(qMax(n, 0));
    for (rs.moveFirst(); n > 0 && !rs.eof(); rs.moveNext())
        m_grid->appendRow({rs.text(QStringLiteral("sname")), MoneyText(rs.number(QStringLiteral("smoney"))),
                           MoneyText(rs.number(QStringLiteral("spoint"))), rs.text(QStringLiteral("smemo")),
                           rs.text(QStringLiteral("code"))});
    m_grid->endFill();
    if (n == 0)
        ShowNoResultNotice();
    if (m_grid->maxRows() > 0)
        m_grid->setActiveCell(ColName, 1);
}

void frmService::writeRow(int row, frmServiceSub* editor)
{
    m_grid->setRowTexts(row, {editor->savedName(), MoneyText(editor->savedPrice()), MoneyText(editor->savedPoints()),
                              editor->savedMemo(), QString::number(editor->code())});
    m_grid->setActiveCell(ColName, row);
}

void frmService::UpdateService(int mode, frmServiceSub* editor)
{
    if (!editor)
        return;
    // The editor is not modal: the list may have moved on, so the row is found by its code.
    int row = mode == 2 ? m_grid->searchCol(ColCode, 1, -1, QString::number(editor->code())) : -1;
    if (row < 1)
        row = m_grid->dataRowCnt() + 1;
    writeRow(row, editor);
}

frmServiceSub* frmService::openEditor(int code)
{
    auto* ed = ChildWindow<frmServiceSub>(QStringLiteral("frmServiceSub"));
    if (!ed->property("serviceListLinked").toBool()) {
        ed->setProperty("serviceListLinked", true);
        connect(ed, &RecordEditor::recordSaved, this, [this, ed](int) { UpdateService(ed->mode(), ed); });
    }
    ed->SetFormMode(code > 0 ? RecordEditor::EditMode : RecordEditor::NewMode, code);
    FormFocus(ed);
    return ed;
}

void frmService::addRecord()
{
    openEditor(0);
}

void frmService::editRecord(int code)
{
    openEditor(code);
}

bool frmService::deleteGuards(int code)
{
    return !IsCodeInUse(QStringLiteral("tbltradesub"), QStringLiteral("ctblservice"), QString::number(code), false,
                        QStringLiteral("회원거래"), true);
}

void frmService::rowDoubleClicked(int row)
{
    if (m_picker)
        pickRow(row);
}

void frmService::pickRow(int row)
{
    if (row < 1 || row > m_grid->dataRowCnt())
        return;
    m_chosenCode = m_grid->text(ColCode, row).toInt();
    m_chosenName = m_grid->text(ColName, row);
    emit picked();
    close();
}

bool frmService::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            if (m_picker)
                pickRow(m_grid->activeRow());
            else
                editActive();
            return true;
        }
        if (m_picker && key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
    }
    return RecordList::eventFilter(watched, event);
}

QString frmService::pick(const QString& text)
{
    SetLastPickedServiceCode(0);
    Recordset rs;
    const int n = OpenRecordset(
        rs,
        QStringLiteral("SELECT code, sname FROM tblservice WHERE code <> 1 AND sname LIKE ? ESCAPE '\\' ORDER BY code"),
        {LikeContains(text)});
    if (n == 1) {
        rs.moveFirst();
        SetLastPickedServiceCode(rs.integer(QStringLiteral("code")));
        return rs.text(QStringLiteral("sname"));
    }
    if (n > 1) {
        auto* w = new frmService;
        w->setPickerMode(true);
        w->m_search->setText(text);
        w->Refresh_Sheet();
        std::optional<PickRow> row;
        connect(w, &frmService::picked, w, [&row, w] { row = w->chosen(); });
        ExecModalWindow(w, w->m_grid);
        if (!row)
            return {};
        SetLastPickedServiceCode(row->code);
        return row->name;
    }
    if (n < 0)
        return {};
    const PickKindTexts texts = PickTexts(QStringLiteral("tblservice"));
    if (!text.isEmpty()) {
        if (!AskYesNo(PickAddQuestion(QStringLiteral("tblservice"), text)))
            return {};
    } else {
        MsgInfo(texts.noneRegistered);
    }
    QString saved;
    const int code = frmServiceSub::addFromPicker(text, &saved);
    if (code <= 0)
        return {};
    SetLastPickedServiceCode(code);
    return saved;
}
