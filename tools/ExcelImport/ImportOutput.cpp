#include "ImportOutput.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "model/PlateList.h"
#include "model/RecordText.h"
#include "settings/UnitDef.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

// The catalogue's own unit: millimetres with three decimals, so nothing is rounded on the way.
CurrentUnit FileUnit() {
    CurrentUnit unit;
    unit.linearFactor = 1.0;
    unit.areaFactor = 1.0;
    unit.weightFactor = 1.0;
    unit.decimals = 3;
    unit.stdDecimals = 1;
    unit.numberFormat = "%.3lf";
    unit.linearLabel = "mm";
    return unit;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The import programs have no message catalogue: the reason in plain words, on one line.
std::string SaveFailureLine(const std::string& path) {
    switch (LastSaveProblem()) {
        case SaveProblem::ReadOnly:
            return path + ": not saved, the file is read-only; nothing was changed";
        case SaveProblem::FolderReadOnly:
            return path + ": not saved, its folder cannot be written; nothing was changed";
        default:
            return path + ": not saved (disk full, or the path is no file); nothing was changed";
    }
}

bool IsTextField(const XniField& field) {
    return field.kind != FieldKind::Whole && field.kind != FieldKind::Decimal &&
           !(field.kind == FieldKind::Hidden && !field.constant.empty());
}

}  // namespace

std::string PiecesResultPath(const XniTemplate& xni, const std::string& spreadsheet) {
    std::string extension = xni.general("OUTPUT_EXTENSION", "TVX");
    if (extension.empty()) extension = "TVX";
    // The name up to its last dot: "order.2024.xlsx" gives "order.2024", as the user knows it.
    std::string base = SplitPath(spreadsheet).fileName;
    const std::size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0) base.erase(dot);
    return JoinPath(NativePath(xni.general("OUTPUT_FOLDER")), base + "." + extension);
}

std::string PiecesResultText(const XniTemplate& xni, const CheckedRows& rows,
                             const std::string& description) {
    std::string out;
    const auto& columns = xni.outputColumns();
    for (const auto& record : rows.records) {
        for (std::size_t c = 0; c < record.size(); ++c) {
            if (c) out += ';';
            std::string text = record[c];
            // A line that holds the section's name would end the data for the program's reader.
            if (text.find("[XNI_GENERAL]") != std::string::npos) text = ReplaceAll(text, "[", "(");
            if (IsTextField(*xni.field(columns[c])))
                out += "\"" + text + "\"";
            else
                out += text;
        }
        out += '\n';
    }
    std::string shown = description;
    MakeStorable(shown, false);
    out += "[XNI_GENERAL]\n";
    out += "FORMAT=" + xni.general("FORMAT", "TAVREL") + "\n";
    out += "DESCRIPTION=" + shown + "\n";
    out += "FILE_VERSION=1\n";
    out += "ITEMS=" + std::to_string(rows.records.size()) + "\n";
    return out;
}

bool WritePiecesResult(const XniTemplate& xni, const CheckedRows& rows, const std::string& spreadsheet,
                       const std::string& sheetName, std::string& path, std::string& error) {
    const std::string folder = NativePath(xni.general("OUTPUT_FOLDER"));
    if (folder.empty() || !FolderExists(folder)) {
        error = "the template's output folder \"" + folder + "\" does not exist";
        return false;
    }
    path = PiecesResultPath(xni, spreadsheet);
    const std::string fileName = SplitPath(spreadsheet).fileName;
    // A .csv file's one sheet is the file itself: its name once is enough.
    const std::string description = fileName +
                                    (sheetName.empty() || sheetName == fileName ? "" : ", " + sheetName) +
                                    ", " + std::to_string(rows.records.size()) + " pieces";
    if (!WriteFileAtomically(path, PiecesResultText(xni, rows, description))) {
        error = SaveFailureLine(path);
        return false;
    }
    return true;
}

bool UpdatePlatesCatalogue(const XniTemplate& xni, const CheckedRows& rows, PlatesUpdate& update,
                           std::string& error) {
    update = PlatesUpdate();
    const std::string path = NativePath(xni.general("PLATESORIGINALFILE"));
    if (path.empty()) {
        error = "the template names no plate catalogue (PLATESORIGINALFILE)";
        return false;
    }
    const CurrentUnit unit = FileUnit();
    PlateList plates;
    if (PathExists(path)) {
        std::string content;
        if (!ReadWholeFile(path, content)) {
            error = path + ": the plate catalogue cannot be read";
            return false;
        }
        // An empty file is an empty catalogue; anything else must be one, or we would replace
        // someone's file with ours.
        if (!Trim(content).empty() && !plates.load(path, unit)) {
            error =
                path + ": this is no plate catalogue (it has no FILE_VERSION line); it was left as it was";
            return false;
        }
    } else if (!FolderExists(SplitPath(path).folder)) {
        error = path + ": the folder of the plate catalogue does not exist";
        return false;
    }
    update.before = plates.count();
    for (const auto& record : rows.records) {
        // The output columns are the eleven fields of a Plates.dat line, in that order.
        auto field = [&](std::size_t i) { return i < record.size() ? record[i] : std::string(); };
        StockPlate plate(MaterialKey(field(0), field(1), field(2)), ParseInt(field(3)), ParseReal(field(4)),
                         ParseReal(field(5)), ParseInt(field(6)), ParseReal(field(7)), ParseInt(field(8)),
                         ParseInt(field(9)), ParseReal(field(10)));
        if (plate.kind == PlateUnlimited) plate.quantity = kUnlimitedQuantity;
        const int countBefore = plates.count();
        plates.addOrMerge(std::move(plate), true);
        if (plates.count() > countBefore)
            ++update.added;
        else
            ++update.merged;
    }
    if (!plates.save(path, unit)) {
        error = SaveFailureLine(path);
        return false;
    }
    return true;
}

}  // namespace tavrel
