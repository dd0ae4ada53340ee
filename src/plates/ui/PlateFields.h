#pragma once
// The fields both plate windows show, the single plate and the plate series: the kind buttons
// with the minimum lot, then material, treatment, quantity, sizes, priority, plate parameter
// and orientation. Each window places the controls its own way and hands them over here, where
// they are filled from a plate, read back, and follow the kind buttons, once for both.
// Material and treatment lines keep the catalogue's bytes beside the shown text, so a catalogue
// that a Windows station wrote is matched and stored exactly as it was read.

#include <string>

#include "model/MaterialList.h"
#include "plates/PlateData.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace tavrel {

class PlateFields {
public:
    QRadioButton* kinds[3] = {};
    QLineEdit* minimumLot = nullptr;
    QComboBox* material = nullptr;
    QComboBox* treatment = nullptr;
    QLineEdit* quantity = nullptr;
    QLineEdit* width = nullptr;
    QLineEdit* height = nullptr;
    QLineEdit* priority = nullptr;
    QLineEdit* parameter = nullptr;
    QComboBox* orientation = nullptr;
    QLabel* icon = nullptr;

    // Call once the controls are set: the kind buttons and the material line start working.
    void Connect(const MaterialList& materials);
    // Shows `plate`. A plate without material shows none chosen, or the first material with
    // `firstWhenNone`.
    void Show(const StockPlate& plate, bool firstWhenNone);
    PlateDataTexts Read() const;
    // The catalogue changed (the materials window): the lines are filled anew, the choice kept.
    void Refill(const MaterialList& materials);
    int kind() const { return kind_; }

private:
    void FillMaterials(const std::string& select, bool firstWhenNone);
    void FillTreatments(const std::string& select);
    void KindClicked(int kind);
    PlateKindForm ReadKindForm() const;
    void ShowKindForm(const PlateKindForm& form);

    const MaterialList* materials_ = nullptr;
    PlateKindState state_;
    int kind_ = PlateOrdinary;
};

}  // namespace tavrel
