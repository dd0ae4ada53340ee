#pragma once
// The job report as the optimised material list shows it: a short heading line per material
// (its yield, or that it gives no figures) with its figures beneath, one per line, then the
// job's totals. Every length and area is already in the installation's unit with its label, so
// the window only puts the lines in a tree and a user reads the same report in every language
// and unit.

#include <string>
#include <vector>

#include "results/JobReport.h"

namespace tavrel {

struct CurrentUnit;

struct ReportLine {
    int level = 0;  // 0: a material or the job's totals, 1: one figure of the line above
    std::string label;
    std::string value;
    bool problem = false;  // a material without figures, or the reason it has none
};

// Read materials: plates used by size and kind, pieces, areas, yield, waste, the offcuts kept
// by size and the offcuts of the stock used. A material without figures gets the reason its
// result gave none (message, file, what the reader found), one line each. The totals come
// last and say how many materials they leave out.
std::vector<ReportLine> JobReportLines(const JobReport& report, const CurrentUnit& unit);

// An area in square millimetres in `unit`, two decimals and the unit's label ("14.45 mq").
std::string ReportAreaText(double squareMillimetres, const CurrentUnit& unit);
// A plate or offcut size in `unit`, "3210.0 x 2250.0 mm".
std::string ReportSizeText(engine::Length width, engine::Length height, const CurrentUnit& unit);

}  // namespace tavrel
