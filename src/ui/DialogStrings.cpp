#include "ui/DialogStrings.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "common/TextUtils.h"
#include "settings/AppSettings.h"
#include "suite/KLanguage.h"

namespace tavrel {

namespace {

// The catalogue text when `text` is a message ID; otherwise false and `text` stays.
bool Translate(QString& text) {
    const std::string id = text.toStdString();
    if (!KLanguage::IsMessageId(id)) return false;
    text = ShownText(Msg(id));
    return true;
}

}  // namespace

QString ShownText(const std::string& text) { return QString::fromStdString(DisplayText(text)); }

void AddStoredLine(QComboBox* box, const std::string& bytes) {
    box->addItem(ShownText(bytes), QByteArray::fromStdString(bytes));
}

std::string StoredLine(const QComboBox* box, int index) {
    if (index < 0 || index >= box->count()) return std::string();
    const QVariant data = box->itemData(index);
    return data.isValid() ? data.toByteArray().toStdString() : box->itemText(index).toStdString();
}

std::string ChosenLine(const QComboBox* box) { return StoredLine(box, box->currentIndex()); }

int FindStoredLine(const QComboBox* box, const std::string& bytes) {
    for (int i = 0; i < box->count(); ++i)
        if (StoredLine(box, i) == bytes) return i;
    return -1;
}

std::string KeptText(const QLineEdit* edit, const std::string& original) {
    return edit->text() == ShownText(original) ? original : edit->text().toStdString();
}

void CompileDialogStrings(QWidget* window) {
    if (!window) return;
    QString title = window->windowTitle();
    if (Translate(title)) window->setWindowTitle(title);
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (auto* button = qobject_cast<QAbstractButton*>(child)) {
            QString text = button->text();
            if (Translate(text)) button->setText(text);
        } else if (auto* label = qobject_cast<QLabel*>(child)) {
            QString text = label->text();
            if (Translate(text)) label->setText(text);
        } else if (auto* group = qobject_cast<QGroupBox*>(child)) {
            QString text = group->title();
            if (Translate(text)) group->setTitle(text);
        }
    }
}

}  // namespace tavrel
