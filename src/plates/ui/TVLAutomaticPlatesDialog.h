#pragma once
// One stock plate and, in the same step, series of further plates whose width and height grow
// by fixed steps. The window adds no plate itself: on OK the template holds the typed values
// and result() the steps and counts the plates window generates from.

#include <QDialog>

#include "model/MaterialList.h"
#include "plates/PlateData.h"
#include "plates/PlateSeries.h"
#include "plates/ui/PlateFields.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrel {

struct AppSettings;

class TVLAutomaticPlatesDialog : public QDialog {
    Q_OBJECT
public:
    // `newPlate`: the series starts from an empty plate (the series button), not from a copy
    // of the selected one (the paste key).
    TVLAutomaticPlatesDialog(AppSettings& settings, StockPlate& plate, bool newPlate,
                             QWidget* parent = nullptr);

    const SeriesResult& seriesResult() const { return result_; }
    int materialChanges() const { return materialChanges_; }

    void Calculate();       // button 3
    void ChooseComputed();  // buttons "end" and "count"
    void OpenMaterials();   // button 1000
    void accept() override;

private:
    void Build();
    SeriesRow ReadRow(int row) const;
    void ShowRow(int row, const SeriesRow& values);
    void SizeEdited(int row);
    void ShowComputed();
    void ShowPlateCount(const SeriesRow& widths, const SeriesRow& heights);

    AppSettings& settings_;
    StockPlate& plate_;
    MaterialList materials_;
    SeriesResult result_;
    PlateFields fields_;
    bool computeEnd_ = false;
    int materialChanges_ = 0;
    QLabel* plateCount_;
    QPushButton* ok_;
    // Per series row (widths, heights): start, step, end, count.
    QLineEdit* series_[2][4] = {};
};

}  // namespace tavrel
