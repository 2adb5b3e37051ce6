#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class Grid;
class QAction;
class QMenu;
class QPoint;
class QWidget;

// The context menu and keyboard shortcuts of a grid, attached once per grid:
//
//     GridMenu::attach(spList, this);   // `this`: the window owning the layout file
//
// Right button: the menu "08구분선 표시" ... "00메    뉴      닫    기" (items 04 and 05
// only when the grid allows reports / the shortcut list, 06 and 07 only on grids with
// subtotal rows). Keys on the grid: Ctrl+E hides the active row, Ctrl+W shows the hidden
// rows next to it, Ctrl+F opens find-in-grid, Ctrl+H lists the keys. A column width the
// user drags is saved to the window's layout file.
//
// Each item is a QAction named "mnuGrid" + its number ("mnuGrid08" ...); trigger("08")
// runs one without showing the menu.
class GridMenu : public QObject {
    Q_OBJECT
public:
    static GridMenu* attach(Grid* grid, QWidget* window);
    // The menu attached to `grid`, or null.
    static GridMenu* of(const Grid* grid);

    Grid* grid() const;
    // The layout file's window name (the owning window's objectName).
    QString windowName() const;

    // A new menu with the items this grid shows; the caller owns it.
    QMenu* buildMenu(QWidget* parent = nullptr);
    // Shows the menu at a screen position and runs the chosen item.
    void popup(const QPoint& globalPos);
    // Runs item "08", "01" ... "07" ("00" does nothing). False for an unknown or hidden item.
    bool trigger(const QString& number);

    // The items' actions.
    void askDividers();
    void askRowHeight();
    void askFontSize();
    void resetLayout();
    void openReportColumns();
    void showShortcutList();
    void toggleSubtotals();
    void toggleOnlySubtotals();
    // The keys' actions.
    void hideActiveRow();
    void showRowsNextToActive();
    void openFind();

    // Asks for a whole number in [min, max] (or 0 when zeroAllowed) until one is given:
    // a non-number and a value outside the range each get their message and the question
    // again. nullopt when cancelled.
    static std::optional<int> askNumber(const QString& text, const QString& title,
                                        int defaultValue, int min, int max, bool zeroAllowed);

    // Row height range accepted by item 01.
    static constexpr int MinRowHeight = 10;
    static constexpr int MaxRowHeight = 100;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    GridMenu(Grid* grid, QWidget* window);
    bool itemShown(const QString& number) const;
    QPointer<Grid> m_grid;
    QPointer<QWidget> m_window;
};
