#include "importing/ImportProgram.h"

#include <cstring>

#include "common/Messages.h"
#include "common/Process.h"
#include "common/UserPrompt.h"
#include "materials/MaterialsFile.h"
#include "model/MaterialList.h"
#include "settings/AppSettings.h"

namespace tavrel {

std::string XniGeneralLines(const XniGeneral& general, const std::string& now) {
    std::string t;
    t += "; TAVREL. DATETIME=" + now + "\n";
    t += "\n";
    t += "[XNI_GENERAL]\n";
    t += "OUTPUT_FOLDER=" + general.outputFolder + "\n";
    t += "OUTPUT_EXTENSION=" + general.outputExtension + "\n";
    t += "FORMAT=" + general.format + "\n";
    t += "TITLE=" + general.title + "\n";
    t += ";\n";
    t += "FILE_VERSION=1\n";
    t += "DATA_SEPARATOR=|\n";
    t += "OUTPUT_DECIMAL_SEPARATOR=.\n";
    t += "OUTPUT_THOUSAND_SEPARATOR=,\n";
    t += "VALUES_DECIMAL_SEPARATOR=.\n";
    t += "VALUES_THOUSAND_SEPARATOR=,\n";
    t += "CREATE_UNIVOCAL_KEY=YES\n";
    t += "LANGUAGE=" + Msg("00000") + "\n";
    return t;
}

MaterialList SortedMaterials(const AppSettings& settings) {
    MaterialList materials;
    if (!materials.load(MaterialsFile::pathIn(settings.dataFolder), settings.current)) materials.clear();
    materials.sort(false);
    return materials;
}

std::string XniValueLines(const MaterialList& materials, bool skipComposite) {
    std::string t;
    long number = 0;
    for (int i = 0; i < materials.count(); ++i) {
        const Material& m = materials.at(i);
        if (m.serie.empty() || m.code.empty()) continue;
        if (skipComposite && m.isComposite()) continue;
        t += "V_" + std::to_string(++number) + "=T_1|" + m.serie + "|" + m.code;
        if (!m.treatment.empty()) t += "|" + m.treatment;
        t += "\n";
    }
    return t;
}

bool ImportCommandLine(const std::string& templatePath, std::string& commandLine) {
    if (templatePath.find('"') != std::string::npos) return false;
    const std::string argument = "/INI=[" + templatePath + "]";
    const bool blank = argument.find_first_of(" \t") != std::string::npos;
    commandLine = "ExcelImport " + (blank ? "\"" + argument + "\"" : argument);
    return true;
}

bool StartImportProgram(const std::string& program, const std::string& commandLine, UserPrompt& prompt,
                        int* exitCode) {
    int lastError = 0;
    int code = 0;
    const bool ran = RunAndWait(program, commandLine, &lastError, &code);
    if (exitCode) *exitCode = code;
    if (!ran) {
        std::string after = "\n" + program;
        if (lastError != 0) after += "\n" + std::string(std::strerror(lastError));
        Warn(prompt, "00410", after);
    }
    return ran;
}

}  // namespace tavrel
