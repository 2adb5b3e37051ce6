#include "moneybook/frmSection.h"

#include "moneybook/MoneyBookRules.h"
#include "ui/Grid.h"

#include <QKeyEvent>
#include <QVBoxLayout>

frmSection::frmSection(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSection"));
    setWindowTitle(QStringLiteral("구분선택"));
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setMaxCols(2);
    m_grid->setHeaderTexts({QStringLiteral("구  분"), QStringLiteral("코드")});
    m_grid->setColWidth(1, 150);
    m_grid->setColWidth(2, 50);
    m_grid->beginFill(MoneyBook::SectionCount);
    for (int s = 0; s < MoneyBook::SectionCount; ++s)
        m_grid->appendRow({MoneyBook::SectionPickText(s), QString::number(s)});
    m_grid->endFill();
    m_grid->setActiveCell(1, 1);
    m_grid->installEventFilter(this);
    connect(m_grid, &Grid::cellDoubleClicked, this, [this](int, int row) { take(row); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    resize(240, 340);
}

void frmSection::take(int row)
{
    if (row < 1 || row > MoneyBook::SectionCount)
        return;
    m_chosen = row - 1;
    accept();
}

bool frmSection::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString t = key->text();
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space) {
            take(m_grid->activeRow());
            return true;
        }
        if (t.size() == 1 && t[0].isDigit()) {
            m_grid->setActiveCell(1, t[0].digitValue() + 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int frmSection::choose(QWidget* parent)
{
    frmSection dlg(parent);
    dlg.m_grid->setFocus();
    dlg.exec();
    return dlg.m_chosen;
}
