#include <map>

#include <gtest/gtest.h>

#include "common/TextUtils.h"
#include "results/JobReport.h"
#include "results/JobResultsFixture.h"
#include "results/PlanExport.h"

using namespace tavrel;

namespace {

// The placements of one material read back from the export's rows, as the result reader gives
// them (millimetre texts back to tenths).
struct ReadBack {
    std::string status;
    std::vector<ResultPattern> patterns;
    std::vector<long> firstPlates;
};

engine::Length Tenths(const std::string& text) {
    engine::Length v = -1;
    EXPECT_TRUE(ParseScaled(text, 10, v)) << "not a millimetre number: " << text;
    return v;
}

std::map<long, ReadBack> ReadCsvPlan(const std::string& csv) {
    const auto rows = ParseCsv(csv);
    std::map<long, ReadBack> plan;
    EXPECT_FALSE(rows.empty());
    if (rows.empty()) return plan;
    std::map<std::string, size_t> at;
    for (size_t c = 0; c < rows[0].size(); ++c) at[rows[0][c]] = c;
    for (size_t r = 1; r < rows.size(); ++r) {
        const auto& row = rows[r];
        EXPECT_EQ(row.size(), rows[0].size());
        if (row.size() != rows[0].size()) continue;
        auto cell = [&](const char* name) { return row.at(at.at(name)); };
        ReadBack& m = plan[ToLong(cell("run"))];
        const std::string record = cell("record");
        if (record == "material") {
            m.status = cell("status");
            continue;
        }
        const size_t index = static_cast<size_t>(ToLong(cell("pattern"))) - 1;
        if (record == "pattern") {
            EXPECT_EQ(index, m.patterns.size()) << "patterns in order";
            ResultPattern p;
            p.count = ToLong(cell("plates"));
            p.width = Tenths(cell("plate_width"));
            p.height = Tenths(cell("plate_height"));
            p.offcutPlate = cell("plate_kind") == "offcut";
            ParseScaled(cell("thickness"), 100, p.thickness);
            m.patterns.push_back(p);
            m.firstPlates.push_back(ToLong(cell("first_plate")));
            continue;
        }
        EXPECT_LT(index, m.patterns.size()) << "a " << record << " row before its pattern";
        if (index >= m.patterns.size()) continue;
        ResultPattern& p = m.patterns[index];
        EXPECT_EQ(Tenths(cell("plate_width")), p.width) << "every row names its plate";
        if (record == "piece") {
            p.pieces.push_back(Placed(Tenths(cell("x")), Tenths(cell("y")), Tenths(cell("width")),
                                      Tenths(cell("height")), cell("piece_id"), cell("rotated") == "1"));
            p.pieces.back().number = ToLong(cell("number"));
        } else if (record == "offcut") {
            p.offcuts.push_back(ResultOffcut{Tenths(cell("x")), Tenths(cell("y")), Tenths(cell("width")),
                                             Tenths(cell("height"))});
        } else {
            ADD_FAILURE() << "unknown record " << record;
        }
    }
    return plan;
}

void ExpectSamePlan(const ReadBack& exported, const ResultPlan& stored) {
    ASSERT_EQ(exported.patterns.size(), stored.patterns.size());
    long plate = 1;
    for (size_t i = 0; i < stored.patterns.size(); ++i) {
        const ResultPattern& e = exported.patterns[i];
        const ResultPattern& s = stored.patterns[i];
        SCOPED_TRACE("pattern " + std::to_string(i + 1));
        EXPECT_EQ(e.count, s.count);
        EXPECT_EQ(e.width, s.width);
        EXPECT_EQ(e.height, s.height);
        EXPECT_EQ(e.offcutPlate, s.offcutPlate);
        EXPECT_EQ(e.thickness, s.thickness);
        EXPECT_EQ(exported.firstPlates[i], plate);
        plate += s.count;
        ASSERT_EQ(e.pieces.size(), s.pieces.size());
        for (size_t k = 0; k < s.pieces.size(); ++k) {
            EXPECT_EQ(e.pieces[k].x, s.pieces[k].x);
            EXPECT_EQ(e.pieces[k].y, s.pieces[k].y);
            EXPECT_EQ(e.pieces[k].width, s.pieces[k].width);
            EXPECT_EQ(e.pieces[k].height, s.pieces[k].height);
            EXPECT_EQ(e.pieces[k].rotated, s.pieces[k].rotated);
            EXPECT_EQ(e.pieces[k].number, s.pieces[k].number);
            EXPECT_EQ(e.pieces[k].id, DisplayText(s.pieces[k].id));
        }
        ASSERT_EQ(e.offcuts.size(), s.offcuts.size());
        for (size_t k = 0; k < s.offcuts.size(); ++k) {
            EXPECT_EQ(e.offcuts[k].x, s.offcuts[k].x);
            EXPECT_EQ(e.offcuts[k].y, s.offcuts[k].y);
            EXPECT_EQ(e.offcuts[k].width, s.offcuts[k].width);
            EXPECT_EQ(e.offcuts[k].height, s.offcuts[k].height);
        }
    }
}

}  // namespace

TEST_F(JobResultsTest, TheCsvExportReadsBackIntoThePlanTheResultFilesHold) {
    AddMaterial("4MM");
    AddMaterial("6MM", 0);
    AddPlate("4MM", 3210, 2250, 40);
    AddPlate("6MM", 6000, 3210, 3);
    AddPlate("6MM", 1500, 1200, 4, PlateOffcut);
    job.preferOffcuts = 1;
    // Identifiers a CSV must quote, one from a Windows station ("Ä" as the byte 0xC4), and
    // hundreds of pieces with sizes down to a fraction of a millimetre.
    AddPiece("4MM", 1180, 760, 3, "K1,left");
    AddPiece("4MM", 530.5, 430.2, 2, "6\" frame");
    AddPiece("4MM", 400, 300, 2, "\xC4-1");
    for (int i = 0; i < 60; ++i)
        AddPiece("4MM", 120 + 7.3 * i, 95.5 + 3.1 * (i % 11), 1 + i % 9, "S" + std::to_string(i));
    AddPiece("6MM", 0.5, 2.5, 4, "CHIP");
    AddPiece("6MM", 1400, 1100, 3, "D1");
    AddPiece("6MM", 2999.9, 1604.9, 2, "D2");
    AddMaterial("8MM");
    AddPlate("8MM", 3210, 2250, 10);
    AddPiece("8MM", 1500, 1100, 16, "SAME");  // four to a plate: plates of one pattern
    const OptimiseReport run = OptimiseAll();
    ASSERT_EQ(run.materials.size(), 3u);
    for (const MaterialRunReport& m : run.materials)
        ASSERT_TRUE(m.accepted) << NotOptimisedText(m, settings->current);

    const std::vector<StoredMaterialResult> results = ReadStoredResults(*settings, job, jobPath);
    const std::map<long, ReadBack> exported = ReadCsvPlan(PlanCsv(job, results));
    ASSERT_EQ(exported.size(), 3u);
    long pieces = 0;
    bool repeated = false;
    for (const StoredMaterialResult& r : results) {
        SCOPED_TRACE(r.key.code);
        for (const ResultPattern& p : r.plan.patterns) repeated = repeated || p.count > 1;
        ASSERT_EQ(exported.count(r.run), 1u);
        EXPECT_EQ(exported.at(r.run).status, "ok");
        ExpectSamePlan(exported.at(r.run), StoredPlan(r.key));
        for (const ResultPattern& p : exported.at(r.run).patterns) pieces += p.count * long(p.pieces.size());
    }
    EXPECT_TRUE(repeated) << "no pattern cut on several plates: the plate numbers are not checked";
    long ordered = 0;
    for (const Piece& p : job.pieces) ordered += p.quantity;
    EXPECT_EQ(pieces, ordered) << "every piece of the job is in the export";
    bool windowsId = false;
    for (const auto& [runKey, m] : exported)
        for (const ResultPattern& p : m.patterns)
            for (const ResultPiece& q : p.pieces) windowsId = windowsId || q.id == "\xC3\x84-1";
    EXPECT_TRUE(windowsId) << "the Windows-1252 identifier comes out in UTF-8";
}

TEST_F(JobResultsTest, JsonCarriesWindowsTextsAsUtf8AndEscapesWhatJsonMust) {
    job.name = "Kitchen \"A\" \\ back\tslash\x01 \xC4rger \x80";  // Windows-1252: Ä and €
    job.customer = "M\xFCller";
    ResultPlan plan;
    ResultPattern p = Pattern(2, 32100, 22500, true);
    p.pieces = {Placed(100, 200, 10000, 5000, "\xC4-1", true)};
    p.infos = {Ordered("\xC4-1", 5000, 10000)};
    p.offcuts = {ResultOffcut{0, 18500, 32100, 4000}};
    ResultPattern second = Pattern(3, 60000, 32100);
    plan.patterns = {p, second};
    StoreResult(MaterialKey("FL", "4MM", ""), 0, FormatResult(plan));
    StoreResult(MaterialKey("FL", "6MM", ""), 1, "");
    const std::string json = PlanJson(job, ReadStoredResults(*settings, job, jobPath));
    EXPECT_TRUE(IsValidUtf8(json));
    EXPECT_NE(json.find("\"name\": \"Kitchen \\\"A\\\" \\\\ back\\tslash\\u0001 \xC3\x84rger \xE2\x82\xAC\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"customer\": \"M\xC3\xBCller\""), std::string::npos);
    EXPECT_NE(
        json.find("{\"id\": \"\xC3\x84-1\", \"number\": 0, \"x\": 10.0, \"y\": 20.0, \"width\": 1000.0, "
                  "\"height\": 500.0, \"rotated\": true, \"finished_width\": 1000.0, "
                  "\"finished_height\": 500.0}"),
        std::string::npos)
        << json;
    EXPECT_NE(json.find("\"plate\": {\"width\": 3210.0, \"height\": 2250.0, \"thickness\": 4.00, \"kind\": "
                        "\"offcut\"}"),
              std::string::npos);
    EXPECT_NE(json.find("{\"x\": 0.0, \"y\": 1850.0, \"width\": 3210.0, \"height\": 400.0}"),
              std::string::npos);
    EXPECT_NE(json.find("\"pattern\": 2,\n          \"plates\": 3,\n          \"first_plate\": 3,"),
              std::string::npos)
        << "the second pattern's plates follow the first one's two";
    EXPECT_NE(json.find("\"complete\": false"), std::string::npos) << "FL 6MM has no stored result";
    const size_t missing = json.find("\"status\": \"missing\"");
    ASSERT_NE(missing, std::string::npos);
    EXPECT_NE(json.find("JOB.R02", missing), std::string::npos) << "the missing file is named";
    EXPECT_NE(json.find("\"patterns\": []", missing), std::string::npos);
}

TEST(PlanExport, JsonStringsEscapeEveryControlCharacterAndKeepUtf8) {
    EXPECT_EQ(JsonString(""), "\"\"");
    EXPECT_EQ(JsonString("a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
    EXPECT_EQ(JsonString("\n\r\t\x1f\x7f"), "\"\\n\\r\\t\\u001f\\u007f\"");
    EXPECT_EQ(JsonString(std::string("nul\0x", 5)), "\"nul\\u0000x\"");
    EXPECT_EQ(JsonString("\xC3\xA9t\xC3\xA9"), "\"\xC3\xA9t\xC3\xA9\"") << "UTF-8 stays as it is";
    EXPECT_EQ(JsonString("\xE9t\xE9"), "\"\xC3\xA9t\xC3\xA9\"") << "Windows-1252 becomes UTF-8";
    EXPECT_EQ(JsonString("\x81"), "\"\xEF\xBF\xBD\"") << "a byte the code page leaves out";
}
