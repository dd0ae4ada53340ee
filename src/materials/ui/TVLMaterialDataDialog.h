#pragma once
// One material group: its shared texts and values, its treatments with their flag, and the two
// plate limits. Works on the caller's copy of the group; OK writes the values into every entry.

#include <array>

#include <QDialog>

#include "materials/MaterialData.h"
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavrel {

class TVLMaterialDataDialog : public QDialog {
    Q_OBJECT
public:
    TVLMaterialDataDialog(MaterialList& group, QWidget* parent = nullptr);

    void SetTitle(const std::string& titleId) { title_ = titleId; }
    void SetRowNumber(int row) { rowNumber_ = row; }
    void SetKeyEditable(bool editable) { keyEditable_ = editable; }
    void SetComponentsAllowed(bool allowed) { componentsAllowed_ = allowed; }
    void SetReadOnlyTreatments(bool readOnly) { readOnlyTreatments_ = readOnly; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Build();
    void Prepare();
    void KeyEdited(QLineEdit* edit, std::size_t width);
    void ShowLimit(int which);
    void LimitClicked(int which);
    void FillTreatments(int select);
    void TreatmentSelected();
    void NewTreatment();
    void RenameTreatment();
    void DeleteTreatment();
    void Round();
    void OpenComponents();
    MaterialDataForm ReadForm() const;

    MaterialList& group_;
    std::string title_ = "00087";
    int rowNumber_ = 0;
    bool keyEditable_ = true;
    bool componentsAllowed_ = true;
    bool readOnlyTreatments_ = false;
    bool guard_ = false;
    MaterialDataForm shown_;  // the texts as the window opened with them, in their own bytes
    QLineEdit* serie_;
    QLineEdit* code_;
    QLineEdit* description_;
    QLineEdit* thickness_;
    QLineEdit* weight_;
    std::array<QLineEdit*, 7> cut_{};
    QListWidget* treatments_;
    QPushButton* rename_;
    QPushButton* deleteTreatment_;
    QPushButton* components_;
    QCheckBox* flag_;
    std::array<PlateLimitBox, 2> limits_;
    std::array<QCheckBox*, 2> limitChecks_{};
    std::array<QLineEdit*, 2> limitEdits_{};
    std::array<QLabel*, 2> limitIcons_{};
    QLabel* rowLabel_;
    QLabel* weightLabel_;
    // Thickness, weight and p1 to p7, in that order.
    std::array<QLabel*, 9> markers_{};
    QLabel* roundingNote_;
    QPushButton* round_;
};

}  // namespace tavrel
