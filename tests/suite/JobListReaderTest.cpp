#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ReaderInstallation.h"

using namespace tavrel;

namespace {

using Record = std::vector<char>;

std::string Text(const Record& r, std::size_t offset, std::size_t size) {
    const void* zero = std::memchr(r.data() + offset, 0, size);
    EXPECT_NE(zero, nullptr) << "a text field without its terminating zero at " << offset;
    return std::string(r.data() + offset);
}

std::int32_t Int(const Record& r, std::size_t offset) {
    std::int32_t v = 0;
    std::memcpy(&v, r.data() + offset, sizeof v);
    return v;
}

struct ItemValues {
    int item;
    std::string serie, code, t1, t2, t3;
    int quantity, width, height;
    bool operator==(const ItemValues&) const = default;
};

ItemValues Values(const Record& r) {
    return {Int(r, ItemRecord::kItemNumber),
            Text(r, ItemRecord::kSerie, ItemRecord::kSerieSize),
            Text(r, ItemRecord::kCode, ItemRecord::kCodeSize),
            Text(r, ItemRecord::kTreatments[0], ItemRecord::kTreatmentSize),
            Text(r, ItemRecord::kTreatments[1], ItemRecord::kTreatmentSize),
            Text(r, ItemRecord::kTreatments[2], ItemRecord::kTreatmentSize),
            Int(r, ItemRecord::kQuantity),
            Int(r, ItemRecord::kWidth),
            Int(r, ItemRecord::kHeight)};
}

// Every record of a walk, taken the way the job-list import takes them: stopping at the 0
// handle, and checking that the record delivered with it describes nothing.
template <typename First, typename Next>
std::vector<Record> Walk(First first, Next next, const char* id, std::size_t size) {
    std::vector<Record> records;
    Record r(size, 0);
    JobListHandle h = first(id, r.data());
    while (h != 0) {
        records.push_back(r);
        h = next(h, r.data());
    }
    EXPECT_EQ(Record(size, 0), r) << "the record that comes with the 0 handle is cleared";
    return records;
}

std::vector<Record> Panels(const JobListCalls& c, const char* id) {
    return Walk(c.getPanFirst, c.getPanNext, id, ItemRecord::kSize);
}
std::vector<Record> Glass(const JobListCalls& c, const char* id) {
    return Walk(c.getGlassFirst, c.getGlassNext, id, ItemRecord::kSize);
}

const char* const kGood =
    "QJL=1\n"
    "JOB=ORD-1\n"
    "DESCRIPTION=Two windows\n"
    "CUSTOMER=Hansen\n"
    "ITEM=1;W1\n"
    "ITEM=2;W2\n"
    "PANEL=1;FL;4MM;SATIN;;EDGE;2;1180;760\n"
    "GLASS=2;LAM;44-2;;;;1;1600;1000\n";

}  // namespace

// What a new-job window lists from the demo installation: both shipped job lists, in name
// order, the Windows-1252 one read into the same UTF-8 as the other, and nothing to complain of.
TEST(JobListReader, ListsTheDemoJobLists) {
    ReaderInstallation install;
    install.addDemoJobLists();
    ASSERT_TRUE(install.load());
    EXPECT_TRUE(install.prompt().shown().empty());
    const std::vector<JobListEntry> lists = ReadJobLists(install.calls());
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0].name, "ORD-24117");
    EXPECT_EQ(lists[0].description, "Winter garden, Hansen & Daughters");
    EXPECT_EQ(lists[1].name, "ORD-24121");
    EXPECT_EQ(lists[1].description,
              "B\xC3\xA4"
              "ckerei M\xC3\xBCller \xE2\x80\x93 shop front");
    EXPECT_TRUE(JobListReaderProblems(install.calls()).empty());
    EXPECT_EQ(JobListRows(lists)[1], "ORD-24121\t" + lists[1].description);
    EXPECT_EQ(install.calls().getJobItemsNumber("ORD-24121"), 4);
    EXPECT_EQ(install.calls().getJobItemsNumber("ORD-2412"), 0) << "only the whole name finds a job list";
    EXPECT_EQ(install.calls().getJobItemsNumber(nullptr), 0);
}

// The fields sit at the byte offsets the program reads, the rest of each record is cleared
// (whatever the caller's buffer held before), and item numbers follow the ITEM lines.
TEST(JobListReader, RecordsHaveTheirLayout) {
    ReaderInstallation install;
    install.write("ord-1.qjl", kGood);
    ASSERT_TRUE(install.load());
    const JobListCalls& c = install.calls();

    Record list(JobListRecord::kSize, '\xAA');
    EXPECT_NE(c.getJobListFirst(list.data()), 0u) << "a handle comes with every record";
    EXPECT_EQ(Text(list, JobListRecord::kName, JobListRecord::kNameSize), "ORD-1");
    EXPECT_EQ(Text(list, JobListRecord::kDescription, JobListRecord::kDescriptionSize), "Two windows");
    EXPECT_EQ(list[JobListRecord::kDescription + 11], 0) << "zeros up to the end of the field";
    EXPECT_EQ(list[JobListRecord::kSize - 1], 0);

    Record info(JobInfoRecord::kSize, '\xAA');
    const JobListHandle h = c.getJobInfoFirst("ORD-1", info.data());
    EXPECT_NE(h, 0u);
    EXPECT_EQ(Int(info, JobInfoRecord::kItemNumber), 1);
    EXPECT_EQ(Text(info, JobInfoRecord::kItemName, JobInfoRecord::kItemNameSize), "W1");
    EXPECT_EQ(Text(info, 0, 21), "ORD-1");
    EXPECT_EQ(Text(info, 316, 256), "Hansen");
    EXPECT_EQ(Int(info, 5204), 0);
    EXPECT_EQ(info[3127], 0);
    EXPECT_EQ(c.getJobInfoNext(h, info.data()) != 0, true);
    EXPECT_EQ(Int(info, JobInfoRecord::kItemNumber), 2);
    EXPECT_EQ(Text(info, JobInfoRecord::kItemName, JobInfoRecord::kItemNameSize), "W2");

    const auto panels = Panels(c, "ORD-1");
    ASSERT_EQ(panels.size(), 1u);
    EXPECT_EQ(Values(panels[0]), (ItemValues{1, "FL", "4MM", "SATIN", "", "EDGE", 2, 1180, 760}));
    for (std::size_t at : {0u, 78u, 109u, 180u, 192u, 196u, 204u, 300u, 335u, 375u})
        EXPECT_EQ(panels[0][at], 0) << at;
    const auto glass = Glass(c, "ORD-1");
    ASSERT_EQ(glass.size(), 1u);
    EXPECT_EQ(Values(glass[0]), (ItemValues{2, "LAM", "44-2", "", "", "", 1, 1600, 1000}));
}

// Handles: walks of every kind can be open at once, a spent or made-up handle gives nothing and
// leaves the caller's record alone, and walks left unfinished neither pile up nor break the
// ones still in use.
TEST(JobListReader, WalksStayApartAndEnd) {
    ReaderInstallation install;
    std::string text = "QJL=1\nJOB=BIG\nITEM=1;A\n";
    for (int k = 1; k <= 5; ++k) text += "PANEL=1;FL;4MM;;;;" + std::to_string(k) + ";100;200\n";
    for (int k = 1; k <= 5; ++k) text += "GLASS=1;FL;6MM;;;;" + std::to_string(k) + ";300;400\n";
    install.write("big.qjl", text);
    install.write("other.qjl", kGood);
    ASSERT_TRUE(install.load());
    const JobListCalls& c = install.calls();

    Record pan(ItemRecord::kSize, 0), glass(ItemRecord::kSize, 0);
    JobListHandle hp = c.getPanFirst("BIG", pan.data());
    JobListHandle hg = c.getGlassFirst("BIG", glass.data());
    std::vector<int> panQuantities, glassQuantities;
    while (hp != 0 || hg != 0) {
        if (hp) panQuantities.push_back(Values(pan).quantity), hp = c.getPanNext(hp, pan.data());
        if (hg) glassQuantities.push_back(Values(glass).quantity), hg = c.getGlassNext(hg, glass.data());
    }
    EXPECT_EQ(panQuantities, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(glassQuantities, (std::vector<int>{1, 2, 3, 4, 5}));

    Record r(ItemRecord::kSize, 0);
    const JobListHandle first = c.getPanFirst("BIG", r.data());
    const JobListHandle second = c.getPanNext(first, r.data());
    ASSERT_NE(second, 0u);
    Record untouched(ItemRecord::kSize, '\x55');
    EXPECT_EQ(c.getPanNext(first, untouched.data()), 0u) << "a handle already used is spent";
    EXPECT_EQ(c.getGlassNext(second, untouched.data()), 0u) << "a panel handle is no glass handle";
    EXPECT_EQ(c.getPanNext(0, untouched.data()), 0u);
    EXPECT_EQ(c.getPanNext(0xDEADBEEF, untouched.data()), 0u);
    EXPECT_EQ(untouched, Record(ItemRecord::kSize, '\x55'));
    EXPECT_EQ(Values(r).quantity, 2);

    // Two hundred abandoned walks later, the newest walk still runs to its end.
    for (int k = 0; k < 200; ++k) c.getGlassFirst("BIG", r.data());
    JobListHandle h = c.getPanFirst("BIG", r.data());
    int seen = 0;
    while (h != 0) ++seen, h = c.getPanNext(h, r.data());
    EXPECT_EQ(seen, 5);

    // A file rewritten during a walk does not change the walk.
    h = c.getPanFirst("BIG", r.data());
    install.write("big.qjl", "QJL=1\nJOB=BIG\nITEM=1;A\nPANEL=1;FL;4MM;;;;9;100;200\n");
    seen = 0;
    while (h != 0) ++seen, h = c.getPanNext(h, r.data());
    EXPECT_EQ(seen, 5);
    EXPECT_EQ(Panels(c, "BIG").size(), 1u);
}

// The encodings and line ends of the stations that write job lists read the same: UTF-8 with
// or without a byte order mark, Windows-1252, LF and CR LF.
TEST(JobListReader, ReadsUtf8AndWindows1252WithEitherLineEnd) {
    const std::string utf8 =
        "QJL=1\nJOB=M\xC3\xBCLLER-7\nDESCRIPTION=Caf\xC3\xA9 \xE2\x82\xAC"
        "5\nITEM=1;T\xC3\xBCr\n"
        "PANEL=1;FL;4MM;;;;1;500;600\n";
    const std::string cp1252 =
        "QJL=1\nJOB=M\xFCLLER-7\nDESCRIPTION=Caf\xE9 \x80"
        "5\nITEM=1;T\xFCr\nPANEL=1;FL;4MM;;;;1;500;600\n";
    auto crlf = [](std::string s) {
        std::string out;
        for (char ch : s) out += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        return out;
    };
    for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + crlf(utf8), cp1252, crlf(cp1252)}) {
        ReaderInstallation install;
        install.write("m.qjl", bytes);
        ASSERT_TRUE(install.load());
        const auto lists = ReadJobLists(install.calls());
        ASSERT_EQ(lists.size(), 1u);
        EXPECT_EQ(lists[0].name, "M\xC3\xBCLLER-7");
        EXPECT_EQ(lists[0].description,
                  "Caf\xC3\xA9 \xE2\x82\xAC"
                  "5");
        Record info(JobInfoRecord::kSize, 0);
        install.calls().getJobInfoFirst(lists[0].name.c_str(), info.data());
        EXPECT_EQ(Text(info, JobInfoRecord::kItemName, JobInfoRecord::kItemNameSize), "T\xC3\xBCr");
        EXPECT_EQ(Panels(install.calls(), lists[0].name.c_str()).size(), 1u);
        EXPECT_TRUE(JobListReaderProblems(install.calls()).empty());
    }
}

// Texts longer than their field are cut at the field, never past it and never inside a
// character; cuts that change a material or an item's name are reported, since the piece
// then differs from what the other program meant.
TEST(JobListReader, CutsLongTextsAtTheField) {
    ReaderInstallation install;
    const std::string umlauts = [] {
        std::string s = "a";
        for (int k = 0; k < 40; ++k) s += "\xC3\xA4";
        return s;
    }();
    install.write("long.qjl", "QJL=1\nJOB=ABCDEFGHIJKLMNOPQRSTUVWXYZ\nDESCRIPTION=" + std::string(400, 'd') +
                                  "\nITEM=1;" + umlauts + "\nPANEL=1;" + umlauts + ";" +
                                  std::string(50, 'C') + ";" + umlauts + ";" + std::string(21, 'T') + ";" +
                                  std::string(20, 'U') + ";1;100;100\n");
    ASSERT_TRUE(install.load());
    const auto lists = ReadJobLists(install.calls());
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].name, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(lists[0].description, std::string(254, 'd'));
    const auto panels = Panels(install.calls(), "ABCDEFGHIJKLMNOPQRST");
    ASSERT_EQ(panels.size(), 1u);
    const ItemValues v = Values(panels[0]);
    EXPECT_EQ(v.serie, umlauts.substr(0, 29)) << "30 bytes would end inside a character";
    EXPECT_EQ(v.code, std::string(30, 'C'));
    EXPECT_EQ(v.t1, umlauts.substr(0, 19));
    EXPECT_EQ(v.t2, std::string(20, 'T'));
    EXPECT_EQ(v.t3, std::string(20, 'U'));
    const auto problems = JobListReaderProblems(install.calls());
    ASSERT_EQ(problems.size(), 5u) << "item name, serie, code, first and second treatment part";
    EXPECT_EQ(problems[0].rfind("long.qjl line 4: the item name", 0), 0u) << problems[0];
    EXPECT_EQ(problems[1].rfind("long.qjl line 5: the serie", 0), 0u) << problems[1];
    Record info(JobInfoRecord::kSize, 0);
    install.calls().getJobInfoFirst("ABCDEFGHIJKLMNOPQRST", info.data());
    EXPECT_EQ(Text(info, JobInfoRecord::kItemName, JobInfoRecord::kItemNameSize), umlauts.substr(0, 19));
}

// A line the reader cannot take is left out and named with its file and line; the good lines
// around it still make the job.
TEST(JobListReader, LeavesOutMalformedLinesAndSaysWhich) {
    ReaderInstallation install;
    install.write("bad.qjl",
                  "QJL=1\r\n"
                  "JOB=BAD\r\n"
                  "ITEM=1;W1\r\n"
                  "ITEM=1;again\r\n"                                     // 4: item declared twice
                  "ITEM=x;W3\r\n"                                        // 5: item number not a number
                  "PANEL=1;FL;4MM\r\n"                                   // 6: truncated
                  "PANEL=1;FL;4MM;;;;two;100;100\r\n"                    // 7: quantity not a number
                  "PANEL=1;FL;4MM;;;;1;1180.5;100\r\n"                   // 8: fraction of a millimetre
                  "PANEL=1;FL;4MM;;;;0;100;100\r\n"                      // 9: no pieces
                  "PANEL=1;;4MM;;;;1;100;100\r\n"                        // 10: no serie
                  "PANEL=7;FL;4MM;;;;1;100;100\r\n"                      // 11: undeclared item
                  "PANEL=1;\"FL;4MM;;;;1;100;100\r\n"                    // 12: quote not closed
                  "PANEL=1;FL;4M\x01M;;;;1;100;100\r\n"                  // 13: control character
                  "SHAPE=1;round\r\n"                                    // 14: unknown key
                  "PANEL=1;FL;4MM;;;;1;99999999999999999999;100\r\n"     // 15: beyond every limit
                  "PANEL=1;\"FL\";\"4MM\";\"A;B\";;;3;1180.000;760\r\n"  // 16: good, quoted
                  "GLASS=1;FL;6MM;;;;1;500;4");  // 17: good, cut off before its line end
    ASSERT_TRUE(install.load());
    const JobListCalls& c = install.calls();
    EXPECT_EQ(c.getJobItemsNumber("BAD"), 1);
    const auto problems = JobListReaderProblems(c);
    std::vector<int> lines;
    for (const std::string& p : problems) {
        EXPECT_EQ(p.rfind("bad.qjl line ", 0), 0u) << p;
        lines.push_back(std::atoi(p.c_str() + 13));
    }
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    const auto panels = Panels(c, "BAD");
    ASSERT_EQ(panels.size(), 1u);
    EXPECT_EQ(Values(panels[0]), (ItemValues{1, "FL", "4MM", "A;B", "", "", 3, 1180, 760}));
    const auto glass = Glass(c, "BAD");
    ASSERT_EQ(glass.size(), 1u);
    EXPECT_EQ(Values(glass[0]).height, 4);
}

// Files that are no job list of ours are left out of the list with a reason; a missing folder
// is said, an empty one is simply empty.
TEST(JobListReader, FolderProblems) {
    {
        ReaderInstallation install(true, false);
        ASSERT_TRUE(install.load());
        EXPECT_TRUE(ReadJobLists(install.calls()).empty());
        const auto problems = JobListReaderProblems(install.calls());
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_NE(problems[0].find(install.folder()), std::string::npos);
        EXPECT_NE(problems[0].find("does not exist"), std::string::npos);
        Record r(ItemRecord::kSize, '\x55');
        EXPECT_EQ(install.calls().getPanFirst("X", r.data()), 0u);
        EXPECT_EQ(r, Record(ItemRecord::kSize, 0));
    }
    {
        ReaderInstallation install;
        ASSERT_TRUE(install.load());
        EXPECT_TRUE(ReadJobLists(install.calls()).empty());
        EXPECT_TRUE(JobListReaderProblems(install.calls()).empty());
    }
    ReaderInstallation install;
    install.write("a-good.QJL", kGood);                // upper-case extension: read
    install.write("b-twin.qjl", kGood);                // same job name: left out
    install.write("c-newer.qjl", "QJL=2\nJOB=NEW\n");  // a later format
    install.write("d-none.qjl", "JOB=X\nITEM=1;A\n");  // no header
    install.write("e-slash.qjl", "QJL=1\nJOB=A/B\n");  // a name no file can have
    install.write("f-binary.qjl", std::string("\x7F"
                                              "ELF\x02\x01\x01\0\0\0",
                                              10));
    install.write("g-empty.qjl", "");
    install.write("NAMED BY FILE.qjl", "QJL=1\nITEM=1;A\n");  // no JOB line: the file's name
    install.write(".hidden.qjl", "QJL=1\nJOB=HIDDEN\n");      // being written: not looked at
    install.write("notes.txt", "QJL=1\nJOB=TXT\n");
    std::filesystem::create_directories(install.folder() + "/sub.qjl");
    ASSERT_TRUE(install.load());
    const auto lists = ReadJobLists(install.calls());
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0].name, "NAMED BY FILE");
    EXPECT_EQ(lists[1].name, "ORD-1");
    const auto problems = JobListReaderProblems(install.calls());
    ASSERT_EQ(problems.size(), 6u);
    for (const char* file : {"b-twin", "c-newer", "d-none", "e-slash", "f-binary", "g-empty"}) {
        bool named = false;
        for (const auto& p : problems) named = named || p.rfind(file, 0) == 0;
        EXPECT_TRUE(named) << file;
    }
}

// Whatever bytes lie in the folder, every call returns, every text it hands out is terminated
// inside its field, and every number it hands out lies in its range.
TEST(JobListReader, SurvivesAnyBytes) {
    ReaderInstallation install;
    ASSERT_TRUE(install.load());
    const JobListCalls& c = install.calls();
    std::mt19937 rng(14);
    const std::string good = std::string(kGood) + "PANEL=2;\"F\"\"L\";C;;;;5;10;20\n";
    for (int round = 0; round < 100; ++round) {
        std::string bytes = good;
        if (round % 3 == 0) {
            bytes = RandomBytes(rng, 600);
        } else {
            std::uniform_int_distribution<std::size_t> at(0, bytes.size() - 1);
            std::uniform_int_distribution<int> value(0, 255);
            for (int k = 0; k < round % 7 + 1; ++k) bytes[at(rng)] = static_cast<char>(value(rng));
        }
        install.write("r.qjl", bytes);
        for (const JobListEntry& list : ReadJobLists(c)) {
            EXPECT_LE(list.name.size(), 20u);
            EXPECT_GE(c.getJobItemsNumber(list.name.c_str()), 0);
            for (const auto& records : {Panels(c, list.name.c_str()), Glass(c, list.name.c_str())}) {
                for (const Record& r : records) {
                    const ItemValues v = Values(r);
                    EXPECT_GE(v.quantity, 1);
                    EXPECT_GE(v.width, 1);
                    EXPECT_GE(v.item, 1);
                }
            }
        }
        (void)JobListReaderProblems(c);
    }
}

// The program starts without a job-list reader: the user is told once which file is missing,
// and there are no job lists. A library that lacks the calls is refused with their names.
TEST(JobListLibrary, MissingOrWrongReader) {
    {
        ReaderInstallation install(false);
        EXPECT_FALSE(install.load());
        ASSERT_EQ(install.prompt().shown().size(), 1u);
        const auto& shown = install.prompt().shown()[0];
        EXPECT_EQ(shown.text.rfind("00400 '", 0), 0u);
        EXPECT_NE(shown.text.find(install.path() + "/libQjlFileReader.so"), std::string::npos);
        EXPECT_EQ(shown.icon, PromptIcon::Exclamation);
        EXPECT_FALSE(install.load()) << "still missing";
        EXPECT_EQ(install.prompt().shown().size(), 1u) << "and not said again";
        EXPECT_TRUE(ReadJobLists(install.calls()).empty());
    }
    ReaderInstallation install(false);
    // The engine library is a real library without any of the reader's calls.
    std::filesystem::copy_file(std::string(TAVREL_INSTALL_TREE) + "/libZORUDIR.so",
                               install.path() + "/libQjlFileReader.so");
    EXPECT_FALSE(install.load());
    ASSERT_EQ(install.prompt().shown().size(), 1u);
    EXPECT_NE(install.prompt().shown()[0].text.find("00401 'GetJobListFirst, GetJobListNext"),
              std::string::npos);
    EXPECT_FALSE(install.calls().complete());
    EXPECT_TRUE(ReadJobLists(install.calls()).empty());
}
