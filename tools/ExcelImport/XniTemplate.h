#pragma once
// The import template the program hands to the import programs: an INI-style text naming the
// fields of one record, the order of the output columns, the groups of fields whose values
// come from a list (the materials) and that list. Read whole, any bytes survive; section and
// key names match without regard to letter case.

#include <map>
#include <string>
#include <vector>

namespace tavrel {

// What a field holds, from its type code: "S16" a text of at most 16 characters, "WS7" a text
// that must be among the listed values, "OS" an optional text, "N" a whole number, "N+3" a
// number of up to three decimals (a length in millimetres), "SHIDDEN" an empty text and
// "HIDDEN_x" the constant x, neither of them shown.
enum class FieldKind { Text, ListedText, OptionalText, Whole, Decimal, Hidden };

struct XniField {
    std::string name;   // "F_4"
    std::string label;  // as the template gives it (the program's language)
    std::string type;   // the type code
    FieldKind kind = FieldKind::Text;
    int maxLength = 0;     // S16, WS7: characters at most; 0 for no limit
    int decimals = 0;      // N+3: 3
    std::string constant;  // a hidden field's value
    bool key = false;      // "|KEY"
};

struct XniValue {
    std::string tree;                // "T_1"
    std::vector<std::string> parts;  // one per field of the tree; a missing last part is empty
};

class XniTemplate {
public:
    // False with one line for the user in `error` when the file cannot be read or is no import
    // template (no fields, no output columns, an output column naming an unknown field).
    bool load(const std::string& path, std::string& error);
    bool parse(const std::string& content, std::string& error);

    // A value of [XNI_GENERAL], `def` when missing.
    std::string general(const std::string& key, const std::string& def = "") const;
    const std::vector<XniField>& fields() const { return fields_; }
    const XniField* field(const std::string& name) const;
    int fieldIndex(const std::string& name) const;
    // The field names of the output columns, column 1 first.
    const std::vector<std::string>& outputColumns() const { return output_; }
    // Tree name to its field names.
    const std::map<std::string, std::vector<std::string>>& trees() const { return trees_; }
    const std::vector<XniValue>& values() const { return values_; }
    // The tree a field belongs to, empty when none.
    std::string treeOf(const std::string& fieldName) const;

private:
    std::map<std::string, std::string> general_;  // keys upper case
    std::vector<XniField> fields_;
    std::vector<std::string> output_;
    std::map<std::string, std::vector<std::string>> trees_;
    std::vector<XniValue> values_;
};

}  // namespace tavrel
