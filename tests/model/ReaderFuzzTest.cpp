#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "materials/MaterialsFile.h"
#include "model/Job.h"
#include "model/JobFile.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "model/UnitsForTests.h"
#include "plates/PlatesFile.h"

namespace {

const char* const kJob =
    "FILE_VERSION=3\n\"Job\"\n\"Customer\"\n\"Order\"\n\"3000.000;2000.000;1;0;1\"\n3\n"
    "\"FL\";\"4MM\";\"\";2;1000.000;500.000;\"A\";\"t1\";\"t2\";\"t3\"\n"
    "\"FL\";\"4MM\";\"SAT\";1;1200.500;800.000;\"B\";\"\";\"\";\"\"\n"
    "\"LAM\";\"33.1\";\"\";4;900.000;700.000;\"C\";\"\";\"\";\"\"\n"
    "2\n\"FL\";\"4MM\";\"\"\n\"LAM\";\"33.1\";\"\"\n";
const char* const kMaterials =
    "FILE_VERSION=2\n"
    "\"FL\";\"4MM\";\"Float\";\"\";4.000;10.000;1.000;2.000;3.000;4.000;5.000;6.000;7.000;1;0.000;"
    "0.000\n0\n"
    "\"LAM\";\"33.1\";\"Laminate\";\"\";6.380;15.000;0.000;0.000;0.000;0.000;0.000;0.000;0.000;1;"
    "3000.000;2000.000\n2\n\"FL\";\"3MM\";\"\"\n\"FL\";\"3MM\";\"\"\n";
const char* const kPlates =
    "FILE_VERSION=2\n"
    "\"FL\";\"4MM\";\"\";10;3210.000;2250.000;1;0.000;0;0;0.000000\n"
    "\"FL\";\"4MM\";\"\";99999;6000.000;3210.000;0;0.000;2;2;1.500000\n"
    "\"FL\";\"4MM\";\"SAT\";2;1200.000;800.000;5;10.000;1;1;0.000000\n";

std::string Mutate(std::string text, std::mt19937& rng)
{
    auto pick = [&rng](std::size_t n) {
        return n == 0 ? std::size_t{0} : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    static const std::vector<std::string> pieces = {";", "\"", "\n", "\r", std::string(1, '\0'),
                                                    "=", "-1", "1e308", "-1e308", "nan", "inf",
                                                    "99999999999999999999", "\n\n", "   ",
                                                    std::string(400, 'x'), "2147483647"};
    for (std::size_t edits = 1 + pick(4); edits > 0; --edits) {
        const std::size_t at = pick(text.size() + 1);
        switch (pick(5)) {
        case 0: if (at < text.size()) text[at] = static_cast<char>(pick(256)); break;
        case 1: text.insert(at, pieces[pick(pieces.size())]); break;
        case 2: text.erase(at, pick(20)); break;
        case 3: text.resize(at); break;
        default: {
            const std::size_t from = pick(text.size() + 1);
            text.insert(at, text.substr(from, pick(80)));
        }
        }
    }
    return text;
}

// What a reader made of one input: refused it, or read it and wrote, read and wrote it again.
enum Outcome { Broken, Refused, Stable };

// Every input: the reader must survive it, and whatever it made of it must write, read and
// write again to the same text. Most mutated files must still be read, or the test would only
// be exercising the version check.
void Exercise(const std::string& valid, const std::function<Outcome(const std::string&)>& cycle)
{
    std::mt19937 rng(12345);
    int read = 0;
    for (int i = 0; i < 700; ++i) {
        const std::string input = i % 3 == 0 ? RandomBytes(rng, 600)
                                  : i % 3 == 1 ? "FILE_VERSION=2\n" + RandomBytes(rng, 600)
                                               : Mutate(valid, rng);
        const Outcome outcome = cycle(input);
        ASSERT_NE(outcome, Broken) << "input " << i;
        read += outcome == Stable;
    }
    EXPECT_GT(read, 350);
}

}  // namespace

TEST(ReaderFuzz, JobFile)
{
    UnitsForTests units;
    Exercise(kJob, [](const std::string& input) -> Outcome {
        Job job;
        if (!JobFile::read(input, job)) return Refused;
        job.pieces.assignPieceIds();
        const std::string written = JobFile::write(job);
        Job back;
        return JobFile::read(written, back) && JobFile::write(back) == written ? Stable : Broken;
    });
}

TEST(ReaderFuzz, MaterialsFile)
{
    UnitsForTests units;
    Exercise(kMaterials, [](const std::string& input) -> Outcome {
        MaterialList list;
        if (!MaterialsFile::read(input, list)) return list.empty() ? Refused : Broken;
        const std::string written = MaterialsFile::write(list);
        MaterialList back;
        return MaterialsFile::read(written, back) && MaterialsFile::write(back) == written ? Stable : Broken;
    });
}

TEST(ReaderFuzz, PlatesFile)
{
    UnitsForTests units;
    Exercise(kPlates, [](const std::string& input) -> Outcome {
        PlateList list;
        if (!PlatesFile::read(input, list)) return list.empty() ? Refused : Broken;
        const std::string written = PlatesFile::write(list);
        PlateList back;
        return PlatesFile::read(written, back) && PlatesFile::write(back) == written ? Stable : Broken;
    });
}

TEST(ReaderFuzz, InchesNeverCrash)
{
    UnitsForTests units(UnitsForTests::Inches);
    std::mt19937 rng(99);
    for (int i = 0; i < 300; ++i) {
        Job job;
        JobFile::read(Mutate(kJob, rng), job);
        MaterialList materials;
        MaterialsFile::read(Mutate(kMaterials, rng), materials);
        PlateList plates;
        PlatesFile::read(Mutate(kPlates, rng), plates);
        JobFile::write(job);
        MaterialsFile::write(materials);
        PlatesFile::write(plates);
    }
}
