#include "ImportRules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

#include <QString>

#include "common/TextUtils.h"
#include "model/RecordText.h"

namespace tavrel {

namespace {

constexpr double kMaxLength = 1e9;  // millimetres: a kilometre of glass is already no plate
constexpr int kHeaderSearchRows = 10;

struct Role {
    bool required;
    bool length;
    FieldCheck check;
    std::vector<const char*> words;
};

const std::vector<const char*> kSerieWords = {
    "series",   "serie", "material series", "serie materiale", "material",   "materiale", "family",
    "famiglia", "glass", "vetro",           "tipo vetro",      "glass type", "type",      "tipo"};
const std::vector<const char*> kCodeWords = {"code", "codice",    "material code", "codice materiale",
                                             "cod",  "thickness", "spessore"};
const std::vector<const char*> kTreatmentWords = {"treatment", "trattamento", "tratt",      "finish",
                                                  "finitura",  "processing",  "lavorazione"};
const std::vector<const char*> kQuantityWords = {
    "qty",      "quantity", "quantita",     "qta",      "q ta",          "pcs",    "pieces", "pezzi",
    "nr pezzi", "n pezzi",  "numero pezzi", "number",   "numero",        "nr",     "n",      "no",
    "amount",   "count",    "stock",        "giacenza", "disponibilita", "plates", "lastre", "sheets"};
const std::vector<const char*> kWidthWords = {"width", "w", "larghezza", "largh",  "larg",      "l",
                                              "base",  "x", "dim x",     "length", "lunghezza", "lungh"};
const std::vector<const char*> kHeightWords = {"height", "h", "altezza", "alt", "y", "dim y"};

// The roles of the output columns of the two formats the program writes, column 1 first.
std::vector<Role> PieceRoles() {
    return {
        {true, false, FieldCheck::None, kSerieWords},
        {true, false, FieldCheck::None, kCodeWords},
        {false, false, FieldCheck::None, kTreatmentWords},
        {true, false, FieldCheck::Quantity, kQuantityWords},
        {true, true, FieldCheck::PositiveLength, kWidthWords},
        {true, true, FieldCheck::PositiveLength, kHeightWords},
        {false,
         false,
         FieldCheck::None,
         {"piece id",     "piece",     "id",        "identifier", "identificativo",
          "codice pezzo", "cod pezzo", "pezzo",     "ref",        "reference",
          "riferimento",  "rif",       "mark",      "item",       "articolo",
          "position",     "pos",       "posizione", "label",      "etichetta",
          "name",         "nome"}},
        {false, false, FieldCheck::None, {}},
        {false,
         false,
         FieldCheck::None,
         {"extra text 1", "text 1", "testo 1", "testo aggiuntivo 1", "note", "notes", "nota", "customer",
          "cliente", "description", "descrizione"}},
        {false,
         false,
         FieldCheck::None,
         {"extra text 2", "text 2", "testo 2", "testo aggiuntivo 2", "order", "ordine", "commessa",
          "order number", "numero ordine", "job", "lavoro"}},
    };
}

std::vector<Role> PlateRoles() {
    return {
        {true, false, FieldCheck::None, kSerieWords},
        {true, false, FieldCheck::None, kCodeWords},
        {false, false, FieldCheck::None, kTreatmentWords},
        {true, false, FieldCheck::Quantity, kQuantityWords},
        {true, true, FieldCheck::PositiveLength, kWidthWords},
        {true, true, FieldCheck::PositiveLength, kHeightWords},
        {false, false, FieldCheck::Priority, {"priority", "priorita", "prio", "pri"}},
        {false,
         true,
         FieldCheck::NonNegativeLength,
         {"plate edge trim", "edge trim", "trim", "rifilo", "rifilatura", "plate parameter",
          "parametro lastra", "parametro", "margin", "margine", "bordo"}},
        {false,
         false,
         FieldCheck::Orientation,
         {"orientation", "orientamento", "orient", "direction", "direzione", "verso", "grain", "venatura"}},
    };
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::size_t Utf8Length(const std::string& text) {
    std::size_t n = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// Header words of one row: field index for each column whose header names it, labels first.
std::vector<int> MatchHeader(const ImportPlan& plan, const SheetRow& row, int* matched) {
    const auto& fields = plan.fields();
    std::vector<int> columns(fields.size(), -1);
    // A text repeated along the row (a note copied across, the office programs' repeated cells)
    // is normalised once.
    std::vector<std::string> words;
    std::map<std::string, std::string> wordOf;
    words.reserve(row.cells.size());
    for (const std::string& cell : row.cells) {
        auto found = wordOf.find(cell);
        if (found == wordOf.end()) found = wordOf.emplace(cell, HeaderWord(cell)).first;
        words.push_back(found->second);
    }
    std::vector<char> taken(words.size(), 0);
    int count = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const ImportPlan::HeaderIndex& names = plan.headerIndex(pass);
        for (std::size_t c = 0; c < words.size(); ++c) {
            if (taken[c] || words[c].empty()) continue;
            const auto candidates = names.find(words[c]);
            if (candidates == names.end()) continue;
            for (std::size_t f : candidates->second) {
                if (columns[f] >= 0) continue;
                columns[f] = static_cast<int>(c);
                taken[c] = 1;
                ++count;
                break;
            }
        }
    }
    if (matched) *matched = count;
    return columns;
}

}  // namespace

bool ImportPlan::prepare(const XniTemplate& xni, ImportKind kind, std::string& error) {
    xni_ = &xni;
    kind_ = kind;
    fields_.clear();
    headerIndex_[0].clear();
    headerIndex_[1].clear();
    const std::string format = xni.general("FORMAT");
    const bool platesTemplate = !xni.general("PLATESORIGINALFILE").empty();
    if (kind == ImportKind::Plates && !platesTemplate) {
        error = "the template names no plate catalogue (PLATESORIGINALFILE): it is no plates template";
        return false;
    }
    if (kind == ImportKind::Pieces && platesTemplate) {
        error = "the template is a plates template: PlatesExcelImport imports plates";
        return false;
    }
    std::vector<Role> roles;
    if (kind == ImportKind::Pieces && EqualsNoCase(format, "TAVREL")) roles = PieceRoles();
    if (kind == ImportKind::Plates && EqualsNoCase(format, "TAVREL_plates")) roles = PlateRoles();
    if (kind == ImportKind::Plates && roles.empty()) {
        error = "the template's FORMAT \"" + format + "\" is not the plates format TAVREL_plates";
        return false;
    }
    const auto& columns = xni.outputColumns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const XniField* def = xni.field(columns[i]);
        if (!def || def->kind == FieldKind::Hidden) continue;
        if (indexOf(def->name) >= 0) continue;  // a field put in two columns is mapped once
        PlannedField planned;
        planned.def = def;
        planned.title = def->label.empty() ? def->name : DisplayText(def->label);
        if (i < roles.size()) {
            planned.required = roles[i].required;
            planned.length = roles[i].length;
            planned.check = roles[i].check;
            for (const char* word : roles[i].words) planned.words.push_back(word);
        } else {
            // A template of another format: its type codes say what a row must hold.
            planned.required = def->kind != FieldKind::OptionalText;
        }
        fields_.push_back(std::move(planned));
    }
    for (std::size_t f = 0; f < fields_.size(); ++f) {
        const PlannedField& field = fields_[f];
        for (const std::string& own : {HeaderWord(field.title), HeaderWord(field.def->name)}) {
            auto& list = headerIndex_[0][own];
            if (list.empty() || list.back() != f) list.push_back(f);
        }
        for (const std::string& word : field.words) {
            auto& list = headerIndex_[1][word];
            if (list.empty() || list.back() != f) list.push_back(f);
        }
    }
    if (kind == ImportKind::Plates && columns.size() != 11) {
        error = "the plates template must have the eleven output columns of a Plates.dat line, not " +
                std::to_string(columns.size());
        return false;
    }
    return true;
}

int ImportPlan::indexOf(const std::string& fieldName) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (EqualsNoCase(fields_[i].def->name, fieldName)) return static_cast<int>(i);
    return -1;
}

std::string HeaderWord(const std::string& text) {
    QString source = QString::fromStdString(DisplayText(text));
    // What brackets hold is a unit or a hint ("Width (mm)", "Orientation(0/1/2->Vert/Oriz/V+O)").
    QString plain;
    int depth = 0;
    for (QChar c : source) {
        if (c == u'(' || c == u'[' || c == u'{') ++depth;
        if (depth == 0) plain += c;
        if ((c == u')' || c == u']' || c == u'}') && depth > 0) --depth;
    }
    const QString decomposed = plain.normalized(QString::NormalizationForm_D).toCaseFolded();
    QString word;
    bool space = false;
    for (QChar c : decomposed) {
        if (c.isMark()) continue;
        if (c.isLetterOrNumber()) {
            if (space && !word.isEmpty()) word += u' ';
            word += c;
            space = false;
        } else {
            space = true;
        }
    }
    return word.toStdString();
}

ColumnMapping GuessMapping(const ImportPlan& plan, const Sheet& sheet) {
    ColumnMapping best;
    best.columns.assign(plan.fields().size(), -1);
    int bestCount = 0;
    const int rows = std::min<int>(static_cast<int>(sheet.rows.size()), kHeaderSearchRows);
    for (int r = 0; r < rows; ++r) {
        int count = 0;
        std::vector<int> columns = MatchHeader(plan, sheet.rows[static_cast<std::size_t>(r)], &count);
        if (count > bestCount) {
            bestCount = count;
            best.columns = std::move(columns);
            best.headerRow = r;
        }
    }
    return best;
}

bool ParseMapping(const std::string& text, const ImportPlan& plan, const Sheet& sheet, ColumnMapping& mapping,
                  std::string& error) {
    mapping.columns.assign(plan.fields().size(), -1);
    mapping.headerRow = GuessMapping(plan, sheet).headerRow;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(";,", start);
        if (end == std::string::npos) end = text.size();
        const std::string entry = Trim(text.substr(start, end - start));
        start = end + 1;
        if (entry.empty()) continue;
        const std::size_t equals = entry.find('=');
        if (equals == std::string::npos) {
            error = "the mapping entry \"" + entry + "\" is not of the form F_1=A";
            return false;
        }
        const std::string name = Trim(entry.substr(0, equals));
        const std::string letters = Trim(entry.substr(equals + 1));
        const int f = plan.indexOf(name);
        if (f < 0) {
            error =
                "the mapping names \"" + name + "\", which is no field of the template that a sheet can give";
            return false;
        }
        const int column = letters.empty() ? -1 : ParseColumnName(letters);
        if (!letters.empty() && column < 0) {
            error =
                "the mapping gives " + name + " the column \"" + letters + "\", which is no column letter";
            return false;
        }
        mapping.columns[static_cast<std::size_t>(f)] = column;
    }
    // No header names a field: the first row is a header all the same when a number field of it
    // holds text, as a header in another language would.
    if (mapping.headerRow < 0 && !sheet.rows.empty()) {
        for (std::size_t f = 0; f < plan.fields().size(); ++f) {
            const PlannedField& field = plan.fields()[f];
            const int column = mapping.columns[f];
            if (column < 0 || (field.def->kind != FieldKind::Whole && field.def->kind != FieldKind::Decimal))
                continue;
            double value = 0;
            const std::string cell = Trim(sheet.rows.front().cell(column));
            if (!cell.empty() && !ParseSheetNumber(cell, value)) mapping.headerRow = 0;
        }
    }
    return true;
}

bool ParseSheetNumber(const std::string& text, double& value) {
    std::string s;
    // Blanks, no-break spaces and apostrophes group thousands; they carry no value.
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == ' ' || c == '\t' || c == '\'') continue;
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xA0) {
            ++i;
            continue;
        }
        if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
            static_cast<unsigned char>(text[i + 2]) == 0xAF) {
            i += 2;
            continue;
        }
        s += static_cast<char>(c);
    }
    if (s.empty()) return false;
    const std::size_t commas = static_cast<std::size_t>(std::count(s.begin(), s.end(), ','));
    const std::size_t points = static_cast<std::size_t>(std::count(s.begin(), s.end(), '.'));
    // Dropping a thousands separator is right only where it groups thousands: "1,000,000" is a
    // million, "1,000,5" is a typing error, not ten thousand and five.
    auto grouped = [&](char c) {
        const std::size_t decimal = s.find(c == ',' ? '.' : ',');
        const std::string whole = s.substr(0, decimal);
        std::size_t start = whole.find_first_not_of("+-");
        if (start == std::string::npos) return false;
        std::size_t at = whole.find(c, start);
        if (at == start || at - start > 3) return false;
        while (at != std::string::npos) {
            const std::size_t next = whole.find(c, at + 1);
            const std::size_t end = next == std::string::npos ? whole.size() : next;
            if (end - at - 1 != 3) return false;
            at = next;
        }
        return true;
    };
    auto drop = [&](char c) {
        if (!grouped(c)) return false;
        s.erase(std::remove(s.begin(), s.end(), c), s.end());
        return true;
    };
    if (commas && points) {
        // Both: the last one is the decimal separator, the other groups thousands.
        if (s.rfind(',') > s.rfind('.')) {
            if (commas > 1 || !drop('.')) return false;
            std::replace(s.begin(), s.end(), ',', '.');
        } else {
            if (points > 1 || !drop(',')) return false;
        }
    } else if (commas == 1) {
        std::replace(s.begin(), s.end(), ',', '.');  // a decimal comma, as an Italian sheet writes it
    } else if (commas > 1) {
        if (!drop(',')) return false;
    } else if (points > 1) {
        if (!drop('.')) return false;
    }
    for (char c : s)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' ||
              c == 'E'))
            return false;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (!end || *end != '\0' || end == s.c_str() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

CheckedRows CheckRows(const ImportPlan& plan, const Sheet& sheet, const ColumnMapping& mapping,
                      SheetUnit unit) {
    CheckedRows result;
    const XniTemplate& xni = plan.xni();
    const auto& fields = plan.fields();
    auto column = [&](std::size_t f) { return f < mapping.columns.size() ? mapping.columns[f] : -1; };
    for (std::size_t f = 0; f < fields.size(); ++f)
        if (fields[f].required && column(f) < 0)
            result.problems.push_back("no column of the sheet gives " + Quoted(fields[f].title) + " (" +
                                      fields[f].def->name + ")");
    if (!result.problems.empty()) return result;

    // The listed values of each tree, for exact and for relaxed lookup.
    std::map<std::string, std::set<std::vector<std::string>>> exact;
    std::map<std::string, std::map<std::vector<std::string>, std::vector<std::vector<std::string>>>> relaxed;
    auto relax = [](const std::vector<std::string>& parts) {
        std::vector<std::string> r;
        for (const std::string& p : parts)
            r.push_back(QString::fromStdString(DisplayText(Trim(p))).toCaseFolded().toStdString());
        return r;
    };
    for (const XniValue& v : xni.values()) {
        exact[v.tree].insert(v.parts);
        relaxed[v.tree][relax(v.parts)].push_back(v.parts);
    }

    const double factor = unit == SheetUnit::Inches ? 25.4 : 1.0;
    for (std::size_t r = static_cast<std::size_t>(mapping.headerRow + 1); r < sheet.rows.size(); ++r) {
        const SheetRow& row = sheet.rows[r];
        std::vector<std::string> cells(fields.size());
        bool any = false;
        for (std::size_t f = 0; f < fields.size(); ++f) {
            cells[f] = column(f) < 0 ? "" : Trim(row.cell(column(f)));
            if (!cells[f].empty()) any = true;
        }
        if (!any) continue;  // a row with nothing in the mapped columns: a gap or a note beside the data
        std::vector<std::string> problems;
        auto where = [&](std::size_t f) {
            return "row " + std::to_string(row.number) + ", column " + ColumnName(column(f)) + " (" +
                   fields[f].title + "): ";
        };
        std::map<std::string, std::string> values;  // field name -> output text
        for (std::size_t f = 0; f < fields.size(); ++f) {
            const PlannedField& field = fields[f];
            const std::string& cell = cells[f];
            if (cell.empty()) {
                if (field.required)
                    problems.push_back(where(f) + "empty");
                else if (field.def->kind == FieldKind::Whole || field.def->kind == FieldKind::Decimal)
                    values[field.def->name] =
                        field.def->kind == FieldKind::Whole ? "0" : FixedText(0, field.def->decimals);
                continue;
            }
            if (field.def->kind == FieldKind::Whole || field.def->kind == FieldKind::Decimal) {
                double value = 0;
                if (!ParseSheetNumber(cell, value)) {
                    problems.push_back(where(f) + Quoted(cell) + " is not a number");
                    continue;
                }
                if (field.length) value *= factor;
                const bool whole = std::fabs(value - std::round(value)) < 1e-9;
                if (field.def->kind == FieldKind::Whole && !whole) {
                    problems.push_back(where(f) + Quoted(cell) + " is not a whole number");
                    continue;
                }
                const double rounded = field.def->kind == FieldKind::Whole
                                           ? std::round(value)
                                           : std::round(value * std::pow(10.0, field.def->decimals)) /
                                                 std::pow(10.0, field.def->decimals);
                std::string bad;
                switch (field.check) {
                    case FieldCheck::Quantity:
                        if (rounded < 1 || rounded > 2147483647.0) bad = "is not a quantity of at least 1";
                        break;
                    case FieldCheck::PositiveLength:
                        if (!(rounded > 0) || rounded > kMaxLength) bad = "is not a size above 0";
                        break;
                    case FieldCheck::NonNegativeLength:
                        if (rounded < 0 || rounded > kMaxLength) bad = "is not a length of 0 or more";
                        break;
                    case FieldCheck::Priority:
                        if (rounded < 0 || rounded > 999) bad = "is not a priority from 0 to 999";
                        break;
                    case FieldCheck::Orientation:
                        if (rounded != 0 && rounded != 1 && rounded != 2)
                            bad = "is not an orientation 0, 1 or 2";
                        break;
                    case FieldCheck::None:
                        if (std::fabs(rounded) > 1e15) bad = "is too large";
                        break;
                }
                if (!bad.empty()) {
                    problems.push_back(where(f) + Quoted(cell) + " " + bad);
                    continue;
                }
                values[field.def->name] = field.def->kind == FieldKind::Whole
                                              ? std::to_string(static_cast<long long>(rounded))
                                              : FixedText(rounded, field.def->decimals);
                continue;
            }
            if (field.def->maxLength > 0 &&
                Utf8Length(cell) > static_cast<std::size_t>(field.def->maxLength)) {
                problems.push_back(where(f) + Quoted(cell) + " is longer than " +
                                   std::to_string(field.def->maxLength) + " characters");
                continue;
            }
            values[field.def->name] = cell;
        }
        // Listed values: the texts of each tree together must be one of the template's entries.
        for (const auto& [tree, names] : xni.trees()) {
            std::vector<std::string> parts;
            std::vector<std::size_t> treeFields;
            bool inPlan = false;
            for (const std::string& name : names) {
                const int f = plan.indexOf(name);
                if (f >= 0) {
                    inPlan = true;
                    treeFields.push_back(static_cast<std::size_t>(f));
                }
                parts.push_back(f >= 0 ? cells[static_cast<std::size_t>(f)] : "");
            }
            if (!inPlan) continue;
            bool allPresent = true;
            for (std::size_t f : treeFields)
                if (fields[f].required && cells[f].empty()) allPresent = false;
            if (!allPresent) continue;  // already told
            const std::vector<std::string>* found = nullptr;
            if (exact[tree].count(parts)) {
                found = &*exact[tree].find(parts);
            } else {
                // A sheet typed by hand writes "fl" for "FL"; one listed entry of that spelling
                // is meant, two are not told apart.
                const auto candidates = relaxed[tree].find(relax(parts));
                if (candidates != relaxed[tree].end() && candidates->second.size() == 1)
                    found = &candidates->second.front();
            }
            if (!found) {
                std::string columnsText;
                std::string titles;
                std::string shown;
                for (std::size_t k = 0; k < treeFields.size(); ++k) {
                    const std::size_t f = treeFields[k];
                    if (column(f) < 0) continue;
                    columnsText += (columnsText.empty() ? "" : ", ") + ColumnName(column(f));
                    titles += (titles.empty() ? "" : ", ") + fields[f].title;
                }
                for (const std::string& p : parts)
                    if (!p.empty()) shown += (shown.empty() ? "" : " / ") + p;
                const bool several = columnsText.find(',') != std::string::npos;
                problems.push_back(
                    "row " + std::to_string(row.number) + (several ? ", columns " : ", column ") +
                    columnsText + " (" + titles + "): " + Quoted(shown) +
                    (xni.values().empty() ? " cannot be checked: the template lists no materials"
                                          : " is not among the template's materials"));
                continue;
            }
            // The listed spelling is what the catalogue holds, byte for byte.
            for (std::size_t k = 0; k < names.size(); ++k)
                if (plan.indexOf(names[k]) >= 0) values[names[k]] = (*found)[k];
        }
        for (const std::string& p : problems) {
            result.problems.push_back(p);
            result.rowProblems.emplace_back(row.number, p);
        }
        if (!problems.empty()) continue;
        std::vector<std::string> record;
        for (const std::string& name : xni.outputColumns()) {
            const XniField* def = xni.field(name);
            if (def->kind == FieldKind::Hidden) {
                record.push_back(def->constant);
                continue;
            }
            std::string text = values[name];
            MakeStorable(text, true);
            record.push_back(text);
        }
        result.records.push_back(std::move(record));
        result.rowNumbers.push_back(row.number);
    }
    return result;
}

}  // namespace tavrel
