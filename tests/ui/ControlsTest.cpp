#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "suite/KLanguage.h"
#include "support/UiFixture.h"
#include "ui/AppIcons.h"
#include "ui/CSXButton.h"
#include "ui/CStaticLink.h"
#include "ui/DialogStrings.h"
#include "ui/TVLInputDialog.h"

using namespace tavrel;

namespace {

// The horizontal extent of the pixels close to `colour`: the drawn icon's own blue.
std::pair<int, int> ColumnsOf(const QImage& image, const QColor& colour) {
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <
                24) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    return {left, right};
}

const QColor kInfoBlue(0x3b, 0x82, 0xb8);  // the disc of icon 133

class Controls : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        language = std::make_unique<KLanguage>(dir / "Msg/Tavrel.msg");
        language->LoadStrings();
        SetCurrentCatalogue(language.get());
    }
    std::unique_ptr<KLanguage> language;
};

}  // namespace

TEST_F(Controls, PictureButtonCentresAnIconWithoutTextAndSetsItAtTheMarginWithText) {
    CSXButton bare;
    bare.resize(120, 44);
    ASSERT_TRUE(bare.SetIcon(133, 32, 32));
    auto [left, right] = ColumnsOf(bare.grab().toImage(), kInfoBlue);
    ASSERT_GE(right, left) << "the icon was not drawn";
    EXPECT_NEAR((left + right) / 2.0, 60.0, 1.5);

    CSXButton titled(QStringLiteral("About"), nullptr);
    titled.resize(200, 44);
    titled.SetIcon(133, 32, 32);
    titled.SetImageMargin(8);
    std::tie(left, right) = ColumnsOf(titled.grab().toImage(), kInfoBlue);
    EXPECT_NEAR(left, 8 + 3, 2) << "icon at the margin (the disc starts 3 px into the 32 px image)";

    // The text is centred in the room right of margin, image and gap.
    const auto layout = titled.ComputeLayout(titled.rect());
    EXPECT_EQ(layout.image.left(), 8);
    EXPECT_EQ(layout.image.top(), (44 - 32) / 2);
    const int roomLeft = 8 + 32 + 8;
    EXPECT_NEAR(layout.text.center().x(), (roomLeft + 200) / 2.0, 1.0);
    EXPECT_NEAR(layout.text.center().y(), 22.0, 1.0);

    // Without an image the text is centred in the whole button.
    CSXButton plain(QStringLiteral("Exit"), nullptr);
    plain.resize(100, 30);
    EXPECT_NEAR(plain.ComputeLayout(plain.rect()).text.center().x(), 50.0, 1.0);
}

TEST_F(Controls, PictureButtonDrawsDisabledGreyAndTheDefaultFrameBlack) {
    CSXButton button(QStringLiteral("About"), nullptr);
    button.resize(160, 44);
    button.SetIcon(133, 32, 32);
    button.setEnabled(false);
    const auto [left, right] = ColumnsOf(button.grab().toImage(), kInfoBlue);
    EXPECT_LT(right, left) << "a disabled button shows its icon greyed, not in colour";

    button.setEnabled(true);
    EXPECT_FALSE(button.SetDefault(true));
    EXPECT_TRUE(button.isDefault());
    const QImage image = button.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(159, 43), QColor(Qt::black));
    EXPECT_TRUE(button.SetDefault(false));
}

TEST_F(Controls, PictureButtonKeepsItsIconWhenAskedForAnUnknownOne) {
    CSXButton button;
    ASSERT_TRUE(button.SetIcon(132, 32, 32));
    EXPECT_FALSE(button.SetIcon(4711, 32, 32));
    EXPECT_EQ(button.iconId(), 132);
    EXPECT_EQ(button.SetImageMargin(8), 4) << "the margin starts at 4";
}

TEST_F(Controls, EveryIconOfTheProgramIsDrawnAtItsSizes) {
    for (int id : {128, 130, 131, 132, 133, 134, 137, 138, 139, 178, 180, 185, 190, 199}) {
        for (int size : {16, 32}) {
            const QImage image = IconPixmap(id, size).toImage();
            ASSERT_FALSE(image.isNull()) << id;
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) opaque += image.pixelColor(x, y).alpha() > 128;
            EXPECT_GT(opaque, image.width() * image.height() / 8) << "icon " << id << " is nearly empty";
        }
    }
    EXPECT_TRUE(IconPixmap(129, 32).isNull());
    EXPECT_FALSE(HasIcon(129));
}

TEST_F(Controls, InputPromptRefusesSeparatorsAsTheyAreTyped) {
    TVLInputDialog dialog;
    dialog.SetCaption("00020");
    dialog.SetPrompt("00022");
    dialog.SetValue("A;B");
    dialog.show();
    auto* edit = dialog.findChild<QLineEdit*>("1002");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "AB");
    EXPECT_EQ(dialog.windowTitle().toStdString(), Msg("00020"));
    EXPECT_EQ(dialog.findChild<QLabel*>("1020")->text().toStdString(), Msg("00022"));

    // A refused character typed in the middle disappears and the caret stays where it was.
    edit->setCursorPosition(1);
    QTest::keyClicks(edit, "x:|\"");
    EXPECT_EQ(edit->text(), "AXB");
    EXPECT_EQ(edit->cursorPosition(), 2);
    QTest::keyClicks(edit, ",'y");
    EXPECT_EQ(edit->text(), "AXYB");

    QTest::mouseClick(dialog.findChild<QPushButton*>("1"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.value(), "AXYB");
}

TEST_F(Controls, InputPromptCancelKeepsTheCallersValue) {
    TVLInputDialog dialog;
    dialog.SetValue("KEEP");
    WhenModal([](QWidget* w) {
        QTest::keyClicks(w->findChild<QLineEdit*>("1002"), "more");
        QTest::mouseClick(w->findChild<QPushButton*>("2"), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(dialog.value(), "KEEP");
}

TEST_F(Controls, LinkTurnsVisitedOnlyWhenItOpened) {
    std::vector<std::string> opened;
    bool succeed = false;
    CStaticLink::SetOpener([&](const std::string& target) {
        opened.push_back(target);
        return succeed;
    });
    CStaticLink link(QStringLiteral("www.example.org"), QString());
    link.resize(200, 20);
    QTest::mouseClick(&link, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "www.example.org") << "an empty target opens the text";
    EXPECT_EQ(link.colour(), CStaticLink::UnvisitedColour()) << "a failed open keeps the colour";

    succeed = true;
    link.SetTarget(QStringLiteral("mailto:someone@example.org"));
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_EQ(opened.back(), "mailto:someone@example.org");
    EXPECT_EQ(link.colour(), CStaticLink::VisitedColour());
    EXPECT_EQ(link.palette().color(QPalette::WindowText), CStaticLink::VisitedColour());
    EXPECT_TRUE(link.font().underline());

    CStaticLink empty;
    empty.Open();
    EXPECT_EQ(opened.size(), 2u) << "nothing to open, nothing opened";
    CStaticLink::SetOpener(nullptr);
}

TEST_F(Controls, DialogStringsReplaceOnlyMessageIds) {
    QWidget window;
    window.setWindowTitle("00019");
    auto* button = new QPushButton("00008", &window);
    auto* label = new QLabel(". . .", &window);
    auto* group = new QGroupBox("00013", &window);
    auto* odd = new QLabel("0001", &window);
    CompileDialogStrings(&window);
    EXPECT_EQ(window.windowTitle().toStdString(), Msg("00019"));
    EXPECT_EQ(button->text().toStdString(), Msg("00008"));
    EXPECT_NE(button->text(), "00008");
    EXPECT_EQ(label->text(), ". . .");
    EXPECT_EQ(group->title().toStdString(), Msg("00013"));
    EXPECT_EQ(odd->text(), "0001");
}

TEST_F(Controls, MessageBoxUsesTheCatalogueCaptionIconAndDefaultButton) {
    QtUserPrompt boxes;
    std::string title, defaultText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle().toStdString();
        icon = box->icon();
        defaultText = box->defaultButton() ? box->defaultButton()->text().toStdString() : "";
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(boxes.ask("Delete?", "00073", PromptIcon::Question, PromptButtons::YesNo, 1),
              PromptAnswer::Yes);
    EXPECT_EQ(title, Msg("00073"));
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(defaultText, Msg("00191")) << "No was asked to be the default";

    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(boxes.ask("Save?", "00073", PromptIcon::Exclamation, PromptButtons::YesNoCancel, 2),
              PromptAnswer::Cancel);
    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    EXPECT_EQ(boxes.ask("Save?", "00073", PromptIcon::Exclamation, PromptButtons::YesNoCancel, 1),
              PromptAnswer::No)
        << "Enter presses the default button";
}

// A material key written by a Windows station ("É" as one byte) reads in a message as the letter
// it is, not as a replacement character.
TEST_F(Controls, MessagesShowWindowsTextsAsTheirLetters) {
    EXPECT_EQ(ShownText("VETRO \xC9LITE"), QString::fromUtf8("VETRO \xC3\x89LITE"));
    EXPECT_EQ(ShownText("\xC3\x89LITE"), QString::fromUtf8("\xC3\x89LITE"));
    QtUserPrompt boxes;
    QString shown;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    boxes.ask("Material FL \xC9LITE has no plates", "00073", PromptIcon::Exclamation, PromptButtons::Ok);
    EXPECT_EQ(shown, QString::fromUtf8("Material FL \xC3\x89LITE has no plates"));
}

// A name a Windows station wrote (Windows-1252) shows as letters and comes back in its own bytes
// when left alone; a changed name comes back as typed.
TEST_F(Controls, InputPromptKeepsAWindowsStationsNameLeftAlone) {
    for (bool change : {false, true}) {
        TVLInputDialog dialog;
        dialog.SetValue(
            "S\xC9"
            "CURIT");
        dialog.show();
        auto* edit = dialog.findChild<QLineEdit*>("1002");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), QString::fromUtf8("S\xC3\x89"
                                                  "CURIT"));
        if (change) QTest::keyClicks(edit, "2");
        dialog.accept();
        EXPECT_EQ(dialog.value(), change ? std::string("S\xC3\x89"
                                                       "CURIT2")
                                         : std::string("S\xC9"
                                                       "CURIT"));
    }
}
