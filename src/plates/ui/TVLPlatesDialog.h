#pragma once
// The stock-plate catalogue as a list: new, change (one plate, or several through the
// bulk-change window), delete, plate series, three sorts and keeping the sorted order in the
// file. Every confirmed change saves the whole catalogue at once.

#include <string>
#include <vector>

#include <QDialog>

#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "plates/PlateRows.h"

class QLabel;

namespace tavrel {

struct AppSettings;
class CTrapPlatesListCtrl;

class TVLPlatesDialog : public QDialog {
    Q_OBJECT
public:
    explicit TVLPlatesDialog(AppSettings& settings, QWidget* parent = nullptr);

    const PlateList& plates() const { return plates_; }
    int clipboardRow() const { return clipboardRow_; }

    void OnNew();         // button 1000
    void OnChange();      // button 1001, double click
    void OnDelete();      // button 1002, Delete key
    void OnSeries();      // button 1035
    void OnPaste();       // Ctrl+V, Shift+Insert: a series from the selected plate
    void OnStoreOrder();  // button 1036
    void OnSortByKeys();  // button 1037
    void OnImport();      // button 1097: the spreadsheet import program, when it is there
    void OnColumn(int column);

    // Closing writes the catalogue back when reading it corrected an unlimited plate.
    void done(int result) override;

private:
    bool Load();
    void ShowRows(const std::vector<int>& selectRows);
    void ShowPlates(const std::vector<int>& indices);
    void ShowCount();
    std::vector<int> SelectedRows() const;
    void ChangeSeveral(const std::vector<int>& rows);
    void RunSeries(bool fromButton, const StockPlate& start);
    void MaterialsChanged(int changes);
    bool Save(const std::vector<int>* order = nullptr);

    AppSettings& settings_;
    PlateList plates_;
    MaterialList materials_;
    PlateRows rows_;
    CTrapPlatesListCtrl* list_;
    QLabel* sortKey_;
    QLabel* direction_;
    QLabel* count_;
    QLabel* unusableNote_;
    int clipboardRow_ = -1;
    std::string importProgram_;  // empty: no spreadsheet import for plates
};

}  // namespace tavrel
