#include "results/ui/TVLOptimizedMaterialListDialog.h"

#include <QListWidget>
#include <QPushButton>

#include "model/MaterialKey.h"
#include "results/OptimisedMaterialList.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"

namespace tavrel {

TVLOptimizedMaterialListDialog::TVLOptimizedMaterialListDialog(const AppSettings& settings,
                                                               MaterialKeyList& materials,
                                                               const std::string& jobPath, UserPrompt& prompt,
                                                               EntrySource entry, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      materials_(materials),
      jobPath_(jobPath),
      prompt_(prompt),
      entry_(std::move(entry)) {
    setObjectName("152");
    const DialogUnits du(font());
    setFixedSize(du.Size(220, 150));
    list_ = du.Place(new QListWidget(this), 7, 7, 206, 114);
    list_->setObjectName("1003");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* ok = du.Place(new QPushButton(QStringLiteral("00049"), this), 109, 129, 50, 14);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = du.Place(new QPushButton(QStringLiteral("00041"), this), 163, 129, 50, 14);
    cancel->setObjectName("2");
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TVLOptimizedMaterialListDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &TVLOptimizedMaterialListDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { ProcessSelected(); });

    setWindowTitle(QStringLiteral("00048"));
    CompileDialogStrings(this);
    for (const std::string& line : OptimisedMaterialLines(materials_)) list_->addItem(ShownText(line));
    if (list_->count() > 0) list_->setCurrentRow(0);
}

void TVLOptimizedMaterialListDialog::accept() { ProcessSelected(); }

void TVLOptimizedMaterialListDialog::ProcessSelected() {
    LoadEditorFn entry = entry_ ? entry_() : nullptr;
    if (!entry) return;
    const int row = list_->currentRow();
    if (row < 0 || row >= materials_.count() || !list_->item(row)->isSelected()) return;
    // The key is copied: the list stays as it is while the engine's windows run.
    const MaterialKey key = materials_.at(row);
    ProcessOptimisedMaterial(key, jobPath_, settings_, entry, this, prompt_);
}

}  // namespace tavrel
