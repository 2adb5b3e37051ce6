#include "ui/SearchInput.h"

#include <QLineEdit>

void CapSearchInput(QLineEdit* input) {
    if (input) input->setMaxLength(SearchInputMaxChars);
}
