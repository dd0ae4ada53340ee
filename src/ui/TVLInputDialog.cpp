#include "ui/TVLInputDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/TextUtils.h"
#include "settings/AppSettings.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"

namespace tavrel {

const char* const TVLInputDialog::kRefused = "'\";|,:";

TVLInputDialog::TVLInputDialog(QWidget* parent) : QDialog(parent) {
    const DialogUnits du(font());
    setFixedSize(du.Size(231, 60));
    promptLabel_ = du.Place(new QLabel(this), 7, 7, 217, 8);
    promptLabel_->setObjectName("1020");
    edit_ = du.Place(new QLineEdit(this), 7, 18, 217, 14);
    edit_->setObjectName("1002");
    auto* ok = du.Place(new QPushButton("00008", this), 63, 39, 50, 14);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = du.Place(new QPushButton("00009", this), 117, 39, 50, 14);
    cancel->setObjectName("2");
    connect(ok, &QPushButton::clicked, this, &TVLInputDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &TVLInputDialog::reject);
    connect(edit_, &QLineEdit::textChanged, this, &TVLInputDialog::Clean);
    // Leaving the box cleans it too; OK and Cancel take the focus only after their own click.
    connect(edit_, &QLineEdit::editingFinished, this, &TVLInputDialog::Clean);
}

void TVLInputDialog::Prepare() {
    setWindowTitle(QString::fromStdString(caption_));
    CompileDialogStrings(this);
    promptLabel_->setText(QString::fromStdString(Msg(prompt_)));
    guard_ = true;
    edit_->setText(ShownText(value_));
    guard_ = false;
    Clean();
}

void TVLInputDialog::showEvent(QShowEvent* event) {
    // The caller fills caption, prompt and value after construction, so they go in on opening.
    Prepare();
    QDialog::showEvent(event);
}

void TVLInputDialog::Clean() {
    if (guard_) return;
    const QString shown = edit_->text();
    // The box takes upper case only, as the catalogue keys it feeds are upper case.
    std::string text = Trim(shown.toUpper().toStdString());
    const int removed = RemoveChars(text, kRefused);
    const bool upperChanged = shown != shown.toUpper();
    if (removed == 0 && !upperChanged) return;
    QString cleaned = removed ? QString::fromStdString(text) : shown.toUpper();
    // The caret stays where the user was typing: the cleaned form of what stood before it.
    std::string before = shown.left(edit_->cursorPosition()).toUpper().toStdString();
    if (removed) {
        before = Trim(before + "x");  // trims the left side only
        before.pop_back();
        RemoveChars(before, kRefused);
    }
    guard_ = true;
    edit_->setText(cleaned);
    edit_->setCursorPosition(std::min<int>(int(QString::fromStdString(before).size()), int(cleaned.size())));
    guard_ = false;
}

void TVLInputDialog::accept() {
    // A name a Windows station wrote stays in its own bytes unless the user changed it.
    value_ = KeptText(edit_, value_);
    guard_ = true;
    QDialog::accept();
}

}  // namespace tavrel
