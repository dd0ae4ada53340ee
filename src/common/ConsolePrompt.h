#pragma once
// A UserPrompt for the command line: prints every message box and answers it with a rule the
// caller chooses, so headless runs go through exactly the dialogue the windows would show.

#include <cstdio>
#include <functional>

#include "common/UserPrompt.h"

namespace tavrel {

class ConsolePrompt : public UserPrompt {
public:
    using Rule =
        std::function<PromptAnswer(const std::string& text, PromptButtons buttons, int defaultButton)>;

    // Without a rule every box is answered with its default button.
    explicit ConsolePrompt(std::FILE* out, Rule rule = nullptr) : out_(out), rule_(std::move(rule)) {}
    PromptAnswer ask(const std::string& text, const std::string& captionId, PromptIcon icon,
                     PromptButtons buttons, int defaultButton = 0) override;
    int shownCount() const { return shown_; }

private:
    std::FILE* out_;
    Rule rule_;
    int shown_ = 0;
};

}  // namespace tavrel
