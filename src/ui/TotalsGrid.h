#pragma once

#include "ui/Grid.h"

#include <QList>
#include <QString>

#include <utility>

// The one-row totals grid "spSum" under a list. It has the list's columns, and each cell
// stands exactly under the list's cell of the same column: column widths, hidden and moved
// columns, kept columns, the row-header width and the sideways scroll follow the list,
// whoever changes them (the person, the layout file, the window's code). A sum is written
// into the column it sums (setText(col, 1, ...)); the header above it names the sum.
class TotalsGrid : public Grid {
    Q_OBJECT
public:
    // `captions`: the summed columns of `list` with the header text over each sum; these
    // cells are right-aligned. A summed column too narrow for its caption is widened.
    TotalsGrid(Grid* list, const QList<std::pair<int, QString>>& captions, QWidget* parent);

    Grid* list() const { return m_list; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Takes over the list's columns, row-header width and scroll position.
    void follow();
    // The same after the current event: for changes made to this grid itself.
    void followLater();
    void fitHeight();

    Grid* m_list;
    bool m_following = false;
    bool m_followQueued = false;
};
