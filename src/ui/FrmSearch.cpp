#include "ui/FrmSearch.h"

#include "ui/Grid.h"
#include "ui/HCText.h"
#include "ui/RecordWindow.h"
#include "ui/SearchInput.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

FrmSearch::FrmSearch(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmSearch"));
    resize(360, 420);

    m_text = new HCText(this);
    CapSearchInput(m_text);
    m_text->setObjectName(QStringLiteral("htField"));
    auto* query = new QPushButton(QStringLiteral("검색(F5)"), this);
    query->setObjectName(QStringLiteral("btnQuery"));
    auto* add = new QPushButton(QStringLiteral("추가(F2)"), this);
    add->setObjectName(QStringLiteral("btnAdd"));
    m_delete = new QPushButton(QStringLiteral("삭제(F4)"), this);
    m_delete->setObjectName(QStringLiteral("btnDel"));
    m_delete->hide();
    for (QPushButton* b : {query, add, m_delete})
        b->setAutoDefault(false);

    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setMaxCols(ColCount - 1);
    m_grid->setHeaderTexts({QStringLiteral("이름"), QStringLiteral("코드")});
    m_grid->setColHidden(ColCode, true);
    m_grid->setColWidth(ColName, 300);
    m_grid->installEventFilter(this);
    m_text->installEventFilter(this);

    auto* top = new QHBoxLayout;
    top->addWidget(m_text, 1);
    top->addWidget(query);
    top->addWidget(add);
    top->addWidget(m_delete);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);

    connect(query, &QPushButton::clicked, this, &FrmSearch::Refresh_Sheet);
    connect(add, &QPushButton::clicked, this, &FrmSearch::addEntry);
    connect(m_delete, &QPushButton::clicked, this, &FrmSearch::deleteEntry);
    connect(m_grid, &Grid::cellDoubleClicked, this, [this](int, int row) { takeRow(row); });
}

void FrmSearch::SetFormMode(const QString& kind, const QString& text)
{
    m_kind = kind;
    setWindowTitle(PickTexts(kind).caption);
    m_delete->setVisible(kind == QStringLiteral("tblusename"));
    m_text->setText(text);
    Refresh_Sheet();
}

void FrmSearch::Refresh_Sheet()
{
    const QList<PickRow> rows = PickListRows(m_kind, m_text->text());
    m_grid->beginFill(int(rows.size()));
    for (const PickRow& row : rows)
        m_grid->appendRow({row.name, QString::number(row.code)});
    m_grid->endFill();
    if (!rows.isEmpty())
        m_grid->setActiveCell(ColName, 1);
}

void FrmSearch::UpdateSearch()
{
    Refresh_Sheet();
}

int FrmSearch::rowCount() const
{
    return m_grid->dataRowCnt();
}

void FrmSearch::takeRow(int row)
{
    if (row < 1 || row > m_grid->dataRowCnt())
        return;
    m_chosen = PickRow{m_grid->text(ColCode, row).toInt(), m_grid->text(ColName, row)};
    accept();
}

void FrmSearch::addEntry()
{
    const PickEditor editor = PickEditorFor(m_kind);
    if (!editor)
        return;
    if (editor(m_kind, QString()))
        UpdateSearch();
}

void FrmSearch::deleteEntry()
{
    if (m_kind != QStringLiteral("tblusename"))
        return;
    const int row = m_grid->activeRow();
    const bool valid = row >= 1 && row <= m_grid->dataRowCnt();
    const int code = valid ? m_grid->text(ColCode, row).toInt() : 0;
    if (DeleteUsagePlace(code, valid ? m_grid->text(ColName, row) : QString()))
        m_grid->deleteRows(row);
}

bool FrmSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_F2: addEntry(); return true;
    case Qt::Key_F4: deleteEntry(); return true;
    case Qt::Key_F5: Refresh_Sheet(); return true;
    default: break;
    }
    if (watched == m_text && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        Refresh_Sheet();
        m_grid->setFocus();
        return true;
    }
    if (watched == m_grid) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space) {
            takeRow(m_grid->activeRow());
            return true;
        }
        if (key->key() >= Qt::Key_1 && key->key() <= Qt::Key_9 && key->modifiers() == Qt::NoModifier) {
            const int row = key->key() - Qt::Key_0;
            if (row <= m_grid->dataRowCnt())
                m_grid->setActiveCell(ColName, row);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmSearch::keyPressEvent(QKeyEvent* event)
{
    // Enter in the dialog must not pick a default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}

std::optional<PickRow> FrmSearch::choose(const QString& kind, const QString& text)
{
    FrmSearch window;
    window.SetFormMode(kind, text);
    window.m_grid->setFocus();
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return window.chosen();
}
