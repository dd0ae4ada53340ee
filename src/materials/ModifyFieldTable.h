#pragma once
// The field table of the bulk-change window: the caller lists the fields it lets the user
// change at once; the window gives back, per field, whether it was ticked and the new value.
// The rules here (choice lists, the value a typed text becomes, the OK check) are the window's.

#include <string>
#include <vector>

namespace tavrel {

struct ModifyField {
    std::string caption;  // a trailing ":" and blanks are removed when added
    std::string type;     // "M" material, "C" choice, or a printf format ("%ld", "%s", "%.1lf")
    std::string choices;  // for "C": each choice followed by ", "
    bool emptyAllowed = false;
    int rounding = 0;  // 0 none; -1 or 1: typed lengths rounded to what the files hold
    // Answers.
    bool changed = false;
    std::string value;
    int choiceIndex = -1;
};

class ModifyFieldTable {
public:
    int Add(const std::string& caption, const std::string& type, bool emptyAllowed = false,
            const std::string& choices = std::string(), int rounding = 0);
    int count() const { return int(fields_.size()); }
    ModifyField& at(int i) { return fields_[size_t(i)]; }
    const ModifyField& at(int i) const { return fields_[size_t(i)]; }

    // Row label: number from 1, with " [" + "00224" + "]" when the field may be empty.
    std::string RowLabel(int i) const;
    // Caption column: with " *" when typed values are rounded.
    std::string CaptionLabel(int i) const;

    // Takes the window's answers (per row: ticked, the value shown, the choice index). Returns
    // the error text of ticked fields left empty that may not be; then nothing is taken as
    // changed and the window stays open.
    struct Answer {
        bool ticked = false;
        std::string shown;
        int choiceIndex = -1;
    };
    std::string TakeAnswers(const std::vector<Answer>& answers);

private:
    std::vector<ModifyField> fields_;
};

// The lines of a choices text: each part before a ", " is a line; a text after the last comma
// is not.
std::vector<std::string> ParseChoices(const std::string& choices);
// What a typed text becomes for a field of `type`: an integer or a real printed with the type,
// a real rounded to the files' resolution when `rounding` is set and the unit is not mm;
// texts and empty texts stay as typed.
std::string ModifyValueText(const std::string& typed, const std::string& type, int rounding);
// "serie, code, treatment" and back.
std::string MaterialValue(const std::string& serieCode, const std::string& treatment);
void SplitMaterialValue(const std::string& value, std::string& serie, std::string& code,
                        std::string& treatment);

}  // namespace tavrel
