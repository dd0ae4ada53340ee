#include "materials/MaterialData.h"

#include <algorithm>
#include <cctype>

#include "common/Messages.h"
#include "common/TextUtils.h"
#include "model/Names.h"
#include "model/RecordText.h"
#include "settings/Units.h"

namespace tavrel {

bool CleanKeyText(std::string& text, std::size_t width, int* caret) {
    const std::string typed = text;
    std::string cut;
    for (char c : typed) cut += char(std::toupper(static_cast<unsigned char>(c)));
    if (cut.size() > width) cut.resize(width);
    cut = Trim(cut);
    std::string clean;
    for (char c : cut)
        if (std::string(kSerieCodeForbidden).find(c) == std::string::npos) clean += c;
    text = clean;
    if (clean == typed) return false;
    // A refused character is never inserted, so the caret stays where it was before the key.
    if (caret) {
        const int shrink = clean.size() < typed.size() ? 1 : 0;
        *caret = std::max(0, std::min(*caret - shrink, int(clean.size())));
    }
    return true;
}

void PlateLimitBox::SwitchOff(double shownValue) {
    on_ = false;
    if (shownValue > 0.0) remembered_ = shownValue;
}

std::string PlateLimitBox::EditText() const {
    if (!on_) return Msg("00171");
    return FormatNumber(LengthFormat(1), remembered_ < 0.0 ? 0.0 : remembered_);
}

std::string PlateLimitBox::CheckText() const { return on_ ? Msg("00172") : "[ " + Msg("00173") + " ]"; }

void RoundMaterialForm(MaterialDataForm& form) {
    if (NearlyEqual(LinearFactor(), 1.0)) return;
    auto length = [](std::string& text, double scale) {
        text = FormatNumber(LengthFormat(1), ToSystemScaledValue(ParseReal(text), scale, 1));
    };
    length(form.thickness, 100);
    form.weight = FormatNumber(WeightFormat(), WeightScaledValue(ParseReal(form.weight), 10));
    for (std::string& p : form.cutParameters) length(p, 10);
}

std::string MaterialDataMessage(MaterialDataCheck check) {
    switch (check) {
        case MaterialDataCheck::KeyMissing:
            return "00077";
        case MaterialDataCheck::KeyTooLong:
            return "00076";
        case MaterialDataCheck::WidthLimit:
        case MaterialDataCheck::HeightLimit:
            return "00095";
        case MaterialDataCheck::Ok:
            break;
    }
    return std::string();
}

MaterialDataCheck CheckMaterialForm(const MaterialDataForm& form, bool keyEditable) {
    if (Trim(form.serie).empty() || Trim(form.code).empty()) return MaterialDataCheck::KeyMissing;
    if (keyEditable && (form.serie.size() > kSerieWidth || form.code.size() > kCodeWidth))
        return MaterialDataCheck::KeyTooLong;
    // The height box gets the focus when both fail, so it is checked last and wins.
    if (form.heightOn && !(ParseReal(form.height) > 0.0)) return MaterialDataCheck::HeightLimit;
    if (form.widthOn && !(ParseReal(form.width) > 0.0)) return MaterialDataCheck::WidthLimit;
    return MaterialDataCheck::Ok;
}

void ApplyMaterialForm(const MaterialDataForm& form, MaterialList& group) {
    for (int i = 0; i < group.count(); ++i) {
        Material& m = group.at(i);
        m.serie = form.serie;
        m.code = form.code;
        m.description = form.description;
        m.thickness = ParseReal(form.thickness);
        m.weight = ParseReal(form.weight);
        for (std::size_t p = 0; p < m.cutParameters.size(); ++p)
            m.cutParameters[p] = ParseReal(form.cutParameters[p]);
        m.maxPlateWidth = form.widthOn ? ParseReal(form.width) : 0.0;
        m.maxPlateHeight = form.heightOn ? ParseReal(form.height) : 0.0;
    }
}

MaterialDataForm FormOf(const Material& m) {
    MaterialDataForm form;
    form.serie = m.serie;
    form.code = m.code;
    form.description = m.description;
    form.thickness = FormatNumber(LengthFormat(1), m.thickness);
    form.weight = FormatNumber(WeightFormat(), m.weight);
    for (std::size_t p = 0; p < m.cutParameters.size(); ++p)
        form.cutParameters[p] = FormatNumber(LengthFormat(1), m.cutParameters[p]);
    form.widthOn = m.maxPlateWidth > 0.0;
    form.width = FormatNumber(LengthFormat(1), m.maxPlateWidth);
    form.heightOn = m.maxPlateHeight > 0.0;
    form.height = FormatNumber(LengthFormat(1), m.maxPlateHeight);
    return form;
}

std::string TreatmentLine(const Material& entry) {
    std::string line = entry.treatment.empty() ? Msg("00086") : entry.treatment;
    if (entry.isComposite()) line += " " + Msg("00085");
    return line;
}

TreatmentNameResult AddTreatment(MaterialList& group, const std::string& name, int* index) {
    if (name.empty()) return TreatmentNameResult::Empty;
    if (group.containsTreatment(name)) return TreatmentNameResult::Exists;
    group.add(Material("", "", name));
    group.sort(true);
    if (index) *index = group.indexOfTreatment(name);
    return TreatmentNameResult::Done;
}

TreatmentNameResult RenameTreatment(MaterialList& group, int entry, const std::string& name, int* index) {
    if (entry <= 0 || entry >= group.count()) return TreatmentNameResult::Empty;
    if (name.empty() || name == group.at(entry).treatment) return TreatmentNameResult::Empty;
    if (group.containsTreatment(name)) return TreatmentNameResult::Exists;
    group.at(entry).treatment = name;
    group.sort(true);
    if (index) *index = group.indexOfTreatment(name);
    return TreatmentNameResult::Done;
}

}  // namespace tavrel
