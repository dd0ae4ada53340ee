// Every whole-file save of the program interrupted at every point of its write: the file on disk
// is the old one or the new one, never a mix, never empty, and no temporary file stays beside
// it. A read-only folder or a full disk refuses the save with a message naming the file, and
// what is in memory stays as the user made it.

#include <algorithm>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "common/IniFile.h"
#include "materials/MaterialsFile.h"
#include "model/Job.h"
#include "model/JobFile.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "model/ShapeSections.h"
#include "plates/PlatesFile.h"
#include "results/ResultFiles.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"
#include "support/WriteProtected.h"

using namespace tavrel;

namespace tavrel {
// The unit as a failing test names it.
void PrintTo(const CurrentUnit& unit, std::ostream* out) {
    *out << unit.linearLabel << ", " << unit.decimals << " decimals";
}
}  // namespace tavrel

namespace {

std::string Demo(const std::string& name) {
    return ReadText(std::string(TAVREL_SOURCE_DIR) + "/resources/demo/" + name);
}

int FilesIn(const std::string& folder) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++files;
    }
    return files;
}

// One save under test: the file it replaces, the text before and the text it writes.
struct SaveCase {
    std::string path;
    std::string before;
    std::string after;
    std::function<bool()> save;
};

// Fails the save after every byte count from 0 to the whole new text (in steps that still hit
// every line of a small file), then lets it through.
void InterruptEverywhere(const SaveCase& c) {
    ASSERT_NE(c.before, c.after) << c.path << ": the save must change the file";
    const std::string folder = std::filesystem::path(c.path).parent_path().string();
    const int files = FilesIn(folder);
    const std::size_t step = std::max<std::size_t>(1, c.after.size() / 120);
    for (std::size_t bytes = 0; bytes < c.after.size(); bytes += step) {
        SetWriteFailureAfterBytes(static_cast<long long>(bytes));
        const bool saved = c.save();
        SetWriteFailureAfterBytes(-1);
        EXPECT_FALSE(saved) << c.path << " after " << bytes << " bytes";
        EXPECT_EQ(LastSaveProblem(), SaveProblem::Failed);
        ASSERT_EQ(ReadText(c.path), c.before) << c.path << " after " << bytes << " bytes";
        ASSERT_EQ(FilesIn(folder), files) << "a temporary file stayed beside " << c.path;
    }
    ASSERT_TRUE(c.save()) << c.path;
    EXPECT_EQ(ReadText(c.path), c.after);
    EXPECT_EQ(FilesIn(folder), files);
}

// The save refused: by the folder (read-only), then by the disk (the first write fails, as
// on a full disk). The file stays and the message names it and the reason.
void RefuseSave(const SaveCase& c) {
    const std::string folder = std::filesystem::path(c.path).parent_path().string();
    {
        WriteProtected readOnly(folder);
        EXPECT_FALSE(c.save()) << c.path;
        EXPECT_EQ(LastSaveProblem(), SaveProblem::FolderReadOnly) << c.path;
        const std::string message = SaveFailureMessage(c.path);
        EXPECT_NE(message.find(c.path), std::string::npos) << message;
        EXPECT_NE(message.find(SaveProblemText(SaveProblem::FolderReadOnly)), std::string::npos);
    }
    EXPECT_EQ(ReadText(c.path), c.before);
    SetWriteFailureAfterFiles(0);
    EXPECT_FALSE(c.save()) << c.path;
    SetWriteFailureAfterFiles(-1);
    EXPECT_EQ(LastSaveProblem(), SaveProblem::Failed);
    EXPECT_NE(SaveFailureMessage(c.path).find(c.path), std::string::npos);
    EXPECT_EQ(ReadText(c.path), c.before);
}

class InterruptedSave : public ::testing::TestWithParam<CurrentUnit> {
protected:
    TempDir dir;
};

}  // namespace

// The catalogue edited in the materials window, and the stock after an accepted optimisation
// took two sheets and gave back an offcut: both in both units.
TEST_P(InterruptedSave, CataloguesAndTheStockUpdate) {
    const CurrentUnit unit = GetParam();
    const std::string materialsPath = dir / "DAT/Materials.dat";
    WriteText(materialsPath, Demo("DAT/Materials.dat"));
    MaterialList materials;
    ASSERT_TRUE(MaterialsFile::load(materialsPath, materials, unit));
    ASSERT_GT(materials.count(), 2);
    const std::string materialsBefore = ReadText(materialsPath);
    materials.at(1).description = "Float glass 4 mm, low iron";
    materials.at(1).thickness = 4.05;
    materials.removeAt(0);
    const std::string materialsAfter = MaterialsFile::write(materials, unit);
    SaveCase catalogue{materialsPath, materialsBefore, materialsAfter,
                       [&] { return MaterialsFile::save(materialsPath, materials, unit); }};
    RefuseSave(catalogue);
    EXPECT_EQ(MaterialsFile::write(materials, unit), materialsAfter) << "the edits are still in memory";
    InterruptEverywhere(catalogue);
    MaterialList reread;
    ASSERT_TRUE(MaterialsFile::load(materialsPath, reread, unit));
    EXPECT_EQ(MaterialsFile::write(reread, unit), materialsAfter);

    const std::string platesPath = dir / "DAT/Plates.dat";
    WriteText(platesPath, Demo("DAT/Plates.dat"));
    PlateList stock;
    ASSERT_TRUE(PlatesFile::load(platesPath, stock, unit));
    ASSERT_GT(stock.count(), 0);
    const StockPlate& sheet = stock.at(0);
    PlateList used, offcuts;
    used.addOrMerge(StockPlate(sheet.key, 2, sheet.width, sheet.height, 0, 0.0, 0, PlateOrdinary, 0.0),
                    false);
    offcuts.addOrMerge(
        StockPlate(sheet.key, 1, sheet.width / 3, sheet.height / 4, 0, 0.0, 0, PlateOffcut, 0.0), false);
    const std::string stockBefore = ReadText(platesPath);
    ApplyToStock(stock, used, offcuts);
    const std::string stockAfter = PlatesFile::write(stock, unit);
    SaveCase update{platesPath, stockBefore, stockAfter, [&] { return stock.save(platesPath, unit); }};
    RefuseSave(update);
    EXPECT_EQ(PlatesFile::write(stock, unit), stockAfter) << "the updated stock is still in memory";
    InterruptEverywhere(update);
    PlateList rereadStock;
    ASSERT_TRUE(PlatesFile::load(platesPath, rereadStock, unit));
    EXPECT_EQ(PlatesFile::write(rereadStock, unit), stockAfter);
}

// A job saved by the pieces editor, and its shape file rewritten when a piece is renamed.
TEST_P(InterruptedSave, JobFilesAndTheirShapes) {
    const CurrentUnit unit = GetParam();
    const std::string jobPath = dir / "TVL/DEMO_OFFICE.TVL";
    WriteText(jobPath, Demo("TVL/DEMO_OFFICE.TVL"));
    Job job;
    ASSERT_TRUE(JobFile::load(jobPath, job, unit));
    ASSERT_GT(job.pieces.count(), 1);
    const std::string jobBefore = ReadText(jobPath);
    job.customer = "Hansen & Daughters; second site";
    job.pieces.at(0).quantity += 3;
    job.pieces.removeAt(1);
    JobFile::clean(job);
    const std::string jobAfter = JobFile::write(job, unit);
    SaveCase saveJob{jobPath, jobBefore, jobAfter, [&] { return JobFile::save(jobPath, job, unit); }};
    RefuseSave(saveJob);
    EXPECT_EQ(JobFile::write(job, unit), jobAfter) << "the edits are still in memory";
    InterruptEverywhere(saveJob);
    Job reread;
    ASSERT_TRUE(JobFile::load(jobPath, reread, unit));
    EXPECT_EQ(JobFile::write(reread, unit), jobAfter);

    const std::string shapesPath = dir / "TMP/shapes.PAN";
    std::string shapes;
    for (int piece = 1; piece <= 40; ++piece)
        shapes += "[P" + std::to_string(piece) + "|GEN]\r\nL_BOUNDARY = 1200.500\r\nH_BOUNDARY = 0.100\r\n";
    WriteText(shapesPath, shapes);
    const ShapeSections sections(shapesPath, dir / "TMP/to.PAN", dir / "TMP/from.PAN");
    // Renaming back and forth gives the two texts the interrupted rename must leave.
    ASSERT_TRUE(sections.renameShapes("P7", "P7-A"));
    const std::string renamed = ReadText(shapesPath);
    ASSERT_TRUE(sections.renameShapes("P7-A", "P7"));
    const std::string original = ReadText(shapesPath);
    InterruptEverywhere({shapesPath, original, renamed, [&] { return sections.renameShapes("P7", "P7-A"); }});
}

// The settings files the program owns: a value written into an existing file of a Windows
// station (CR LF, other sections around it).
TEST_P(InterruptedSave, SettingsFiles) {
    const std::string path = dir / "Tavrel.INI";
    std::string before = "[Paths]\r\nDat=C:\\Tavrel\\DAT\r\nTvl=C:\\Tavrel\\TVL\r\n";
    for (int i = 0; i < 30; ++i) before += "[Window" + std::to_string(i) + "]\r\nX=120\r\nY=80\r\n";
    WriteText(path, before);
    ASSERT_TRUE(IniFile::WriteString(path, "Paths", "Dat", "D:\\Shared\\DAT"));
    const std::string after = ReadText(path);
    WriteText(path, before);
    const SaveCase c{path, before, after,
                     [&] { return IniFile::WriteString(path, "Paths", "Dat", "D:\\Shared\\DAT"); }};
    RefuseSave(c);
    InterruptEverywhere(c);
    EXPECT_EQ(IniFile::Read(path, "paths", "DAT"), "D:\\Shared\\DAT");
    EXPECT_EQ(IniFile::Read(path, "Window29", "Y"), "80");
}

std::string UnitName(const ::testing::TestParamInfo<CurrentUnit>& param) {
    return param.index == 0 ? "Millimetres" : "Inches";
}

INSTANTIATE_TEST_SUITE_P(Units, InterruptedSave, ::testing::Values(Millimetres(), Inches(3)), UnitName);
