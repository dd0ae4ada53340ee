#include "plates/PlateSeries.h"

#include <cmath>

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
