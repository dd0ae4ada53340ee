#pragma once
// The rules of the material data window: what the serie and code boxes accept while typed, the
// plate limit boxes, the rounding of typed values, the treatments list and the OK check that
// writes the shared values into every entry of the group.

#include <array>
#include <string>

#include "model/MaterialList.h"

namespace tavrel {

// The serie (width 7) or code (width 8) as typed, cleaned: upper case, cut to the width,
// trimmed, without the characters a key may not hold. `caret`, when given, is the caret after
// the typed text and receives where it goes in the cleaned one. True when the text changed.
bool CleanKeyText(std::string& text, std::size_t width, int* caret = nullptr);
constexpr std::size_t kSerieWidth = 7;
constexpr std::size_t kCodeWidth = 8;

// One plate limit box: switched on it shows and takes a value; switched off it keeps the last
// value above 0, so switching it on again shows that value.
class PlateLimitBox {
public:
    explicit PlateLimitBox(double value = 0.0) : on_(value > 0.0), remembered_(value > 0.0 ? value : 0.0) {}
    bool on() const { return on_; }
    double remembered() const { return remembered_; }
    // Switching off takes the value the box showed.
    void SwitchOff(double shownValue);
    void SwitchOn() { on_ = true; }
    // What the edit shows: the value in the number format when on, "00171" when off.
    std::string EditText() const;
    std::string CheckText() const;

private:
    bool on_;
    double remembered_;
};

// The texts of the window's boxes, as the user left them.
struct MaterialDataForm {
    std::string serie;
    std::string code;
    std::string description;
    std::string thickness;
    std::string weight;
    std::array<std::string, 7> cutParameters;
    bool widthOn = false;
    std::string width;
    bool heightOn = false;
    std::string height;
};

// The typed values brought to what the files can hold when the unit is not millimetres; in
// millimetres nothing changes.
void RoundMaterialForm(MaterialDataForm& form);

enum class MaterialDataCheck { Ok, KeyMissing, KeyTooLong, WidthLimit, HeightLimit };
// The message of a failed check ("00077", "00076", "00095"); empty for Ok.
std::string MaterialDataMessage(MaterialDataCheck check);
MaterialDataCheck CheckMaterialForm(const MaterialDataForm& form, bool keyEditable);
// Writes the shared values into every entry of `group` (treatments, flags and layers stay).
void ApplyMaterialForm(const MaterialDataForm& form, MaterialList& group);
MaterialDataForm FormOf(const Material& first);

// A treatments list line: the treatment or "00086", with " " + "00085" for a laminate.
std::string TreatmentLine(const Material& entry);

enum class TreatmentNameResult { Done, Empty, Exists };
// A new treatment: appended with the flag on, then the group sorted by treatment. `index`
// receives the new entry's index.
TreatmentNameResult AddTreatment(MaterialList& group, const std::string& name, int* index);
// Renames the entry at `entry`; unchanged or empty names end without a change.
TreatmentNameResult RenameTreatment(MaterialList& group, int entry, const std::string& name, int* index);

}  // namespace tavrel
