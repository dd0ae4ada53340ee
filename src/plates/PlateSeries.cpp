#include "plates/PlateSeries.h"

#include <cmath>

#include "model/PlateList.h"
#include "settings/Units.h"

namespace tavrel {

void ComputeSeriesRow(SeriesRow& row, bool computeEnd) {
    if (computeEnd) {
        row.end = row.start + row.step * row.count;
        return;
    }
    if (row.step == 0.0) return;
    // A hair below a whole number of steps is that number: typed decimals are not exact.
    row.count = int(std::ceil((row.end - row.start) / row.step - 1e-9));
    row.end = row.start + row.count * row.step;
}

int SeriesRowState(const SeriesRow& row) {
    if (row.step == 0.0 && row.count == 0) return 0;
    if (row.step > 0.0 && row.count > 0) return 2;
    return -1;
}

int ValidateSeries(double templateWidth, double templateHeight, const SeriesRow& widths,
                   const SeriesRow& heights) {
    if (templateWidth < 0.0 || templateHeight < 0.0) return -1;
    const int w = SeriesRowState(widths);
    const int h = SeriesRowState(heights);
    if (w < 0 || h < 0) return -1;
    return w + h;
}

int SeriesPlateCount(const SeriesRow& widths, const SeriesRow& heights) {
    const int nW = SeriesRowState(widths) < 0 ? -1 : widths.count;
    const int nH = SeriesRowState(heights) < 0 ? -1 : heights.count;
    if (nW > 0 && nH > 0) return nW * nH + 1;
    if (nW > 0 && nH == 0) return nW + 1;
    if (nH > 0 && nW == 0) return nH + 1;
    if (nW == 0 && nH == 0) return 1;
    return 0;
}

bool StartSeriesAt(SeriesRow& row, double& value) {
    if (value < 0.0) value = -value;
    row.start = value;
    if (row.end > value) return false;
    row.end = value;
    return true;
}

void RoundSeriesRow(SeriesRow& row) {
    if (IsMillimetres()) return;
    for (double* v : {&row.start, &row.step, &row.end}) *v = ToSystemScaledValue(*v, 10, -1);
}

std::vector<int> AddPlateSeries(PlateList& plates, const StockPlate& edited, const StockPlate& kept,
                                const SeriesResult& result) {
    std::vector<int> touched;
    if (!PlateList::fullyEqual(edited, kept) || edited.quantity != kept.quantity)
        touched.push_back(plates.addOrMerge(edited.duplicate(), true));
    // Without a positive step and count a row makes no plates: SeriesSizes drops such a row.
    for (const auto& [width, height] :
         SeriesSizes(edited.width, edited.height, result.widthStep, result.widthCount, result.heightStep,
                     result.heightCount)) {
        StockPlate copy = edited.duplicate();
        copy.width = width;
        copy.height = height;
        touched.push_back(plates.addOrMerge(std::move(copy), true));
    }
    return touched;
}

std::vector<std::pair<double, double>> SeriesSizes(double width, double height, double widthStep,
                                                   int widthCount, double heightStep, int heightCount) {
    std::vector<std::pair<double, double>> sizes;
    const int nW = widthCount > 0 && widthStep > 0.0 ? widthCount : 0;
    const int nH = heightCount > 0 && heightStep > 0.0 ? heightCount : 0;
    if (nW > 0 && nH > 0) {
        for (int i = 1; i <= nW; ++i)
            for (int j = 1; j <= nH; ++j) sizes.emplace_back(width + i * widthStep, height + j * heightStep);
    } else if (nW > 0) {
        for (int i = 1; i <= nW; ++i) sizes.emplace_back(width + i * widthStep, height);
    } else {
        for (int j = 1; j <= nH; ++j) sizes.emplace_back(width, height + j * heightStep);
    }
    return sizes;
}

}  // namespace tavrel
