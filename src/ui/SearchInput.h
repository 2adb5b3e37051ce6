#pragma once

class QLineEdit;

// Search texts are short: a cap where they are typed keeps a pasted page from reaching a
// LIKE pattern (the engine refuses patterns past 50,000 bytes) or a message.
constexpr int SearchInputMaxChars = 200;

void CapSearchInput(QLineEdit* input);
