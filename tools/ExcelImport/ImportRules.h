#pragma once
// What both import programs do between reading a sheet and writing their result: which fields
// of the template the user maps, the mapping guessed from a header row or given by column
// letters, and the check of every row into output records (one text per output column) or
// problems that name the row and the column. No window and no file here, so the windowed run
// and the headless run check exactly alike.

#include <map>
#include <string>
#include <vector>

#include "Sheet.h"
#include "XniTemplate.h"

namespace tavrel {

// The two templates the program writes, told apart by their FORMAT.
enum class ImportKind { Pieces, Plates };
// The unit the sheet's sizes are in; the results always hold millimetres.
enum class SheetUnit { Millimetres, Inches };

// The value rule of a field beyond its type.
enum class FieldCheck { None, Quantity, PositiveLength, NonNegativeLength, Priority, Orientation };

struct PlannedField {
    const XniField* def = nullptr;
    std::string title;  // what the user is shown: the label, or the field name
    bool required = false;
    bool length = false;  // converted from the sheet's unit into millimetres
    FieldCheck check = FieldCheck::None;
    std::vector<std::string> words;  // header words that name it (normalised, see HeaderWord)
};

class ImportPlan {
public:
    // The fields of the template's output columns that the user maps (hidden ones are filled
    // from the template). False with a line in `error` when the template does not suit `kind`.
    bool prepare(const XniTemplate& xni, ImportKind kind, std::string& error);
    const XniTemplate& xni() const { return *xni_; }
    ImportKind kind() const { return kind_; }
    const std::vector<PlannedField>& fields() const { return fields_; }
    int indexOf(const std::string& fieldName) const;
    // The fields a header word names, in field order: [0] by their labels and names, [1] by
    // their usual words. Made once here, so the header guess costs a look-up per cell.
    using HeaderIndex = std::map<std::string, std::vector<std::size_t>>;
    const HeaderIndex& headerIndex(int pass) const { return headerIndex_[pass == 0 ? 0 : 1]; }

private:
    const XniTemplate* xni_ = nullptr;
    ImportKind kind_ = ImportKind::Pieces;
    std::vector<PlannedField> fields_;
    HeaderIndex headerIndex_[2];
};

// Which sheet column feeds each planned field (-1: none), and which kept row (an index into
// Sheet::rows) is the header (-1: the data starts at the first row).
struct ColumnMapping {
    std::vector<int> columns;
    int headerRow = -1;
};

// A header text as it is compared: letters and digits in lower case without accents, anything
// in brackets left out ("Width (mm)" -> "width", "Q.tà" -> "q ta").
std::string HeaderWord(const std::string& text);

// The header row among the first rows (the one naming most fields, -1 when none names any) and
// each field's column under it: a header equal to the field's label first, then the usual
// English and Italian words for it.
ColumnMapping GuessMapping(const ImportPlan& plan, const Sheet& sheet);
// "F_1=A;F_2=C": each named field from that column, the others from none. The header row is
// the one GuessMapping finds, else the first row when a number field of it holds no number
// (a header that names nothing we know), else none. False with a line in `error` for a field
// or a column that does not exist.
bool ParseMapping(const std::string& text, const ImportPlan& plan, const Sheet& sheet, ColumnMapping& mapping,
                  std::string& error);

// A number as a workshop's sheet holds it in a text cell: "1000", "1000.5", "1000,5",
// "1.000,5", "1,000.5", "1 000", "-3e2". False for anything else.
bool ParseSheetNumber(const std::string& text, double& value);

struct CheckedRows {
    std::vector<std::vector<std::string>> records;  // one text per output column
    std::vector<long> rowNumbers;                   // the sheet row of each record
    std::vector<std::string> problems;              // "row 7, column D (Width): ..." one per problem
    // The problems of each sheet row, by row number, for the window.
    std::vector<std::pair<long, std::string>> rowProblems;
};

// Checks every row below the header: required fields present, numbers that are numbers (whole
// where the field wants it, in range), listed texts among the template's values, texts within
// their length. Mapping problems (a required field without a column) come first, row 0.
CheckedRows CheckRows(const ImportPlan& plan, const Sheet& sheet, const ColumnMapping& mapping,
                      SheetUnit unit);

}  // namespace tavrel
