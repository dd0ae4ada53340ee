// The .ods reader: the tables of content.xml, with the repeated rows and columns the office
// programs use to say "the same again" (a sheet commonly ends in a row repeated a million times
// and a cell repeated sixteen thousand times; empty repeats only move the position, so they
// cost nothing), typed values taken from office:value, dates from office:date-value.

#include <algorithm>

#include <QXmlStreamReader>

#include "Sheet.h"
#include "SheetBuilder.h"
#include "ZipArchive.h"
#include "common/TextUtils.h"

namespace tavrel {

namespace {

QByteArray Bytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

std::string Attribute(const QXmlStreamAttributes& attributes, const char* localName) {
    for (const auto& a : attributes)
        if (a.name() == QLatin1String(localName)) return a.value().toString().toStdString();
    return "";
}

// A repeat count, at least 1 and at most `limit` (a file may claim any number).
long RepeatCount(const QXmlStreamAttributes& attributes, const char* localName, long limit) {
    const std::string text = Attribute(attributes, localName);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return 1;
    if (text.size() > 9) return limit;
    return std::clamp(ToLong(text), 1L, limit);
}

// The text of a cell: its paragraphs joined by line breaks, with the spaces, tabs and breaks
// the format writes as elements.
std::string ReadCellText(QXmlStreamReader& xml) {
    std::string text;
    int paragraphs = 0;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const auto name = xml.name();
            if (name == QLatin1String("p")) {
                if (paragraphs++) text += '\n';
            } else if (name == QLatin1String("s")) {
                text.append(static_cast<std::size_t>(RepeatCount(xml.attributes(), "c", 1000)), ' ');
            } else if (name == QLatin1String("tab")) {
                text += '\t';
            } else if (name == QLatin1String("line-break")) {
                text += '\n';
            } else if (name == QLatin1String("annotation")) {
                xml.skipCurrentElement();  // a comment is not the cell's value
                --depth;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token == QXmlStreamReader::Characters && depth > 1) {
            text += xml.text().toString().toStdString();
        }
    }
    return text;
}

std::string TypedValue(const QXmlStreamAttributes& attributes, const std::string& text) {
    const std::string type = Attribute(attributes, "value-type");
    if (type == "float" || type == "percentage" || type == "currency") {
        const std::string v = Attribute(attributes, "value");
        char* end = nullptr;
        const double number = std::strtod(v.c_str(), &end);
        if (!v.empty() && end && *end == '\0') return NumberText(number);
        return text;
    }
    if (type == "date") {
        std::string v = Attribute(attributes, "date-value");
        const std::size_t t = v.find('T');
        if (t != std::string::npos) {
            const std::string time = v.substr(t + 1);
            v = time.rfind("00:00:00", 0) == 0 ? v.substr(0, t) : v.substr(0, t) + " " + time.substr(0, 8);
        }
        return v.empty() ? text : v;
    }
    if (type == "boolean") return Attribute(attributes, "boolean-value") == "true" ? "TRUE" : "FALSE";
    const std::string stringValue = Attribute(attributes, "string-value");
    return stringValue.empty() ? text : stringValue;
}

struct OdsRow {
    std::vector<std::pair<long, std::string>> cells;  // column, text
};

// Reads the cells of one table row (positioned on its start element).
bool ReadRow(QXmlStreamReader& xml, OdsRow& row, std::string& error) {
    long column = 0;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        const auto name = xml.name();
        if (name != QLatin1String("table-cell") && name != QLatin1String("covered-table-cell")) {
            ++depth;
            continue;
        }
        const QXmlStreamAttributes attributes = xml.attributes();
        const long repeat = RepeatCount(attributes, "number-columns-repeated", kMaxSheetColumns);
        const std::string value = TypedValue(attributes, ReadCellText(xml));
        if (!value.empty()) {
            if (column + repeat > kMaxSheetColumns) {
                error = "a row holds cells beyond column " + ColumnName(kMaxSheetColumns - 1);
                return false;
            }
            for (long k = 0; k < repeat; ++k) row.cells.emplace_back(column + k, value);
        }
        column = std::min<long>(column + repeat, kMaxSheetColumns);
    }
    return true;
}

}  // namespace

bool ReadOds(const std::string& bytes, const std::string& sheetName, Sheet& sheet, std::string& error,
             std::vector<std::string>* names) {
    ZipArchive zip;
    if (!zip.open(bytes, error)) {
        error = "not a readable .ods spreadsheet (" + error + ")";
        return false;
    }
    std::string content;
    if (!zip.read("content.xml", content, error, kMaxPartBytes)) {
        error = "not a readable .ods spreadsheet (" + error + ")";
        return false;
    }
    QXmlStreamReader xml(Bytes(content));
    std::vector<std::string> found;
    bool done = false;
    bool reading = false;
    SheetBuilder builder;
    long rowNumber = 0;
    int tableDepth = 0;  // inside the chosen table: element depth below it
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (reading && --tableDepth == 0) {
                reading = false;
                done = true;
            }
            continue;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        const auto name = xml.name();
        if (!reading && name == QLatin1String("table")) {
            const std::string tableName = Attribute(xml.attributes(), "name");
            found.push_back(tableName);
            const bool wanted =
                !done && (sheetName.empty() ? found.size() == 1 : EqualsNoCase(tableName, sheetName));
            if (wanted) {
                reading = true;
                tableDepth = 1;
                sheet.name = tableName;
            } else {
                xml.skipCurrentElement();
            }
            continue;
        }
        if (!reading) continue;
        if (name != QLatin1String("table-row")) {
            ++tableDepth;
            continue;
        }
        const long repeat = RepeatCount(xml.attributes(), "number-rows-repeated", kMaxSheetRows);
        OdsRow row;
        if (!ReadRow(xml, row, error)) return false;
        if (!row.cells.empty()) {
            if (rowNumber + repeat > kMaxSheetRows) {
                error = "the sheet holds rows beyond row " + std::to_string(kMaxSheetRows);
                return false;
            }
            for (long k = 1; k <= repeat; ++k)
                for (const auto& [column, text] : row.cells)
                    if (!builder.set(rowNumber + k, column, text, error)) return false;
        }
        rowNumber = std::min(rowNumber + repeat, kMaxSheetRows);
    }
    if (xml.hasError()) {
        error = "the part content.xml is not well-formed XML (line " + std::to_string(xml.lineNumber()) +
                ": " + xml.errorString().toStdString() + ")";
        return false;
    }
    if (names) *names = found;
    if (found.empty()) {
        error = "the spreadsheet holds no sheet";
        return false;
    }
    if (!done) {
        std::string list;
        for (const std::string& s : found) list += (list.empty() ? "" : ", ") + s;
        error = "the spreadsheet has no sheet \"" + sheetName + "\" (its sheets: " + list + ")";
        return false;
    }
    builder.finish(sheet);
    return true;
}

}  // namespace tavrel
