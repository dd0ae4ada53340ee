#pragma once
// The arithmetic of a plate series: from a template plate, further plates whose width and
// height grow by fixed steps. One row for widths, one for heights; either the end or the count
// of a row is computed from the others.

#include <utility>
#include <vector>

namespace tavrel {

class PlateList;
struct StockPlate;

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
// A size typed into the plate's width or height starts that row: a negative size is taken as
// the positive one (`value` becomes it), the start follows, and an end not above the new start
// moves up to it. True when the end moved, so the series must be calculated again.
bool StartSeriesAt(SeriesRow& row, double& value);
// Rounds start, step and end to the tenth of a millimetre the engine works in when the unit is
// not the millimetre; does nothing in millimetres.
void RoundSeriesRow(SeriesRow& row);

// The series window's answer: -1 everywhere until OK.
struct SeriesResult {
    double widthStep = -1.0;
    int widthCount = -1;
    double heightStep = -1.0;
    int heightCount = -1;
};

// Adds what the series window's OK produced to the catalogue: the edited template when it
// differs from `kept` in any field, then one plate per generated size, each merged into an
// equal plate when there is one. Returns the catalogue index of every plate that was added or
// gained a quantity, in the order they were touched (an index may repeat).
std::vector<int> AddPlateSeries(PlateList& plates, const StockPlate& edited, const StockPlate& kept,
                                const SeriesResult& result);

// The sizes of the generated plates (the template not included), widths crossed with heights.
std::vector<std::pair<double, double>> SeriesSizes(double width, double height, double widthStep,
                                                   int widthCount, double heightStep, int heightCount);

}  // namespace tavrel
