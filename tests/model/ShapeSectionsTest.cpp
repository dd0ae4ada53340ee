#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "model/Job.h"
#include "model/ShapeSections.h"
#include "support/TempDir.h"

using namespace tavrel;

namespace {

class ShapeFixture : public ::testing::Test {
protected:
    void SetUp() override { job.setWorkingPaths(dir.path()); }
    ShapeSections shapes() const { return ShapeSections(job); }
    void Shapes(const std::string& text) { WriteText(job.auxPanelPath, text); }
    std::string Shapes() const { return ReadText(job.auxPanelPath); }

    TempDir dir;
    Job job;
};

const char* const kFile =
    "[P17|A]\nX=1\nY=2\n"
    "[P170|A]\nX=3\n"
    "[P17|B]\nZ=4\n"
    "[Q|C]\nW=5\n";

}  // namespace

TEST_F(ShapeFixture, DeleteRemovesOnlyThatPiecesSections) {
    Shapes(kFile);
    EXPECT_TRUE(shapes().deleteShapes(" P17 "));
    EXPECT_EQ(Shapes(), "[P170|A]\nX=3\n[Q|C]\nW=5\n");
    // A one-character section name is a section like any other; "[Q|]" is not a header.
    Shapes("[Q|]\nV=0\n[Q|C]\nW=5\n[R|x]\n");
    EXPECT_TRUE(shapes().deleteShapes("Q"));
    EXPECT_EQ(Shapes(), "[Q|]\nV=0\n[R|x]\n");
}

TEST_F(ShapeFixture, CopyKeepsTheSourceAndAppends) {
    Shapes(kFile);
    EXPECT_TRUE(shapes().copyShapes("P17", "P2"));
    EXPECT_EQ(Shapes(), std::string(kFile) + "[P2|A]\nX=1\nY=2\n[P2|B]\nZ=4\n");
}

TEST_F(ShapeFixture, RenameRewritesHeadersInPlace) {
    Shapes(std::string(kFile) + "[|N]\nK=1\n");
    EXPECT_TRUE(shapes().renameShapes("P17", "R9"));
    EXPECT_EQ(Shapes(), "[R9|A]\nX=1\nY=2\n[P170|A]\nX=3\n[R9|B]\nZ=4\n[Q|C]\nW=5\n[|N]\nK=1\n");
    EXPECT_TRUE(shapes().renameShapes("", "E"));
    EXPECT_NE(Shapes().find("[E|N]\nK=1\n"), std::string::npos);
}

TEST_F(ShapeFixture, WithoutAShapeFileNothingChanges) {
    EXPECT_TRUE(shapes().deleteShapes("P17"));
    EXPECT_TRUE(shapes().copyShapes("P17", "P2"));
    EXPECT_TRUE(shapes().renameShapes("P17", "P2"));
    EXPECT_TRUE(shapes().importShapes("P17"));
    EXPECT_FALSE(shapes().exportShapes("P17"));
    EXPECT_FALSE(PathExists(job.auxPanelPath));
}

TEST_F(ShapeFixture, ExchangeWithTheShapeEditor) {
    Shapes(kFile);
    WriteText(job.tmpPanelVarPath, "stale");
    EXPECT_TRUE(shapes().exportShapes("P17"));
    EXPECT_EQ(ReadText(job.tmpPanelVarPath), "[A]\nX=1\nY=2\n[B]\nZ=4\n");
    EXPECT_FALSE(shapes().exportShapes("NONE"));
    EXPECT_FALSE(PathExists(job.tmpPanelVarPath)) << "an old export is not left for the editor";

    WriteText(job.tmpPanelPath, "[GEN]\r\nK=1\r\n[EDGE]\r\nE=2\r\n");
    EXPECT_TRUE(shapes().importShapes(" N1 "));
    EXPECT_EQ(Shapes(), std::string(kFile) + "[N1|GEN]\nK=1\n[N1|EDGE]\nE=2\n\n");

    EXPECT_FALSE(shapes().writeShapeTemplate(dir / "missing.PRM", 1, 2));
    WriteText(dir / "t.PRM", "x");
    EXPECT_TRUE(shapes().writeShapeTemplate(dir / "t.PRM", 1000, 2.5));
    EXPECT_EQ(ReadText(job.tmpPanelVarPath),
              "[GENERAl]\nTEMPLATE = " + (dir / "t.PRM") + "\nL_BOUNDARY = 1000.000\nH_BOUNDARY = 2.500\n");
}
