#include "results/ResultFiles.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "model/Material.h"
#include "model/PlateList.h"
#include "platform/Platform.h"
#include "settings/UnitDef.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

// A pattern cut from no plate, or a damaged count, cannot change the stock.
constexpr long kMaxPatternCount = 1000000;

std::string LengthFormatOf(const CurrentUnit& unit) {
    return unit.numberFormat.empty() ? "%.1lf" : unit.numberFormat;
}

}  // namespace

bool SetResultSize(StockPlate& plate, engine::Length width, engine::Length height, const CurrentUnit& unit) {
    plate.width = ResultLength(width, unit);
    plate.height = ResultLength(height, unit);
    if (!(plate.width > 0) || !(plate.height > 0)) return false;
    plate.stored.keep(StockPlate::StoredWidth, static_cast<double>(width) / 10.0, plate.width);
    plate.stored.keep(StockPlate::StoredHeight, static_cast<double>(height) / 10.0, plate.height);
    return true;
}

std::string ResultLengthText(engine::Length tenths, const CurrentUnit& unit) {
    const std::string format = unit.numberFormat.empty() ? "%.1lf" : unit.numberFormat;
    return FormatNumber(format, ResultLength(tenths, unit));
}

double ResultLength(engine::Length tenths, const CurrentUnit& unit) {
    const double millimetres = static_cast<double>(tenths) / 10.0;
    if (NearlyEqual(millimetres, 0.0) || NearlyEqual(unit.linearFactor, 0.0)) return 0.0;
    double value = millimetres;
    if (!NearlyEqual(unit.linearFactor, 1.0)) {
        value = millimetres / unit.linearFactor;
        if (unit.stdDecimals < unit.decimals) {
            // More decimals than the unit's own: the value goes once more through whole tenths
            // of a millimetre, as every length typed in that unit does.
            const double shown =
                TruncateDecimals(RoundDecimals(value, unit.decimals, 0), nullptr, unit.decimals);
            const double tenthsBack = RoundDecimals(shown * unit.linearFactor * 10.0, 0, 0);
            value = ToDouble(FormatNumber(LengthFormatOf(unit), tenthsBack / 10.0 / unit.linearFactor));
        }
    }
    return ToDouble(FormatNumber(LengthFormatOf(unit), value));
}

void ApplyToStock(PlateList& stock, const PlateList& usedPlates, const PlateList& offcuts) {
    for (const StockPlate& p : usedPlates) {
        const Material owner(p.key.serie, p.key.code, p.key.treatment);
        stock.consume(owner, p);
    }
    for (const StockPlate& offcut : offcuts) stock.addOrMerge(offcut.duplicate(), true);
}

std::string ResultFolder(const std::string& resultPath) {
    const std::string folder = SplitPath(resultPath).folder;
    return folder.empty() ? std::string(".") : folder;
}

bool ApplyResult(PlateList& stock, const std::string& resultPath, const Material& material,
                 const CurrentUnit& unit) {
    ResultPlan plan;
    const bool read = ReadResultFile(resultPath, plan);
    Platform::DeleteFile(resultPath);
    DeleteMatching(ResultFolder(resultPath), "*.PSA");
    if (!read) return false;
    // Equal plates or offcuts of several patterns add up: consuming or adding them in one step
    // changes the stock as one step per pattern would.
    PlateList used, offcuts;
    for (const ResultPattern& pattern : plan.patterns) {
        if (pattern.count < 1 || pattern.count > kMaxPatternCount) continue;
        const int count = static_cast<int>(pattern.count);
        if (pattern.width > 0 && pattern.height > 0) {
            // A stored result names no stock entry; whether it cut an offcut still picks the
            // entry of that size the stock update lowers.
            StockPlate plate(material.key(), count, 0, 0, 0, 0.0, 0,
                             pattern.offcutPlate ? PlateOffcut : PlateOrdinary, 0.0);
            if (SetResultSize(plate, pattern.width, pattern.height, unit))
                used.addOrMerge(std::move(plate), false);
        }
        for (const ResultOffcut& o : pattern.offcuts) {
            StockPlate offcut(material.key(), count, 0, 0, 0, 0.0, 0, PlateOffcut, 0.0);
            if (SetResultSize(offcut, o.width, o.height, unit)) offcuts.addOrMerge(std::move(offcut), false);
        }
    }
    ApplyToStock(stock, used, offcuts);
    return !used.empty() || !offcuts.empty();
}

}  // namespace tavrel
