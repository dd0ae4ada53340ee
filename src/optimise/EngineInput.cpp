#include "optimise/EngineInput.h"

#include <cmath>
#include <cstdio>

#include "common/FileUtils.h"
#include "common/Messages.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "model/Job.h"
#include "model/Material.h"
#include "model/PieceList.h"
#include "model/PlateList.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/UnitDef.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

// A text for a fixed-width field of `width` bytes. A record is one line: a line break or other
// control byte inside a text field would split it and shift every column after it, so such bytes
// travel as blanks. A text longer than the field is cut without half a letter (LeadingBytes), as
// the engine's plans and printouts show what the field holds.
std::string Field(const std::string& text, size_t width) {
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    return LeadingBytes(out, width);
}

char OrientationLetter(const StockPlate& plate) {
    char letter = plate.orientation == 0 ? 'L' : plate.orientation == 1 ? 'Y' : 'R';
    return plate.kind == PlateOffcut ? static_cast<char>(letter - 'A' + 'a') : letter;
}

long PriorityKey(const Job& job, const StockPlate& plate) {
    if (plate.kind == PlateUnlimited) return 0;
    if (plate.kind == PlateOffcut && job.preferOffcuts == 1) return 999;
    return plate.priority + 1;
}

}  // namespace

std::string EngineMaterialKey(const std::string& serie, const std::string& code) {
    const size_t s = serie.size();
    const size_t c = code.size();
    if (s + c <= 15) return serie + "_" + code;
    if (s < 8) return serie + code.substr(0, 16 - s);
    if (c >= 8) return serie.substr(0, 8) + code.substr(0, 8);
    return serie.substr(0, 16 - c) + code;
}

long EngineLength(double value, int scale, const CurrentUnit& unit) {
    if (std::fabs(value) < 0.00001) return 0;
    if (std::fabs(value + 1.0) < 0.00001) return 99990;
    const double factor = unit.linearFactor;
    if (NearlyEqual(factor, 0.0)) return 0;
    if (NearlyEqual(factor, 1.0)) return static_cast<long>(std::floor(scale * value));
    const double rounded = RoundDecimals(value, unit.decimals, 0);
    return static_cast<long>(RoundDecimals(rounded * factor * scale, 0, 0));
}

long EngineWeight(double weight, const CurrentUnit& unit) {
    if (weight < 0.00001 || NearlyEqual(unit.weightFactor, 0.0)) return 0;
    // As every weight typed in the unit: cut to its decimals, then converted.
    const double t = TruncateDecimals(weight, nullptr, unit.decimals);
    const double system = NearlyEqual(unit.weightFactor, 1.0) ? t : t * unit.weightFactor;
    return static_cast<long>(std::floor(system * 10.0));
}

std::string PerimeterLabel(const Job& job, const CurrentUnit& unit) {
    double total = 0.0;
    for (const Piece& p : job.pieces) total += 2.0 * p.quantity * (p.width + p.height);
    if (NearlyEqual(unit.linearFactor, 1.0))
        total /= 1000.0;
    else if (NearlyEqual(unit.linearFactor, 25.4))
        total /= 12.0;
    return SummaryLabel(job.name, total);
}

std::string JobBaseName(const std::string& jobPath) {
    const std::string name = SplitPath(jobPath).fileName;
    auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot + 1);
}

std::string RunFileName(const std::string& jobPath, long runNumber) {
    return JobBaseName(jobPath) + Format("R%02ld", runNumber);
}

namespace {

// A length of a record in engine units (scale 10: tenths, 100: hundredths of a millimetre). In a
// unit other than millimetres a value the user has not changed goes to the engine as the
// millimetres its file holds. Shown in the user's unit it is rounded to the shown decimals:
// 3210 mm shown as 126.38 in would reach the optimiser as 3210.1 mm, a plate larger than the one
// in the rack; a 10 mm edge trim shown as 0.39 in as 9.9 mm, and with no decimals as 0 mm.
template <class Record>
long EngineStored(const Record& record, std::size_t slot, double value, int scale, const CurrentUnit& unit) {
    if (NearlyEqual(unit.linearFactor, 1.0) || NearlyEqual(unit.linearFactor, 0.0))
        return EngineLength(value, scale, unit);
    const std::optional<double> millimetres = record.stored.asRead(slot, value);
    if (!millimetres || *millimetres <= 0.0) return EngineLength(value, scale, unit);
    return static_cast<long>(std::llround(*millimetres * scale));
}

template <class Record>
long EngineSize(const Record& record, std::size_t slot, double value, const CurrentUnit& unit) {
    return EngineStored(record, slot, value, 10, unit);
}

long EngineThickness(const Material& material, const CurrentUnit& unit) {
    return EngineStored(material, Material::StoredThickness, material.thickness, 100, unit);
}

// Cutting parameter i (0 to 6) of the material.
long EngineCutParameter(const Material& material, std::size_t i, const CurrentUnit& unit) {
    return EngineStored(material, Material::StoredCut + i, material.cutParameters[i], 10, unit);
}

// The material's weight in tenths of the base weight unit; an unchanged weight as the catalogue
// holds it (20 kg shown as 44.09 lb would otherwise reach the engine as 19.9 kg).
long EngineMaterialWeight(const Material& material, const CurrentUnit& unit) {
    if (NearlyEqual(unit.weightFactor, 1.0) || NearlyEqual(unit.weightFactor, 0.0))
        return EngineWeight(material.weight, unit);
    const std::optional<double> stored = material.stored.asRead(Material::StoredWeight, material.weight);
    if (!stored || *stored <= 0.0) return EngineWeight(material.weight, unit);
    return static_cast<long>(std::floor(*stored * 10.0 + 1e-9));
}

// The plate's parameter; a plate without one (0) goes to the engine as "no value".
long EnginePlateParameter(const StockPlate& plate, const CurrentUnit& unit) {
    const long value = EngineStored(plate, StockPlate::StoredParameter, plate.plateParameter, 10, unit);
    return NearlyEqual(plate.plateParameter, 0.0) && value <= 0 ? EngineLength(-1.0, 10, unit) : value;
}

}  // namespace

std::string PlateLineA(const Job& job, const Material& material, const PlateList& plates, int index,
                       const CurrentUnit& unit) {
    const StockPlate& plate = plates.at(index);
    const std::string key = EngineMaterialKey(material.serie, material.code);
    const long priority = PriorityKey(job, plate);
    const long order = (job.preferLargePlates == 1 || job.preferPlentifulPlates == 1)
                           ? static_cast<long>(plate.selectionRank)
                           : priority;
    const long quantity = plate.kind == PlateUnlimited ? kUnlimitedQuantity : plate.quantity;
    const std::string label =
        Field(material.treatment.empty() ? material.description : material.treatment, 32);
    // The plate's place in the material's stock travels in the spare field, so the plans name
    // the plate as the plates window lists it; the engine needs only field 2.
    const std::string place = plate.stockPlace > 0 ? std::to_string(plate.stockPlace) : std::string();
    return Format(
        "%-16.16s%-5ld%-16.16s%-12.12s%-12.12s%-8.8s%08ld%08ld%08ld%8.8s%8.8s%05ld%05ld%5.5s%5.5s"
        "%05ld%-32.32s%-6.6s%c%08ld%08ld%c\n",
        key.c_str(), static_cast<long>(index + 1), key.c_str(), Field(job.customer, 12).c_str(),
        Field(job.order, 12).c_str(), place.c_str(), EngineThickness(material, unit),
        EngineSize(plate, StockPlate::StoredWidth, plate.width, unit),
        EngineSize(plate, StockPlate::StoredHeight, plate.height, unit), "", "", quantity, priority, "", "",
        order, label.c_str(), "", ' ', 0L, 0L, OrientationLetter(plate));
}

std::string PlateLineB(const Job& job, const Material& material, const PlateList& plates, int index,
                       const AppSettings* settings, const CurrentUnit& unit) {
    const StockPlate& plate = plates.at(index);
    auto p = [&](std::size_t i) { return EngineCutParameter(material, i, unit); };
    const long plateParameter = EnginePlateParameter(plate, unit);
    const long grinding = p(6);
    std::string label = job.name;
    if (settings && ReadPrintPiecesPerimeter(*settings) == 1) label = PerimeterLabel(job, unit);
    return Format(
        "%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%05ld%05ld%05ld%05ld%05ld%08ld%05ld"
        "%-32.32s%-23.23s%c\n",
        0L, 0L, p(4), p(3), p(0), p(5), p(1), p(2), plateParameter, plateParameter, grinding, grinding, 0L,
        0L, 0L, 0L, 0L, EngineMaterialWeight(material, unit), 0L, Field(label, 32).c_str(), "", 'T');
}

std::string PieceLine(const Job& job, const Material& material, const PieceList& materialPieces, int index,
                      const CurrentUnit& unit) {
    const Piece& piece = materialPieces.at(index);
    long type = index + 1;
    for (int i = 0; i < job.pieces.count(); ++i) {
        if (EqualsNoCase(job.pieces.at(i).pieceId, piece.pieceId)) {
            type = i + 1;
            break;
        }
    }
    const std::string key = EngineMaterialKey(material.serie, material.code);
    const std::string pieceKey = EngineMaterialKey(piece.engineKey.serie, piece.engineKey.code);
    const std::string text3 = Field(piece.text3, 32);
    return Format(
        "%-16.16s%-5ld%-16.16s%-12.12s%-12.12s%-8.8s%8.8s%08ld%08ld%08ld%08ld%05ld%05ld%05ld%05ld%05ld"
        "%-32.32s%-6.6s%-16.16s%c%c\n",
        key.c_str(), type, pieceKey.c_str(), Field(job.customer, 12).c_str(), Field(job.order, 12).c_str(),
        "", "", EngineSize(piece, Piece::StoredWidth, piece.width, unit),
        EngineSize(piece, Piece::StoredHeight, piece.height, unit), 0L, 0L, static_cast<long>(piece.quantity),
        0L, 0L, 0L, 0L, text3.c_str(), Field(Trim(text3), 6).c_str(), Field(piece.pieceId, 16).c_str(), ' ',
        material.engineFlag ? 'S' : 'N');
}

namespace {

bool Fits(long value, size_t width) { return std::to_string(value).size() <= width; }

std::string Shown(double length, const CurrentUnit& unit) {
    return FormatNumber(unit.numberFormat.empty() ? "%.1lf" : unit.numberFormat, length);
}

InputProblem Problem(const std::string& what, bool noSize = false) {
    return InputProblem{true, noSize, what};
}

}  // namespace

InputProblem CheckEngineInput(const Job& job, const Material& material, const PlateList& plates,
                              const PieceList& materialPieces, const CurrentUnit& unit) {
    const std::string materialName = material.serie + ", " + material.code;
    for (std::size_t i = 0; i < material.cutParameters.size(); ++i)
        if (!Fits(EngineCutParameter(material, i, unit), 8))
            return Problem(materialName + ": " + Shown(material.cutParameters[i], unit));
    if (!Fits(EngineThickness(material, unit), 8) || !Fits(EngineMaterialWeight(material, unit), 8))
        return Problem(materialName + ": " + Shown(material.thickness, unit));
    for (int i = 0; i < plates.count(); ++i) {
        if (plates.isSelected(i)) continue;
        const StockPlate& p = plates.at(i);
        const std::string name = Msg("00065") + " " + Shown(p.width, unit) + " x " + Shown(p.height, unit);
        if (!Fits(EngineSize(p, StockPlate::StoredWidth, p.width, unit), 8))
            return Problem(name + ", " + Msg("00056") + " " + Shown(p.width, unit));
        if (!Fits(EngineSize(p, StockPlate::StoredHeight, p.height, unit), 8))
            return Problem(name + ", " + Msg("00057") + " " + Shown(p.height, unit));
        if (p.kind != PlateUnlimited && !Fits(p.quantity, 5))
            return Problem(name + ", " + Msg("00055") + " " + std::to_string(p.quantity));
        if (!Fits(i + 1L, 5) || !Fits(p.priority + 1L, 5) || !Fits(p.selectionRank, 5) ||
            !Fits(p.stockPlace, 8) || !Fits(EnginePlateParameter(p, unit), 8))
            return Problem(name);
    }
    for (int i = 0; i < materialPieces.count(); ++i) {
        const Piece& p = materialPieces.at(i);
        const std::string name = Msg("00054") + " " + p.pieceId + " (" + Shown(p.width, unit) + " x " +
                                 Shown(p.height, unit) + ")";
        // What the engine gets: a piece shown as 0 in with no decimals may hold 10 mm.
        const long width = EngineSize(p, Piece::StoredWidth, p.width, unit);
        const long height = EngineSize(p, Piece::StoredHeight, p.height, unit);
        if (p.width < 0 || p.height < 0 || width <= 0 || height <= 0) return Problem(name, true);
        if (!Fits(width, 8) || !Fits(height, 8)) return Problem(name);
        if (!Fits(p.quantity, 5))
            return Problem(name + ", " + Msg("00055") + " " + std::to_string(p.quantity));
    }
    // The piece type number is the piece's place in the job.
    if (!Fits(job.pieces.count(), 5)) return Problem(Msg("00054") + " " + std::to_string(job.pieces.count()));
    return {};
}

bool WriteEngineInput(const std::string& path, const Job& job, const Material& material,
                      const PlateList& plates, const PieceList& materialPieces, const AppSettings* settings,
                      const CurrentUnit& unit) {
    std::string content;
    for (int i = 0; i < plates.count(); ++i) {
        if (plates.isSelected(i)) continue;
        content += PlateLineA(job, material, plates, i, unit);
        content += PlateLineB(job, material, plates, i, settings, unit);
    }
    for (int i = 0; i < materialPieces.count(); ++i)
        content += PieceLine(job, material, materialPieces, i, unit);
    return WriteFileAtomically(path, content);
}

}  // namespace tavrel
