#pragma once

#include "core/Prompt.h"

// The prompt service on Qt dialogs, parented to the active window.
class QtPrompt : public Prompt {
public:
    void message(Icon icon, const QString& text, const QString& title) override;
    Answer question(Icon icon, const QString& text, const QString& title, bool withCancel,
                    Answer defaultAnswer) override;
    std::optional<QString> input(const QString& text, const QString& title,
                                 const QString& defaultText) override;
    QString openFileName(const QString& title, const QString& dir, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& dir, const QString& filter) override;
    QString existingDirectory(const QString& title, const QString& dir) override;
    std::optional<QColor> color(const QColor& initial, const QString& title) override;
    std::optional<QFont> font(const QFont& initial, const QString& title) override;
};

