#pragma once
// The job file (extension "TVL"): a version line, the name, customer and order lines, the plate
// limits line (version 3), the piece block and the block of optimised materials. The writer
// always writes version 3; the reader takes versions 1 to 3. Lengths are stored in millimetres
// and held in the user's unit.
//
// Choices where the format leaves room:
// - Lines are read whole, whatever their length, so a long line is never split into two records.
// - A version above 3 is refused (the job stays unchanged): a newer file read with these rules
//   and saved again would lose what the newer version added.
// - A blank line inside a counted block uses up one of the promised lines and adds nothing (it
//   used to repeat the line before, doubling that piece's quantity).
// - Fields missing from a short line read as empty or 0, never as the previous line's values.
// - A count is taken as what the writer meant, not as a limit: a block holds every record line
//   up to the next count line (the material block, up to the end of the file), so a count
//   that promises fewer lines than follow, or a negative one, loses nothing; a count promising
//   more lines than follow stops where the block ends. The read report says which happened.
// - A pieceId is read trimmed, as the writer stores it, so two lines whose identifiers differ
//   only in surrounding blanks merge on the first load rather than on the next one.

#include <string>

namespace tavrel {

struct CurrentUnit;
struct Job;
class PieceList;
class MaterialKeyList;
struct ReadReport;
class LineCursor;

class JobFile {
public:
    static constexpr int kVersion = 3;
    static constexpr std::size_t kMaxHeaderText = 500;  // name, customer and order

    // Lengths are converted into and from `unit`.
    static bool load(const std::string& path, Job& job, const CurrentUnit& unit,
                     ReadReport* report = nullptr);
    [[nodiscard]] static bool save(const std::string& path, const Job& job, const CurrentUnit& unit);

    // The same from and to memory.
    static bool read(const std::string& content, Job& job, const CurrentUnit& unit,
                     ReadReport* report = nullptr);
    static std::string write(const Job& job, const CurrentUnit& unit);
    // Makes the job what a reload of its saved file gives: the header texts cut to 500 bytes,
    // the pieceIds trimmed and every text storable, in place; counts the changed texts in `fixes`.
    static void clean(Job& job, ReadReport* fixes = nullptr);

    // The piece block (count line and piece lines) and the material block.
    static void writePieces(std::string& out, const PieceList& pieces, const CurrentUnit& unit);
    static void writeMaterials(std::string& out, const MaterialKeyList& keys);
    static void readPieces(LineCursor& lines, int version, PieceList& pieces, const CurrentUnit& unit,
                           ReadReport* report);
    static void readMaterials(LineCursor& lines, MaterialKeyList& keys, ReadReport* report);
};

}  // namespace tavrel
