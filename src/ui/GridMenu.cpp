#include "ui/GridMenu.h"
#include "ui/FormIni.h"
#include "ui/FrmFindInSpread.h"
#include "ui/FrmSprRPTCol.h"
#include "ui/Grid.h"
#include "core/Prompt.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include <cmath>

namespace {

struct Item {
    const char* number;
    const char* caption;
    bool separatorAfter;
};

// The menu in the order it is shown; the two-digit number is part of the caption.
const Item kItems[] = {
    {"08", "08구분선 표시", true},
    {"01", "01그리드 【줄높이】변경", false},
    {"02", "02【글자크기】       변경", false},
    {"03", "03폼 및 그리드 설정【초기화】", true},
    {"04", "04【보고서】용 칼럼 설정", false},
    {"05", "05시트내 【단축키】 목록", true},
    {"06", "06【소계】숨김/보기", false},
    {"07", "07【소계만】보기/해제", true},
    {"00", "00메    뉴      닫    기", false},
};

const QString kNotNumber = QStringLiteral("입력값이 숫자가 아닙니다. 다시 입력해 주십시요.");
const QString kOutOfRange = QStringLiteral("입력값이 범위를 벗어났습니다. 다시 입력해 주십시요.");

} // namespace

GridMenu::GridMenu(Grid* grid, QWidget* window) : QObject(grid), m_grid(grid), m_window(window) {
    setObjectName(QStringLiteral("gridMenu"));
    RememberDesignLayout(grid);
    grid->installEventFilter(this);
    connect(grid, &Grid::rightClicked, this,
            [this](int, int, const QPoint& pos) { popup(pos); });
    connect(grid, &Grid::colWidthChangedByUser, this,
            [this](int col, int) { SaveSpreadColWidth(windowName(), m_grid, col); });
}

GridMenu* GridMenu::attach(Grid* grid, QWidget* window) {
    if (!grid) return nullptr;
    if (GridMenu* existing = of(grid)) return existing;
    return new GridMenu(grid, window);
}

GridMenu* GridMenu::of(const Grid* grid) {
    return grid ? grid->findChild<GridMenu*>(QStringLiteral("gridMenu"), Qt::FindDirectChildrenOnly)
                : nullptr;
}

Grid* GridMenu::grid() const { return m_grid.data(); }

QString GridMenu::windowName() const {
    if (m_window) return m_window->objectName();
    return m_grid ? m_grid->window()->objectName() : QString();
}

bool GridMenu::itemShown(const QString& number) const {
    if (!m_grid) return false;
    if (number == u"04") return m_grid->allowsReports();
    if (number == u"05") return m_grid->allowsShortcutList();
    if (number == u"06" || number == u"07") return m_grid->hasSubtotalRows();
    for (const Item& item : kItems)
        if (number == QLatin1String(item.number)) return true;
    return false;
}

QMenu* GridMenu::buildMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("mnuGrid"));
    bool pendingSeparator = false;
    for (const Item& item : kItems) {
        const QString number = QLatin1String(item.number);
        if (!itemShown(number)) continue;
        if (pendingSeparator) menu->addSeparator();
        QAction* a = menu->addAction(QString::fromUtf8(item.caption));
        a->setObjectName(QStringLiteral("mnuGrid") + number);
        connect(a, &QAction::triggered, this, [this, number] { trigger(number); });
        pendingSeparator = item.separatorAfter;
    }
    return menu;
}

void GridMenu::popup(const QPoint& globalPos) {
    QMenu* menu = buildMenu(m_grid);
    menu->exec(globalPos);
    delete menu;
}

bool GridMenu::trigger(const QString& number) {
    if (!itemShown(number)) return false;
    if (number == u"08") askDividers();
    else if (number == u"01") askRowHeight();
    else if (number == u"02") askFontSize();
    else if (number == u"03") resetLayout();
    else if (number == u"04") openReportColumns();
    else if (number == u"05") showShortcutList();
    else if (number == u"06") toggleSubtotals();
    else if (number == u"07") toggleOnlySubtotals();
    return true; // "00" only closes the menu
}

std::optional<int> GridMenu::askNumber(const QString& text, const QString& title,
                                       int defaultValue, int min, int max, bool zeroAllowed) {
    for (;;) {
        const std::optional<QString> answer = InputBox(text, title, QString::number(defaultValue));
        if (!answer || answer->trimmed().isEmpty()) return std::nullopt;
        bool ok = false;
        const double value = answer->trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(value)) {
            MsgInfo(kNotNumber);
            continue;
        }
        const double rounded = std::round(value);
        if (!(zeroAllowed && rounded == 0) && (rounded < min || rounded > max)) {
            MsgInfo(kOutOfRange);
            continue;
        }
        return int(rounded);
    }
}

void GridMenu::askDividers() {
    if (!m_grid) return;
    const int current = m_grid->dividerEvery() >= 2 ? m_grid->dividerEvery() : 5;
    const auto n = askNumber(QStringLiteral("몇줄마다 구분선을 표시하시겠습니까?\n\n가능범위: 2 ~ 10000"),
                             {}, current, 2, 10000, false);
    if (n) m_grid->setDividerEvery(*n);
}

void GridMenu::askRowHeight() {
    if (!m_grid) return;
    const auto h = askNumber(QStringLiteral("변경할 줄높이를 입력하세요.(입력범위: %1~%2)")
                                 .arg(MinRowHeight)
                                 .arg(MaxRowHeight),
                             QStringLiteral("그리드 줄높이 변경"), m_grid->rowHeight(),
                             MinRowHeight, MaxRowHeight, false);
    if (!h) return;
    m_grid->setRowHeight(*h);
    SaveSpreadIni_Gn(windowName(), m_grid);
}

void GridMenu::askFontSize() {
    if (!m_grid) return;
    const auto size = askNumber(QStringLiteral("변경할 글자의 크기를 입력하세요.(입력범위: 8~60, 0:기본값)"),
                                QStringLiteral("그리드내 글자크기 변경"), m_grid->fontSize(), 8,
                                60, true);
    if (!size) return;
    m_grid->setFontSize(*size);
    SaveSpreadIni_Gn(windowName(), m_grid);
}

void GridMenu::resetLayout() {
    if (!m_grid) return;
    if (!AskYesNo(QStringLiteral("해당폼의 폼의 위치 및 크기, 그리드의 각 칸의 넓이\n"
                                 ", 줄높이, 글자크기등이 모두 초기화 됩니다.\n\n초기화 하시겠습니까?"),
                  {}, false))
        return;
    DelFormIni(windowName());
    QWidget* owner = m_window ? m_window.data() : m_grid->window();
    for (Grid* g : owner->findChildren<Grid*>()) RestoreDesignLayout(g);
    RestoreDesignLayout(m_grid);
    MsgInfo(QStringLiteral("초기화를 완료하였습니다.\n\n현재창을 닫고 다시 열어 주셔야 초기화된 "
                           "형태가 제대로 보여집니다."));
}

void GridMenu::openReportColumns() {
    if (m_grid) FrmSprRPTCol::open(m_grid, windowName());
}

void GridMenu::showShortcutList() {
    MsgInfo(QStringLiteral(" - Ctrl + H : 단축키 목록보기\n\n"
                           " - Ctrl + F : 찾기\n\n"
                           " - Ctrl + E : 행숨김\n\n"
                           " - Ctrl + W : 행숨김 취소(아래/위행)"),
            QStringLiteral("시트내 단축키 목록"));
}

void GridMenu::toggleSubtotals() {
    if (m_grid) m_grid->setSubtotalsHidden(!m_grid->subtotalsHidden());
}

void GridMenu::toggleOnlySubtotals() {
    if (m_grid) m_grid->setShowOnlyMarked(!m_grid->showOnlyMarked());
}

void GridMenu::hideActiveRow() {
    if (!m_grid) return;
    const int row = m_grid->activeRow();
    if (row < 1 || row > m_grid->maxRows()) return;
    m_grid->setRowHidden(row, true);
    // The active cell moves to the nearest visible row, below first.
    int next = row + 1;
    while (next <= m_grid->maxRows() && m_grid->rowHidden(next)) ++next;
    if (next > m_grid->maxRows()) {
        next = row - 1;
        while (next >= 1 && m_grid->rowHidden(next)) --next;
    }
    if (next >= 1 && next <= m_grid->maxRows())
        m_grid->setActiveCell(qMax(1, m_grid->activeCol()), next);
}

void GridMenu::showRowsNextToActive() {
    if (!m_grid) return;
    const int row = m_grid->activeRow();
    if (row < 1 || row > m_grid->maxRows()) return;
    for (int r = row + 1; r <= m_grid->maxRows() && m_grid->rowHidden(r); ++r)
        m_grid->setRowHidden(r, false);
    for (int r = row - 1; r >= 1 && m_grid->rowHidden(r); --r) m_grid->setRowHidden(r, false);
}

void GridMenu::openFind() {
    if (m_grid) FrmFindInSpread::open(m_grid);
}

bool GridMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_grid) return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // The grid's keys win over shortcuts of the window around it (Ctrl+W closes an
        // MDI child window otherwise).
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::ControlModifier
            && (key->key() == Qt::Key_E || key->key() == Qt::Key_W || key->key() == Qt::Key_F
                || key->key() == Qt::Key_H)) {
            event->accept();
            return true;
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() != Qt::ControlModifier) return false;
    switch (key->key()) {
    case Qt::Key_E: hideActiveRow(); return true;
    case Qt::Key_W: showRowsNextToActive(); return true;
    case Qt::Key_F: openFind(); return true;
    case Qt::Key_H: showShortcutList(); return true;
    default: return false;
    }
}
