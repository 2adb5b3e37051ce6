#pragma once

#include <functional>

class Grid;
struct SheetData;

// Shows a sheet in a grid: columns headed A, B, C ..., one grid row per sheet row.
// `progress(done, total)` is called every 1,000 rows and at the end.
void FillGridWithSheet(Grid* grid, const SheetData& sheet,
                       const std::function<void(int done, int total)>& progress = {});
