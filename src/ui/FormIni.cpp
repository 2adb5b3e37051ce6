#include "ui/FormIni.h"
#include "core/AppState.h"
#include "ui/Grid.h"
#include "ui/GridPrint.h"
#include "ui/IniFile.h"
#include "ui/WindowRegistry.h"

#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QSet>
#include <QVariant>
#include <QWidget>

#include <optional>

namespace {

const QString kPosition = QStringLiteral("FormPosition");
const char* kDesignWidths = "formIniDesignWidths";
const char* kDesignFont = "formIniDesignFont";
const char* kDesignRowHeight = "formIniDesignRowHeight";

// Names of windows whose layout was reset in this run: their position is not saved again
// until they are opened anew.
QSet<QString>& resetWindows() {
    static QSet<QString> names;
    return names;
}

// An integer value; nullopt when missing or not a whole number.
std::optional<int> intValue(const IniFile& ini, const QString& section, const QString& key) {
    if (!ini.contains(section, key)) return std::nullopt;
    bool ok = false;
    const int v = ini.value(section, key).toInt(&ok);
    if (!ok) return std::nullopt;
    return v;
}

QWidget* frameOf(QWidget* window) {
    if (QMdiSubWindow* sub = WindowRegistry::subWindowOf(window)) return sub;
    return window;
}

QString colsSection(const Grid* g) { return g->layoutName() + QStringLiteral("_ColsWidth"); }
QString generalSection(const Grid* g) { return g->layoutName() + QStringLiteral("_General"); }
QString rptSection(const Grid* g) { return g->layoutName() + QStringLiteral("_RPTCOL"); }

// Reads, changes and writes the file of one window.
template <class F> bool editIni(const QString& windowName, F change) {
    if (windowName.isEmpty()) return false;
    const QString path = FormIniPath(windowName);
    IniFile ini(path);
    change(ini);
    return ini.save(path);
}

void applyGrid(const IniFile& ini, Grid* grid) {
    RememberDesignLayout(grid);
    const QString cols = colsSection(grid);
    for (int c = 1; c <= grid->maxCols(); ++c) {
        const auto w = intValue(ini, cols, QString::number(c));
        if (w && *w >= 0) grid->setColWidth(c, *w);
    }
    const QString general = generalSection(grid);
    if (const auto fs = intValue(ini, general, QStringLiteral("FontSize"));
        fs && (*fs == 0 || (*fs >= 1 && *fs <= 200)))
        grid->setFontSize(*fs);
    if (const auto rh = intValue(ini, general, QStringLiteral("RowHeight")); rh && *rh > 0)
        grid->setRowHeight(*rh);
}

} // namespace

QString FormIniPath(const QString& windowName) {
    return DataPath(QStringLiteral("FormIni/") + windowName + QStringLiteral(".ini"));
}

bool LoadFormIni(QWidget* window, bool keepSize) {
    if (!window) return false;
    const QString name = window->objectName();
    resetWindows().remove(name); // a new opening saves its layout again
    QDir().mkpath(DataPath(QStringLiteral("FormIni")));
    const QString path = FormIniPath(name);
    if (name.isEmpty() || !QFile::exists(path)) {
        for (Grid* g : window->findChildren<Grid*>()) RememberDesignLayout(g);
        return false;
    }
    const IniFile ini(path);
    QWidget* frame = frameOf(window);

    bool placed = false;
    const auto left = intValue(ini, kPosition, QStringLiteral("Left"));
    const auto top = intValue(ini, kPosition, QStringLiteral("Top"));
    if (left && top && *left >= 0 && *top >= 0) {
        frame->move(*left, *top);
        placed = true;
    } else if (left && *left >= 0) {
        frame->move(*left, frame->y());
    } else if (top && *top >= 0) {
        frame->move(frame->x(), *top);
    }
    if (!keepSize) {
        const auto width = intValue(ini, kPosition, QStringLiteral("Width"));
        const auto height = intValue(ini, kPosition, QStringLiteral("Height"));
        const int w = width && *width > 0 ? *width : frame->width();
        const int h = height && *height > 0 ? *height : frame->height();
        if (w != frame->width() || h != frame->height()) frame->resize(w, h);
    }
    if (const auto state = intValue(ini, kPosition, QStringLiteral("WindowState"))) {
        const bool maximised = frame->windowState() & Qt::WindowMaximized;
        if (*state == 2 && !maximised) frame->setWindowState(Qt::WindowMaximized);
        else if (*state == 0 && maximised) frame->setWindowState(Qt::WindowNoState);
    }
    for (Grid* g : window->findChildren<Grid*>()) applyGrid(ini, g);
    return placed;
}

void SaveFormIni(QWidget* window) {
    if (!window) return;
    const QString name = window->objectName();
    if (name.isEmpty() || resetWindows().contains(name)) return;
    QWidget* frame = frameOf(window);
    const Qt::WindowStates state = frame->windowState();
    if (state & Qt::WindowMinimized) return; // neither the state nor a minimised geometry
    const bool maximised = state & Qt::WindowMaximized;
    editIni(name, [&](IniFile& ini) {
        ini.setValue(kPosition, QStringLiteral("WindowState"), maximised ? "2" : "0");
        if (maximised) return;
        ini.setValue(kPosition, QStringLiteral("Left"), QString::number(frame->x()));
        ini.setValue(kPosition, QStringLiteral("Top"), QString::number(frame->y()));
        ini.setValue(kPosition, QStringLiteral("Width"), QString::number(frame->width()));
        ini.setValue(kPosition, QStringLiteral("Height"), QString::number(frame->height()));
    });
}

void SaveSpreadIni_Gn(const QString& windowName, const Grid* grid) {
    if (!grid) return;
    editIni(windowName, [&](IniFile& ini) {
        const QString cols = colsSection(grid);
        for (int c = 1; c <= grid->maxCols(); ++c)
            ini.setValue(cols, QString::number(c), QString::number(grid->colWidth(c)));
        const QString general = generalSection(grid);
        ini.setValue(general, QStringLiteral("FontSize"), QString::number(grid->fontSize()));
        ini.setValue(general, QStringLiteral("RowHeight"), QString::number(grid->rowHeight()));
    });
}

void SaveSpreadColWidth(const QString& windowName, const Grid* grid, int col) {
    if (!grid || col < 1 || col > grid->maxCols()) return;
    editIni(windowName, [&](IniFile& ini) {
        ini.setValue(colsSection(grid), QString::number(col), QString::number(grid->colWidth(col)));
    });
}

void LoadSpreadIni(const QString& windowName, Grid* grid) {
    if (!grid || windowName.isEmpty()) return;
    const IniFile ini(FormIniPath(windowName));
    applyGrid(ini, grid);
}

bool DelFormIni(const QString& windowName) {
    if (windowName.isEmpty()) return false;
    resetWindows().insert(windowName);
    const QString path = FormIniPath(windowName);
    return !QFile::exists(path) || QFile::remove(path);
}

void RememberDesignLayout(Grid* grid) {
    if (!grid || grid->property(kDesignWidths).isValid()) return;
    QList<QVariant> widths;
    for (int c = 1; c <= grid->maxCols(); ++c) widths << grid->colWidth(c);
    grid->setProperty(kDesignWidths, widths);
    grid->setProperty(kDesignFont, grid->fontSize());
    grid->setProperty(kDesignRowHeight, grid->rowHeight());
}

void RestoreDesignLayout(Grid* grid) {
    if (!grid || !grid->property(kDesignWidths).isValid()) return;
    const QList<QVariant> widths = grid->property(kDesignWidths).toList();
    for (int c = 1; c <= widths.size() && c <= grid->maxCols(); ++c)
        grid->setColWidth(c, widths[c - 1].toInt());
    grid->setFontSize(grid->property(kDesignFont).toInt());
    grid->setRowHeight(grid->property(kDesignRowHeight).toInt());
    grid->setDividerEvery(0);
}

QMap<int, bool> ReadSpreadRPTCol(const QString& windowName, const Grid* grid) {
    QMap<int, bool> out;
    if (!grid || windowName.isEmpty()) return out;
    const IniFile ini(FormIniPath(windowName));
    const QString section = rptSection(grid);
    for (int c = 1; c <= grid->maxCols(); ++c)
        out[c] = ini.value(section, QString::number(c), QStringLiteral("1")).trimmed() != "0";
    return out;
}

bool SaveSpreadRPTCol(const QString& windowName, const Grid* grid,
                      const QMap<int, bool>& printed) {
    if (!grid) return false;
    return editIni(windowName, [&](IniFile& ini) {
        const QString section = rptSection(grid);
        for (auto it = printed.cbegin(); it != printed.cend(); ++it)
            ini.setValue(section, QString::number(it.key()), it.value() ? "1" : "0");
    });
}

QList<int> SetSpreadRPTCol(const QString& windowName, Grid* grid) {
    QList<int> hidden;
    if (!grid) return hidden;
    const QMap<int, bool> printed = ReadSpreadRPTCol(windowName, grid);
    for (auto it = printed.cbegin(); it != printed.cend(); ++it) {
        if (!it.value() && !grid->colHidden(it.key())) {
            grid->setColHidden(it.key(), true);
            hidden << it.key();
        }
    }
    return hidden;
}

void RestoreSpreadRPTCol(Grid* grid, const QList<int>& hidden) {
    if (!grid) return;
    for (int c : hidden) grid->setColHidden(c, false);
}

QList<int> ChosenSpreadRPTCol(const QString& windowName, const Grid* grid) {
    QList<int> out;
    if (!grid || windowName.isEmpty()) return out;
    const IniFile ini(FormIniPath(windowName));
    const QString section = rptSection(grid);
    for (int c = 1; c <= grid->maxCols(); ++c)
        if (ini.value(section, QString::number(c), QString()).trimmed() == QLatin1String("1"))
            out << c;
    return out;
}

void PrintGridForReport(const QString& windowName, Grid* grid, const QString& title) {
    if (!grid) return;
    const QList<int> hidden = SetSpreadRPTCol(windowName, grid);
    PrintGrid(grid, title, windowName, ChosenSpreadRPTCol(windowName, grid));
    RestoreSpreadRPTCol(grid, hidden);
}
