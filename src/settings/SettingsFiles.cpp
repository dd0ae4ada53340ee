#include "settings/SettingsFiles.h"

#include <cstdlib>

#include "settings/AppSettings.h"
#include "common/DateTime.h"
#include "common/FileUtils.h"
#include "common/IniFile.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "platform/Platform.h"
#include "settings/DataFolders.h"
#include "settings/Units.h"

namespace {

constexpr int kFolderBuffer = 2048;
const char* const kDirs = "Directories";

// Applies a key only when it holds something: an empty value keeps the in-memory default.
void ReadFolder(const std::string& ini, const char* key, std::string& field) {
    std::string value;
    if (IniFile::ReadString(ini, kDirs, key, "", value, kFolderBuffer) > 0) field = value;
}

bool EndsWithSeparator(const std::string& text) { return !text.empty() && IsSeparator(text.back()); }

void MirrorMrPath(const AppSettings& s) {
    std::string read;
    if (IniFile::ReadString(s.suiteIniPath, "GenGen", "MRPath", "", read, kFolderBuffer) == 0) return;
    std::string mine = s.mrFolder;
    if (!EndsWithSeparator(mine)) mine += Platform::Separator();
    if (read.size() <= 2046 && !EndsWithSeparator(read)) read += Platform::Separator();
    if (!EqualsNoCase(mine, read)) IniFile::WriteString(s.suiteIniPath, "GenGen", "MRPath", mine);
}

// Writes `wanted` unless the stored value already passes `isRight`.
void Force(const std::string& file, const char* section, const char* key, const std::string& wanted,
           bool (*isRight)(const std::string&)) {
    if (!isRight(IniFile::Read(file, section, key, ""))) IniFile::WriteString(file, section, key, wanted);
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
    if (IniFile::ReadString(s.cfgPath, "Configuration", "DlgOptiEditorParameters", "", params, 1024) > 0)
        s.editorParameters = params;
}

void SaveDirectories(AppSettings& s, bool quiet, UserPrompt* prompt) {
    // Both files are rebuilt from memory into fresh content and saved whole, so they always
    // hold exactly our keys; the old file stays in place until the new one is complete.
    const std::string dirs = std::string("[") + kDirs + "]\n";
    std::string ini = dirs;
    for (const auto& folder : DataFolders()) ini += std::string(folder.iniKey) + "=" + s.*folder.field + "\n";
    MirrorMrPath(s);
    WriteFileAtomically(s.iniPath, ini);
    ProbeExcelImport(s.excelImportFolder);
    WriteFileAtomically(s.cfgPath, "[Configuration]\nDlgOptiEditorParameters=" + s.editorParameters + "\n");
    if (!quiet && prompt) CheckFolders(s, *prompt);
}

void ApplyStartupSuiteValues(const AppSettings& s) {
    const std::string& b = s.suiteIniPath;
    IniFile::WriteString(b, "GenGen", "Lingua", Msg("00000"));
    IniFile::WriteString(b, "EditorFlags", "FlagPzDesc", "1025");
    Force(b, "GenOtt", "Compat", "false", IsFalse);
    Force(b, "GenOrd", "PzStd", "false", IsFalse);
    Force(b, "GenOrd", "PriorOrd", "false", IsFalse);
    Force(b, "GenOrd", "PreferOrd", "false", IsFalse);
    Force(b, "GenOrd", "Compat", "false", IsFalse);
    Force(b, "GenOtt", "Utensil", "true", IsTrue);
    Force(b, "GenOrd", "Exceed", "false", IsFalse);
    Force(b, "PrintOttimizzaNoDBForm", "StLasUsedChk", "TRUE", IsTrue);
    Force(b, "EditorFlags", "FlagQuote", "2", IsTwo);
    Force(b, "EditorFlags", "FlagResiduoType", "0", IsZero);
    Force(b, "GenGen", "LinguaPath", ".\\BRENMSG\\", HasMsgPrefix);
    Force(JoinPath(s.installFolder, "Macchine.ini"), "MACCHINA283", "ESTRATIFICATO", "0", IsZero);
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

bool ProbeExcelImport(const std::string& folder) {
    return Platform::IsFile(JoinPath(folder, "ExcelImport"));
}
