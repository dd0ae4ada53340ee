#pragma once
// Message boxes for the windows. Every box a window shows goes through WindowPrompt(), so a test
// (or a future batch front end) can put a scripted prompt in its place and nothing ever blocks.

#include "common/UserPrompt.h"
class QWidget;

namespace tavrel {

class QtUserPrompt : public UserPrompt {
public:
    // Boxes are centred on `parent`, or on the active window when none is given.
    explicit QtUserPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    PromptAnswer ask(const std::string& text, const std::string& captionId, PromptIcon icon,
                     PromptButtons buttons, int defaultButton = 0) override;

private:
    QWidget* parent_;
};

// The prompt every window uses: the override when one is set, else real message boxes.
UserPrompt& WindowPrompt();
// Test seam; nullptr restores the message boxes. The caller keeps the prompt alive.
void SetWindowPromptOverride(UserPrompt* prompt);

}  // namespace tavrel
