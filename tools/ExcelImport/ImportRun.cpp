#include "ImportRun.h"

#include "ImportOutput.h"
#include "common/TextUtils.h"

namespace tavrel {

bool ParseImportArguments(const std::vector<std::string>& args, ImportOptions& options, std::string& error) {
    std::string line;
    for (const std::string& a : args) line += (line.empty() ? "" : " ") + a;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        if (line[i] != '/' && line[i] != '-') {
            error = "unexpected text \"" + line.substr(i) + "\" (options are /NAME=[value])";
            return false;
        }
        const std::size_t equals = line.find('=', i);
        if (equals == std::string::npos) {
            error = "the option \"" + line.substr(i) + "\" has no value";
            return false;
        }
        const std::string name = ToUpper(line.substr(i + 1, equals - i - 1));
        std::string value;
        std::size_t next;
        if (equals + 1 < line.size() && line[equals + 1] == '[') {
            // The value runs to the "]" that ends this option: the last one before the next
            // " /NAME=" or the end, so a path may itself hold brackets.
            std::size_t end = std::string::npos;
            for (std::size_t k = equals + 2; k < line.size(); ++k) {
                if (line[k] != ']') continue;
                const std::size_t after = k + 1;
                if (after == line.size() ||
                    (line[after] == ' ' && line.find_first_not_of(' ', after) != std::string::npos &&
                     (line[line.find_first_not_of(' ', after)] == '/' ||
                      line[line.find_first_not_of(' ', after)] == '-'))) {
                    end = k;
                    break;
                }
                if (line.find_first_not_of(' ', after) == std::string::npos) {
                    end = k;
                    break;
                }
            }
            if (end == std::string::npos) {
                error = "the value of /" + name + " has no closing \"]\"";
                return false;
            }
            value = line.substr(equals + 2, end - equals - 2);
            next = end + 1;
        } else {
            next = line.find(' ', equals);
            if (next == std::string::npos) next = line.size();
            value = line.substr(equals + 1, next - equals - 1);
        }
        i = next;
        if (name == "INI") {
            options.templatePath = value;
        } else if (name == "FILE") {
            options.file = value;
        } else if (name == "SHEET") {
            options.sheet = value;
        } else if (name == "MAP") {
            options.map = value;
            options.mapGiven = true;
        } else if (name == "UNIT") {
            const std::string unit = ToUpper(Trim(value));
            if (unit == "MM")
                options.unit = SheetUnit::Millimetres;
            else if (unit == "INCH" || unit == "IN")
                options.unit = SheetUnit::Inches;
            else {
                error = "/UNIT must be MM or INCH, not \"" + value + "\"";
                return false;
            }
        } else {
            error = "unknown option /" + name;
            return false;
        }
    }
    if (options.templatePath.empty()) {
        error = "no template given (/INI=[template])";
        return false;
    }
    return true;
}

bool LoadTemplate(ImportSession& session, ImportKind kind, const std::string& path, std::string& error) {
    if (!session.xni.load(path, error)) return false;
    if (!session.plan.prepare(session.xni, kind, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool LoadSheet(ImportSession& session, const std::string& file, const std::string& sheetName,
               std::string& error) {
    return ReadSheet(file, sheetName, session.sheet, error);
}

bool WriteImport(ImportSession& session, const std::string& file, std::string& done, std::string& error) {
    if (session.rows.records.empty()) {
        error = "the sheet holds no rows to import";
        return false;
    }
    if (session.plan.kind() == ImportKind::Pieces) {
        std::string path;
        if (!WritePiecesResult(session.xni, session.rows, file, session.sheet.name, path, error))
            return false;
        done = std::to_string(session.rows.records.size()) + " pieces written to " + path;
        return true;
    }
    PlatesUpdate update;
    if (!UpdatePlatesCatalogue(session.xni, session.rows, update, error)) return false;
    done = std::to_string(session.rows.records.size()) + " plates imported into " +
           session.xni.general("PLATESORIGINALFILE") + " (" + std::to_string(update.added) + " new, " +
           std::to_string(update.merged) + " added to equal plates)";
    return true;
}

int RunHeadless(ImportKind kind, const ImportOptions& options, std::FILE* out, std::FILE* err) {
    ImportSession session;
    std::string error;
    if (!LoadTemplate(session, kind, options.templatePath, error) ||
        !LoadSheet(session, options.file, options.sheet, error)) {
        std::fprintf(err, "%s\n", error.c_str());
        return 1;
    }
    if (options.mapGiven) {
        if (!ParseMapping(options.map, session.plan, session.sheet, session.mapping, error)) {
            std::fprintf(err, "/MAP: %s\n", error.c_str());
            return 1;
        }
    } else {
        session.mapping = GuessMapping(session.plan, session.sheet);
        if (session.mapping.headerRow < 0) {
            std::fprintf(err,
                         "no row of the sheet's first ten names a field of the template; give the columns "
                         "with /MAP=[F_1=A;F_2=B;...]\n");
            return 1;
        }
    }
    session.rows = CheckRows(session.plan, session.sheet, session.mapping, options.unit);
    if (!session.rows.problems.empty()) {
        for (const std::string& problem : session.rows.problems) std::fprintf(err, "%s\n", problem.c_str());
        return 1;
    }
    std::string done;
    if (!WriteImport(session, options.file, done, error)) {
        std::fprintf(err, "%s\n", error.c_str());
        return 1;
    }
    std::fprintf(out, "%s\n", done.c_str());
    return 0;
}

}  // namespace tavrel
