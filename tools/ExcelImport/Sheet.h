#pragma once
// One sheet of a spreadsheet as the import programs see it: the rows that hold something, each
// with its row number in the spreadsheet (so a message can name the row the user sees), and
// every cell as UTF-8 text. Numbers come with the fifteen digits the office programs show
// ("0.3", never "0.30000000000000004"), dates as "YYYY-MM-DD". Empty rows are not kept, so a
// sheet that claims a million empty rows costs nothing.

#include <string>
#include <vector>

namespace tavrel {

// Bounds every reader keeps to, whatever a file claims.
constexpr int kMaxSheetColumns = 16384;  // column XFD, the widest sheet the office programs make
constexpr long kMaxSheetRows = 1048576;  // their tallest
// Cells kept in memory, every row counted up to its last filled cell: a file of a few hundred
// bytes can repeat a row or reach column XFD, and a station's file is not to be trusted with
// the memory of the machine. Half a million is 25 000 rows of 20 columns, far beyond any list
// of pieces or plates.
constexpr long kMaxSheetCells = 500000;
// The cell bound in force: kMaxSheetCells unless lowered. Only the fuzz targets lower it, so that
// a sheet grown to the bound costs them milliseconds, not a second, and they reach the refusal
// by the same road.
long MaxSheetCells();
void LowerMaxSheetCells(long cells);
constexpr long long kMaxPartBytes = 256LL * 1024 * 1024;  // one unpacked part of a zip file

struct SheetRow {
    long number = 0;                            // counted from 1, as the spreadsheet shows it
    std::vector<std::string> cells;             // from column A; a row may be shorter than others
    const std::string& cell(int column) const;  // empty beyond the row's end
};

struct Sheet {
    std::string name;  // the sheet's name (the file's name for .csv)
    std::vector<SheetRow> rows;
    int columnCount() const;
};

// "A" for 0, "Z" for 25, "AA" for 26, ... "XFD" for 16383.
std::string ColumnName(int column);
// The column of a letter text ("ab" reads as "AB"), -1 when it is none or beyond XFD.
int ParseColumnName(const std::string& letters);

// A number as the office programs show it (fifteen significant digits, no trailing zeros);
// plain digits (no exponent) for sizes of everyday magnitude.
std::string NumberText(double value);
// A spreadsheet day number (day 1 = 1900-01-01, with the office programs' 1900 leap day) as
// "YYYY-MM-DD"; a time of day, when there is one, as " HH:MM:SS" after it.
std::string SerialDateText(double serial);

// Reads one sheet of a .xlsx, .ods or .csv file (chosen by the content, so a renamed file still
// reads): the sheet called `sheetName`, or the first when it is empty. False with one line for
// the user in `error` when the file cannot be read; never crashes on any bytes.
bool ReadSheet(const std::string& path, const std::string& sheetName, Sheet& sheet, std::string& error);
// The names of the sheets of a workbook, in order (one name for a .csv); false as ReadSheet.
bool ListSheets(const std::string& path, std::vector<std::string>& names, std::string& error);

// The readers one by one, on content already in memory (the tests feed them broken bytes).
bool ReadXlsx(const std::string& bytes, const std::string& sheetName, Sheet& sheet, std::string& error,
              std::vector<std::string>* names = nullptr);
bool ReadOds(const std::string& bytes, const std::string& sheetName, Sheet& sheet, std::string& error,
             std::vector<std::string>* names = nullptr);
bool ReadCsv(const std::string& bytes, Sheet& sheet, std::string& error);

// The text of a .csv file as UTF-8: a UTF-8 byte order mark dropped, UTF-16 with its mark
// converted, anything that is not valid UTF-8 read as Windows-1252.
std::string CsvTextAsUtf8(const std::string& bytes);
// The separator a .csv file uses: ";", "," or a tab, guessed from its first lines.
char GuessCsvSeparator(const std::string& text);

}  // namespace tavrel
