#include <gtest/gtest.h>

#include "common/TextUtils.h"
#include "model/Names.h"
#include "model/PieceList.h"

using namespace tavrel;

namespace {

Piece Named(const std::string& id, double width = 100) { return Piece("S", "C", "", width, 200, 1, id); }

// A list of imported pieces with the given identifiers (sizes differ so nothing merges).
PieceList Imported(const std::vector<std::string>& ids, int mode = PiecesFromSpreadsheet) {
    PieceList list;
    list.idMode = mode;
    double width = 100;
    for (const std::string& id : ids) list.append(Named(id, width++));
    return list;
}

std::vector<std::string> Ids(const PieceList& list) {
    std::vector<std::string> ids;
    for (const Piece& p : list) ids.push_back(p.pieceId);
    return ids;
}

}  // namespace

TEST(Names, PieceMaterialTextsAreCleanedButOtherTextsAreNot) {
    Piece p("A.B Z", "x/y(1)", "T;1|\"a\"", 1, 2, 3, "id;1", "t1", "t2", "t3");
    EXPECT_EQ(p.serie, "A_B_Z");
    EXPECT_EQ(p.code, "x_y_1_");
    EXPECT_EQ(p.treatment, "T_1__a_");
    EXPECT_EQ(p.engineKey, (EngineKey{"A_B_Z", "x_y_1_", "T_1__a_"}));
    // Treatments keep the characters only a serie or code must not hold.
    EXPECT_EQ(CleanTreatment("A.B Z/(x)"), "A.B Z/(x)");
    EXPECT_EQ(CleanSerieOrCode(std::string(kSerieCodeForbidden)), std::string(27, '_'));
    EXPECT_EQ(CleanTreatment(std::string(kTreatmentForbidden)), std::string(6, '_'));
    EXPECT_TRUE(p.internalId.empty());
    EXPECT_EQ(p.duplicate(), p);
}

TEST(Names, IdentifierFormats) {
    EXPECT_EQ(InternalPieceId(12), "INT_ID_000000012");
    EXPECT_EQ(GeneratedPieceId(2), "PZ_2" + std::string(12, ' '));
    EXPECT_EQ(GeneratedPieceId(1234567890123L), "PZ_1234567890123");
}

TEST(Names, EmptyIdentifiersGetTheNextFreeGeneratedOne) {
    PieceList list = Imported({"PZ_1", ""}, PiecesTyped);
    EXPECT_EQ(list.assignPieceIds(), 1);
    EXPECT_EQ(list.at(1).pieceId, "PZ_2" + std::string(12, ' '));

    // Taken identifiers are skipped whatever their case and blanks; blanks count as present.
    list = Imported({"", " pz_1 ", "   ", "", "PZ_3"}, PiecesTyped);
    EXPECT_EQ(list.assignPieceIds(), 2);
    EXPECT_EQ(Trim(list.at(0).pieceId), "PZ_2");
    EXPECT_EQ(list.at(2).pieceId, "   ");
    EXPECT_EQ(Trim(list.at(3).pieceId), "PZ_4") << "the number is not reset between pieces";
    EXPECT_EQ(list.assignPieceIds(), 0) << "a second run finds nothing to do";
}

TEST(Names, ImportedDuplicatesGetSuffixes) {
    PieceList typed = Imported({"P17", "P17"}, PiecesTyped);
    typed.assignPieceIds();
    EXPECT_EQ(Ids(typed), (std::vector<std::string>{"P17", "P17"}));

    PieceList list = Imported({"P17", "X", "p17 "});
    EXPECT_EQ(list.assignPieceIds(), 0) << "renamings are not counted";
    EXPECT_EQ(Ids(list), (std::vector<std::string>{"P17_a", "X", "P17_b"}));

    list = Imported({"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"});
    list.assignPieceIds();
    EXPECT_EQ(Ids(list), (std::vector<std::string>{"@ABCDEFGHIJKLMNa", "@ABCDEFGHIJKLMNb"}));

    list = Imported({"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO"});
    list.assignPieceIds();
    EXPECT_EQ(Ids(list), (std::vector<std::string>{"ABCDEFGHIJKLMNOa", "ABCDEFGHIJKLMNOb"}));

    list = Imported({"ABCDEFGHIJKLMN", "ABCDEFGHIJKLMN"});
    list.assignPieceIds();
    EXPECT_EQ(Ids(list), (std::vector<std::string>{"ABCDEFGHIJKLMN_a", "ABCDEFGHIJKLMN_b"}));
}

TEST(Names, TwentySevenClashesRunOutOfLettersIntoNumbers) {
    PieceList list = Imported(std::vector<std::string>(27, "Q"), PiecesFromJobList);
    list.assignPieceIds();
    for (int k = 0; k < 26; ++k) EXPECT_EQ(list.at(k).pieceId, std::string("Q_") + char('a' + k));
    EXPECT_EQ(list.at(26).pieceId, "Q_1");

    // Long identifiers with a numeric suffix are shortened from the front, keeping 16.
    const std::string id(20, 'Z');
    EXPECT_EQ(SuffixedPieceId(id, 26), "@" + std::string(14, 'Z') + "1");
    EXPECT_EQ(SuffixedPieceId(id, 26 + 99999), "@" + std::string(9, 'Z') + "100000");
    EXPECT_EQ(SuffixedPieceId("", 0), "_a");
}

TEST(Names, RenamedPiecesAreNotMatchedAgainByLaterOnes) {
    // The first two become X_a and X_b; then the original X_a clashes with the renamed one and
    // both get a second suffix.
    PieceList list = Imported({"X", "X", "X_a"});
    list.assignPieceIds();
    EXPECT_EQ(Ids(list), (std::vector<std::string>{"X_a_a", "X_b", "X_a_b"}));
}
