#include "optimise/ui/TVLOptimizeWhatDialog.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>

#include "optimise/OptimiseCommand.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"

namespace tavrel {

TVLOptimizeWhatDialog::TVLOptimizeWhatDialog(const MaterialList& used, UserPrompt& prompt, QWidget* parent)
    : QDialog(parent), used_(used), prompt_(prompt) {
    setObjectName("151");
    const DialogUnits du(font());
    setFixedSize(du.Size(236, 176));
    du.PlaceGroup(new QGroupBox(QStringLiteral("00051"), this), 7, 7, 222, 140);
    list_ = du.Place(new QListWidget(this), 14, 16, 208, 104);
    list_->setObjectName("1003");
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    auto button = [&](const char* id, const char* text, int x, int y) {
        auto* b = du.Place(new QPushButton(QString::fromLatin1(text), this), x, y, 60, 14);
        b->setObjectName(QString::fromLatin1(id));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* all = button("1000", "00052", 14, 126);
    QPushButton* none = button("1001", "00053", 78, 126);
    QPushButton* ok = button("1", "00008", 115, 155);
    QPushButton* cancel = button("2", "00009", 169, 155);
    ok->setDefault(true);
    connect(all, &QPushButton::clicked, this, [this] { SelectAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { SelectAll(false); });
    connect(ok, &QPushButton::clicked, this, &TVLOptimizeWhatDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &TVLOptimizeWhatDialog::reject);

    setWindowTitle(QStringLiteral("00050"));
    CompileDialogStrings(this);
    for (const Material& m : used_) list_->addItem(ShownText(MaterialText(m.key())));
    SelectAll(true);
    if (list_->count() > 0) list_->setCurrentRow(0, QItemSelectionModel::Current);
}

void TVLOptimizeWhatDialog::SelectAll(bool selected) {
    for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSelected(selected);
}

void TVLOptimizeWhatDialog::accept() {
    std::vector<bool> selected;
    for (int i = 0; i < list_->count(); ++i) selected.push_back(list_->item(i)->isSelected());
    if (!ChosenMaterials(used_, selected, chosen_, prompt_)) return;
    QDialog::accept();
}

}  // namespace tavrel
