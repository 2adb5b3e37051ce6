#pragma once

#include "TestEnv.h"

#include <QObject>

#include <functional>
#include <memory>

class Grid;
class QWidget;

// Base of a test class around one grid: before each test a fresh TestEnv without a
// database and a window "frmSample" holding the grid "spList"; both removed after it.
class GridTest : public QObject {
    Q_OBJECT
protected:
    TestEnv* m_env = nullptr;
    QWidget* m_window = nullptr;
    Grid* m_grid = nullptr;

    // Sizes the grid and writes text(col, row) into every cell (1-based).
    void fill(int cols, int rows, const std::function<QString(int, int)>& text);
    // Shows the window active with the grid (cols × rows, 60-pixel columns) focused on its
    // first cell.
    Grid* shownGrid(int cols, int rows);

protected slots:
    void init();
    void cleanup();

private:
    std::unique_ptr<TestEnv> m_owned;
};
