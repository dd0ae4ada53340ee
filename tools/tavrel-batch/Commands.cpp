#include "BatchCommand.h"

const std::vector<BatchCommand>& BatchCommands() {
    static const std::vector<BatchCommand> commands = {
        {"resave", "materials|plates [PATH] | job PATH",
         "load a catalogue or job file with the program's reader and write it back with its "
         "writer (catalogues default to the installation's DAT folder)",
         RunResave},
        {"optimise", "JOB.TVL [--materials all|SERIE,CODE[,TREATMENT]...] [--stock update|keep]",
         "run the optimise command on a job with the installation's engine library, accepting every "
         "result; the stock follows the results unless --stock keep",
         RunOptimise},
        {"write-input", "JOB.TVL SERIE CODE [TREATMENT] --out FILE",
         "write the engine input of one material of a job (plate selection included)", RunWriteInput},
        {"results", "JOB.TVL [SERIE,CODE[,TREATMENT]] [--stock update|keep]",
         "list the job's optimised materials; with a material, reopen its stored result in the "
         "engine library and let the stock follow it (asked once per result)",
         RunResults},
        {"report", "JOB.TVL --csv [--out FILE]",
         "the yield and waste report of the job's stored results as CSV, in the installation's unit",
         RunReport},
        {"export", "JOB.TVL --format csv|json [--out FILE]",
         "the cutting plan of the job's stored results (patterns, placements, offcuts) in millimetres",
         RunExport},
        {"labels", "JOB.TVL --out FILE.pdf [--sheet NAME]",
         "one label per cut piece of the job's stored results, in cutting order, with a barcode of job and "
         "piece",
         RunLabels},
        {"sheets", "JOB.TVL --out FILE.pdf [--paper A4|A3] [--portrait|--landscape]",
         "the cutting sheets of the job's stored results: the materials and their patterns, one page per "
         "pattern drawn to scale, and the job report",
         RunSheets},
        {"startup", "", "run the program's start-up sequence on the installation and print what it did",
         RunStartupCommand},
    };
    return commands;
}
