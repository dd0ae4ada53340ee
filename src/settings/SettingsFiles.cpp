#include "settings/SettingsFiles.h"

#include <cstdlib>

#include "common/DateTime.h"
#include "common/FileUtils.h"
#include "common/IniFile.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "settings/DataFolders.h"
#include "settings/Languages.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

constexpr int kFolderBuffer = 2048;
const char* const kDirs = "Directories";
const char* const kConfiguration = "Configuration";
const char* const kLanguageKey = "Language";

// Applies a key only when it holds something: an empty value keeps the in-memory default.
void ReadFolder(const std::string& ini, const char* key, std::string& field) {
    std::string value;
    if (IniFile::ReadString(ini, kDirs, key, "", value, kFolderBuffer) > 0) field = value;
}

bool EndsWithSeparator(const std::string& text) { return !text.empty() && IsSeparator(text.back()); }

void Write(std::vector<FailedSave>& failed, const std::string& file, const char* section, const char* key,
           const std::string& value) {
    if (!IniFile::WriteString(file, section, key, value)) NoteFailedSave(failed, file);
}

void MirrorMrPath(const AppSettings& s, std::vector<FailedSave>& failed) {
    std::string read;
    if (IniFile::ReadString(s.suiteIniPath, "GenGen", "MRPath", "", read, kFolderBuffer) == 0) return;
    std::string mine = s.mrFolder;
    if (!EndsWithSeparator(mine)) mine += Platform::Separator();
    if (read.size() <= 2046 && !EndsWithSeparator(read)) read += Platform::Separator();
    if (!EqualsNoCase(mine, read)) Write(failed, s.suiteIniPath, "GenGen", "MRPath", mine);
}

// Writes `wanted` unless the stored value already passes `isRight`.
void Force(std::vector<FailedSave>& failed, const std::string& file, const char* section, const char* key,
           const std::string& wanted, bool (*isRight)(const std::string&)) {
    if (!isRight(IniFile::Read(file, section, key, ""))) Write(failed, file, section, key, wanted);
}

bool IsFalse(const std::string& v) { return EqualsNoCase(v, "false"); }
bool IsTrue(const std::string& v) { return EqualsNoCase(v, "true"); }
bool IsTwo(const std::string& v) { return v == "2"; }
bool IsZero(const std::string& v) { return EqualsNoCase(v, "0"); }
bool HasMsgPrefix(const std::string& v) { return StartsWithNoCase(v, ".\\BRENMSG\\"); }

}  // namespace

void LoadSettings(AppSettings& s) {
    LoadUnits(s);
    for (const auto& folder : DataFolders()) ReadFolder(s.iniPath, folder.iniKey, s.*folder.field);
    ProbeExcelImport(s.excelImportFolder);
    std::string params;
    if (IniFile::ReadString(s.cfgPath, kConfiguration, "DlgOptiEditorParameters", "", params, 1024) > 0)
        s.editorParameters = params;
    // A code the program does not know (typed by hand, or from a newer version) reads as
    // English, and the next save writes English back.
    std::string language;
    if (IniFile::ReadString(s.cfgPath, kConfiguration, kLanguageKey, "", language, 1024) > 0)
        s.language = FindLanguage(language).code;
}

std::vector<FailedSave> SaveDirectories(AppSettings& s, bool quiet, UserPrompt* prompt) {
    // Both files are rebuilt from memory into fresh content and saved whole, so they always
    // hold exactly our keys; the old file stays in place until the new one is complete.
    std::vector<FailedSave> failed;
    const std::string dirs = std::string("[") + kDirs + "]\n";
    std::string ini = dirs;
    for (const auto& folder : DataFolders()) ini += std::string(folder.iniKey) + "=" + s.*folder.field + "\n";
    MirrorMrPath(s, failed);
    if (!WriteFileAtomically(s.iniPath, ini)) NoteFailedSave(failed, s.iniPath);
    ProbeExcelImport(s.excelImportFolder);
    const std::string cfg = std::string("[") + kConfiguration +
                            "]\nDlgOptiEditorParameters=" + s.editorParameters + "\n" + kLanguageKey + "=" +
                            FindLanguage(s.language).code + "\n";
    if (!WriteFileAtomically(s.cfgPath, cfg)) NoteFailedSave(failed, s.cfgPath);
    if (!quiet && prompt) CheckFolders(s, *prompt);
    return failed;
}

std::vector<FailedSave> ApplyStartupSuiteValues(const AppSettings& s) {
    std::vector<FailedSave> failed;
    const std::string& b = s.suiteIniPath;
    // These two are set at every start; a value that is already right is not written again, so
    // a suite file that cannot be written is only reported when it really lacks something.
    const std::string language = Msg("00000");
    if (IniFile::Read(b, "GenGen", "Lingua", "") != language) Write(failed, b, "GenGen", "Lingua", language);
    if (IniFile::Read(b, "EditorFlags", "FlagPzDesc", "") != "1025")
        Write(failed, b, "EditorFlags", "FlagPzDesc", "1025");
    Force(failed, b, "GenOtt", "Compat", "false", IsFalse);
    Force(failed, b, "GenOrd", "PzStd", "false", IsFalse);
    Force(failed, b, "GenOrd", "PriorOrd", "false", IsFalse);
    Force(failed, b, "GenOrd", "PreferOrd", "false", IsFalse);
    Force(failed, b, "GenOrd", "Compat", "false", IsFalse);
    Force(failed, b, "GenOtt", "Utensil", "true", IsTrue);
    Force(failed, b, "GenOrd", "Exceed", "false", IsFalse);
    Force(failed, b, "PrintOttimizzaNoDBForm", "StLasUsedChk", "TRUE", IsTrue);
    Force(failed, b, "EditorFlags", "FlagQuote", "2", IsTwo);
    Force(failed, b, "EditorFlags", "FlagResiduoType", "0", IsZero);
    Force(failed, b, "GenGen", "LinguaPath", ".\\BRENMSG\\", HasMsgPrefix);
    Force(failed, JoinPath(s.installFolder, "Macchine.ini"), "MACCHINA283", "ESTRATIFICATO", "0", IsZero);
    return failed;
}

void ReportFailedSettingsSaves(const std::vector<FailedSave>& failed, UserPrompt& prompt) {
    if (failed.empty()) return;
    prompt.ask(Msg("00275") + "\n\n" + FailedSavesText(failed), "00073", PromptIcon::Exclamation,
               PromptButtons::Ok);
}

int ReadPrintPiecesPerimeter(const AppSettings& s) {
    if (!PathExists(s.optPath)) return -2;
    std::string value;
    const int n = IniFile::ReadString(s.optPath, "OPTIONS", "PRINT_PIECES_PERIMETER", "0", value, 1024);
    if (n == 0) return -1;
    return EqualsNoCase(value, "1") ? 1 : 0;
}

bool WritePrintPiecesPerimeter(const AppSettings& s, bool on) {
    return IniFile::WriteString(s.optPath, "OPTIONS", "PRINT_PIECES_PERIMETER", on ? "1" : "0");
}

bool ReadServicePackLine(const std::string& path, std::string& text) {
    text.clear();
    if (!PathExists(path)) return false;
    const std::string ver = IniFile::Read(path, "SVPACK", "VER", "");
    const std::string date = IniFile::Read(path, "SVPACK", "DATE", "");
    const std::string comment = IniFile::Read(path, "SVPACK", "COMMENT", "");
    if (!ver.empty()) text += " " + ver;
    if (!date.empty()) text += DateText(date);
    if (!comment.empty()) text += comment;
    return true;
}

bool ReadCheckWasteFlag(const AppSettings& s) {
    std::string content;
    if (!ReadWholeFile(JoinPath(s.installFolder, "Kelvarauser.xml"), content)) return false;
    const std::string open = "<ControllaScarto>";
    auto start = content.find(open);
    if (start == std::string::npos) return false;
    start += open.size();
    auto end = content.find("</ControllaScarto>", start);
    if (end == std::string::npos) return false;
    return std::strtol(content.substr(start, end - start).c_str(), nullptr, 10) == 1;
}

std::string StepMoveText(int decimals, const std::string& label) {
    std::string text = "0";
    if (decimals > 0) text += "." + std::string(size_t(decimals > 5 ? 5 : decimals), '0');
    return text + " " + label;
}

const char* const kExcelImportProgram = "ExcelImport";

namespace {

// Tested when the folders are read or saved, asked when the new job window opens: the window
// need not look at the disk, and offers the import exactly when the folder held the program.
struct ExcelImportCache {
    bool available = false;
    std::string programPath;
};

ExcelImportCache& Cache() {
    static ExcelImportCache cache;
    return cache;
}

}  // namespace

bool ProbeExcelImport(const std::string& folder) {
    const std::string program = JoinPath(folder, kExcelImportProgram);
    ExcelImportCache& cache = Cache();
    cache.available = !folder.empty() && Platform::IsFile(program);
    cache.programPath = cache.available ? program : std::string();
    return cache.available;
}

bool ExcelImportAvailable(std::string* programPath) {
    if (programPath) *programPath = Cache().programPath;
    return Cache().available;
}

}  // namespace tavrel
