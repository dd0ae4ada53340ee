#pragma once
// One typed suite run over every file format of the program (Materials.dat, Plates.dat, job
// files): random models written and read back in both units and every decimal setting, a save
// that fails half way, and random or damaged bytes. No installation is needed: the units are
// built in memory and the files go to a temporary folder.
//
// A format test file provides a traits type and instantiates the suite:
//
//   struct PlatesFormat {
//       using Model = PlateList;
//       static Model Random(std::mt19937& rng, const FormatValues& values);
//       static std::string Write(const Model& model, const CurrentUnit& unit);
//       static bool Read(const std::string& text, Model& model, const CurrentUnit& unit);
//       static bool Save(const std::string& path, Model& model, const CurrentUnit& unit);
//       static bool Equal(const Model& a, const Model& b);
//       static int Size(const Model& model);
//       static const char* Sample();  // a valid file of a few records
//       static void SetFirstLength(Model& model, double value);  // a length of the first record
//       static constexpr int kFirstLengthLine = 1;   // where the writer puts that length:
//       static constexpr int kFirstLengthField = 4;  // line and field, counted from 0
//   };
//   INSTANTIATE_TYPED_TEST_SUITE_P(Plates, FormatSuite, PlatesFormat);

#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "model/RecordText.h"
#include "settings/Units.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

using namespace tavrel;

// What the random models of one round hold: lengths on the grid of the unit's decimals (so a
// round trip can give back exactly what was written), up to `maxLength` millimetres, the largest
// a workshop's fields hold.
struct FormatValues {
    CurrentUnit unit;
    double maxLength = 9999999.0;
    int weightDecimals = 2;  // weights and areas are shown and typed with two decimals

    // A length from 0 to maxLength that the unit shows exactly. In inches with more decimals
    // than the unit's standard, a length read back passes through whole tenths of a millimetre,
    // so only whole half inches come back unchanged.
    double Length(std::mt19937& rng) const {
        const bool viaTenths = unit.linearFactor != 1.0 && unit.decimals > unit.stdDecimals;
        const double step = viaTenths ? 0.5 : std::pow(10.0, -unit.decimals);
        return Grid(rng, step, maxLength / unit.linearFactor);
    }
    double Weight(std::mt19937& rng) const { return Grid(rng, std::pow(10.0, -weightDecimals), 9999.0); }

    static double Grid(std::mt19937& rng, double step, double max) {
        const long long steps = static_cast<long long>(max / step);
        const long long k = std::uniform_int_distribution<long long>(0, steps)(rng);
        // Printed and read back, so the value is the double a reader makes of that text.
        return std::strtod(std::to_string(static_cast<double>(k) * step).c_str(), nullptr);
    }
};

// Small random edits of a valid file: bytes changed, pieces that readers trip over inserted,
// spans cut or repeated, the file truncated.
inline std::string MutateFile(std::string text, std::mt19937& rng) {
    auto pick = [&rng](std::size_t n) {
        return n == 0 ? std::size_t{0} : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    static const std::vector<std::string> pieces = {";",
                                                    "\"",
                                                    "\n",
                                                    "\r",
                                                    std::string(1, '\0'),
                                                    "=",
                                                    "-1",
                                                    "1e308",
                                                    "-1e308",
                                                    "nan",
                                                    "inf",
                                                    "99999999999999999999",
                                                    "\n\n",
                                                    "   ",
                                                    std::string(400, 'x'),
                                                    "2147483647"};
    for (std::size_t edits = 1 + pick(4); edits > 0; --edits) {
        const std::size_t at = pick(text.size() + 1);
        switch (pick(5)) {
            case 0:
                if (at < text.size()) text[at] = static_cast<char>(pick(256));
                break;
            case 1:
                text.insert(at, pieces[pick(pieces.size())]);
                break;
            case 2:
                text.erase(at, pick(20));
                break;
            case 3:
                text.resize(at);
                break;
            default: {
                const std::size_t from = pick(text.size() + 1);
                text.insert(at, text.substr(from, pick(80)));
            }
        }
    }
    return text;
}

// The traits a catalogue list and its file class give alike; a format adds Random and Sample.
template <typename List, typename File>
struct ListFormat {
    using Model = List;
    static std::string Write(const List& list, const CurrentUnit& unit) { return File::write(list, unit); }
    static bool Read(const std::string& text, List& list, const CurrentUnit& unit) {
        return File::read(text, list, unit);
    }
    static bool Save(const std::string& path, List& list, const CurrentUnit& unit) {
        return list.save(path, unit);
    }
    static bool Equal(const List& a, const List& b) { return a == b; }
    static int Size(const List& list) { return list.count(); }
};

template <typename Format>
class FormatSuite : public ::testing::Test {
protected:
    using Model = typename Format::Model;

    static std::vector<CurrentUnit> EveryUnit() {
        std::vector<CurrentUnit> units;
        for (int d = kMinDecimals; d <= kMaxDecimals; ++d) {
            units.push_back(Millimetres(d));
            units.push_back(Inches(d));
        }
        return units;
    }
    static std::string Describe(const CurrentUnit& unit) {
        return std::string(unit.linearFactor == 1.0 ? "millimetres" : "inches") + ", " +
               std::to_string(unit.decimals) + " decimals";
    }

    TempDir dir;
};

TYPED_TEST_SUITE_P(FormatSuite);

// A model written and read back is the model that was written, and writing it again gives the
// same bytes.
TYPED_TEST_P(FormatSuite, RoundTripInEveryUnitAndDecimalSetting) {
    using Format = TypeParam;
    std::mt19937 rng(20261208);
    for (const CurrentUnit& unit : this->EveryUnit()) {
        FormatValues values;
        values.unit = unit;
        for (int round = 0; round < 12; ++round) {
            const typename Format::Model model = Format::Random(rng, values);
            const std::string written = Format::Write(model, unit);
            typename Format::Model back;
            ASSERT_TRUE(Format::Read(written, back, unit)) << this->Describe(unit);
            EXPECT_TRUE(Format::Equal(back, model)) << this->Describe(unit) << "\n" << written;
            EXPECT_EQ(Format::Write(back, unit), written) << this->Describe(unit);
        }
    }
}

// A save that fails half way leaves the old file as it was and no temporary file behind; a
// save into a folder that does not exist fails.
TYPED_TEST_P(FormatSuite, AFailedSaveLeavesTheOldFile) {
    using Format = TypeParam;
    std::mt19937 rng(7);
    const CurrentUnit unit = Millimetres();
    const std::string path = this->dir / "catalogue.dat";
    typename Format::Model model;
    ASSERT_TRUE(Format::Read(Format::Sample(), model, unit));
    ASSERT_TRUE(Format::Save(path, model, unit));
    const std::string before = ReadText(path);

    FormatValues values;
    values.unit = unit;
    typename Format::Model larger;
    while (Format::Size(larger) < 20) larger = Format::Random(rng, values);
    SetWriteFailureAfterBytes(static_cast<long long>(Format::Write(larger, unit).size() / 2));
    EXPECT_FALSE(Format::Save(path, larger, unit));
    SetWriteFailureAfterBytes(-1);
    EXPECT_EQ(ReadText(path), before);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(this->dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1) << "no temporary file is left behind";
    EXPECT_FALSE(Format::Save(this->dir / "no-such-folder/x.dat", model, unit));
}

// Random bytes, random records after a version line and damaged copies of a valid file: the
// reader survives each, and whatever it made of one writes, reads and writes again to the same
// text. Most damaged files must still be read, or only the version check would be exercised.
TYPED_TEST_P(FormatSuite, RandomBytesReadIntoAStableModel) {
    using Format = TypeParam;
    for (const CurrentUnit& unit : {Millimetres(), Inches(), Inches(3), Millimetres(0)}) {
        std::mt19937 rng(12345);
        int stable = 0;
        for (int i = 0; i < 400; ++i) {
            const std::string input = i % 3 == 0   ? RandomBytes(rng, 600)
                                      : i % 3 == 1 ? "FILE_VERSION=2\n" + RandomBytes(rng, 600)
                                                   : MutateFile(Format::Sample(), rng);
            typename Format::Model model;
            if (!Format::Read(input, model, unit)) {
                EXPECT_EQ(Format::Size(model), 0) << "a refused file gives an empty model";
                continue;
            }
            const std::string written = Format::Write(model, unit);
            typename Format::Model back;
            ASSERT_TRUE(Format::Read(written, back, unit)) << "input " << i;
            ASSERT_EQ(Format::Write(back, unit), written) << "input " << i << ", " << this->Describe(unit);
            ++stable;
        }
        EXPECT_GT(stable, 200) << this->Describe(unit);
    }
}

// A file as a station in millimetres with three decimals writes it: random lengths from 0.001
// to 9 999 999 mm, weights and areas with two decimals.
template <typename Format>
std::string StoredFile(std::mt19937& rng) {
    FormatValues values;
    values.unit = Millimetres(3);
    typename Format::Model model;
    while (Format::Size(model) == 0) model = Format::Random(rng, values);
    return Format::Write(model, values.unit);
}

// The text with field `field` of line `line` replaced.
inline std::string WithField(const std::string& text, int line, int field, const std::string& value) {
    std::size_t start = 0;
    for (int i = 0; i < line; ++i) start = text.find('\n', start) + 1;
    const std::size_t lineEnd = text.find('\n', start);
    std::size_t from = start;
    for (int i = 0; i < field; ++i) from = text.find(';', from) + 1;
    std::size_t to = text.find(';', from);
    if (to == std::string::npos || to > lineEnd) to = lineEnd;
    return text.substr(0, from) + value + text.substr(to);
}

// Whoever reads a file and saves it without changing a value writes back what it read, byte for
// byte, in either unit and with any decimals: a station in inches must not move the millimetres
// a station in millimetres stored, nor one with fewer decimals cut them.
TYPED_TEST_P(FormatSuite, AnUnchangedFileIsWrittenBackByteForByte) {
    using Format = TypeParam;
    std::mt19937 rng(31);
    for (int round = 0; round < 6; ++round) {
        const std::string file = StoredFile<Format>(rng);
        for (const CurrentUnit& unit : this->EveryUnit()) {
            typename Format::Model model;
            ASSERT_TRUE(Format::Read(file, model, unit));
            EXPECT_EQ(Format::Write(model, unit), file) << this->Describe(unit);
        }
    }
}

// A value the user types is stored as the conversion rules say (truncated to the unit's decimals,
// then converted to millimetres); every other value of the file stays as it was.
TYPED_TEST_P(FormatSuite, AChangedValueIsStoredAsConverted) {
    using Format = TypeParam;
    std::mt19937 rng(32);
    std::uniform_int_distribution<long long> thousandths(1, 9999999999LL);
    for (const CurrentUnit& unit : this->EveryUnit()) {
        const std::string file = StoredFile<Format>(rng);
        typename Format::Model model;
        ASSERT_TRUE(Format::Read(file, model, unit));
        const double typed = static_cast<double>(thousandths(rng)) / 1000.0 / unit.linearFactor;
        Format::SetFirstLength(model, typed);
        const std::string expected = WithField(file, Format::kFirstLengthLine, Format::kFirstLengthField,
                                               FixedText(ToSystemLength(unit, typed), 3));
        EXPECT_EQ(Format::Write(model, unit), expected) << this->Describe(unit) << ", typed " << typed;
    }
}

REGISTER_TYPED_TEST_SUITE_P(FormatSuite, RoundTripInEveryUnitAndDecimalSetting, AFailedSaveLeavesTheOldFile,
                            RandomBytesReadIntoAStableModel, AnUnchangedFileIsWrittenBackByteForByte,
                            AChangedValueIsStoredAsConverted);
