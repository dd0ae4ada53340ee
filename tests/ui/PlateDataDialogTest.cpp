#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "common/Messages.h"
#include "plates/ui/TVLPlateDataDialog.h"
#include "settings/Units.h"
#include "support/UiFixture.h"

using namespace tavrel;

namespace {

class PlateDataWindow : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        settings = std::make_unique<AppSettings>(dir.path());
        LoadUnits(*settings);
        SetCurrentSettings(settings.get());
        materials.add(Material("FL", "4MM", ""));
        materials.add(Material("FL", "4MM", "SATIN"));
        materials.add(Material("FL", "6MM", ""));
    }
    template <typename T>
    static T* Find(QWidget* w, const char* id) {
        auto* c = w->findChild<T*>(id);
        EXPECT_NE(c, nullptr) << id;
        return c;
    }
    std::unique_ptr<AppSettings> settings;
    MaterialList materials;
};

}  // namespace

TEST_F(PlateDataWindow, UnlimitedShowsItsTextsAndGoingBackRestores) {
    StockPlate plate(MaterialKey("FL", "4MM", "SATIN"), 12, 3210, 2250, 7, 0, 0, PlateOrdinary, 0);
    TVLPlateDataDialog dialog(plate, materials);
    dialog.SetTitle("00114");
    dialog.show();
    auto* quantity = Find<QLineEdit>(&dialog, "1004");
    auto* priority = Find<QLineEdit>(&dialog, "1005");
    auto* treatment = Find<QComboBox>(&dialog, "1015");
    auto* lot = Find<QLineEdit>(&dialog, "1027");
    ASSERT_TRUE(quantity && priority && treatment && lot);
    EXPECT_EQ(treatment->currentText(), "SATIN");
    EXPECT_FALSE(lot->isEnabled());

    quantity->setText("25");
    QTest::mouseClick(Find<QRadioButton>(&dialog, "1030"), Qt::LeftButton);
    EXPECT_EQ(quantity->text().toStdString(), Msg("00171"));
    EXPECT_FALSE(quantity->isEnabled());
    EXPECT_EQ(priority->text(), "");
    EXPECT_EQ(treatment->currentText().toStdString(), Msg("00133"));
    EXPECT_FALSE(treatment->isEnabled());
    EXPECT_TRUE(lot->isEnabled());

    QTest::mouseClick(Find<QRadioButton>(&dialog, "1029"), Qt::LeftButton);
    EXPECT_EQ(quantity->text(), "25");
    EXPECT_EQ(priority->text(), "7");
    EXPECT_EQ(treatment->currentText(), "SATIN");
    EXPECT_EQ(treatment->findText(QString::fromStdString(Msg("00133"))), -1);
    EXPECT_TRUE(quantity->isEnabled() && treatment->isEnabled());
    dialog.close();
}

TEST_F(PlateDataWindow, OkStoresUnlimitedAndRefusesAPriorityOutOfRange) {
    StockPlate plate(MaterialKey("FL", "4MM", "SATIN"), 12, 3210, 2250, 7, 0, 0, PlateOrdinary, 0);
    {
        TVLPlateDataDialog dialog(plate, materials);
        dialog.show();
        Find<QLineEdit>(&dialog, "1005")->setText("1000");
        QTest::mouseClick(Find<QPushButton>(&dialog, "1"), Qt::LeftButton);
        EXPECT_EQ(Shown(Msg("00095")), 1);
        EXPECT_TRUE(dialog.isVisible()) << "stays open";
        EXPECT_EQ(plate.priority, 7);
        QTest::mouseClick(Find<QRadioButton>(&dialog, "1030"), Qt::LeftButton);
        QTest::mouseClick(Find<QPushButton>(&dialog, "1"), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(plate.kind, PlateUnlimited);
    EXPECT_EQ(plate.quantity, kUnlimitedQuantity);
    EXPECT_EQ(plate.priority, 0);
    EXPECT_EQ(plate.key.treatment, "");
    EXPECT_EQ(plate.key.code, "4MM");
}

// A catalogue a Windows station wrote holds Windows-1252 bytes. The lines show them as letters,
// and OK stores the plate under the catalogue's own bytes, through a change of kind and back as
// well, so the plate still belongs to its material.
TEST_F(PlateDataWindow, AWindowsStationsMaterialIsShownAsLettersAndStoredAsItsBytes) {
    const std::string code = "44.2 MATT\xC4";  // "MATTÄ"
    const std::string treatment =
        "S\xC9"
        "CURIT";  // "SÉCURIT"
    materials.add(Material("VSG", code, ""));
    materials.add(Material("VSG", code, treatment));
    StockPlate plate(MaterialKey("VSG", code, treatment), 4, 3210, 2250, 2, 0, 0, PlateOrdinary, 0);
    TVLPlateDataDialog dialog(plate, materials);
    dialog.show();
    auto* material = Find<QComboBox>(&dialog, "1012");
    auto* treatments = Find<QComboBox>(&dialog, "1015");
    ASSERT_TRUE(material && treatments);
    EXPECT_EQ(material->currentText(), QString::fromUtf8("VSG, 44.2 MATT\xC3\x84"));
    EXPECT_EQ(treatments->currentText(), QString::fromUtf8("S\xC3\x89"
                                                           "CURIT"));
    QTest::mouseClick(Find<QRadioButton>(&dialog, "1030"), Qt::LeftButton);
    QTest::mouseClick(Find<QRadioButton>(&dialog, "1029"), Qt::LeftButton);
    Find<QLineEdit>(&dialog, "1004")->setText("6");
    QTest::mouseClick(Find<QPushButton>(&dialog, "1"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(plate.key.serie, "VSG");
    EXPECT_EQ(plate.key.code, code);
    EXPECT_EQ(plate.key.treatment, treatment);
    EXPECT_EQ(plate.quantity, 6);

    // Choosing the material anew finds its treatments by the same bytes.
    StockPlate other(MaterialKey("FL", "4MM", ""), 1, 1000, 500, 0, 0, 0, PlateOrdinary, 0);
    TVLPlateDataDialog second(other, materials);
    second.show();
    ChooseShown(Find<QComboBox>(&second, "1012"), QString::fromUtf8("VSG, 44.2 MATT\xC3\x84"));
    auto* treatments2 = Find<QComboBox>(&second, "1015");
    ASSERT_EQ(treatments2->count(), 2);
    treatments2->setCurrentIndex(1);
    QTest::mouseClick(Find<QPushButton>(&second, "1"), Qt::LeftButton);
    EXPECT_EQ(other.key.code, code);
    EXPECT_EQ(other.key.treatment, treatment);
}
