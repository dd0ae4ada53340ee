#include "model/ShapeSections.h"

#include <cstdio>
#include <vector>

#include "common/FileUtils.h"
#include "common/TextUtils.h"
#include "model/Job.h"
#include "model/RecordText.h"

namespace tavrel {

namespace {

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::string content;
    if (!ReadWholeFile(path, content)) return false;
    lines = SplitLines(content);
    return true;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

bool StartsSection(const std::string& line) { return line.find('[') != std::string::npos; }

// The sections of `pieceId`, headers rewritten by `header(name)`, bodies unchanged.
template <typename Header>
std::vector<std::string> CopySections(const std::vector<std::string>& lines, const std::string& pieceId,
                                      Header header) {
    std::vector<std::string> copied;
    bool copying = false;
    std::string name;
    for (const std::string& line : lines) {
        if (ShapeSections::headerName(line, pieceId, name)) {
            copied.push_back(header(name));
            copying = true;
        } else if (StartsSection(line)) {
            copying = false;
        } else if (copying) {
            copied.push_back(line);
        }
    }
    return copied;
}

}  // namespace

ShapeSections::ShapeSections(const Job& job)
    : ShapeSections(job.auxPanelPath, job.tmpPanelVarPath, job.tmpPanelPath) {}

ShapeSections::ShapeSections(std::string shapeFile, std::string toEditorFile, std::string fromEditorFile)
    : shapeFile_(std::move(shapeFile)),
      toEditorFile_(std::move(toEditorFile)),
      fromEditorFile_(std::move(fromEditorFile)) {}

bool ShapeSections::headerName(const std::string& line, const std::string& pieceId, std::string& name) {
    const std::string id = Trim(pieceId);
    const std::string opening = "[" + id + "|";
    // An empty identifier would otherwise match any "[|" inside a line.
    const std::size_t start =
        id.empty() ? (line.rfind(opening, 0) == 0 ? 0 : std::string::npos) : line.find(opening);
    if (start == std::string::npos) return false;
    const std::size_t nameStart = start + opening.size();
    const std::size_t close = line.find(']', nameStart);
    if (close == std::string::npos || close == nameStart) return false;
    name = line.substr(nameStart, close - nameStart);
    return true;
}

bool ShapeSections::deleteShapes(const std::string& pieceId) const {
    std::vector<std::string> lines;
    if (!ReadLines(shapeFile_, lines)) return true;
    std::vector<std::string> kept;
    bool dropping = false;
    bool changed = false;
    std::string name;
    for (const std::string& line : lines) {
        if (headerName(line, pieceId, name))
            dropping = true;
        else if (StartsSection(line))
            dropping = false;
        if (dropping)
            changed = true;
        else
            kept.push_back(line);
    }
    return !changed || WriteFileAtomically(shapeFile_, JoinLines(kept));
}

bool ShapeSections::copyShapes(const std::string& fromId, const std::string& toId) const {
    std::vector<std::string> lines;
    if (!ReadLines(shapeFile_, lines)) return true;
    const std::string target = Trim(toId);
    std::vector<std::string> copied =
        CopySections(lines, fromId, [&](const std::string& name) { return "[" + target + "|" + name + "]"; });
    if (copied.empty()) return true;
    lines.insert(lines.end(), copied.begin(), copied.end());
    return WriteFileAtomically(shapeFile_, JoinLines(lines));
}

bool ShapeSections::renameShapes(const std::string& fromId, const std::string& toId) const {
    std::vector<std::string> lines;
    if (!ReadLines(shapeFile_, lines)) return true;
    const std::string target = Trim(toId);
    bool changed = false;
    std::string name;
    for (std::string& line : lines) {
        if (headerName(line, fromId, name)) {
            line = "[" + target + "|" + name + "]";
            changed = true;
        }
    }
    return !changed || WriteFileAtomically(shapeFile_, JoinLines(lines));
}

bool ShapeSections::exportShapes(const std::string& pieceId) const {
    std::vector<std::string> lines;
    if (!ReadLines(shapeFile_, lines)) return false;
    std::remove(toEditorFile_.c_str());
    std::vector<std::string> copied =
        CopySections(lines, pieceId, [](const std::string& name) { return "[" + name + "]"; });
    if (copied.empty()) return false;
    return WriteFileAtomically(toEditorFile_, JoinLines(copied));
}

bool ShapeSections::importShapes(const std::string& pieceId) const {
    std::vector<std::string> shapes;
    if (!ReadLines(shapeFile_, shapes)) return true;
    std::vector<std::string> incoming;
    if (!ReadLines(fromEditorFile_, incoming)) return true;
    const std::string id = Trim(pieceId);
    for (const std::string& line : incoming) {
        const std::string trimmed = Trim(line);
        const std::size_t close = trimmed.find(']');
        if (!trimmed.empty() && trimmed[0] == '[' && close != std::string::npos && close > 1)
            shapes.push_back("[" + id + "|" + trimmed.substr(1, close - 1) + "]");
        else
            shapes.push_back(line);
    }
    shapes.push_back("");
    return WriteFileAtomically(shapeFile_, JoinLines(shapes));
}

bool ShapeSections::writeShapeTemplate(const std::string& templatePath, double first, double second) const {
    if (!PathExists(templatePath)) return false;
    std::string text = "[GENERAl]\nTEMPLATE = " + templatePath + "\nL_BOUNDARY = ";
    AppendFixed(text, first, 3);
    text += "\nH_BOUNDARY = ";
    AppendFixed(text, second, 3);
    text += '\n';
    return WriteFileAtomically(toEditorFile_, text);
}

}  // namespace tavrel
