#pragma once
// One piece of the job in the pieces editor: material and treatment, identifier, quantity,
// sizes and two free texts. Writes the piece on OK only; the checks and the typing rules are
// those of pieces/PieceData.h.

#include <QDialog>

#include "model/MaterialList.h"
#include "pieces/PieceData.h"
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrel {

struct AppSettings;
struct Job;
struct Piece;

class TVLPieceDataDialog : public QDialog {
    Q_OBJECT
public:
    // `pieceIndex` is the piece's place in the job while it is changed, -1 while it is added.
    TVLPieceDataDialog(AppSettings& settings, Piece& piece, Job& job, int pieceIndex,
                       QWidget* parent = nullptr);

    void SetTitle(const std::string& titleId) { title_ = titleId; }
    void SetRowNumber(int row) { rowNumber_ = row; }
    // Changes made to the material catalogue through button 1000; the editor reloads when above 0.
    int catalogueChanges() const { return catalogueChanges_; }

    void accept() override;
    void reject() override;

    void OnMaterials();  // button 1000
    void OnRound();      // button 3

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    void Prepare();
    void FillMaterials(const std::string& select);
    void FillTreatments(const std::string& select);
    void IdEdited();
    void TextEdited(QLineEdit* edit);
    void SizeEdited();
    PieceDataForm ReadForm() const;
    void DropWorkingShapes();

    AppSettings& settings_;
    Piece& piece_;
    Job& job_;
    int pieceIndex_;
    std::string title_ = "00096";
    int rowNumber_ = 0;
    int catalogueChanges_ = 0;
    MaterialList catalogue_;
    ShapePathRule shapeRule_{0, 0, std::string()};
    std::string acceptedId_;
    bool prepared_ = false;
    bool checkingId_ = false;
    QComboBox* material_;
    QComboBox* treatment_;
    QLineEdit* id_;
    QLineEdit* quantity_;
    QLineEdit* width_;
    QLineEdit* height_;
    QLineEdit* text2_;
    QLineEdit* text3_;
    QLineEdit* path_;
    QLabel* rowLabel_;
    QLabel* marks_[3] = {};
    QPushButton* round_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace tavrel
