#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <functional>
#include <variant>

// Every question and message of the program goes through the prompt service. The real
// one shows Qt dialogs; tests install ScriptedPrompt, which records what was shown and
// answers from a script. An empty title always means the application title.
class Prompt {
public:
    enum class Icon { None, Information, Warning, Question, Critical };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~Prompt() = default;

    // Message box with an OK button only.
    virtual void message(Icon icon, const QString& text, const QString& title) = 0;
    // Yes/No (or Yes/No/Cancel) question; `defaultAnswer` is the default button.
    virtual Answer question(Icon icon, const QString& text, const QString& title, bool withCancel,
                            Answer defaultAnswer) = 0;
    // Input box; nullopt when cancelled.
    virtual std::optional<QString> input(const QString& text, const QString& title,
                                         const QString& defaultText) = 0;
    // File, folder and colour choosers; empty/nullopt when cancelled.
    virtual QString openFileName(const QString& title, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString existingDirectory(const QString& title, const QString& dir) = 0;
    virtual std::optional<QColor> color(const QColor& initial, const QString& title) = 0;
    // Font chooser; nullopt when cancelled (and where no chooser is available).
    virtual std::optional<QFont> font(const QFont& initial, const QString& title);
};

// The process-wide prompt service. The program installs QtPrompt (ui/QtPrompt.h) at start;
// until something is installed, texts go to the log and questions take their default.
Prompt& prompt();
void setPrompt(std::unique_ptr<Prompt> p);

// Convenience calls used by the windows. An empty title becomes the application title.
void MsgInfo(const QString& text, const QString& title = {});
void MsgWarning(const QString& text, const QString& title = {});
void MsgPlain(const QString& text, const QString& title = {});
bool AskYesNo(const QString& text, const QString& title = {}, bool defaultYes = true);
Prompt::Answer AskYesNoCancel(const QString& text, const QString& title = {},
                              Prompt::Answer defaultAnswer = Prompt::Answer::Yes);
std::optional<QString> InputBox(const QString& text, const QString& title = {},
                                const QString& defaultText = {});

// Reports a trapped unexpected error:
// "Error N (description) in procedure P of Form W" / "... of Module M".
void ReportTrappedError(int number, const QString& description, const QString& procedure,
                        const QString& owner, bool ownerIsModule = false);
QString TrappedErrorText(int number, const QString& description, const QString& procedure,
                         const QString& owner, bool ownerIsModule = false);

// Test double: records every prompt and answers from a queue. With nothing queued a
// question gets its default button, an input box its default text, a chooser "cancel".
class ScriptedPrompt : public Prompt {
public:
    enum class Kind { Message, Question, Input, OpenFile, SaveFile, Directory, Color, Font };
    struct Shown {
        Kind kind;
        Icon icon;
        QString title;
        QString text;
    };
    using Reply = std::variant<Answer, QString, QColor, QFont>;

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

    // Queue answers: Answer for questions, QString for inputs and file choosers
    // (an empty QString cancels an input), QColor for the colour chooser, QFont for the
    // font chooser.
    void push(Reply reply) { m_replies.append(reply); }
    void pushAnswer(Answer a) { push(a); }
    void pushText(const QString& t) { push(t); }
    void pushCancel() { push(Answer::Cancel); }

    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const;   // the texts of everything shown, in order
    QString lastText() const;    // text of the last prompt, empty when none
    QString lastTitle() const;
    void clear() { m_shown.clear(); m_replies.clear(); }
    int pendingReplies() const { return int(m_replies.size()); }
    Answer lastDefault() const { return m_lastDefault; }
    // The folder or file a file chooser was last opened on.
    QString lastFileDir() const { return m_lastFileDir; }

    // Called whenever something is shown (after recording), e.g. to close a window.
    std::function<void(const Shown&)> onShown;

private:
    std::optional<Reply> next();
    void record(Kind kind, Icon icon, const QString& title, const QString& text);
    QList<Shown> m_shown;
    QList<Reply> m_replies;
    Answer m_lastDefault = Answer::Ok;
    QString m_lastFileDir;
};
