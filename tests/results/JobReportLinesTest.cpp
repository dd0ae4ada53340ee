// The report lines the optimised material list shows, and the box after a print: figures in
// the installation's unit with its labels, materials without figures named with their reason,
// and a print that went wrong never told as done.

#include <gtest/gtest.h>

#include "results/JobReportLines.h"
#include "results/JobResultsFixture.h"
#include "results/PrintOutcome.h"
#include "support/TestUnits.h"

using namespace tavrel;

namespace {

// Two plates 3210 x 2250 with two 1000 x 500 panes each and a 1000 x 800 offcut kept, and an
// offcut of the stock 1250 x 830 cut again for a turned 1180 x 760 pane.
ResultPlan KitchenPlan() {
    ResultPlan plan;
    ResultPattern a = Pattern(2, 32100, 22500);
    a.pieces = {Placed(0, 0, 10000, 5000, "W1"), Placed(0, 5000, 10000, 5000, "W2")};
    a.offcuts = {ResultOffcut{20000, 0, 10000, 8000}};
    ResultPattern b = Pattern(1, 12500, 8300, true);
    b.pieces = {Placed(0, 0, 11800, 7600, "K1", true)};
    plan.patterns = {a, b};
    return plan;
}

std::vector<ReportLine> Children(const std::vector<ReportLine>& lines, const std::string& heading) {
    std::vector<ReportLine> found;
    bool in = false;
    for (const ReportLine& l : lines) {
        if (l.level == 0)
            in = l.label == heading;
        else if (in)
            found.push_back(l);
    }
    return found;
}

std::string Value(const std::vector<ReportLine>& lines, const std::string& label) {
    for (const ReportLine& l : lines)
        if (l.label == label) return l.value;
    ADD_FAILURE() << "no line " << label;
    return {};
}

}  // namespace

TEST_F(JobResultsTest, ReportLinesGiveEveryFigureInTheUnitAndNameAMaterialWithoutFigures) {
    // The job lists the missing material first; the report keeps the job's order.
    StoreResult(MaterialKey("FL", "6MM", ""), 0, "");
    StoreResult(MaterialKey("FL", "4MM", ""), 1, FormatResult(KitchenPlan()));
    const JobReport report = BuildJobReport(job, ReadStoredResults(*settings, job, jobPath));

    const std::vector<ReportLine> mm = JobReportLines(report, Millimetres());
    std::vector<std::string> headings;
    for (const ReportLine& l : mm)
        if (l.level == 0) headings.push_back(l.label);
    EXPECT_EQ(headings, (std::vector<std::string>{"FL, 6MM", "FL, 4MM", "00148"}));

    // Piece area 2 x 2 x 0.5 + 0.8968 mq; plates 2 x 7.2225 + 1.0375 mq; offcuts 2 x 0.8 mq.
    const std::vector<ReportLine> four = Children(mm, "FL, 4MM");
    ASSERT_GE(four.size(), 2u);
    EXPECT_EQ(four[0].label, "00450 3210.0 x 2250.0 mm") << "stock plates come before the offcuts";
    EXPECT_EQ(four[0].value, "2");
    EXPECT_EQ(four[1].label, "00451 1250.0 x 830.0 mm");
    EXPECT_EQ(four[1].value, "1");
    EXPECT_EQ(Value(four, "00062"), "5");
    EXPECT_EQ(Value(four, "00452"), "2.90 mq");
    EXPECT_EQ(Value(four, "00453"), "15.48 mq");
    EXPECT_EQ(Value(four, "00454"), "18.71 %");
    EXPECT_EQ(Value(four, "00455"), "10.99 mq");
    EXPECT_EQ(Value(four, "00456 1000.0 x 800.0 mm"), "2");
    EXPECT_EQ(Value(four, "00457"), "1");
    for (const ReportLine& l : four) EXPECT_FALSE(l.problem) << l.label;

    // The missing one says so in its heading and names the file it looked for.
    for (const ReportLine& l : mm) {
        if (l.label == "FL, 6MM") {
            EXPECT_TRUE(l.level == 0 && l.problem && l.value == "00458");
        }
    }
    const std::vector<ReportLine> six = Children(mm, "FL, 6MM");
    ASSERT_EQ(six.size(), 2u);
    EXPECT_EQ(six[0].label, "00370");
    EXPECT_NE(six[1].label.find("JOB.R01"), std::string::npos) << six[1].label;
    EXPECT_TRUE(six[0].problem && six[1].problem);

    // The totals are those of the read material, and say one material is left out.
    const std::vector<ReportLine> total = Children(mm, "00148");
    EXPECT_EQ(Value(total, "00128"), "3");
    EXPECT_EQ(Value(total, "00452"), "2.90 mq");
    EXPECT_EQ(Value(total, "00456"), "2");
    EXPECT_EQ(Value(total, "00373"), "1");

    // An inch station with three decimals: sizes in inches, areas in square feet.
    const std::vector<ReportLine> in = Children(JobReportLines(report, Inches(3)), "FL, 4MM");
    EXPECT_EQ(in.at(0).label, "00450 126.378 x 88.583 in");
    EXPECT_EQ(Value(in, "00453"), "166.65 sqft");
    EXPECT_EQ(Value(in, "00454"), "18.71 %");
    // No decimals: the sizes round, the areas keep two.
    const std::vector<ReportLine> whole = Children(JobReportLines(report, Millimetres(0)), "FL, 4MM");
    EXPECT_EQ(whole.at(1).label, "00451 1250 x 830 mm");
    EXPECT_EQ(Value(whole, "00452"), "2.90 mq");
}

TEST_F(JobResultsTest, ReportLinesOfAJobWithoutAnyReadableResultShowNoYieldOutOfNothing) {
    StoreResult(MaterialKey("FL", "4MM", ""), 0, "this is not a result file\r\n");
    const JobReport report = BuildJobReport(job, ReadStoredResults(*settings, job, jobPath));
    const std::vector<ReportLine> lines = JobReportLines(report, Millimetres());
    const std::vector<ReportLine> four = Children(lines, "FL, 4MM");
    ASSERT_FALSE(four.empty());
    EXPECT_EQ(four[0].label, "00371");
    const std::vector<ReportLine> total = Children(lines, "00148");
    EXPECT_EQ(Value(total, "00128"), "0");
    EXPECT_EQ(Value(total, "00454"), "0.00 %");
    EXPECT_EQ(Value(total, "00455"), "0.00 mq");
    EXPECT_EQ(Value(total, "00373"), "1");
    EXPECT_TRUE(lines.back().problem);
}

TEST_F(JobResultsTest, PrintOutcomeNamesWhatIsMissingAndNeverTellsAFailureAsDone) {
    StoreResult(MaterialKey("FL", "4MM", ""), 0, FormatResult(KitchenPlan()));
    StoreResult(MaterialKey("FL", "6MM", "SATIN"), 1, "");
    const std::vector<StoredMaterialResult> results = ReadStoredResults(*settings, job, jobPath);
    const std::vector<StoredMaterialResult> allRead(results.begin(), results.begin() + 1);

    PrintOutcome done;
    done.path = "/shop/out/JOB-labels.pdf";
    done.written = true;
    done.pages = 3;
    const PrintMessage clean = PrintOutcomeMessage(done, allRead);
    EXPECT_EQ(clean.text, "00461 3\n/shop/out/JOB-labels.pdf");
    EXPECT_EQ(clean.icon, PromptIcon::Information);

    // Written, but a material is not in it and two barcodes may not scan: a warning naming them.
    PrintOutcome partial = done;
    partial.narrowBarcode = {"W1", "K1"};
    const PrintMessage warned = PrintOutcomeMessage(partial, results);
    EXPECT_EQ(warned.icon, PromptIcon::Exclamation);
    EXPECT_EQ(warned.text.rfind(
                  "00461 3\n/shop/out/JOB-labels.pdf\n\n00466\nW1, K1\n\n00462\nFL, 6MM, SATIN: 00370\n", 0),
              0u)
        << warned.text;
    EXPECT_NE(warned.text.find("JOB.R02"), std::string::npos);
    PrintOutcome noBars = done;
    noBars.noBarcode = {"W2"};
    EXPECT_EQ(PrintOutcomeMessage(noBars, allRead).icon, PromptIcon::Exclamation);
    EXPECT_NE(PrintOutcomeMessage(noBars, allRead).text.find("00465\nW2"), std::string::npos);

    // Not written: the writer's reason, or the file named when the writer gave only its path.
    PrintOutcome failed;
    failed.path = "/shop/gone/JOB-labels.pdf";
    failed.error = failed.path;
    const PrintMessage bare = PrintOutcomeMessage(failed, allRead);
    EXPECT_EQ(bare.text, "00271\n\n/shop/gone/JOB-labels.pdf");
    EXPECT_EQ(bare.icon, PromptIcon::Exclamation);
    failed.error = "00271\n\n/shop/gone/JOB-labels.pdf\n\n00273";
    EXPECT_EQ(PrintOutcomeMessage(failed, results).text, failed.error);

    // Nothing to print: said before any file is asked for, with the materials left out.
    const PrintMessage none = NoLabelsMessage(false, 0, results);
    EXPECT_EQ(none.text.rfind("00463\n\n00462\nFL, 6MM, SATIN: 00370", 0), 0u) << none.text;
    EXPECT_EQ(NoLabelsMessage(true, 250000, allRead).text, "00464 250000");
    EXPECT_EQ(NoLabelsMessage(true, 250000, allRead).icon, PromptIcon::Exclamation);
    EXPECT_TRUE(AnyResultRead(results));
    const std::vector<StoredMaterialResult> noneRead(results.begin() + 1, results.end());
    EXPECT_FALSE(AnyResultRead(noneRead));
    EXPECT_EQ(NoSheetsMessage(noneRead).text.rfind("00468\n\n00462\nFL, 6MM, SATIN: 00370", 0), 0u);
}
