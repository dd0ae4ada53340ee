// The shipped catalogues against the program and against each other: every message ID the code
// uses is in every catalogue, the translations hold the same IDs as the English catalogue with
// the same placeholders and line breaks, and they keep the rules the code relies on. A failure
// lists the IDs, so a translation that fell behind the English catalogue says what it lacks.

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "settings/AppSettings.h"
#include "settings/Languages.h"
#include "suite/KLanguage.h"
#include "support/TempDir.h"

using namespace tavrel;

namespace fs = std::filesystem;

namespace {

std::string Shipped(const Language& language) {
    return std::string(TAVREL_SOURCE_DIR) + "/resources/Msg/" + language.catalogue;
}

// The catalogue file as written: IDs in file order (duplicates kept) and the raw texts.
struct RawCatalogue {
    std::vector<std::string> order;
    std::map<std::string, std::string> texts;
    std::string bytes;
};

RawCatalogue ReadRaw(const std::string& path) {
    RawCatalogue raw;
    raw.bytes = ReadText(path);
    std::istringstream in(raw.bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const auto eq = line.find('=');
        const std::string id = line.substr(0, eq);
        raw.order.push_back(id);
        if (eq != std::string::npos) raw.texts.emplace(id, line.substr(eq + 1));
    }
    return raw;
}

std::string List(const std::set<std::string>& ids) {
    std::string text;
    for (const auto& id : ids) text += (text.empty() ? "" : ", ") + id;
    return text;
}

// Every message ID the program's sources name: five digits in quotes (Msg("00123"), a caption
// "00073", a control text QStringLiteral("00008"), a table of IDs), and the month names, which the
// date text builds from the month number.
std::set<std::string> IdsInTheCode() {
    std::set<std::string> ids;
    const std::regex quoted("\"(\\d{5})\"");
    for (const char* top : {"src", "tools", "engine", "jobreader"}) {
        const fs::path root = fs::path(TAVREL_SOURCE_DIR) / top;
        if (!fs::exists(root)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const auto ext = entry.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            const std::string text = ReadText(entry.path().string());
            for (std::sregex_iterator it(text.begin(), text.end(), quoted), end; it != end; ++it)
                ids.insert((*it)[1]);
        }
    }
    for (int month = 1; month <= 12; ++month) ids.insert(Format("%05d", month + 231));
    return ids;
}

// What a text must keep in a translation, in order: printf conversions (none today, but a text
// that is ever used as a format must not lose or reorder one) and the "\n" line breaks.
std::vector<std::string> ControlSequences(const std::string& text) {
    static const std::regex control(R"(%[-+ #0]*\d*(?:\.\d+)?(?:ll|l|h)?[a-zA-Z%]|\\n|\\\\)");
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), control), end; it != end; ++it)
        found.push_back(it->str());
    return found;
}

}  // namespace

TEST(Languages, StoredCodesAndTheirCatalogues) {
    EXPECT_STREQ(FindLanguage("it").name, "Italiano");
    EXPECT_STREQ(FindLanguage(" IT ").code, "it") << "a hand-edited Tavrel.CFG";
    EXPECT_EQ(&FindLanguage("en"), &EnglishLanguage());
    EXPECT_EQ(&FindLanguage(""), &EnglishLanguage());
    EXPECT_EQ(&FindLanguage("de"), &EnglishLanguage()) << "unknown codes read as English";
    EXPECT_EQ(&FindLanguage("italiano"), &EnglishLanguage()) << "the code, not the name, is stored";

    TempDir dir;
    AppSettings settings(dir.path());
    EXPECT_EQ(CataloguePath(settings), dir / "Msg/Tavrel.msg") << "English until chosen otherwise";
    settings.language = "it";
    EXPECT_EQ(CataloguePath(settings), dir / "Msg/Tavrel.it.msg");
    EXPECT_EQ(CataloguePath(settings, EnglishLanguage()), dir / "Msg/Tavrel.msg");
    std::set<std::string> files;
    for (const Language& language : Languages()) files.insert(language.catalogue);
    EXPECT_EQ(files.size(), Languages().size()) << "each language has a catalogue of its own";
}

TEST(Languages, EveryCatalogueHoldsEveryIdTheProgramUses) {
    const std::set<std::string> used = IdsInTheCode();
    ASSERT_GT(used.size(), 200u);
    for (const Language& language : Languages()) {
        KLanguage catalogue(Shipped(language));
        ASSERT_GT(catalogue.LoadStrings(), 0) << Shipped(language);
        std::set<std::string> missing;
        for (const auto& id : used)
            if (!catalogue.Has(id) || Trim(catalogue.Message(id)).empty()) missing.insert(id);
        EXPECT_TRUE(missing.empty()) << language.catalogue << " lacks " << missing.size()
                                     << " IDs the program uses: " << List(missing);
        EXPECT_EQ(catalogue.Message("00000"), language.name)
            << "message 00000 names the language, as the settings window and the suite do";
    }
}

TEST(Languages, TranslationsHoldTheEnglishIdsWithTheSamePlaceholders) {
    const RawCatalogue english = ReadRaw(Shipped(EnglishLanguage()));
    for (const Language& language : Languages()) {
        const RawCatalogue raw = ReadRaw(Shipped(language));
        SCOPED_TRACE(language.catalogue);
        // Written the way the reader and every editor take it: UTF-8 without a byte order mark.
        EXPECT_TRUE(IsValidUtf8(raw.bytes));
        EXPECT_NE(raw.bytes.compare(0, 3, "\xEF\xBB\xBF"), 0);
        std::string previous;
        std::set<std::string> badOrder;
        for (const auto& id : raw.order) {
            if (!KLanguage::IsMessageId(id) || id <= previous) badOrder.insert(id);
            previous = std::max(previous, id);
        }
        EXPECT_TRUE(badOrder.empty()) << "IDs out of order, repeated or malformed: " << List(badOrder);

        std::set<std::string> lacking, extra, changed;
        for (const auto& [id, text] : english.texts) {
            const auto it = raw.texts.find(id);
            if (it == raw.texts.end())
                lacking.insert(id);
            else if (ControlSequences(it->second) != ControlSequences(text))
                changed.insert(id);
        }
        for (const auto& [id, text] : raw.texts)
            if (!english.texts.count(id)) extra.insert(id);
        EXPECT_TRUE(lacking.empty()) << "to translate from Tavrel.msg: " << List(lacking);
        EXPECT_TRUE(extra.empty()) << "not in Tavrel.msg: " << List(extra);
        EXPECT_TRUE(changed.empty()) << "placeholders or line breaks differ from Tavrel.msg: "
                                     << List(changed);
    }
}

TEST(Languages, TranslationsAreTranslated) {
    // Texts that read the same in both languages; any other text equal to the English one is an
    // English text copied in and not yet translated.
    const std::set<std::string> same = {"00008", "00073", "00131", "00156",
                                        "00191", "00245", "00252", "00263"};
    const RawCatalogue english = ReadRaw(Shipped(EnglishLanguage()));
    for (const Language& language : Languages()) {
        if (&language == &EnglishLanguage()) continue;
        const RawCatalogue raw = ReadRaw(Shipped(language));
        std::set<std::string> untranslated;
        for (const auto& [id, text] : raw.texts) {
            const auto it = english.texts.find(id);
            if (it != english.texts.end() && it->second == text && !same.count(id)) untranslated.insert(id);
        }
        EXPECT_TRUE(untranslated.empty())
            << language.catalogue << " still in English: " << List(untranslated);
    }
}

TEST(Languages, EveryCatalogueKeepsTheRulesTheCodeReliesOn) {
    for (const Language& language : Languages()) {
        SCOPED_TRACE(language.catalogue);
        const RawCatalogue raw = ReadRaw(Shipped(language));
        std::set<std::string> forbidden, blanks;
        for (const auto& [id, text] : raw.texts) {
            // Texts go into formatted strings and into the import templates' separated values.
            if (text.find_first_of("%|;") != std::string::npos) forbidden.insert(id);
            // The program adds its own spacing, brackets and colons around them.
            if (text.empty() || text != Trim(text)) blanks.insert(id);
        }
        EXPECT_TRUE(forbidden.empty()) << "'%', '|' or ';' in: " << List(forbidden);
        EXPECT_TRUE(blanks.empty()) << "empty, or blanks at either end: " << List(blanks);

        KLanguage catalogue(Shipped(language));
        catalogue.LoadStrings();
        // Offered as comma-separated choices.
        for (const char* id : {"00131", "00069", "00132", "00110", "00111", "00112"})
            EXPECT_EQ(catalogue.Message(id).find(','), std::string::npos) << id;
        // Compared with what the user picked, so they must tell apart.
        const std::set<std::string> picked = {catalogue.Message("00110"), catalogue.Message("00111"),
                                              catalogue.Message("00112"), catalogue.Message("00133")};
        EXPECT_EQ(picked.size(), 4u);
        const std::set<std::string> kinds = {catalogue.Message("00131"), catalogue.Message("00069"),
                                             catalogue.Message("00132")};
        EXPECT_EQ(kinds.size(), 3u);
    }
}
