#pragma once
// One stock plate: kind, material and treatment, quantity, sizes, priority, plate parameter,
// orientation. Edits the caller's plate on OK only; the kind buttons follow PlateKindState.

#include <QDialog>

#include "model/MaterialList.h"
#include "plates/PlateData.h"
#include "plates/ui/PlateFields.h"

class QLabel;

namespace tavrel {

struct AppSettings;

class TVLPlateDataDialog : public QDialog {
    Q_OBJECT
public:
    // `materials` fills the material and treatment lines.
    TVLPlateDataDialog(StockPlate& plate, const MaterialList& materials, QWidget* parent = nullptr);

    void SetTitle(const std::string& titleId) { title_ = titleId; }
    void SetRowNumber(int row) { rowNumber_ = row; }
    // The installation whose materials window button 1000 opens; the current settings when
    // none is given.
    void SetSettings(AppSettings* settings) { settings_ = settings; }
    // Groups changed in materials windows opened from here: the caller reloads its materials
    // when above 0.
    int materialChanges() const { return materialChanges_; }

    void Round();          // button 3
    void OpenMaterials();  // button 1000

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Build();
    void Prepare();

    StockPlate& plate_;
    MaterialList materials_;
    std::string title_ = "00113";
    int rowNumber_ = 0;
    AppSettings* settings_ = nullptr;
    int materialChanges_ = 0;
    PlateFields fields_;
    QLabel* lotLabel_;
    QLabel* rowLabel_;
};

}  // namespace tavrel
