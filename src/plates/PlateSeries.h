#pragma once
// The arithmetic of a plate series: from a template plate, further plates whose width and
// height grow by fixed steps. One row for widths, one for heights; either the end or the count
// of a row is computed from the others.

#include <utility>
#include <vector>

namespace tavrel {

struct SeriesRow {
    double start = 0.0;
    double step = 0.0;
    double end = 0.0;
    int count = 0;
};

// end = start + step * count when the end is computed; otherwise, with a step, the count is the
// number of steps that reach the end and the end moves to the last step.
void ComputeSeriesRow(SeriesRow& row, bool computeEnd);

// 0 no series on the row, 2 a series, -1 an invalid row (a step or a count without the other,
// or a negative one).
int SeriesRowState(const SeriesRow& row);
// The sum over both rows; negative when a row is invalid or the template has a negative size.
int ValidateSeries(double templateWidth, double templateHeight, const SeriesRow& widths,
                   const SeriesRow& heights);
// The plates OK produces, the template included; 0 when the series is invalid.
int SeriesPlateCount(const SeriesRow& widths, const SeriesRow& heights);
// The sizes of the generated plates (the template not included), widths crossed with heights.
std::vector<std::pair<double, double>> SeriesSizes(double width, double height, double widthStep,
                                                   int widthCount, double heightStep, int heightCount);

}  // namespace tavrel
