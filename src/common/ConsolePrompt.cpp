#include "common/ConsolePrompt.h"

#include "common/Messages.h"
#include "common/TextUtils.h"

namespace tavrel {

namespace {

const char* AnswerName(PromptAnswer answer) {
    switch (answer) {
        case PromptAnswer::Ok:
            return "OK";
        case PromptAnswer::Cancel:
            return "Cancel";
        case PromptAnswer::Yes:
            return "Yes";
        case PromptAnswer::No:
            return "No";
        case PromptAnswer::Retry:
            return "Retry";
    }
    return "?";
}

}  // namespace

PromptAnswer ConsolePrompt::ask(const std::string& text, const std::string& captionId, PromptIcon /*icon*/,
                                PromptButtons buttons, int defaultButton) {
    ++shown_;
    PromptAnswer answer = rule_ ? rule_(text, buttons, defaultButton) : ButtonAnswer(buttons, defaultButton);
    if (out_) {
        std::string indented;
        for (char c : text) {
            indented += c;
            if (c == '\n') indented += "    ";
        }
        // A console reads UTF-8; texts from a Windows station's files are Windows-1252.
        std::fprintf(out_, "[%s] %s\n    -> %s\n", DisplayText(Msg(captionId)).c_str(),
                     DisplayText(indented).c_str(), AnswerName(answer));
    }
    return answer;
}

}  // namespace tavrel
