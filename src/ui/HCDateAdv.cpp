#include "ui/HCDateAdv.h"

HCDateAdv::HCDateAdv(QWidget* parent) : HCDate(parent, true) {}
