#pragma once
// The choice of the materials to optimise: every material of the job's pieces, all selected at
// first; OK with nothing selected tells the user and keeps the window open.

#include <QDialog>

#include "model/MaterialKey.h"
#include "model/MaterialList.h"
class QListWidget;

namespace tavrel {

class UserPrompt;

class TVLOptimizeWhatDialog : public QDialog {
    Q_OBJECT
public:
    // `used` and `prompt` must outlive the window.
    TVLOptimizeWhatDialog(const MaterialList& used, UserPrompt& prompt, QWidget* parent = nullptr);

    // The materials chosen by OK, in list order, each at its index in the list.
    const MaterialKeyList& chosen() const { return chosen_; }

    void accept() override;

private:
    void SelectAll(bool selected);

    const MaterialList& used_;
    UserPrompt& prompt_;
    MaterialKeyList chosen_;
    QListWidget* list_;
};

}  // namespace tavrel
