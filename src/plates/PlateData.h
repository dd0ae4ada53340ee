#pragma once
// The rules of the plate data window and of changing plates: the kind state of the window's
// controls, the OK checks, the merge of a changed plate into an equal one, and the plates'
// bulk change through the field table. The window only shows and reads texts.

#include <string>
#include <vector>

#include "model/PlateList.h"

namespace tavrel {

class ModifyFieldTable;

// The controls the kind decides, as texts the window shows. An unlimited supply has no
// quantity, treatment or priority of its own, so choosing it hides what the user typed; going
// back must give it back rather than leave the unlimited text or a cleared edit behind.
struct PlateKindForm {
    int kind = PlateOrdinary;
    std::string minimumLot;                   // edit 1027
    std::string quantity;                     // edit 1004
    std::string priority;                     // edit 1005
    std::vector<std::string> treatmentLines;  // combo 1015
    int treatmentLine = -1;                   // selected line of combo 1015

    bool minimumLotEnabled() const { return kind == PlateUnlimited; }
    bool treatmentEnabled() const { return kind != PlateUnlimited; }
    bool quantityEnabled() const { return kind != PlateUnlimited; }
    bool priorityEnabled() const { return kind != PlateUnlimited; }
    bool showsIcon() const { return kind == PlateUnlimited; }
};

class PlateKindState {
public:
    // Applies the kind the form opens with.
    void open(PlateKindForm& form);
    // A click on a kind button. Clicking the kind already shown changes nothing, so the
    // unlimited text is never taken for a typed quantity.
    void choose(PlateKindForm& form, int kind);

private:
    void apply(PlateKindForm& form, int from, bool opening);
    bool hasMinimumLot_ = false;
    std::string minimumLot_;
    int treatmentLine_ = -1;
    bool hasQuantity_ = false;
    std::string quantity_;
    bool hasPriority_ = false;
    std::string priority_;
    bool appended_ = false;  // the "00133" line is in the combo
};

// What the data window reads on OK.
struct PlateDataTexts {
    int kind = PlateOrdinary;
    std::string material;  // combo 1012: "serie, code"
    std::string treatment;
    std::string quantity, width, height, priority, plateParameter, minimumLot;
    int orientation = 0;
};
// Empty and `plate` filled when the texts make a plate; else the message ID to show ("00091"
// no material, "00095" a value out of range) and `plate` untouched.
std::string ReadPlateData(const PlateDataTexts& texts, StockPlate& plate);

// The rounding button: outside millimetres, width, height and plate parameter are rounded to
// the tenth of a millimetre the engine works in and printed back with the number format, so
// what the user sees is what the cut will use. Empty texts stay empty.
void RoundPlateTexts(PlateDataTexts& texts);

// Stores the edited values into the catalogue plate at `index`, then merges it into another
// plate it now equals (quantities added; an unlimited one stays unlimited). Returns the index
// of the plate that holds the values afterwards, -1 for an index outside the list.
int ChangePlate(PlateList& plates, int index, const StockPlate& edited, bool* merged = nullptr);

// The fields the plates' bulk change offers, in the window's order.
enum PlateModifyField {
    ModifyKind,
    ModifyMinimumLot,
    ModifyMaterial,
    ModifyQuantity,
    ModifyWidth,
    ModifyHeight,
    ModifyPriority,
    ModifyPlateParameter,
    ModifyOrientation,
    PlateModifyFields
};
ModifyFieldTable PlatesModifyTable();
// Applies the ticked fields of `table` to `plate` in table order, with the plate's kind as it
// is by then: an unlimited plate keeps quantity 99999, an empty treatment and priority 0
// whatever was typed for them, and only an unlimited plate takes a minimum lot.
void ApplyPlateModify(const ModifyFieldTable& table, StockPlate& plate);

}  // namespace tavrel
