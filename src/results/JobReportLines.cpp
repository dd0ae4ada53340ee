#include "results/JobReportLines.h"

#include "common/Messages.h"
#include "common/TextUtils.h"
#include "optimise/OptimiseCommand.h"
#include "results/ResultFiles.h"
#include "settings/UnitDef.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

// Two decimals; rounding a tiny negative waste must not show "-0.00".
std::string TwoDecimals(double value) {
    const std::string text = FormatNumber("%.2lf", value);
    return text == "-0.00" ? "0.00" : text;
}

std::string Percent(double value) { return TwoDecimals(value) + " %"; }

void Add(std::vector<ReportLine>& lines, int level, const std::string& label, const std::string& value,
         bool problem = false) {
    lines.push_back(ReportLine{level, label, value, problem});
}

// The figures both a material and the totals show, below the plate lines of a material.
void AddFigures(std::vector<ReportLine>& lines, const ReportFigures& f, const CurrentUnit& unit) {
    Add(lines, 1, Msg("00062"), std::to_string(f.pieces));
    Add(lines, 1, Msg("00452"), ReportAreaText(f.pieceArea, unit));
    Add(lines, 1, Msg("00453"), ReportAreaText(f.plateArea, unit));
    Add(lines, 1, Msg("00454"), Percent(f.yieldPercent()));
    Add(lines, 1, Msg("00455"), ReportAreaText(f.wasteArea(), unit));
}

}  // namespace

std::string ReportAreaText(double squareMillimetres, const CurrentUnit& unit) {
    const std::string label = unit.areaLabel.empty() ? std::string() : " " + unit.areaLabel;
    return TwoDecimals(FromSystem(unit, squareMillimetres / 1e6, Kind::Area)) + label;
}

std::string ReportSizeText(engine::Length width, engine::Length height, const CurrentUnit& unit) {
    const std::string label = unit.linearLabel.empty() ? std::string() : " " + unit.linearLabel;
    return ResultLengthText(width, unit) + " x " + ResultLengthText(height, unit) + label;
}

std::vector<ReportLine> JobReportLines(const JobReport& report, const CurrentUnit& unit) {
    std::vector<ReportLine> lines;
    for (const MaterialReport& m : report.materials) {
        const std::string name = DisplayText(MaterialText(m.key, KeyStyle::List));
        if (m.state != StoredResultState::Read) {
            Add(lines, 0, name, Msg("00458"), true);
            // The reason is a message, the file and what the reader found, one per line.
            std::string rest = DisplayText(m.problem);
            while (!rest.empty()) {
                const size_t end = rest.find('\n');
                const std::string part = rest.substr(0, end);
                if (!part.empty()) Add(lines, 1, part, std::string(), true);
                rest = end == std::string::npos ? std::string() : rest.substr(end + 1);
            }
            continue;
        }
        const ReportFigures& f = m.figures;
        Add(lines, 0, name, Percent(f.yieldPercent()));
        for (const PlateUse& p : m.plates)
            Add(lines, 1, Msg(p.offcut ? "00451" : "00450") + " " + ReportSizeText(p.width, p.height, unit),
                std::to_string(p.count));
        AddFigures(lines, f, unit);
        for (const OffcutUse& o : m.offcuts)
            Add(lines, 1, Msg("00456") + " " + ReportSizeText(o.width, o.height, unit),
                std::to_string(o.count));
        if (m.offcuts.empty()) Add(lines, 1, Msg("00456"), "0");
        Add(lines, 1, Msg("00457"), std::to_string(f.offcutsConsumed));
    }
    const ReportFigures& t = report.totals;
    Add(lines, 0, Msg("00148"), Percent(t.yieldPercent()), !report.complete());
    Add(lines, 1, Msg("00128"), std::to_string(t.plates));
    AddFigures(lines, t, unit);
    Add(lines, 1, Msg("00456"), std::to_string(t.offcutsProduced));
    Add(lines, 1, Msg("00457"), std::to_string(t.offcutsConsumed));
    if (!report.complete()) Add(lines, 1, Msg("00373"), std::to_string(report.unread), true);
    return lines;
}

}  // namespace tavrel
