#pragma once
// The material catalogue as a list of serie/code groups, with new, change and delete. Every
// confirmed change is saved at once.

#include <QDialog>

#include "materials/MaterialGroups.h"
class QLabel;
class QPushButton;

namespace tavrel {

struct AppSettings;
class CTrapMaterialListCtrl;

class TVLMaterialsDialog : public QDialog {
    Q_OBJECT
public:
    TVLMaterialsDialog(AppSettings& settings, QWidget* parent = nullptr);

    // Opened from inside another window: no delete, treatment names fixed.
    void SetNested(bool nested) { nested_ = nested; }
    void SetComponentsAllowed(bool allowed) { componentsAllowed_ = allowed; }
    // New and changed groups accepted while open; callers reload when above 0.
    int changeCount() const { return changeCount_; }
    int clipboardRow() const { return clipboardRow_; }
    const MaterialList& catalogue() const { return catalogue_; }

    void OnNew();
    void OnChange();
    void OnDelete();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowRows(int select);
    void ShowRow(int row);
    std::vector<int> SelectedRows() const;
    bool Save();

    AppSettings& settings_;
    MaterialList catalogue_;
    MaterialRows rows_;
    CTrapMaterialListCtrl* list_;
    QLabel* total_;
    QPushButton* delete_;
    bool nested_ = false;
    bool componentsAllowed_ = true;
    int changeCount_ = 0;
    int clipboardRow_ = -1;
};

}  // namespace tavrel
