#include "materials/ModifyFieldTable.h"

#include <cctype>

#include "common/Messages.h"
#include "common/TextUtils.h"
#include "model/RecordText.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

std::string TrimRight(std::string text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    return text;
}

std::string TrimLeft(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    return text.substr(i);
}

}  // namespace

int ModifyFieldTable::Add(const std::string& caption, const std::string& type, bool emptyAllowed,
                          const std::string& choices, int rounding) {
    ModifyField f;
    f.caption = caption;
    if (!f.caption.empty() && f.caption.back() == ':') f.caption.back() = ' ';
    f.caption = TrimRight(f.caption);
    f.type = type;
    f.choices = choices;
    f.emptyAllowed = emptyAllowed;
    f.rounding = rounding;
    fields_.push_back(f);
    return count() - 1;
}

std::string ModifyFieldTable::RowLabel(int i) const {
    std::string label = std::to_string(i + 1);
    if (at(i).emptyAllowed) label += " [" + Msg("00224") + "]";
    return label;
}

std::string ModifyFieldTable::CaptionLabel(int i) const {
    std::string label = at(i).caption;
    if (at(i).rounding != 0 && ExceedsStdDecimals(-1, -1)) label += " *";
    return label;
}

std::string ModifyFieldTable::TakeAnswers(const std::vector<Answer>& answers) {
    std::string errors;
    for (int i = 0; i < count(); ++i) {
        ModifyField& f = at(i);
        const Answer a = i < int(answers.size()) ? answers[size_t(i)] : Answer();
        const std::string text = Trim(a.shown);
        if (a.ticked && (f.emptyAllowed || !text.empty())) {
            f.changed = true;
            f.value = text;
            if (f.type == "C") f.choiceIndex = a.choiceIndex;
            continue;
        }
        f.changed = false;
        f.value.clear();
        f.choiceIndex = -1;
        if (a.ticked) errors += Format("\n%d --> %s\n", i + 1, f.caption.c_str());
    }
    if (!errors.empty())
        for (ModifyField& f : fields_) f.changed = false;  // nothing is applied while it stays open
    return errors;
}

std::vector<std::string> ParseChoices(const std::string& choices) {
    std::vector<std::string> lines;
    std::string rest = choices;
    for (std::size_t comma = rest.find(','); comma != std::string::npos; comma = rest.find(',')) {
        lines.push_back(TrimRight(rest.substr(0, comma)));
        rest = TrimLeft(rest.substr(comma + 1));
    }
    return lines;
}

std::string ModifyValueText(const std::string& typed, const std::string& type, int rounding) {
    if (typed.empty() || type == "%s" || type == "M" || type == "C") return typed;
    if (type.find("%ld") != std::string::npos) return Format("%ld", long(ParseInt(typed)));
    double value = ParseReal(typed);
    if (rounding != 0 && !IsMillimetres()) value = ToSystemScaledValue(value, 10, rounding);
    return FormatNumber(type, value);
}

std::string MaterialValue(const std::string& serieCode, const std::string& treatment) {
    return serieCode + ", " + treatment;
}

void SplitMaterialValue(const std::string& value, std::string& serie, std::string& code,
                        std::string& treatment) {
    serie = code = treatment = std::string();
    const std::size_t first = value.find(',');
    serie = Trim(value.substr(0, first));
    if (first == std::string::npos) return;
    const std::string rest = value.substr(first + 1);
    const std::size_t second = rest.find(',');
    code = Trim(rest.substr(0, second));
    if (second != std::string::npos) treatment = Trim(rest.substr(second + 1));
}

}  // namespace tavrel
