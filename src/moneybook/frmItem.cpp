#include "moneybook/frmItem.h"
#include "moneybook/MoneyBookWidgets.h"

#include "core/Prompt.h"
#include "db/Database.h"
#include "db/SqlPart.h"
#include "moneybook/frmItemSub.h"
#include "ui/Grid.h"
#include "ui/HCText.h"
#include "ui/RecordWindow.h"
#include "ui/SearchInput.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using MoneyBook::button;

namespace {

QString listTitle(const QString& table) {
    return table == QStringLiteral("tblaffairsnote") ? QStringLiteral("항목관리 - 그룹자금")
                                                     : QStringLiteral("항목관리");
}

// A modal category editor in new mode; the saved text and code, or nullopt.
std::optional<PickRow> addItemModal(const QString& table, const QString& text, int classIndex) {
    QPointer<frmItemSub> ed = new frmItemSub(table);
    ed->setAttribute(Qt::WA_DeleteOnClose);
    ed->SetFormMode(RecordEditor::NewMode);
    ed->hideContinueBox();
    ed->setClassIndex(classIndex);
    ed->setText(text);
    std::optional<PickRow> added;
    QObject::connect(ed, &RecordEditor::recordSaved, ed, [&added, ed](int code) {
        added = PickRow{code, ed->savedText()};
    });
    QEventLoop loop;
    QObject::connect(ed, &QObject::destroyed, &loop, &QEventLoop::quit);
    ed->setWindowModality(Qt::ApplicationModal);
    ed->show();
    loop.exec();
    return added;
}
} // namespace

frmItem::frmItem(const QString& table, QWidget* parent)
    : RecordList(listTitle(table), parent), m_table(table) {
    setObjectName(QStringLiteral("frmItem"));
    setWindowTitle(listTitle(table));
    resize(460, 520);

    const char* captions[3] = {"수입(&i)", "지출(&O)", "전체(&A)"};
    auto* group = new QButtonGroup(this);
    auto* options = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        m_options[i] = new QRadioButton(QString::fromUtf8(captions[i]), this);
        m_options[i]->setObjectName(QStringLiteral("opInOut(%1)").arg(i));
        group->addButton(m_options[i], i);
        options->addWidget(m_options[i]);
    }
    m_options[2]->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this, [this] { query(); });
    m_search = new HCText(this);
    CapSearchInput(m_search);
    m_search->setObjectName(QStringLiteral("htField"));
    connect(m_search, &QLineEdit::returnPressed, this, [this] { query(); });
    options->addWidget(m_search, 1);

    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setMaxCols(ColCount - 1);
    m_grid->setHeaderTexts(
        {QStringLiteral("항  목"), QStringLiteral("구분"), QStringLiteral("code")});
    m_grid->setColHidden(ColCode, true);
    m_grid->setColWidth(ColText, 240);
    m_grid->installEventFilter(this);

    m_sel = button(this, "btnSel", QStringLiteral("선택(&S)"));
    auto* add = button(this, "btnRecAdd", QStringLiteral("추가(&N)"));
    auto* edit = button(this, "btnRecEdit", QStringLiteral("수정(&E)"));
    auto* del = button(this, "btnRecDel", QStringLiteral("삭제(&D)"));
    auto* close = button(this, "btnClose", QStringLiteral("닫기(&X)"));
    connect(m_sel, &QPushButton::clicked, this, &frmItem::pickActive);
    connect(add, &QPushButton::clicked, this, &frmItem::addRecord);
    connect(edit, &QPushButton::clicked, this, &RecordList::editActive);
    connect(del, &QPushButton::clicked, this, &RecordList::RecDelete);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    m_sel->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_sel);
    buttons->addWidget(add);
    buttons->addWidget(edit);
    buttons->addWidget(del);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    setListGrid(m_grid, ColCode, m_table);
    query();
}

void frmItem::setClassOption(int option) {
    if (option < 0 || option > 2) option = 2;
    m_options[option]->setChecked(true);
}

int frmItem::classOption() const {
    for (int i = 0; i < 3; ++i)
        if (m_options[i]->isChecked()) return i;
    return 2;
}

void frmItem::setSearchText(const QString& text) {
    m_search->setText(text);
}

void frmItem::setPickMode(bool on) {
    m_pickMode = on;
    m_sel->setVisible(on);
    setWindowTitle(on ? QStringLiteral("항목선택") : listTitle(m_table));
}

int frmItem::rowCount() const {
    return m_grid->dataRowCnt();
}

void frmItem::query() {
    SqlPart part{QStringLiteral("SELECT code, bigo, inoutclass FROM ") + m_table +
                     QStringLiteral(" WHERE code <> 1"),
                 {}};
    const int option = classOption();
    // Class '0' reads as income too, so the income list shows it.
    if (option == 0)
        part += QStringLiteral(" AND (inoutclass = '0' OR inoutclass = '1')");
    else if (option == 1)
        part += QStringLiteral(" AND inoutclass = '2'");
    const QString text = m_search->text();
    if (!text.isEmpty())
        part += SqlPart{QStringLiteral(" AND bigo LIKE ?") + LikeEscape(), {LikeContains(text)}};
    part += QStringLiteral(" ORDER BY inoutclass, code");
    Recordset rs;
    const int n = OpenRecordset(rs, part.sql, part.params);
    m_grid->beginFill(qMax(0, n));
    for (int r = 0; r < qMax(0, n); ++r) {
        const QVector<QVariant>& v = rs.row(r);
        const QString cls = v[2].toString();
        const bool income = cls == QStringLiteral("0") || cls == QStringLiteral("1");
        m_grid->appendRow({v[1].toString(),
                           income ? QStringLiteral("수입") : QStringLiteral("지출"),
                           v[0].toString()});
    }
    m_grid->endFill();
    if (n > 0)
        m_grid->setActiveCell(ColText, 1);
    else
        ShowNoResultNotice();
}

// The editor of this list's table: each table has its own, so the group funds' list never
// reuses an editor left open on the money book's categories.
frmItemSub* frmItem::editor() {
    const QString name = m_table == QStringLiteral("tblitem")
                             ? QStringLiteral("frmItemSub")
                             : QStringLiteral("frmItemSub_Affairs");
    return ChildWindow<frmItemSub>(name, m_table);
}

void frmItem::addRecord() {
    auto* ed = editor();
    connect(ed, &RecordEditor::recordSaved, this, &frmItem::UpdateItem, Qt::UniqueConnection);
    ed->SetFormMode(RecordEditor::NewMode);
    FormFocus(ed);
}

void frmItem::editRecord(int code) {
    auto* ed = editor();
    connect(ed, &RecordEditor::recordSaved, this, &frmItem::UpdateItem, Qt::UniqueConnection);
    ed->SetFormMode(RecordEditor::EditMode, code);
    FormFocus(ed);
}

void frmItem::rowDoubleClicked(int row) {
    if (m_pickMode) {
        m_grid->setActiveCell(ColText, row);
        pickActive();
    } else {
        editActive();
    }
}

void frmItem::pickActive() {
    const int row = activeDataRow();
    if (row <= 0) {
        MsgInfo(QStringLiteral("그리드에서 항목을 선택하세요"));
        return;
    }
    m_sItemBigo = m_grid->text(ColText, row);
    m_lItemCode = m_grid->text(ColCode, row).toInt();
    close();
}

void frmItem::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (m_pickMode && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        pickActive();
        return;
    }
    RecordList::keyPressEvent(event);
}

void frmItem::closeEvent(QCloseEvent* event) {
    emit closed();
    RecordList::closeEvent(event);
}

std::optional<PickRow> frmItem::pickModal(const QString& table, const QString& text, int option) {
    QPointer<frmItem> w = new frmItem(table);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setPickMode(true);
    w->setSearchText(text);
    w->setClassOption(option);
    w->query();
    std::optional<PickRow> chosen;
    connect(w, &frmItem::closed, w, [&chosen, w] {
        if (w->m_lItemCode > 0) chosen = PickRow{w->m_lItemCode, w->m_sItemBigo};
    });
    QEventLoop loop;
    connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
    w->setWindowModality(Qt::ApplicationModal);
    w->show();
    loop.exec();
    return chosen;
}

QString PickItem(const QString& table, const QString& text, const QString& itemClass) {
    SetLastPickedCode(0);
    SqlPart part{
        QStringLiteral("SELECT code, bigo FROM ") + table + QStringLiteral(" WHERE code <> 1"), {}};
    int option = 2;
    if (itemClass == QStringLiteral("1")) {
        part += QStringLiteral(" AND (inoutclass = '0' OR inoutclass = '1')");
        option = 0;
    } else if (itemClass == QStringLiteral("2")) {
        part += QStringLiteral(" AND inoutclass = '2'");
        option = 1;
    }
    if (!text.isEmpty())
        part += SqlPart{QStringLiteral(" AND bigo LIKE ?") + LikeEscape(), {LikeContains(text)}};
    part += QStringLiteral(" ORDER BY inoutclass, code");
    Recordset rs;
    const int n = OpenRecordset(rs, part.sql, part.params);
    if (n == 1) {
        SetLastPickedCode(rs.integer(QStringLiteral("code")));
        return rs.text(QStringLiteral("bigo"));
    }
    std::optional<PickRow> row;
    if (n > 1) {
        row = frmItem::pickModal(table, text, option);
    } else if (!text.isEmpty()) {
        if (!AskYesNo(PickAddQuestion(table, text))) return {};
        if (itemClass.isEmpty()) {
            row = addItemModal(table, text, -1);
        } else if (ExecSQL(QStringLiteral("INSERT INTO ") + table +
                               QStringLiteral(" (inoutclass, bigo) VALUES (?, ?)"),
                           {itemClass, text}) > 0) {
            row = PickRow{LastIdentity(), text};
        }
    } else {
        MsgInfo(PickTexts(table).noneRegistered);
        row = addItemModal(table, QString(),
                           itemClass == QStringLiteral("2")   ? 1
                           : itemClass == QStringLiteral("1") ? 0
                                                              : -1);
    }
    if (!row) return {};
    SetLastPickedCode(row->code);
    return row->name;
}
