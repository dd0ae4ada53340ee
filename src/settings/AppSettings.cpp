#include "settings/AppSettings.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "platform/Platform.h"
#include "settings/DataFolders.h"

namespace tavrel {

const char* const kDefaultEditorParameters =
    "/INFO:Brakkelund@ /CFG:A_ModCompatta@ /CFG:A_ModVisLiv@ /CFG:A_SelInsPezzo@ "
    "/CFG:A_SelInsArea@ /CFG:A_SelNearest@ /CFG:A_OpzShp_Fillet@ /CFG:A_OpzShp_Mirror@ "
    "/CFG:A_OpzShp_Trim@ /CFG:A_OpzShp_FilletAll@ /CFG:A_OpzShp_Cat@ /CFG:A_ChgRip@ "
    "/CFG:A_ModInsLastra@ /CFG:A_FileSend@ /CFG:A_ModParVis@ /CFG:A_ModRotVol@ "
    "/CFG:A_FileOptimize@ /CFG:A_NewMatricola@ /CFG:A_NewMatricolaAIO@ /CFG:A_RunStrato@ "
    "/CFG:A_Abaut@";

AppSettings::AppSettings() : AppSettings(Platform::ExecutableFolder()) {}

AppSettings::AppSettings(const std::string& folder) {
    // Every path below is stored in Tavrel.INI and used after the start-up has changed the
    // current folder, so a relative installation folder would point elsewhere later.
    installFolder = AbsolutePath(folder);
    iniPath = JoinPath(installFolder, "Tavrel.INI");
    cfgPath = JoinPath(installFolder, "Tavrel.CFG");
    for (const auto& row : DataFolders()) this->*row.field = JoinPath(installFolder, row.defaultName);
    editorParameters = kDefaultEditorParameters;
    engineFolder = JoinPath(installFolder, "Addins\\PanelEXE");
    configIniPath = JoinPath(installFolder, "CONFIG.INI");
    suiteIniPath = JoinPath(installFolder, "BRENIX.INI");
    units = {MillimetreRow(), InchRow()};
    optPath = JoinPath(installFolder, "Tavrel.OPT");
}

namespace {
AppSettings* g_settings = nullptr;
}  // namespace

void SetCurrentSettings(AppSettings* settings) { g_settings = settings; }
AppSettings* CurrentSettings() { return g_settings; }

}  // namespace tavrel
