#include "common/UserPrompt.h"

#include "common/Messages.h"

namespace tavrel {

void Warn(UserPrompt& prompt, const std::string& id, const std::string& after) {
    prompt.ask(Msg(id) + after, "00073", PromptIcon::Exclamation, PromptButtons::Ok);
}

PromptAnswer ButtonAnswer(PromptButtons buttons, int index) {
    switch (buttons) {
        case PromptButtons::Ok:
            return PromptAnswer::Ok;
        case PromptButtons::OkCancel:
            return index == 1 ? PromptAnswer::Cancel : PromptAnswer::Ok;
        case PromptButtons::YesNo:
            return index == 1 ? PromptAnswer::No : PromptAnswer::Yes;
        case PromptButtons::YesNoCancel:
            return index == 1 ? PromptAnswer::No : index == 2 ? PromptAnswer::Cancel : PromptAnswer::Yes;
        case PromptButtons::RetryCancel:
            return index == 1 ? PromptAnswer::Cancel : PromptAnswer::Retry;
    }
    return PromptAnswer::Ok;
}

PromptAnswer ScriptedPrompt::ask(const std::string& text, const std::string& captionId, PromptIcon icon,
                                 PromptButtons buttons, int defaultButton) {
    PromptAnswer answer = ButtonAnswer(buttons, defaultButton);
    if (!script_.empty()) {
        answer = script_.front();
        script_.pop_front();
    }
    shown_.push_back({text, captionId, icon, buttons, defaultButton, answer});
    return answer;
}

}  // namespace tavrel
