#pragma once
// The settings window: where the data folders are, the unit of measure, the decimals of the inch
// unit, the language and the sheet the piece labels are printed on. Missing folders show in red
// while the user types; OK saves at once (a new language is used from the next start).

#include <array>
#include <string>

#include <QDialog>
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tavrel {

struct AppSettings;

class TVLConfigDialog : public QDialog {
    Q_OBJECT
public:
    TVLConfigDialog(AppSettings& settings, QWidget* parent = nullptr);

    // The colours of the box of a folder that does not exist.
    static QColor MissingBackground() { return QColor(240, 0, 0); }
    static QColor MissingText() { return QColor(255, 255, 250); }

    void accept() override;

private:
    void BuildFolders();
    void BuildUnits();
    void BuildLanguage();
    void BuildLabelSheet();
    void Fill();
    void FolderEdited(int position);
    void Browse(int position);
    void UnitChosen();
    void InchDecimalsEdited();
    QLineEdit* FolderEdit(int position) const { return folders_[size_t(position)]; }

    AppSettings& settings_;
    std::array<QLineEdit*, 6> folders_{};
    std::array<std::string, 2> initialDecimals_;
    QRadioButton* millimetres_ = nullptr;
    QRadioButton* inches_ = nullptr;
    QLabel* millimetreArrow_ = nullptr;
    QLabel* inchArrow_ = nullptr;
    QLineEdit* millimetreDecimals_ = nullptr;
    QLineEdit* inchDecimals_ = nullptr;
    QLabel* roundingMark_ = nullptr;
    QLabel* roundingNote_ = nullptr;
    std::array<QLabel*, 8> unitLabels_{};
    QComboBox* language_ = nullptr;
    QComboBox* labelSheet_ = nullptr;
    bool decimalsGuard_ = false;
};

}  // namespace tavrel
