#include "core/Prompt.h"
#include "core/AppState.h"

#include "core/Log.h"


namespace {
std::unique_ptr<Prompt>& currentPrompt() {
    static std::unique_ptr<Prompt> p;
    return p;
}

QString titleOr(const QString& title) { return title.isEmpty() ? App().appTitle : title; }

// Used when no prompt was installed (a helper program or a tool without windows): the text
// goes to the log and every question gets its default answer.
class LogPrompt : public Prompt {
public:
    void message(Icon, const QString& text, const QString& title) override {
        qCWarning(lcPrompt).noquote() << title << text;
    }
    Answer question(Icon, const QString& text, const QString& title, bool,
                    Answer defaultAnswer) override {
        qCWarning(lcPrompt).noquote() << title << text;
        return defaultAnswer;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString existingDirectory(const QString&, const QString&) override { return {}; }
    std::optional<QColor> color(const QColor&, const QString&) override { return std::nullopt; }
};
} // namespace

Prompt& prompt() {
    if (!currentPrompt()) currentPrompt() = std::make_unique<LogPrompt>();
    return *currentPrompt();
}

void setPrompt(std::unique_ptr<Prompt> p) { currentPrompt() = std::move(p); }

void MsgInfo(const QString& text, const QString& title) {
    prompt().message(Prompt::Icon::Information, text, titleOr(title));
}
void MsgWarning(const QString& text, const QString& title) {
    prompt().message(Prompt::Icon::Warning, text, titleOr(title));
}
void MsgPlain(const QString& text, const QString& title) {
    prompt().message(Prompt::Icon::None, text, titleOr(title));
}
bool AskYesNo(const QString& text, const QString& title, bool defaultYes) {
    return prompt().question(Prompt::Icon::Question, text, titleOr(title), false,
                             defaultYes ? Prompt::Answer::Yes : Prompt::Answer::No) ==
           Prompt::Answer::Yes;
}
Prompt::Answer AskYesNoCancel(const QString& text, const QString& title,
                              Prompt::Answer defaultAnswer) {
    return prompt().question(Prompt::Icon::Question, text, titleOr(title), true, defaultAnswer);
}
std::optional<QString> InputBox(const QString& text, const QString& title,
                                const QString& defaultText) {
    return prompt().input(text, titleOr(title), defaultText);
}

QString TrappedErrorText(int number, const QString& description, const QString& procedure,
                         const QString& owner, bool ownerIsModule) {
    return QStringLiteral("Error ") + QString::number(number) + QStringLiteral(" (") +
           description + QStringLiteral(")") + QStringLiteral(" in procedure ") + procedure +
           (ownerIsModule ? QStringLiteral(" of Module ") : QStringLiteral(" of Form ")) + owner;
}

void ReportTrappedError(int number, const QString& description, const QString& procedure,
                        const QString& owner, bool ownerIsModule) {
    MsgPlain(TrappedErrorText(number, description, procedure, owner, ownerIsModule));
}

std::optional<QFont> Prompt::font(const QFont&, const QString&) {
    return std::nullopt;
}

// ---- ScriptedPrompt ----

std::optional<ScriptedPrompt::Reply> ScriptedPrompt::next() {
    if (m_replies.isEmpty()) return std::nullopt;
    return m_replies.takeFirst();
}

void ScriptedPrompt::record(Kind kind, Icon icon, const QString& title, const QString& text) {
    m_shown.append({kind, icon, title, text});
    if (onShown) onShown(m_shown.last());
}

void ScriptedPrompt::message(Icon icon, const QString& text, const QString& title) {
    m_lastDefault = Answer::Ok;
    record(Kind::Message, icon, title, text);
}

Prompt::Answer ScriptedPrompt::question(Icon icon, const QString& text, const QString& title,
                                        bool withCancel, Answer defaultAnswer) {
    m_lastDefault = defaultAnswer;
    record(Kind::Question, icon, title, text);
    if (auto r = next(); r && std::holds_alternative<Answer>(*r)) {
        const Answer a = std::get<Answer>(*r);
        if (a == Answer::Cancel && !withCancel) return Answer::No;
        return a;
    }
    return defaultAnswer;
}

std::optional<QString> ScriptedPrompt::input(const QString& text, const QString& title,
                                             const QString& defaultText) {
    record(Kind::Input, Icon::None, title, text);
    if (auto r = next()) {
        if (std::holds_alternative<QString>(*r)) return std::get<QString>(*r);
        if (std::holds_alternative<Answer>(*r) && std::get<Answer>(*r) == Answer::Cancel)
            return std::nullopt;
    }
    return defaultText;
}

QString ScriptedPrompt::openFileName(const QString& title, const QString&, const QString&) {
    record(Kind::OpenFile, Icon::None, title, {});
    if (auto r = next(); r && std::holds_alternative<QString>(*r)) return std::get<QString>(*r);
    return {};
}

QString ScriptedPrompt::saveFileName(const QString& title, const QString& dir, const QString&) {
    m_lastFileDir = dir;
    record(Kind::SaveFile, Icon::None, title, {});
    if (auto r = next(); r && std::holds_alternative<QString>(*r)) return std::get<QString>(*r);
    return {};
}

QString ScriptedPrompt::existingDirectory(const QString& title, const QString&) {
    record(Kind::Directory, Icon::None, title, {});
    if (auto r = next(); r && std::holds_alternative<QString>(*r)) return std::get<QString>(*r);
    return {};
}

std::optional<QColor> ScriptedPrompt::color(const QColor&, const QString& title) {
    record(Kind::Color, Icon::None, title, {});
    if (auto r = next(); r && std::holds_alternative<QColor>(*r)) return std::get<QColor>(*r);
    return std::nullopt;
}

std::optional<QFont> ScriptedPrompt::font(const QFont&, const QString& title) {
    record(Kind::Font, Icon::None, title, {});
    if (auto r = next(); r && std::holds_alternative<QFont>(*r)) return std::get<QFont>(*r);
    return std::nullopt;
}

QStringList ScriptedPrompt::texts() const {
    QStringList out;
    for (const auto& s : m_shown) out << s.text;
    return out;
}

QString ScriptedPrompt::lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
QString ScriptedPrompt::lastTitle() const {
    return m_shown.isEmpty() ? QString() : m_shown.last().title;
}
