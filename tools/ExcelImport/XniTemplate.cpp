#include "XniTemplate.h"

#include <algorithm>
#include <set>

#include "common/FileUtils.h"
#include "common/TextUtils.h"

namespace tavrel {

namespace {

std::vector<std::string> SplitAt(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    if (separator.empty()) return {text};
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        if (at == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
}

// The number after a key's prefix ("F_12" -> 12), 0 when there is none.
long KeyNumber(const std::string& key, const char* prefix) {
    const std::string p(prefix);
    if (!StartsWithNoCase(key, p) || key.size() == p.size() || key.size() > p.size() + 6) return 0;
    const std::string digits = key.substr(p.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    return ToLong(digits);
}

XniField ParseField(const std::string& name, const std::string& value, const std::string& separator) {
    XniField field;
    field.name = name;
    std::vector<std::string> parts = SplitAt(value, separator);
    if (parts.size() == 1) {
        field.type = Trim(parts[0]);
    } else {
        field.label = Trim(parts[0]);
        field.type = Trim(parts[1]);
        for (std::size_t i = 2; i < parts.size(); ++i)
            if (EqualsNoCase(Trim(parts[i]), "KEY")) field.key = true;
    }
    const std::string type = ToUpper(field.type);
    auto digitsAfter = [&](std::size_t at) {
        return at < type.size() ? static_cast<int>(std::clamp(ToLong(type.substr(at)), 0L, 100000L)) : 0;
    };
    if (type == "SHIDDEN") {
        field.kind = FieldKind::Hidden;
    } else if (StartsWithNoCase(type, "HIDDEN_")) {
        field.kind = FieldKind::Hidden;
        field.constant = field.type.substr(7);
    } else if (type.rfind("WS", 0) == 0) {
        field.kind = FieldKind::ListedText;
        field.maxLength = digitsAfter(2);
    } else if (type.rfind("OS", 0) == 0) {
        field.kind = FieldKind::OptionalText;
        field.maxLength = digitsAfter(2);
    } else if (type.rfind("N+", 0) == 0) {
        field.kind = FieldKind::Decimal;
        field.decimals = std::clamp(digitsAfter(2), 0, 9);
    } else if (type == "N") {
        field.kind = FieldKind::Whole;
    } else {
        // "S16" and any code we do not know: a text the row must give.
        field.kind = FieldKind::Text;
        field.maxLength = type.rfind('S', 0) == 0 ? digitsAfter(1) : 0;
    }
    return field;
}

}  // namespace

bool XniTemplate::load(const std::string& path, std::string& error) {
    std::string content;
    if (!ReadWholeFile(path, content)) {
        error = "the import template " + path + " cannot be read";
        return false;
    }
    if (!parse(content, error)) {
        error = "the import template " + path + " " + error;
        return false;
    }
    return true;
}

bool XniTemplate::parse(const std::string& content, std::string& error) {
    *this = XniTemplate();
    // Sections in file order; keys keep their first value, as a private-profile reader does.
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> sections;
    std::map<std::string, std::set<std::string>> seenKeys;
    std::string section;
    for (std::string line : SplitLines(content)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            const std::size_t close = line.find(']');
            section =
                ToUpper(Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        auto& entries = sections[section];
        const std::string key = Trim(line.substr(0, equals));
        if (seenKeys[section].insert(ToUpper(key)).second)
            entries.emplace_back(key, Trim(line.substr(equals + 1)));
    }
    for (const auto& [key, value] : sections["XNI_GENERAL"]) general_[ToUpper(key)] = value;
    std::string separator = general("DATA_SEPARATOR", "|");
    if (separator.empty()) separator = "|";

    std::vector<std::pair<long, XniField>> numbered;
    for (const auto& [key, value] : sections["XNI_FIELDS"]) {
        const long n = KeyNumber(key, "F_");
        if (n > 0) numbered.emplace_back(n, ParseField("F_" + std::to_string(n), value, separator));
    }
    std::sort(numbered.begin(), numbered.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [n, field] : numbered) fields_.push_back(std::move(field));
    if (fields_.empty()) {
        error = "defines no fields (section XNI_FIELDS)";
        return false;
    }

    std::vector<std::pair<long, std::string>> columns;
    for (const auto& [key, value] : sections["XNI_OUT_FIELDS_MAP"]) {
        const long n = KeyNumber(key, "O_");
        if (n <= 0) continue;
        const long f = KeyNumber(Trim(value), "F_");
        if (f <= 0 || !field("F_" + std::to_string(f))) {
            error = "maps output column " + key + " to an unknown field \"" + value + "\"";
            return false;
        }
        columns.emplace_back(n, "F_" + std::to_string(f));
    }
    std::sort(columns.begin(), columns.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].first != static_cast<long>(i + 1)) {
            error = "has no output column O_" + std::to_string(i + 1);
            return false;
        }
        output_.push_back(columns[i].second);
    }
    if (output_.empty()) {
        error = "defines no output columns (section XNI_OUT_FIELDS_MAP)";
        return false;
    }

    for (const auto& [key, value] : sections["XNI_TREE_FIELDS"]) {
        const long n = KeyNumber(key, "T_");
        if (n <= 0) continue;
        std::vector<std::string> names;
        for (const std::string& part : SplitAt(value, separator)) {
            const long f = KeyNumber(Trim(part), "F_");
            if (f > 0 && field("F_" + std::to_string(f))) names.push_back("F_" + std::to_string(f));
        }
        if (!names.empty()) trees_["T_" + std::to_string(n)] = names;
    }
    for (const auto& [key, value] : sections["XNI_VALUES"]) {
        if (KeyNumber(key, "V_") <= 0) continue;
        std::vector<std::string> parts = SplitAt(value, separator);
        const long t = KeyNumber(Trim(parts[0]), "T_");
        const auto tree = trees_.find("T_" + std::to_string(t));
        if (t <= 0 || tree == trees_.end()) continue;
        XniValue entry;
        entry.tree = tree->first;
        entry.parts.assign(parts.begin() + 1, parts.end());
        entry.parts.resize(tree->second.size());
        values_.push_back(std::move(entry));
    }
    return true;
}

std::string XniTemplate::general(const std::string& key, const std::string& def) const {
    const auto found = general_.find(ToUpper(key));
    return found == general_.end() ? def : found->second;
}

const XniField* XniTemplate::field(const std::string& name) const {
    const int i = fieldIndex(name);
    return i < 0 ? nullptr : &fields_[static_cast<std::size_t>(i)];
}

int XniTemplate::fieldIndex(const std::string& name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (EqualsNoCase(fields_[i].name, name)) return static_cast<int>(i);
    return -1;
}

std::string XniTemplate::treeOf(const std::string& fieldName) const {
    for (const auto& [tree, names] : trees_)
        if (std::find(names.begin(), names.end(), fieldName) != names.end()) return tree;
    return "";
}

}  // namespace tavrel
