#pragma once
// The shape sections of a job's pieces. The job's shape file holds INI-style sections named
// "[pieceId|name]"; the shape editor exchanges a piece's sections without the identifier part
// ("[name]") through two files in the temporary folder. A section runs from its header to the
// next line holding a "[".
//
// Every operation that changes the shape file rewrites it whole through a temporary file, so an
// interrupted change never leaves half a file. All operations do nothing (and report success)
// when the shape file does not exist. Identifiers are taken trimmed.

#include <string>

namespace tavrel {

struct Job;

class ShapeSections {
public:
    // Uses the job's shape file (auxPanelPath) and exchange files (tmpPanelVarPath towards the
    // shape editor, tmpPanelPath back from it).
    explicit ShapeSections(const Job& job);
    ShapeSections(std::string shapeFile, std::string toEditorFile, std::string fromEditorFile);

    // Removes every section of the piece.
    bool deleteShapes(const std::string& pieceId) const;
    // Appends to the shape file a copy of every section of `fromId`, named for `toId`.
    bool copyShapes(const std::string& fromId, const std::string& toId) const;
    // Renames every section of `fromId` to `toId` in place. An empty `fromId` matches headers
    // that begin with "[|".
    bool renameShapes(const std::string& fromId, const std::string& toId) const;
    // Writes the piece's sections, without the identifier part, to the file towards the editor
    // (replacing it). True when at least one line was written.
    bool exportShapes(const std::string& pieceId) const;
    // Appends the sections of the file back from the editor to the shape file, named for the
    // piece, followed by one empty line.
    bool importShapes(const std::string& pieceId) const;
    // Replaces the file towards the editor by a template header; false (and nothing written)
    // when the template file does not exist.
    bool writeShapeTemplate(const std::string& templatePath, double first, double second) const;

    // The section name when `line` is a header of `pieceId`'s sections, else false.
    static bool headerName(const std::string& line, const std::string& pieceId, std::string& name);

private:
    std::string shapeFile_;
    std::string toEditorFile_;
    std::string fromEditorFile_;
};

}  // namespace tavrel
