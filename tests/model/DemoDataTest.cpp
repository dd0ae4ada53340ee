#include <gtest/gtest.h>

#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "model/ReadReport.h"
#include "support/TestUnits.h"

using namespace tavrel;

namespace {

const std::string kDemo = std::string(TAVREL_SOURCE_DIR) + "/resources/demo/";

}  // namespace

// The demo installation must open without the first-start fixes of a broken job: every piece
// material is in the catalogue, and every material (or each layer of a laminate) has stock.
TEST(DemoData, JobsMatchTheCatalogueAndTheStock) {
    const CurrentUnit mm = Millimetres();
    MaterialList catalogue;
    PlateList stock;
    ASSERT_TRUE(catalogue.load(kDemo + "DAT/Materials.dat", mm));
    ASSERT_TRUE(stock.load(kDemo + "DAT/Plates.dat", mm));
    int totalPieces = 0;
    for (const char* name : {"DEMO_KITCHEN.TVL", "DEMO_OFFICE.TVL"}) {
        Job job;
        ReadReport report;
        ASSERT_TRUE(job.load(kDemo + "TVL/" + name, mm, &report)) << name;
        EXPECT_EQ(report.merged + report.longLines + report.blankInBlock + report.missingLines, 0);
        EXPECT_EQ(job.pieces.assignPieceIds(), 0) << "every demo piece has its identifier";
        MaterialKeyList missing;
        MaterialList used = job.pieces.materialsUsed(catalogue, missing);
        EXPECT_TRUE(missing.empty()) << name;
        for (const Material& m : used) {
            if (!m.isComposite()) {
                EXPECT_TRUE(stock.hasPlateFor(m.serie, m.code, m.treatment)) << m.code;
                continue;
            }
            for (const MaterialKey& layer : m.components)
                EXPECT_TRUE(stock.hasPlateFor(layer.serie, layer.code, layer.treatment));
        }
        totalPieces = 0;
        for (const Piece& p : job.pieces) totalPieces += p.quantity;
    }
    EXPECT_GE(totalPieces, 140) << "the large demo job has a real workshop's size";
    EXPECT_LE(totalPieces, 170);
}
