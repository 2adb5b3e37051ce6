#include "GridTest.h"

#include "ui/Grid.h"

#include <QApplication>
#include <QVBoxLayout>
#include <QtTest>

void GridTest::init() {
    m_owned = std::make_unique<TestEnv>(false);
    m_env = m_owned.get();
    m_window = new QWidget;
    m_window->setObjectName(QStringLiteral("frmSample"));
    m_grid = new Grid(m_window);
    m_grid->setObjectName(QStringLiteral("spList"));
    auto* layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
}

void GridTest::cleanup() {
    delete m_window;
    m_window = nullptr;
    m_grid = nullptr;
    m_env = nullptr;
    m_owned.reset();
}

void GridTest::fill(int cols, int rows, const std::function<QString(int, int)>& text) {
    m_grid->setMaxCols(cols);
    m_grid->setMaxRows(rows);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c) m_grid->setText(c, r, text(c, r));
}

Grid* GridTest::shownGrid(int cols, int rows) {
    m_grid->setMaxCols(cols);
    m_grid->setMaxRows(rows);
    for (int c = 1; c <= cols; ++c) m_grid->setColWidth(c, 60);
    m_window->resize(500, 300);
    m_window->show();
    QApplication::setActiveWindow(m_window);
    if (!QTest::qWaitForWindowActive(m_window)) qWarning("grid window not active");
    m_grid->setFocus();
    m_grid->setActiveCell(1, 1);
    return m_grid;
}
