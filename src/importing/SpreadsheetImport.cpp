#include "importing/SpreadsheetImport.h"

#include <algorithm>

#include "common/DateTime.h"
#include "common/FileUtils.h"
#include "common/IniFile.h"
#include "common/Messages.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "importing/ImportProgram.h"
#include "model/MaterialList.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"

namespace tavrel {

namespace {

constexpr int kValueBuffer = 2048;

// The name a result is listed under: the file name up to the first ".TVX" (letter case ignored,
// as the folder scan ignores it), the whole name when there is none.
std::string ListedName(const std::string& fileName) {
    const std::string upper = ToUpper(fileName);
    const std::size_t at = upper.find(std::string(".") + kResultExtension);
    return at == std::string::npos ? fileName : fileName.substr(0, at);
}

// The result files of the folder, in name order so the list does not depend on the disk.
std::vector<Platform::FindEntry> ResultFiles(const std::string& folder) {
    std::vector<Platform::FindEntry> found =
        Platform::Find(JoinPath(folder, std::string("*.") + kResultExtension));
    // A folder that happens to be called x.TVX is no result; it does not end the list either.
    found.erase(std::remove_if(found.begin(), found.end(),
                               [](const Platform::FindEntry& e) { return e.isDirectory; }),
                found.end());
    std::sort(found.begin(), found.end(),
              [](const Platform::FindEntry& a, const Platform::FindEntry& b) { return a.name < b.name; });
    return found;
}

bool IsResult(const std::string& path) {
    return EqualsNoCase(IniFile::Read(path, "XNI_GENERAL", "FORMAT", "", kValueBuffer), kResultFormat);
}

}  // namespace

bool ImportFolder(const AppSettings& settings, bool create, std::string& folder) {
    folder = JoinPath(settings.excelImportFolder, kImportSubfolder);
    if (settings.excelImportFolder.empty() || !Platform::IsDirectory(settings.excelImportFolder))
        return false;
    if (Platform::IsDirectory(folder)) return true;
    return create ? Platform::CreateFolder(folder) : true;
}

std::string PieceTemplateText(const std::string& importFolder, const std::string& now,
                              const MaterialList& sortedMaterials) {
    std::string t = XniGeneralLines({importFolder, kResultExtension, kResultFormat, Msg("00219")}, now);
    t += "\n";
    t += "[XNI_FIELDS]\n";
    t += "F_1=" + Msg("00124") + "|S16|KEY\n";
    t += "F_2=" + Msg("00134") + "|N\n";
    t += "F_3=" + Msg("00135") + "|N+3\n";
    t += "F_4=" + Msg("00136") + "|N+3\n";
    t += "F_5=" + Msg("00137") + "|WS7\n";
    t += "F_6=" + Msg("00138") + "|WS8\n";
    t += "F_7=" + Msg("00139") + "|OS\n";
    t += "F_8=SHIDDEN\n";
    t += "F_9=" + Msg("00141") + "|OS|KEY\n";
    t += "F_10=" + Msg("00142") + "|OS\n";
    t += "\n";
    t += "[XNI_OUT_FIELDS_MAP]\n";
    const int fieldOfColumn[] = {5, 6, 7, 2, 3, 4, 1, 8, 9, 10};
    for (int column = 1; column <= 10; ++column)
        t += "O_" + std::to_string(column) + "=F_" + std::to_string(fieldOfColumn[column - 1]) + "\n";
    t += "\n";
    t += "[XNI_TREE_FIELDS]\n";
    t += "T_1=F_5|F_6|F_7\n";
    t += "\n";
    t += "[XNI_VALUES]\n";
    t += XniValueLines(sortedMaterials, false);
    return t;
}

bool WriteTemplate(const AppSettings& settings, std::string& templatePath) {
    std::string folder;
    templatePath.clear();
    if (!ImportFolder(settings, true, folder)) return false;
    templatePath = JoinPath(folder, kPieceTemplateName);
    return WriteFileAtomically(templatePath, PieceTemplateText(folder, NowText(), SortedMaterials(settings)));
}

bool ImportCommand(const std::string& templatePath, std::string& program, std::string& commandLine) {
    std::string found;
    if (!ExcelImportAvailable(&found) || found.empty()) return false;
    if (!ImportCommandLine(templatePath, commandLine)) return false;
    program = found;
    return true;
}

SpreadsheetImportRun RunSpreadsheetImport(const AppSettings& settings, UserPrompt& prompt) {
    SpreadsheetImportRun run;
    std::string program;
    // Asked first, so a missing program leaves no template behind.
    run.available = ExcelImportAvailable(&program) && !program.empty();
    if (!run.available) return run;
    std::string templatePath;
    if (!WriteTemplate(settings, templatePath)) {
        std::string folder;
        ImportFolder(settings, false, folder);
        Warn(prompt, "00412", "\n" + (templatePath.empty() ? folder : templatePath));
        return run;
    }
    run.templateWritten = true;
    std::string commandLine;
    if (!ImportCommand(templatePath, program, commandLine)) {
        Warn(prompt, "00411", "\n" + templatePath);
    } else {
        run.started = StartImportProgram(program, commandLine, prompt, &run.exitCode);
    }
    if (Platform::IsFile(templatePath)) Platform::DeleteFile(templatePath);
    return run;
}

bool ListResults(const AppSettings& settings, std::vector<std::string>& rows) {
    std::string folder;
    if (!ImportFolder(settings, false, folder)) return false;
    std::vector<std::string> found;
    // Every result file is listed: one marked read-only or hidden does not end the list.
    for (const Platform::FindEntry& entry : ResultFiles(folder)) {
        if (!IsResult(entry.path)) continue;
        const std::string description =
            IniFile::Read(entry.path, "XNI_GENERAL", "DESCRIPTION", "", kValueBuffer);
        found.push_back(ListedName(entry.name) + "\t[" + description + "]");
    }
    rows = std::move(found);
    return true;
}

bool ChooseResult(const AppSettings& settings, const std::string& row, ChosenResult& chosen) {
    const std::size_t tab = row.find('\t');
    if (tab == std::string::npos) return false;
    const std::string name = row.substr(0, tab);
    std::string folder;
    if (!ImportFolder(settings, false, folder)) return false;
    // The file as the disk spells it: the scan ignored letter case, reading does not.
    std::string path;
    const auto exact = Platform::Find(JoinPath(folder, name + "." + kResultExtension));
    if (!exact.empty() && !exact.front().isDirectory) path = exact.front().path;
    // A name such as a.TVX.TVX is listed as "a": it is found by its listed name.
    for (const Platform::FindEntry& entry : ResultFiles(folder)) {
        if (!path.empty()) break;
        if (ListedName(entry.name) == name && IsResult(entry.path)) path = entry.path;
    }
    if (path.empty()) return false;
    std::string description = row.substr(tab + 1);
    if (!description.empty() && description.front() == '[') description.erase(0, 1);
    const std::size_t close = description.find(']');
    if (close != std::string::npos) description.erase(close);
    chosen = {name, description, path};
    return true;
}

}  // namespace tavrel
