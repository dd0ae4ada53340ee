#include "materials/ui/TVLComponentsDialog.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>

#include "common/Messages.h"
#include "materials/Components.h"
#include "materials/ui/TVLMaterialSelectionDialog.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"
#include "ui/QtUserPrompt.h"

namespace tavrel {

TVLComponentsDialog::TVLComponentsDialog(AppSettings& settings, MaterialKeyList& components, QWidget* parent)
    : QDialog(parent), settings_(settings), components_(components) {
    setObjectName("149");
    const DialogUnits du(font());
    setFixedSize(du.Size(220, 160));
    du.PlaceGroup(new QGroupBox(QStringLiteral("00010"), this), 7, 7, 206, 122);
    list_ = du.Place(new QListWidget(this), 13, 18, 194, 86);
    list_->setObjectName("1003");
    auto* add = du.Place(new QPushButton(QStringLiteral("00011"), this), 13, 108, 60, 14);
    add->setObjectName("1000");
    delete_ = du.Place(new QPushButton(QStringLiteral("00012"), this), 77, 108, 60, 14);
    delete_->setObjectName("1001");
    auto* ok = du.Place(new QPushButton(QStringLiteral("00008"), this), 109, 138, 50, 14);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = du.Place(new QPushButton(QStringLiteral("00009"), this), 163, 138, 50, 14);
    cancel->setObjectName("2");
    connect(add, &QPushButton::clicked, this, &TVLComponentsDialog::OnAdd);
    connect(delete_, &QPushButton::clicked, this, &TVLComponentsDialog::OnDelete);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TVLComponentsDialog::showEvent(QShowEvent* event) {
    setWindowTitle(QString::fromStdString(title_));
    CompileDialogStrings(this);
    delete_->setEnabled(!readOnly_);
    Fill(0);
    QDialog::showEvent(event);
}

void TVLComponentsDialog::Fill(int select) {
    list_->clear();
    for (const MaterialKey& key : components_) list_->addItem(ShownText(ComponentLine(key)));
    if (select >= 0 && select < list_->count()) list_->setCurrentRow(select);
}

void TVLComponentsDialog::OnAdd() {
    TVLMaterialSelectionDialog choice(settings_, this);
    choice.SetTitle("00072");
    choice.SetAllowComposites(false);
    choice.SetExcludedSerieCode(host_);
    if (choice.exec() != QDialog::Accepted) return;
    Fill(AddComponent(components_, choice.chosen()));
}

void TVLComponentsDialog::OnDelete() {
    const int line = list_->currentRow();
    if (line < 0) return;
    if (WindowPrompt().ask(Msg("00074"), "00073", PromptIcon::Question, PromptButtons::YesNo, 1) !=
        PromptAnswer::Yes)
        return;
    Fill(RemoveComponent(components_, line));
}

}  // namespace tavrel
