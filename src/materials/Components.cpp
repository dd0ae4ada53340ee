#include "materials/Components.h"

#include <algorithm>

#include "common/Messages.h"

namespace tavrel {

std::string ComponentLine(const MaterialKey& key) {
    std::string line = key.serie + ", " + key.code;
    if (!key.treatment.empty()) line += ", " + key.treatment;
    return line;
}

MaterialKey ParseComponentLine(const std::string& line) {
    MaterialKey key;
    const std::size_t first = line.find(',');
    key.serie = line.substr(0, first);
    if (first == std::string::npos) return key;
    const std::size_t start = std::min(line.size(), first + 2);
    const std::size_t second = line.find(',', start);
    key.code = line.substr(start, second == std::string::npos ? std::string::npos : second - start);
    if (second != std::string::npos) key.treatment = line.substr(std::min(line.size(), second + 2));
    return key;
}

std::string ComponentsTitle(const Material& entry) {
    std::string title = Msg("00078") + " " + entry.serie + ", " + entry.code;
    if (!entry.treatment.empty()) title += ", " + entry.treatment;
    return title;
}

int AddComponent(MaterialKeyList& components, const MaterialKey& key) {
    components.add(MaterialKey(key.serie, key.code, key.treatment), false);
    components.sort();
    return components.indexOf(key.serie, key.code, key.treatment);
}

int RemoveComponent(MaterialKeyList& components, int line) {
    if (line < 0 || line >= components.count()) return components.empty() ? -1 : line;
    const MaterialKey key = ParseComponentLine(ComponentLine(components.at(line)));
    components.remove(key.serie, key.code, key.treatment);
    if (components.empty()) return -1;
    return std::min(line, components.count() - 1);
}

std::vector<std::string> ChoosableGroups(const MaterialList& catalogue, bool allowComposites,
                                         const std::string& excludedSerieCode) {
    std::vector<std::string> lines;
    for (const Material& m : catalogue) {
        if (!m.treatment.empty() || (!allowComposites && m.isComposite())) continue;
        const std::string text = m.serie + ", " + m.code;
        if (text != excludedSerieCode) lines.push_back(text);
    }
    return lines;
}

std::vector<std::string> ChoosableTreatments(const MaterialList& catalogue, const std::string& serieCode,
                                             bool allowComposites) {
    std::string serie, code;
    SplitSerieCode(serieCode, serie, code);
    std::vector<std::string> lines{std::string()};
    for (const Material& m : catalogue)
        if (m.serie == serie && m.code == code && !m.treatment.empty() &&
            (allowComposites || !m.isComposite()))
            lines.push_back(m.treatment);
    return lines;
}

void SplitSerieCode(const std::string& text, std::string& serie, std::string& code) {
    const std::size_t comma = text.find(',');
    serie = text.substr(0, comma);
    code = comma == std::string::npos ? std::string() : text.substr(std::min(text.size(), comma + 2));
}

}  // namespace tavrel
