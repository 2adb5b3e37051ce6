#pragma once

#include "ui/HCDate.h"

// One date with a day up/down pair beside the box (PgUp/PgDn step a day as well).
class HCDateAdv : public HCDate {
    Q_OBJECT
public:
    explicit HCDateAdv(QWidget* parent = nullptr);
};
