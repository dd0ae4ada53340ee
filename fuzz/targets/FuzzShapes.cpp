// The shape file of a job and the file the shape editor gives back: every operation the pieces
// window runs on them, on any bytes. The input holds the shape file, a NUL byte, and the
// editor's file.

#include "FuzzInput.h"
#include "model/ShapeSections.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in = SplitFuzzInput(data, size);
    static const std::string shapes = FuzzScratchPath("shapes.PAN");
    static const std::string toEditor = FuzzScratchPath("toEditor.PAN");
    static const std::string fromEditor = FuzzScratchPath("fromEditor.PAN");
    const std::size_t cut = in.content.find('\0');
    WriteScratch(shapes, in.content.substr(0, cut));
    WriteScratch(fromEditor, cut == std::string::npos ? std::string() : in.content.substr(cut + 1));
    std::remove(toEditor.c_str());

    // The identifier of the first header, as a user would have picked that piece.
    std::string id = "1";
    const std::size_t open = in.content.find('[');
    const std::size_t bar = open == std::string::npos ? open : in.content.find('|', open);
    if (bar != std::string::npos && bar - open < 30) id = in.content.substr(open + 1, bar - open - 1);

    const ShapeSections sections(shapes, toEditor, fromEditor);
    std::string name;
    (void)ShapeSections::headerName(in.content.substr(0, in.content.find('\n')), id, name);
    (void)sections.exportShapes(id);
    (void)sections.copyShapes(id, "2");
    (void)sections.renameShapes(id, "");
    (void)sections.renameShapes("", id);
    (void)sections.importShapes(id);
    (void)sections.deleteShapes("2");
    (void)sections.writeShapeTemplate(fromEditor, 1234.5, 0.1);
    return 0;
}
