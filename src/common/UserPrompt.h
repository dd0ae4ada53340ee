#pragma once
// The one way the core asks the user something or tells them something. Windows implement it
// with message boxes; tests and the batch tool with scripted answers, so every command runs the
// same code everywhere.

#include <deque>
#include <string>
#include <vector>

namespace tavrel {

enum class PromptIcon { None, Information, Exclamation, Question, Error };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry };

class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    // Shows `text` with the caption of message `captionId`; returns the answer.
    // `defaultButton` is 0 for the first button, 1 for the second and so on.
    virtual PromptAnswer ask(const std::string& text, const std::string& captionId, PromptIcon icon,
                             PromptButtons buttons, int defaultButton = 0) = 0;
    // Shorthand for an information box with OK.
    void tell(const std::string& text, const std::string& captionId = "00073",
              PromptIcon icon = PromptIcon::Information) {
        ask(text, captionId, icon, PromptButtons::Ok, 0);
    }
};

// Answers from a script and records every box shown. When the script runs out it answers with
// the default button, as a user pressing Enter would.
class ScriptedPrompt : public UserPrompt {
public:
    struct Shown {
        std::string text;
        std::string captionId;
        PromptIcon icon;
        PromptButtons buttons;
        int defaultButton;
        PromptAnswer answer;
    };

    void push(PromptAnswer answer) { script_.push_back(answer); }
    PromptAnswer ask(const std::string& text, const std::string& captionId, PromptIcon icon,
                     PromptButtons buttons, int defaultButton = 0) override;
    const std::vector<Shown>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

private:
    std::deque<PromptAnswer> script_;
    std::vector<Shown> shown_;
};

// The program's warning: message `id` followed by `after` (a blank line and a list, say), with
// the exclamation icon, OK, and the program's caption.
void Warn(UserPrompt& prompt, const std::string& id, const std::string& after = {});

// The answer a given button index stands for.
PromptAnswer ButtonAnswer(PromptButtons buttons, int index);

}  // namespace tavrel
