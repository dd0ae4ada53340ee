#pragma once
// The review of one material's optimisation: every candidate plate with how many the result
// uses, what would remain and a warning where the used area stays below the minimum lot. The
// ticks go back into the plates' marks however the window closes: a ticked plate stays in,
// every other one is left out of another optimisation.

#include <string>
#include <vector>

#include <QDialog>

#include "results/OptimisedPlates.h"
class QTreeWidget;

namespace tavrel {

class PlateList;

class TVLOptimizedPlatesDialog : public QDialog {
    Q_OBJECT
public:
    // `candidates` must outlive the window; their usedCount is set at once, their marks on
    // closing. OK ("optimise again") is Accepted, Cancel ("accept") Rejected.
    TVLOptimizedPlatesDialog(PlateList& candidates, const PlateList& usedPlates, const std::string& caption,
                             const std::string& info, QWidget* parent = nullptr);

    void done(int result) override;

private:
    void ShowRows(const std::vector<bool>& ticks);
    std::vector<bool> Ticks() const;
    void SetAllTicks(bool ticked);
    void SortBy(int column);

    PlateList& candidates_;
    std::vector<OptimisedPlateRow> rows_;  // in the order shown
    OptimisedPlatesOrder order_;
    QTreeWidget* list_;
};

}  // namespace tavrel
