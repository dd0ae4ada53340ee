#include "ui/QtUserPrompt.h"

#include <vector>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "settings/AppSettings.h"
#include "ui/DialogStrings.h"

namespace tavrel {

namespace {

UserPrompt* g_override = nullptr;

struct ButtonSpec {
    QMessageBox::StandardButton button;
    PromptAnswer answer;
    const char* textId;  // catalogue text, so the buttons speak the catalogue's language
};

std::vector<ButtonSpec> ButtonsFor(PromptButtons buttons) {
    const ButtonSpec ok{QMessageBox::Ok, PromptAnswer::Ok, "00008"};
    const ButtonSpec cancel{QMessageBox::Cancel, PromptAnswer::Cancel, "00009"};
    const ButtonSpec yes{QMessageBox::Yes, PromptAnswer::Yes, "00190"};
    const ButtonSpec no{QMessageBox::No, PromptAnswer::No, "00191"};
    const ButtonSpec retry{QMessageBox::Retry, PromptAnswer::Retry, nullptr};
    switch (buttons) {
        case PromptButtons::Ok:
            return {ok};
        case PromptButtons::OkCancel:
            return {ok, cancel};
        case PromptButtons::YesNo:
            return {yes, no};
        case PromptButtons::YesNoCancel:
            return {yes, no, cancel};
        case PromptButtons::RetryCancel:
            return {retry, cancel};
    }
    return {ok};
}

QMessageBox::Icon BoxIcon(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Information:
            return QMessageBox::Information;
        case PromptIcon::Exclamation:
            return QMessageBox::Warning;
        case PromptIcon::Question:
            return QMessageBox::Question;
        case PromptIcon::Error:
            return QMessageBox::Critical;
        case PromptIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

PromptAnswer QtUserPrompt::ask(const std::string& text, const std::string& captionId, PromptIcon icon,
                               PromptButtons buttons, int defaultButton) {
    QWidget* parent = parent_;
    if (!parent) parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromStdString(Msg(captionId)));
    box.setTextFormat(Qt::PlainText);
    box.setText(ShownText(text));
    box.setIcon(BoxIcon(icon));
    const std::vector<ButtonSpec> specs = ButtonsFor(buttons);
    std::vector<QPushButton*> made;
    for (const ButtonSpec& spec : specs) {
        QPushButton* b = box.addButton(spec.button);
        if (spec.textId) b->setText(QString::fromStdString(Msg(spec.textId)));
        made.push_back(b);
    }
    if (defaultButton < 0 || size_t(defaultButton) >= made.size()) defaultButton = 0;
    box.setDefaultButton(made[size_t(defaultButton)]);
    box.exec();
    for (size_t i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i]) return specs[i].answer;
    // Closed without a button (Escape with no Cancel): the answer a box without Cancel gives.
    return specs.size() == 1 ? specs[0].answer : ButtonAnswer(buttons, int(specs.size()) - 1);
}

UserPrompt& WindowPrompt() {
    static QtUserPrompt boxes;
    return g_override ? *g_override : boxes;
}

void SetWindowPromptOverride(UserPrompt* prompt) { g_override = prompt; }

}  // namespace tavrel
