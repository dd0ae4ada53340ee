#pragma once
// The bulk-change window: lists the fields of a ModifyFieldTable with a tick box each, lets the
// user give any of them a new value, and on OK leaves the answers in the table for the caller
// to apply to every selected entry.

#include <QDialog>

#include "materials/ModifyFieldTable.h"
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace tavrel {

struct AppSettings;

class MultipleModify : public QDialog {
    Q_OBJECT
public:
    MultipleModify(AppSettings& settings, ModifyFieldTable& table, int entryCount, QWidget* parent = nullptr);

    void SetValue();    // button 1098
    void ClearValue();  // button 1099
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowEditor(int row);
    void FillTreatments(const std::string& treatment);

    AppSettings& settings_;
    ModifyFieldTable& table_;
    QTreeWidget* list_;
    QLabel* fieldName_;
    QComboBox* materials_;
    QComboBox* treatments_;
    QComboBox* choices_;
    QLineEdit* edit_;
    std::vector<int> choiceIndex_;
};

}  // namespace tavrel
