#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "common/UserPrompt.h"
#include "model/Job.h"
#include "model/RecordText.h"
#include "model/ShapeSections.h"
#include "model/UnitsForTests.h"
#include "pieces/PieceData.h"
#include "settings/Units.h"

using namespace tavrel;

namespace {

PieceList Pieces(const std::vector<std::string>& ids) {
    PieceList list;
    for (const std::string& id : ids) list.append(Piece("FL", "4MM", "", 100, 50, 1, id));
    return list;
}

PieceDataForm GoodForm() {
    PieceDataForm form;
    form.material = "FL, 4MM";
    form.pieceId = "NEW";
    form.quantity = "2";
    form.width = "1200.5";
    form.height = "0.4";
    return form;
}

std::vector<std::string> Texts(const ScriptedPrompt& prompt) {
    std::vector<std::string> out;
    for (const auto& box : prompt.shown()) out.push_back(box.text);
    return out;
}

}  // namespace

TEST(PieceIdTyping, ForbiddenCharactersBecomeUnderscoresAndTheLengthIsCut) {
    std::string text = "A B/1";
    EXPECT_TRUE(CleanTypedPieceId(text));
    EXPECT_EQ(text, "A_B_1");
    text = "ABCDEFGHIJKLMNOPQ";  // 17 characters
    EXPECT_TRUE(CleanTypedPieceId(text));
    EXPECT_EQ(text, "ABCDEFGHIJKLMNOP");
    // The 16 bytes end inside an "ä" typed in UTF-8: the whole letter goes, never half of it.
    text =
        "K\xC3\xBC"
        "chenfenster-\xC3\xA4";  // "Küchenfenster-ä", 17 bytes
    EXPECT_TRUE(CleanTypedPieceId(text));
    EXPECT_EQ(text,
              "K\xC3\xBC"
              "chenfenster-");
    text = "PZ_12";
    EXPECT_FALSE(CleanTypedPieceId(text));
    text = "  X.Y(2)\t";
    int caret = 4;  // behind the "."
    EXPECT_TRUE(CleanTypedPieceId(text, &caret));
    EXPECT_EQ(text, "X_Y_2_");
    EXPECT_EQ(caret, 2);
    text = "\tX.Y(2)\t";
    EXPECT_TRUE(CleanTypedPieceId(text));
    EXPECT_EQ(text, "X_Y_2_");
}

TEST(PieceIdTyping, KeyByKeyTheBlankSurvivesAndTheCaretStaysBehindTheTypedKey) {
    // What the edit box holds after each key of "A B/1", with the caret at the end.
    std::string text;
    for (char key : std::string("A B/1")) {
        text += key;
        int caret = int(text.size());
        CleanTypedPieceId(text, &caret);
        EXPECT_EQ(caret, int(text.size())) << text;
    }
    EXPECT_EQ(text, "A_B_1");
    // A key typed into the middle of a full box pushes the last character out.
    text = "ABCDEFGH IJKLMNOP";
    int caret = 9;
    EXPECT_TRUE(CleanTypedPieceId(text, &caret));
    EXPECT_EQ(text, "ABCDEFGH_IJKLMNO");
    EXPECT_EQ(caret, 9);
}

TEST(PieceIdTyping, FreeTextsLoseOnlyTheTreatmentCharacters) {
    std::string text = " Kante; 2|3 mm, \"ok\" ";
    int caret = int(text.size());
    EXPECT_TRUE(CleanTypedPieceText(text, &caret));
    EXPECT_EQ(text, "Kante_ 2_3 mm_ _ok_");
    EXPECT_LE(caret, int(text.size()));
    text = "Caf\xc9 12/4";  // Windows-1252 text, untouched
    EXPECT_FALSE(CleanTypedPieceText(text));
}

TEST(PieceIdUniqueness, AnotherPieceInAnyLetterCaseIsRefusedWith00130) {
    const PieceList pieces = Pieces({"PZ_1           ", "Door_Left", "X"});
    ScriptedPrompt prompt;
    EXPECT_FALSE(CheckPieceIdFree("door_left", pieces, -1, prompt));
    EXPECT_FALSE(CheckPieceIdFree("  pz_1", pieces, -1, prompt));
    EXPECT_EQ(Texts(prompt), (std::vector<std::string>{"00130", "00130"}));
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Exclamation);
    EXPECT_EQ(prompt.shown()[0].captionId, "00073");
    prompt.clear();
    // The piece being changed may keep its own identifier, in another case too.
    EXPECT_TRUE(CheckPieceIdFree("DOOR_LEFT", pieces, 1, prompt));
    EXPECT_TRUE(CheckPieceIdFree("Door_Right", pieces, -1, prompt));
    // Only the 16 characters the box holds count.
    EXPECT_FALSE(PieceIdIsFree("ABCDEFGHIJKLMNOPQ", Pieces({"abcdefghijklmnop"}), -1));
    EXPECT_TRUE(PieceIdIsFree("ABCDEFGHIJKLMNO", Pieces({"abcdefghijklmnop"}), -1));
    EXPECT_TRUE(prompt.shown().empty());
}

TEST(PieceDataOk, QuantityZeroOrWidthZeroIsRefusedWith00095) {
    UnitsForTests units;
    const PieceList pieces = Pieces({"A"});
    ScriptedPrompt prompt;
    for (auto broken : std::vector<std::pair<std::string, std::string>>{{"quantity", "0"},
                                                                        {"width", "0"},
                                                                        {"height", "0"},
                                                                        {"quantity", "-3"},
                                                                        {"width", "-0.5"},
                                                                        {"quantity", "abc"},
                                                                        {"quantity", "99999999999"},
                                                                        {"height", "nan"},
                                                                        {"width", "inf"}}) {
        PieceDataForm form = GoodForm();
        (broken.first == "quantity" ? form.quantity
         : broken.first == "width"  ? form.width
                                    : form.height) = broken.second;
        EXPECT_EQ(CheckPieceForm(form, pieces, -1, prompt), PieceDataCheck::BadValues)
            << broken.first << " " << broken.second;
    }
    EXPECT_EQ(Texts(prompt), std::vector<std::string>(9, "00095"));
    prompt.clear();
    EXPECT_EQ(CheckPieceForm(GoodForm(), pieces, -1, prompt), PieceDataCheck::Ok);
    EXPECT_TRUE(prompt.shown().empty());
}

TEST(PieceDataOk, ChecksRunInOrderAndTellTheFirstFault) {
    UnitsForTests units;
    const PieceList pieces = Pieces({"A", "B"});
    ScriptedPrompt prompt;
    PieceDataForm form = GoodForm();
    form.material = "";
    form.pieceId = "b";
    form.quantity = "0";
    EXPECT_EQ(CheckPieceForm(form, pieces, -1, prompt), PieceDataCheck::NoMaterial);
    form.material = "FL, 4MM";
    EXPECT_EQ(CheckPieceForm(form, pieces, -1, prompt), PieceDataCheck::IdTaken);
    form.pieceId = "   ";
    EXPECT_EQ(CheckPieceForm(form, pieces, -1, prompt), PieceDataCheck::IdEmpty);
    form.pieceId = "b";
    EXPECT_EQ(CheckPieceForm(form, pieces, 1, prompt), PieceDataCheck::BadValues);
    EXPECT_EQ(Texts(prompt), (std::vector<std::string>{"00091", "00130", "00179", "00095"}));
    EXPECT_EQ(PieceDataMessage(PieceDataCheck::Ok), "");
}

TEST(PieceDataOk, ApplyWritesTheFormIntoThePiece) {
    UnitsForTests units;
    PieceList pieces = Pieces({"OLD"});
    Piece& piece = pieces.at(0);
    const std::string internal = piece.internalId;
    PieceDataForm form = GoodForm();
    form.material = "ST.X, 6 MM";
    form.treatment = "T;1";
    form.pieceId = "  NEW  ";
    form.shapePath = "C:\\shapes\\door.prm";
    form.text2 = "left";
    ApplyPieceForm(form, piece);
    EXPECT_EQ(piece.serie, "ST_X");
    EXPECT_EQ(piece.code, "6_MM");
    EXPECT_EQ(piece.treatment, "T_1");
    EXPECT_EQ(piece.engineKey, (EngineKey{"ST_X", "6_MM", "T_1"}));
    EXPECT_EQ(piece.pieceId, "NEW");
    EXPECT_EQ(piece.quantity, 2);
    EXPECT_DOUBLE_EQ(piece.width, 1200.5);
    EXPECT_DOUBLE_EQ(piece.height, 0.4);
    EXPECT_EQ(piece.text1, "C:\\shapes\\door.prm");
    EXPECT_EQ(piece.text2, "left");
    EXPECT_EQ(piece.internalId, internal);
    // And the form made from it again shows the same values.
    const PieceDataForm back = FormOf(piece, true);
    EXPECT_EQ(back.material, "ST_X, 6_MM");
    EXPECT_EQ(back.width, "1200.5");
    EXPECT_EQ(back.height, "0.4");
    EXPECT_EQ(back.quantity, "2");
}

TEST(PieceDataOk, RoundingOnlyOutsideMillimetres) {
    {
        UnitsForTests units;
        PieceDataForm form = GoodForm();
        form.width = "1200.57";
        RoundPieceForm(form);
        EXPECT_EQ(form.width, "1200.57");
    }
    UnitsForTests inches(UnitsForTests::Inches);
    PieceDataForm form = GoodForm();
    form.width = "12.5";
    form.height = "0.013";
    RoundPieceForm(form);
    EXPECT_EQ(form.width, "12.50");  // 317.5 mm exactly: nothing to round
    EXPECT_GT(ParseReal(form.height), 0.0);
    EXPECT_EQ(form.height, FormatNumber(LengthFormat(1), ToSystemScaledValue(0.013, 10, 1)));
}

TEST(ShapePath, DroppedBySizeChangeOverATenthAndBackWhenTheSizeReturns) {
    const ShapePathRule rule(1200.0, 800.0, "C:\\shapes\\arch.prm");
    EXPECT_EQ(rule.pathFor(1200.0, 800.0), "C:\\shapes\\arch.prm");
    EXPECT_EQ(rule.pathFor(1200.1, 799.9), "C:\\shapes\\arch.prm");
    EXPECT_EQ(rule.pathFor(1200.2, 800.0), "");
    EXPECT_EQ(rule.pathFor(1200.0, 812.0), "");
    EXPECT_EQ(rule.pathFor(1200.05, 800.0), "C:\\shapes\\arch.prm");  // typed back
    const ShapePathRule large(1200000.0, 3000000.0, "big.prm");
    EXPECT_EQ(large.pathFor(1200000.1, 2999999.9), "big.prm");
    EXPECT_EQ(large.pathFor(1200000.101, 3000000.0), "");
    const ShapePathRule tiny(0.25, 0.25, "s.prm");
    EXPECT_EQ(tiny.pathFor(0.3, 0.3), "s.prm");
    EXPECT_EQ(tiny.pathFor(0.4, 0.25), "");
}

TEST(ShapePath, EmptiedPathIsStoredEmptyAndDropsTheSections) {
    UnitsForTests units;
    Job job;
    job.setWorkingPaths(units.dir.path());
    job.pieces = Pieces({"ARCH", "OTHER"});
    job.pieces.at(0).text1 = "arch.prm";
    WriteText(job.auxPanelPath, "[ARCH|A]\nX=1\n[OTHER|A]\nY=2\n");
    const ShapePathRule rule(job.pieces.at(0).width, job.pieces.at(0).height, job.pieces.at(0).text1);
    PieceDataForm form = FormOf(job.pieces.at(0), true);
    form.width = "150";
    form.shapePath = rule.pathFor(ParseReal(form.width), ParseReal(form.height));
    ApplyPieceForm(form, job.pieces.at(0));
    EXPECT_EQ(job.pieces.at(0).text1, "");
    EXPECT_TRUE(UpdatePieceShapes(ShapeSections(job), "ARCH", "ARCH",
                                  form.shapePath.empty() && !rule.original().empty()));
    EXPECT_EQ(ReadText(job.auxPanelPath), "[OTHER|A]\nY=2\n");
    // An identifier changed takes its sections along.
    EXPECT_TRUE(UpdatePieceShapes(ShapeSections(job), "OTHER", "KEPT", false));
    EXPECT_EQ(ReadText(job.auxPanelPath), "[KEPT|A]\nY=2\n");
}
