#include "plates/PlateData.h"

#include "common/Messages.h"
#include "common/TextUtils.h"
#include "materials/ModifyFieldTable.h"
#include "model/RecordText.h"
#include "settings/Units.h"

namespace tavrel {

void PlateKindState::open(PlateKindForm& form) { apply(form, form.kind, true); }

void PlateKindState::choose(PlateKindForm& form, int kind) {
    if (kind < PlateOrdinary || kind > PlateUnlimited || kind == form.kind) return;
    const int from = form.kind;
    form.kind = kind;
    apply(form, from, false);
}

void PlateKindState::apply(PlateKindForm& form, int from, bool opening) {
    if (form.kind == PlateUnlimited) {
        if (hasMinimumLot_) form.minimumLot = minimumLot_;
        treatmentLine_ = form.treatmentLine;
        if (!appended_) form.treatmentLines.push_back(Msg("00133"));
        appended_ = true;
        form.treatmentLine = int(form.treatmentLines.size()) - 1;
        quantity_ = form.quantity;
        hasQuantity_ = true;
        form.quantity = Msg("00171");
        priority_ = form.priority;
        hasPriority_ = true;
        form.priority.clear();
        return;
    }
    if (!opening && from != PlateUnlimited) return;  // between ordinary and offcut nothing moves
    minimumLot_ = form.minimumLot;
    hasMinimumLot_ = true;
    form.minimumLot.clear();
    if (appended_) {
        form.treatmentLines.pop_back();
        appended_ = false;
        form.treatmentLine = treatmentLine_ < int(form.treatmentLines.size()) ? treatmentLine_ : -1;
    }
    if (hasQuantity_) form.quantity = quantity_;
    if (hasPriority_) form.priority = priority_;
}

std::string ReadPlateData(const PlateDataTexts& texts, StockPlate& plate) {
    const std::string material = Trim(texts.material);
    if (material.empty()) return "00091";
    const std::size_t comma = material.find(',');
    const std::string serie = Trim(material.substr(0, comma));
    const std::string code = comma == std::string::npos ? std::string() : Trim(material.substr(comma + 1));
    const double width = ParseReal(texts.width);
    const double height = ParseReal(texts.height);
    const double parameter = ParseReal(texts.plateParameter);
    const double minimumLot = ParseReal(texts.minimumLot);
    const int quantity = ParseInt(texts.quantity);
    const int priority = ParseInt(texts.priority);
    const bool unlimited = texts.kind == PlateUnlimited;
    // "Not above 0" written so that a NaN from a damaged text is refused too.
    bool ok = width > 0 && height > 0 && parameter >= 0;
    if (!unlimited) ok = ok && quantity > 0 && priority >= 0 && priority <= 999;
    if (unlimited) ok = ok && !(minimumLot < 0);
    if (!ok) return "00095";
    plate.minimumLot = unlimited ? minimumLot : 0.0;
    plate.kind = texts.kind;
    plate.key.serie = serie;
    plate.key.code = code;
    plate.key.treatment = unlimited ? std::string() : Trim(texts.treatment);
    plate.width = width;
    plate.height = height;
    plate.quantity = unlimited ? kUnlimitedQuantity : quantity;
    plate.priority = unlimited ? 0 : priority;
    plate.plateParameter = parameter;
    plate.orientation = texts.orientation >= 0 && texts.orientation <= 2 ? texts.orientation : 2;
    return std::string();
}

void RoundPlateTexts(PlateDataTexts& texts) {
    if (IsMillimetres()) return;
    auto round = [](std::string& text, int direction) {
        if (Trim(text).empty()) return;
        text = FormatNumber(LengthFormat(1), ToSystemScaledValue(ParseReal(text), 10, direction));
    };
    round(texts.width, -1);
    round(texts.height, -1);
    round(texts.plateParameter, 1);
}

int ChangePlate(PlateList& plates, int index, const StockPlate& edited, bool* merged) {
    if (merged) *merged = false;
    if (index < 0 || index >= plates.count()) return -1;
    StockPlate& plate = plates.at(index);
    const StockPlate before = plate;
    plate = edited.duplicate();
    plate.selected = before.selected;
    bool wasMerged = false;
    const int result = plates.mergeInto(index, wasMerged);
    if (merged) *merged = wasMerged;
    return result;
}

ModifyFieldTable PlatesModifyTable() {
    ModifyFieldTable table;
    const std::string kinds = Msg("00131") + ", " + Msg("00069") + ", " + Msg("00132") + ", ";
    const std::string orientations = Msg("00110") + ", " + Msg("00111") + ", " + Msg("00112") + ", ";
    table.Add(Msg("00146"), "C", false, kinds);
    table.Add(Msg("00129") + WithAreaLabel(" [", "]"), AreaFormat(), true);
    table.Add(Msg("00137") + ", " + Msg("00138") + ", " + Msg("00139"), "M");
    table.Add(Msg("00161"), "%ld");
    table.Add(Msg("00135"), LengthFormat(1), false, std::string(), -1);
    table.Add(Msg("00136"), LengthFormat(1), false, std::string(), -1);
    table.Add(Msg("00066"), "%ld", true);
    table.Add(Msg("00067"), LengthFormat(1), true, std::string(), 1);
    table.Add(Msg("00068"), "C", false, orientations);
    return table;
}

void ApplyPlateModify(const ModifyFieldTable& table, StockPlate& plate) {
    if (table.count() < PlateModifyFields) return;
    auto changed = [&table](PlateModifyField f) { return table.at(int(f)).changed; };
    auto value = [&table](PlateModifyField f) { return table.at(int(f)).value; };
    if (changed(ModifyKind)) {
        const int kind = table.at(ModifyKind).choiceIndex;
        if (kind >= PlateOrdinary && kind <= PlateUnlimited) plate.kind = kind;
    }
    const bool unlimited = plate.kind == PlateUnlimited;
    if (changed(ModifyMinimumLot) && unlimited) plate.minimumLot = ParseReal(value(ModifyMinimumLot));
    if (changed(ModifyMaterial)) {
        std::string serie, code, treatment;
        SplitMaterialValue(value(ModifyMaterial), serie, code, treatment);
        plate.key.serie = serie;
        plate.key.code = code;
        plate.key.treatment = treatment;
    }
    if (changed(ModifyQuantity)) plate.quantity = ParseInt(value(ModifyQuantity));
    if (changed(ModifyWidth)) plate.width = ParseReal(value(ModifyWidth));
    if (changed(ModifyHeight)) plate.height = ParseReal(value(ModifyHeight));
    if (changed(ModifyPriority)) plate.priority = ParseInt(value(ModifyPriority));
    if (changed(ModifyPlateParameter)) plate.plateParameter = ParseReal(value(ModifyPlateParameter));
    if (changed(ModifyOrientation)) {
        const int orientation = table.at(ModifyOrientation).choiceIndex;
        if (orientation >= 0 && orientation <= 2) plate.orientation = orientation;
    }
    // Whatever was ticked, an unlimited plate is held to what such a plate is, also when only
    // its kind changed.
    if (unlimited) {
        plate.key.treatment.clear();
        plate.quantity = kUnlimitedQuantity;
        plate.priority = 0;
    }
}

}  // namespace tavrel
