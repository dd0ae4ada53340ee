#include "importing/PlatesImport.h"

#include "common/DateTime.h"
#include "common/FileUtils.h"
#include "common/Messages.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "importing/ImportProgram.h"
#include "importing/SpreadsheetImport.h"
#include "model/MaterialList.h"
#include "plates/PlatesFile.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"

namespace tavrel {

namespace {

// What the catalogue held before the run. The whole content is kept: comparing sizes alone
// misses an import that keeps the size, and the next save of the window would then write the
// old plates over the imported ones.
//
// The modification time is left out on purpose. Equal bytes mean the file holds exactly the
// plates the window shows, so an import that rewrote it unchanged (or only touched it) needs
// no reload; a reload would only put the list back in store order, dropping the sort the user
// chose, and write the file once more for nothing. Nor can the time stand in for the bytes:
// some file systems keep it to two seconds, so a quick rewrite can keep it, while the bytes
// tell every change. The file is a few kilobytes, so reading it twice costs nothing.
struct CatalogueState {
    bool exists = false;
    std::string content;
    bool operator==(const CatalogueState&) const = default;
};

CatalogueState StateOf(const std::string& path) {
    CatalogueState state;
    state.exists = Platform::IsFile(path) && ReadWholeFile(path, state.content);
    return state;
}

}  // namespace

std::string ProbePlatesImport(const AppSettings& settings) {
    if (settings.excelImportFolder.empty()) return {};
    const std::string program = JoinPath(settings.excelImportFolder, kPlatesImportProgram);
    return Platform::IsFile(program) ? program : std::string();
}

bool PlatesImportFolder(const AppSettings& settings, bool create, std::string& folder) {
    std::string import;
    folder = JoinPath(JoinPath(settings.excelImportFolder, kImportSubfolder), kPlatesImportSubfolder);
    if (!ImportFolder(settings, create, import)) return false;
    if (Platform::IsDirectory(folder)) return true;
    return create ? Platform::CreateFolder(folder) : true;
}

std::string TemplateFieldName(std::string text, char blank) {
    RemoveChars(text, ":");
    if (blank == 0)
        RemoveChars(text, " ");
    else
        ReplaceChars(text, " ", blank);
    return text;
}

std::string PlatesTemplateText(const std::string& importFolder, const std::string& platesFile,
                               const std::string& now, const MaterialList& sortedMaterials) {
    // The title is the suite's own; the registered sign is written in UTF-8 as every other text.
    std::string t = XniGeneralLines(
        {importFolder, "PLX", "TAVREL_plates", "Importazione di lastre da EXCEL \xC2\xAE"}, now);
    t += "DEFAULTCRITERIA=|#|#|#|#|#|#|0#|0#|0#\n";
    t += "PLATESORIGINALFILE=" + platesFile + "\n";
    t += "\n";
    t += "[XNI_FIELDS]\n";
    t += "F_1=" + Msg("00137") + "|WS7\n";
    t += "F_2=" + Msg("00138") + "|WS8\n";
    t += "F_3=" + Msg("00139") + "|OS\n";
    t += "F_4=" + TemplateFieldName(Msg("00194"), 0) + "|N\n";
    t += "F_5=" + Msg("00135") + "|N+3\n";
    t += "F_6=" + Msg("00136") + "|N+3\n";
    t += "F_7=" + TemplateFieldName(Msg("00066"), 0) + "|N\n";
    t += "F_8=" + TemplateFieldName(Msg("00067"), '_') + "|N+3\n";
    t += "F_9=" + TemplateFieldName(Msg("00068"), '_') + "(0/1/2->Vert/Oriz/V+O)|N\n";
    t += "F_10=HIDDEN_0\n";
    t += "F_11=HIDDEN_0.000000\n";
    t += "\n";
    t += "[XNI_OUT_FIELDS_MAP]\n";
    for (int column = 1; column <= 11; ++column)
        t += "O_" + std::to_string(column) + "=F_" + std::to_string(column) + "\n";
    t += "\n";
    t += "[XNI_TREE_FIELDS]\n";
    t += "T_1=F_1|F_2|F_3\n";
    t += "\n";
    t += "[XNI_VALUES]\n";
    t += XniValueLines(sortedMaterials, true);
    return t;
}

bool WritePlatesTemplate(const AppSettings& settings, std::string& templatePath) {
    std::string folder;
    templatePath.clear();
    if (!PlatesImportFolder(settings, true, folder)) return false;
    templatePath = JoinPath(folder, kPlatesTemplateName);
    return WriteFileAtomically(templatePath,
                               PlatesTemplateText(folder, PlatesFile::pathIn(settings.dataFolder), NowText(),
                                                  SortedMaterials(settings)));
}

PlatesImportRun RunPlatesImport(const AppSettings& settings, const std::string& program, UserPrompt& prompt) {
    PlatesImportRun run;
    if (program.empty()) return run;
    std::string templatePath;
    if (!WritePlatesTemplate(settings, templatePath)) {
        std::string folder;
        PlatesImportFolder(settings, false, folder);
        Warn(prompt, "00412", "\n" + (templatePath.empty() ? folder : templatePath));
        return run;
    }
    run.templateWritten = true;
    std::string commandLine;
    const std::string catalogue = PlatesFile::pathIn(settings.dataFolder);
    if (!ImportCommandLine(templatePath, commandLine)) {
        Warn(prompt, "00411", "\n" + templatePath);
    } else {
        const CatalogueState before = StateOf(catalogue);
        run.started = StartImportProgram(program, commandLine, prompt, &run.exitCode);
        run.changed = !(StateOf(catalogue) == before);
    }
    if (Platform::IsFile(templatePath)) Platform::DeleteFile(templatePath);
    return run;
}

}  // namespace tavrel
