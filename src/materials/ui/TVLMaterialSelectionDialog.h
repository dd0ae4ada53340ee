#pragma once
// The choice of one material (serie, code and treatment) from the catalogue.

#include <string>

#include <QDialog>

#include "model/MaterialKey.h"
class QComboBox;

namespace tavrel {

struct AppSettings;

class TVLMaterialSelectionDialog : public QDialog {
    Q_OBJECT
public:
    TVLMaterialSelectionDialog(AppSettings& settings, QWidget* parent = nullptr);

    void SetTitle(const std::string& titleId) { title_ = titleId; }
    // "serie, code" of a group never offered (the laminate being edited).
    void SetExcludedSerieCode(const std::string& text) { excluded_ = text; }
    void SetAllowComposites(bool allow) { allowComposites_ = allow; }
    const MaterialKey& chosen() const { return chosen_; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillGroups(const std::string& previous);
    void FillTreatments(const std::string& previous, bool selectPrevious);
    void OpenMaterials();

    AppSettings& settings_;
    std::string title_ = "00090";
    std::string excluded_ = "-";
    bool allowComposites_ = false;
    MaterialKey chosen_;
    QComboBox* groups_;
    QComboBox* treatments_;
};

}  // namespace tavrel
