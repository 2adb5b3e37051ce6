#pragma once

#include <QPushButton>
#include <QString>

namespace MoneyBook {

// A push button with its control name, as every money-book window lays them out.
inline QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace MoneyBook
