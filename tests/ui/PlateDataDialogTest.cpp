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
