#include "members/frmSearchGroup.h"

#include "members/MemberStore.h"
#include "ui/FloatNotice.h"
#include "ui/Grid.h"

#include <QKeyEvent>
#include <QVBoxLayout>

frmSearchGroup::frmSearchGroup(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSearchGroup"));
    setWindowTitle(QStringLiteral("그룹선택"));
    resize(300, 380);
    m_grid = new Grid(this);
    m_grid->setObjectName(QStringLiteral("spList"));
    m_grid->setListMode();
    m_grid->setMaxCols(ColCount - 1);
    m_grid->setHeaderTexts({QStringLiteral("그룹명"), QStringLiteral("code")});
    m_grid->setColHidden(ColCode, true);
    m_grid->setColWidth(ColName, 250);
    m_grid->installEventFilter(this);
    connect(m_grid, &Grid::cellDoubleClicked, this, [this](int, int row) { takeRow(row); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    Refresh_Sheet();
}

void frmSearchGroup::Refresh_Sheet()
{
    const auto groups = GroupNames(false);
    m_grid->beginFill(int(groups.size()));
    for (const auto& g : groups)
        m_grid->appendRow({g.second, QString::number(g.first)});
    m_grid->endFill();
    if (groups.isEmpty())
        ShowFloatNotice(QStringLiteral("검색된 결과가 없습니다."));
    else
        m_grid->setActiveCell(ColName, 1);
}

int frmSearchGroup::rowCount() const
{
    return m_grid->dataRowCnt();
}

void frmSearchGroup::takeRow(int row)
{
    if (row < 1 || row > m_grid->dataRowCnt())
        return;
    m_chosen = m_grid->text(ColCode, row).toInt();
    accept();
}

bool frmSearchGroup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            takeRow(m_grid->activeRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSearchGroup::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}

int frmSearchGroup::pickGroup(QWidget* parent)
{
    frmSearchGroup picker(parent);
    if (picker.rowCount() == 0)
        return 0;
    picker.m_grid->setFocus();
    return picker.exec() == QDialog::Accepted ? picker.chosenCode() : 0;
}
