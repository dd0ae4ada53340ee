#include "Sheet.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "SheetBuilder.h"
#include "ZipArchive.h"
#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"

namespace tavrel {

namespace {

constexpr long long kMaxFileBytes = 512LL * 1024 * 1024;

}  // namespace

const std::string& SheetRow::cell(int column) const {
    static const std::string empty;
    if (column < 0 || static_cast<std::size_t>(column) >= cells.size()) return empty;
    return cells[static_cast<std::size_t>(column)];
}

int Sheet::columnCount() const {
    std::size_t widest = 0;
    for (const SheetRow& row : rows) widest = std::max(widest, row.cells.size());
    return static_cast<int>(widest);
}

namespace {
std::atomic<long> maxSheetCells{kMaxSheetCells};
}  // namespace

long MaxSheetCells() { return maxSheetCells.load(std::memory_order_relaxed); }

void LowerMaxSheetCells(long cells) {
    maxSheetCells.store(std::clamp(cells, 1L, kMaxSheetCells), std::memory_order_relaxed);
}

bool SheetBuilder::set(long row, long column, std::string text, std::string& error) {
    if (text.empty()) return true;
    if (row < 1 || row > kMaxSheetRows || column < 0 || column >= kMaxSheetColumns) {
        error = "a cell lies outside the largest sheet the office programs make (row " + std::to_string(row) +
                ", column " + std::to_string(column + 1) + ")";
        return false;
    }
    SheetRow& r = rows_[row];
    r.number = row;
    const auto index = static_cast<std::size_t>(column);
    if (r.cells.size() <= index) {
        cells_ += static_cast<long>(index + 1 - r.cells.size());
        if (cells_ > MaxSheetCells()) {
            error = "the sheet holds more than " + std::to_string(MaxSheetCells()) +
                    " cells (each row counted up to its last filled cell)";
            return false;
        }
        r.cells.resize(index + 1);
    }
    r.cells[index] = std::move(text);
    return true;
}

void SheetBuilder::finish(Sheet& sheet) {
    sheet.rows.clear();
    sheet.rows.reserve(rows_.size());
    for (auto& [number, row] : rows_) sheet.rows.push_back(std::move(row));
    rows_.clear();
    cells_ = 0;
}

std::string ColumnName(int column) {
    if (column < 0) return "?";
    std::string name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26) name.insert(name.begin(), char('A' + (c - 1) % 26));
    return name;
}

int ParseColumnName(const std::string& letters) {
    if (letters.empty() || letters.size() > 3) return -1;
    int value = 0;
    for (char ch : letters) {
        if (ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
        if (ch < 'A' || ch > 'Z') return -1;
        value = value * 26 + (ch - 'A' + 1);
    }
    return value - 1 < kMaxSheetColumns ? value - 1 : -1;
}

std::string NumberText(double value) {
    if (!std::isfinite(value)) return "";
    // Fifteen significant digits, as the office programs show a number: the binary noise a
    // sum leaves (0.1 + 0.2) goes, every digit a person typed stays.
    char shown[64];
    std::snprintf(shown, sizeof shown, "%.15g", value);
    value = std::strtod(shown, nullptr);
    if (value == 0) return "0";  // also -0
    char buffer[400];
    // Sizes of everyday magnitude read best without an exponent.
    const double magnitude = std::fabs(value);
    const auto format =
        magnitude >= 1e-6 && magnitude < 1e15 ? std::chars_format::fixed : std::chars_format::general;
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    if (result.ec != std::errc()) return shown;
    return std::string(buffer, result.ptr);
}

std::string SerialDateText(double serial) {
    if (!std::isfinite(serial) || serial < 0 || serial > 2958465.99999) return NumberText(serial);
    long days = static_cast<long>(std::floor(serial));
    long seconds = std::lround((serial - std::floor(serial)) * 86400.0);
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    const std::string time =
        seconds ? Format(" %02ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60, seconds % 60) : "";
    // The office programs count 1900-02-29, a day that never was: day 60 is that day, and every
    // later day is one less in the real calendar.
    if (days == 60) return "1900-02-29" + time;
    if (days > 60) --days;
    // Days since 1970-01-01 to a civil date (Howard Hinnant's civil_from_days).
    long z = days - 25568 + 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long year = yoe + era * 400;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const long day = doy - (153 * mp + 2) / 5 + 1;
    const long month = mp < 10 ? mp + 3 : mp - 9;
    if (month <= 2) ++year;
    return Format("%04ld-%02ld-%02ld", year, month, day) + time;
}

namespace {

bool ReadBytes(const std::string& path, std::string& bytes, std::string& error) {
    const long long size = FileSize(path);
    if (!PathExists(path) || FolderExists(path)) {
        error = path + ": no such file";
        return false;
    }
    // FileSize gives -1 for a file beyond 32 bits, which is too large as well.
    if (size < 0 || size > kMaxFileBytes) {
        error = path + ": the file is larger than " + std::to_string(kMaxFileBytes / (1024 * 1024)) + " MB";
        return false;
    }
    if (!ReadWholeFile(path, bytes)) {
        error = path + ": the file cannot be read";
        return false;
    }
    return true;
}

// The name ends in "." and the extension, letter case ignored ("job.2024.XLSX").
bool EndsWithExtension(const std::string& path, const std::string& extension) {
    return path.size() > extension.size() + 1 && path[path.size() - extension.size() - 1] == '.' &&
           EqualsNoCase(path.substr(path.size() - extension.size()), extension);
}

// Which reader a zip file needs: an .ods names its kind in its first part, an .xlsx holds a
// workbook part.
bool IsOdsZip(const std::string& bytes, const std::string& path) {
    if (bytes.find("application/vnd.oasis.opendocument.spreadsheet") != std::string::npos &&
        bytes.find("mimetype") != std::string::npos && bytes.find("mimetype") < 64)
        return true;
    return EndsWithExtension(path, "ods");
}

bool Dispatch(const std::string& path, const std::string& sheetName, Sheet& sheet, std::string& error,
              std::vector<std::string>* names) {
    std::string bytes;
    if (!ReadBytes(path, bytes, error)) return false;
    bool ok = false;
    const std::string fileName = SplitPath(path).fileName;
    const bool workbookName =
        EndsWithExtension(path, "xlsx") || EndsWithExtension(path, "xlsm") || EndsWithExtension(path, "ods");
    if (LooksLikeZip(bytes)) {
        ok = IsOdsZip(bytes, path) ? ReadOds(bytes, sheetName, sheet, error, names)
                                   : ReadXlsx(bytes, sheetName, sheet, error, names);
    } else if (bytes.size() >= 8 && static_cast<unsigned char>(bytes[0]) == 0xD0 &&
               static_cast<unsigned char>(bytes[1]) == 0xCF) {
        error = "this is an old binary workbook (.xls); save it as .xlsx, .ods or .csv";
    } else if (workbookName) {
        error = "not a readable workbook (it is no zip file, as .xlsx and .ods files are)";
    } else {
        ok = ReadCsv(bytes, sheet, error);
        if (ok) {
            sheet.name = fileName;
            if (names) *names = {fileName};
            if (!sheetName.empty() && !EqualsNoCase(sheetName, fileName) &&
                !EqualsNoCase(sheetName, SplitPath(path).baseName)) {
                error = "a .csv file holds one sheet only; there is no sheet \"" + sheetName + "\"";
                ok = false;
            }
        }
    }
    if (!ok) error = fileName + ": " + error;
    return ok;
}

}  // namespace

bool ReadSheet(const std::string& path, const std::string& sheetName, Sheet& sheet, std::string& error) {
    sheet = Sheet();
    return Dispatch(path, sheetName, sheet, error, nullptr);
}

bool ListSheets(const std::string& path, std::vector<std::string>& names, std::string& error) {
    Sheet sheet;
    names.clear();
    return Dispatch(path, "", sheet, error, &names);
}

}  // namespace tavrel
