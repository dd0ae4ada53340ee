#include "results/JobReport.h"

#include <algorithm>

#include "common/FileUtils.h"
#include "common/Messages.h"
#include "common/TextUtils.h"
#include "model/Job.h"
#include "results/OptimisedMaterialList.h"
#include "results/ResultFiles.h"
#include "settings/AppSettings.h"
#include "settings/UnitDef.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

// Plates cut with one pattern beyond this are a damaged file, not a job (the stock update
// refuses the same counts).
constexpr long kMaxPatternCount = 1000000;

double SquareMillimetres(engine::Length width, engine::Length height) {
    return static_cast<double>(width) * static_cast<double>(height) / 100.0;
}

// The first pattern no plate can be cut with, 1-based; 0 when every pattern is sound.
int BadPattern(const ResultPlan& plan) {
    for (size_t i = 0; i < plan.patterns.size(); ++i) {
        const ResultPattern& p = plan.patterns[i];
        if (p.count < 1 || p.count > kMaxPatternCount || p.width <= 0 || p.height <= 0)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

const char* StateKey(StoredResultState state) {
    switch (state) {
        case StoredResultState::Read:
            return "ok";
        case StoredResultState::Missing:
            return "missing";
        case StoredResultState::Unreadable:
            return "unreadable";
    }
    return "unreadable";
}

// Two decimals, as the program shows every area; a tiny negative waste is no "-0.00".
std::string TwoDecimals(double value) {
    const std::string text = FormatNumber("%.2lf", value);
    return text == "-0.00" ? "0.00" : text;
}

std::string Area(double squareMillimetres, const CurrentUnit& unit) {
    return TwoDecimals(FromSystem(unit, squareMillimetres / 1e6, Kind::Area));
}

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

struct CsvRow {
    std::vector<std::string> fields;
    void add(const std::string& text) { fields.push_back(CsvField(text)); }
    std::string line() const {
        std::string out;
        for (size_t i = 0; i < fields.size(); ++i) out += (i ? "," : "") + fields[i];
        return out + "\r\n";
    }
};

// The columns of every row: record, run, serie, code, treatment, status, kind, width, height,
// count, then the figures and the reason.
constexpr size_t kColumns = 20;

CsvRow MaterialColumns(const char* record, const MaterialReport& m) {
    CsvRow row;
    row.add(record);
    row.add(std::to_string(m.run));
    row.add(DisplayText(m.key.serie));
    row.add(DisplayText(m.key.code));
    row.add(DisplayText(m.key.treatment));
    row.add(StateKey(m.state));
    return row;
}

void AddFigures(CsvRow& row, const ReportFigures& f, const CurrentUnit& unit) {
    row.add(std::to_string(f.plates));
    row.add(std::to_string(f.pieces));
    row.add(Area(f.pieceArea, unit));
    row.add(Area(f.plateArea, unit));
    row.add(Area(f.offcutArea, unit));
    row.add(Area(f.wasteArea(), unit));
    row.add(TwoDecimals(f.yieldPercent()));
    row.add(std::to_string(f.offcutsProduced));
    row.add(std::to_string(f.offcutsConsumed));
}

void Pad(CsvRow& row, size_t upTo) {
    while (row.fields.size() < upTo) row.fields.emplace_back();
}

}  // namespace

std::vector<StoredMaterialResult> ReadStoredResults(const AppSettings& settings, const Job& job,
                                                    const std::string& jobPath) {
    std::vector<StoredMaterialResult> results;
    for (const MaterialKey& key : job.materials) {
        StoredMaterialResult r;
        r.key = key;
        r.run = key.position + 1;
        r.path = StoredResultPath(settings, jobPath, key);
        if (!PathExists(r.path)) {
            r.state = StoredResultState::Missing;
        } else if (!ReadResultFile(r.path, r.plan, &r.detail)) {
            r.state = StoredResultState::Unreadable;
            r.plan = ResultPlan();
        } else if (const int bad = BadPattern(r.plan)) {
            r.state = StoredResultState::Unreadable;
            r.detail = Msg("00372") + " " + std::to_string(bad);
            r.plan = ResultPlan();
        } else {
            r.state = StoredResultState::Read;
        }
        results.push_back(std::move(r));
    }
    return results;
}

std::string StoredResultProblem(const StoredMaterialResult& result) {
    switch (result.state) {
        case StoredResultState::Read:
            return {};
        case StoredResultState::Missing:
            return Msg("00370") + "\n" + result.path;
        case StoredResultState::Unreadable:
            return Msg("00371") + "\n" + result.path + (result.detail.empty() ? "" : "\n" + result.detail);
    }
    return {};
}

void FinishedSize(const ResultPattern& pattern, const ResultPiece& piece, engine::Length& width,
                  engine::Length& height) {
    width = piece.width;
    height = piece.height;
    for (const ResultInfo& info : pattern.infos) {
        if (info.id != piece.id) continue;
        const engine::Length w = piece.rotated ? info.height : info.width;
        const engine::Length h = piece.rotated ? info.width : info.height;
        const engine::Length allowance = piece.width - w;
        if (w > 0 && h > 0 && allowance >= 0 && piece.height - h == allowance) {
            width = w;
            height = h;
        }
        return;
    }
}

void ReportFigures::add(const ReportFigures& o) {
    plates += o.plates;
    pieces += o.pieces;
    pieceArea += o.pieceArea;
    plateArea += o.plateArea;
    offcutArea += o.offcutArea;
    offcutsProduced += o.offcutsProduced;
    offcutsConsumed += o.offcutsConsumed;
}

MaterialReport ReportOfResult(const StoredMaterialResult& result) {
    MaterialReport m;
    m.key = result.key;
    m.run = result.run;
    m.resultPath = result.path;
    m.state = result.state;
    m.problem = StoredResultProblem(result);
    if (result.state != StoredResultState::Read) return m;
    ReportFigures& f = m.figures;
    for (const ResultPattern& p : result.plan.patterns) {
        const long count = p.count;
        f.plates += count;
        f.plateArea += SquareMillimetres(p.width, p.height) * static_cast<double>(count);
        if (p.offcutPlate) f.offcutsConsumed += count;
        auto plate = std::find_if(m.plates.begin(), m.plates.end(), [&](const PlateUse& u) {
            return u.width == p.width && u.height == p.height && u.offcut == p.offcutPlate;
        });
        if (plate == m.plates.end())
            m.plates.push_back(PlateUse{p.width, p.height, p.offcutPlate, count});
        else
            plate->count += count;
        for (const ResultPiece& piece : p.pieces) {
            engine::Length w = 0;
            engine::Length h = 0;
            FinishedSize(p, piece, w, h);
            f.pieceArea += SquareMillimetres(w, h) * static_cast<double>(count);
        }
        f.pieces += static_cast<long>(p.pieces.size()) * count;
        for (const ResultOffcut& o : p.offcuts) {
            // What the stock update would add: an offcut without a size is no plate.
            if (o.width <= 0 || o.height <= 0) continue;
            f.offcutsProduced += count;
            f.offcutArea += SquareMillimetres(o.width, o.height) * static_cast<double>(count);
            auto same = std::find_if(m.offcuts.begin(), m.offcuts.end(), [&](const OffcutUse& u) {
                return u.width == o.width && u.height == o.height;
            });
            if (same == m.offcuts.end())
                m.offcuts.push_back(OffcutUse{o.width, o.height, count});
            else
                same->count += count;
        }
    }
    auto larger = [](const auto& a, const auto& b) {
        const double areaA = SquareMillimetres(a.width, a.height);
        const double areaB = SquareMillimetres(b.width, b.height);
        if (areaA != areaB) return areaA > areaB;
        return a.width > b.width;
    };
    std::stable_sort(m.plates.begin(), m.plates.end(), [&](const PlateUse& a, const PlateUse& b) {
        if (a.offcut != b.offcut) return !a.offcut;
        return larger(a, b);
    });
    std::stable_sort(m.offcuts.begin(), m.offcuts.end(), larger);
    return m;
}

JobReport BuildJobReport(const Job& job, const std::vector<StoredMaterialResult>& results) {
    JobReport report;
    report.name = job.name;
    report.customer = job.customer;
    report.order = job.order;
    for (const StoredMaterialResult& r : results) {
        report.materials.push_back(ReportOfResult(r));
        if (r.state == StoredResultState::Read)
            report.totals.add(report.materials.back().figures);
        else
            ++report.unread;
    }
    return report;
}

std::string CsvField(const std::string& text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return text;
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string JobReportCsv(const JobReport& report, const CurrentUnit& unit) {
    const std::string length = " [" + unit.linearLabel + "]";
    const std::string area = " [" + unit.areaLabel + "]";
    CsvRow header;
    for (const std::string& name : {std::string("record"),
                                    std::string("run"),
                                    std::string("serie"),
                                    std::string("code"),
                                    std::string("treatment"),
                                    std::string("status"),
                                    std::string("kind"),
                                    "width" + length,
                                    "height" + length,
                                    std::string("count"),
                                    std::string("plates"),
                                    std::string("pieces"),
                                    "piece area" + area,
                                    "plate area" + area,
                                    "offcut area" + area,
                                    "waste area" + area,
                                    std::string("yield [%]"),
                                    std::string("offcuts produced"),
                                    std::string("offcuts consumed"),
                                    std::string("reason")})
        header.add(name);
    std::string out = header.line();
    for (const MaterialReport& m : report.materials) {
        CsvRow row = MaterialColumns("material", m);
        Pad(row, 10);
        if (m.state == StoredResultState::Read) AddFigures(row, m.figures, unit);
        Pad(row, kColumns - 1);
        row.add(OneLine(DisplayText(m.problem)));
        out += row.line();
        for (const PlateUse& p : m.plates) {
            CsvRow plate = MaterialColumns("plate", m);
            plate.add(p.offcut ? "offcut" : "plate");
            plate.add(ResultLengthText(p.width, unit));
            plate.add(ResultLengthText(p.height, unit));
            plate.add(std::to_string(p.count));
            Pad(plate, kColumns);
            out += plate.line();
        }
        for (const OffcutUse& o : m.offcuts) {
            CsvRow offcut = MaterialColumns("offcut", m);
            offcut.add("");
            offcut.add(ResultLengthText(o.width, unit));
            offcut.add(ResultLengthText(o.height, unit));
            offcut.add(std::to_string(o.count));
            Pad(offcut, kColumns);
            out += offcut.line();
        }
    }
    CsvRow total;
    total.add("total");
    Pad(total, 5);
    total.add(report.complete() ? "ok" : "incomplete");
    Pad(total, 10);
    AddFigures(total, report.totals, unit);
    total.add(report.complete() ? std::string() : Msg("00373") + " " + std::to_string(report.unread));
    out += total.line();
    return out;
}

}  // namespace tavrel
