#include "results/PlanExport.h"

#include <algorithm>
#include <cstdio>

#include "common/TextUtils.h"
#include "model/Job.h"

namespace tavrel {

namespace {

const char* StateKey(StoredResultState state) {
    return state == StoredResultState::Read      ? "ok"
           : state == StoredResultState::Missing ? "missing"
                                                 : "unreadable";
}

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// Rows of the CSV: every row has every column, empty where it does not apply.
enum Column : size_t {
    Record,
    Run,
    Serie,
    Code,
    Treatment,
    Status,
    Pattern,
    Plates,
    FirstPlate,
    PlateWidth,
    PlateHeight,
    PlateKind,
    Thickness,
    FirstCut,
    TrimX,
    TrimY,
    Kerf,
    X,
    Y,
    Width,
    Height,
    Rotated,
    Number,
    PieceId,
    FinishedWidth,
    FinishedHeight,
    Reason,
    ColumnCount
};

constexpr const char* kHeader[ColumnCount] = {
    "record",          "run",        "serie",     "code",        "treatment",
    "status",          "pattern",    "plates",    "first_plate", "plate_width",
    "plate_height",    "plate_kind", "thickness", "first_cut",   "trim_x",
    "trim_y",          "kerf",       "x",         "y",           "width",
    "height",          "rotated",    "number",    "piece_id",    "finished_width",
    "finished_height", "reason"};

struct Row {
    std::string cells[ColumnCount];
    std::string line() const {
        std::string out;
        for (size_t i = 0; i < ColumnCount; ++i) out += (i ? "," : "") + CsvField(cells[i]);
        return out + "\r\n";
    }
};

Row MaterialRow(const char* record, const StoredMaterialResult& r) {
    Row row;
    row.cells[Record] = record;
    row.cells[Run] = std::to_string(r.run);
    row.cells[Serie] = DisplayText(r.key.serie);
    row.cells[Code] = DisplayText(r.key.code);
    row.cells[Treatment] = DisplayText(r.key.treatment);
    row.cells[Status] = StateKey(r.state);
    return row;
}

void PatternCells(Row& row, const ResultPattern& p, size_t index, long firstPlate) {
    row.cells[Pattern] = std::to_string(index + 1);
    row.cells[Plates] = std::to_string(p.count);
    row.cells[FirstPlate] = std::to_string(firstPlate);
    row.cells[PlateWidth] = TenthsText(p.width);
    row.cells[PlateHeight] = TenthsText(p.height);
    row.cells[PlateKind] = p.offcutPlate ? "offcut" : "plate";
}

// A small JSON writer: values separated and indented, an object opened "on one line" keeps
// its members on the line (a piece or an offcut), so a plan of thousands of pieces stays
// readable.
class Json {
public:
    void open(char bracket, bool oneLine = false) {
        item();
        out_ += bracket;
        first_ = true;
        oneLine_.push_back(oneLine || inline_());
    }
    void close(char bracket) {
        const bool oneLine = inline_();
        oneLine_.pop_back();
        if (!first_ && !oneLine) newline();
        out_ += bracket;
        first_ = false;
    }
    void key(const char* name) {
        item();
        out_ += JsonString(name) + ": ";
        afterKey_ = true;
    }
    void raw(const std::string& value) {
        item();
        out_ += value;
    }
    void text(const std::string& value) { raw(JsonString(value)); }
    void number(long value) { raw(std::to_string(value)); }
    std::string done() { return out_ + "\n"; }

private:
    // Separates values and puts each on its own line, except a value right after its key.
    void item() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (!first_) out_ += inline_() ? ", " : ",";
        if (!oneLine_.empty() && !inline_()) newline();
        first_ = false;
    }
    bool inline_() const { return !oneLine_.empty() && oneLine_.back(); }
    void newline() { out_ += "\n" + std::string(oneLine_.size() * 2, ' '); }

    std::string out_;
    std::vector<bool> oneLine_;  // per open container
    bool first_ = true;
    bool afterKey_ = false;
};

void PatternJson(Json& j, const ResultPattern& p, size_t index, long firstPlate) {
    j.open('{');
    j.key("pattern");
    j.number(static_cast<long>(index + 1));
    j.key("plates");
    j.number(p.count);
    j.key("first_plate");
    j.number(firstPlate);
    j.key("plate");
    j.open('{', true);
    j.key("width");
    j.raw(TenthsText(p.width));
    j.key("height");
    j.raw(TenthsText(p.height));
    j.key("thickness");
    j.raw(HundredthsText(p.thickness));
    j.key("kind");
    j.text(p.offcutPlate ? "offcut" : "plate");
    j.close('}');
    j.key("first_cut");
    j.text(std::string(1, p.firstCut));
    j.key("trim_x");
    j.raw(TenthsText(p.trimX));
    j.key("trim_y");
    j.raw(TenthsText(p.trimY));
    j.key("kerf");
    j.raw(TenthsText(p.kerf));
    j.key("pieces");
    j.open('[');
    for (const ResultPiece& piece : p.pieces) {
        engine::Length fw = 0;
        engine::Length fh = 0;
        FinishedSize(p, piece, fw, fh);
        j.open('{', true);
        j.key("id");
        j.text(piece.id);
        j.key("number");
        j.number(piece.number);
        j.key("x");
        j.raw(TenthsText(piece.x));
        j.key("y");
        j.raw(TenthsText(piece.y));
        j.key("width");
        j.raw(TenthsText(piece.width));
        j.key("height");
        j.raw(TenthsText(piece.height));
        j.key("rotated");
        j.raw(piece.rotated ? "true" : "false");
        j.key("finished_width");
        j.raw(TenthsText(fw));
        j.key("finished_height");
        j.raw(TenthsText(fh));
        j.close('}');
    }
    j.close(']');
    j.key("offcuts");
    j.open('[');
    for (const ResultOffcut& o : p.offcuts) {
        j.open('{', true);
        j.key("x");
        j.raw(TenthsText(o.x));
        j.key("y");
        j.raw(TenthsText(o.y));
        j.key("width");
        j.raw(TenthsText(o.width));
        j.key("height");
        j.raw(TenthsText(o.height));
        j.close('}');
    }
    j.close(']');
    j.close('}');
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : DisplayText(text)) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (u < 0x20 || u == 0x7f) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string PlanCsv(const Job&, const std::vector<StoredMaterialResult>& results) {
    Row header;
    for (size_t i = 0; i < ColumnCount; ++i) header.cells[i] = kHeader[i];
    std::string out = header.line();
    for (const StoredMaterialResult& r : results) {
        Row material = MaterialRow("material", r);
        material.cells[Reason] = OneLine(DisplayText(StoredResultProblem(r)));
        out += material.line();
        long firstPlate = 1;
        for (size_t i = 0; i < r.plan.patterns.size(); ++i) {
            const ResultPattern& p = r.plan.patterns[i];
            Row pattern = MaterialRow("pattern", r);
            PatternCells(pattern, p, i, firstPlate);
            pattern.cells[Thickness] = HundredthsText(p.thickness);
            pattern.cells[FirstCut] = DisplayText(std::string(1, p.firstCut));
            pattern.cells[TrimX] = TenthsText(p.trimX);
            pattern.cells[TrimY] = TenthsText(p.trimY);
            pattern.cells[Kerf] = TenthsText(p.kerf);
            out += pattern.line();
            for (const ResultPiece& piece : p.pieces) {
                Row row = MaterialRow("piece", r);
                PatternCells(row, p, i, firstPlate);
                row.cells[X] = TenthsText(piece.x);
                row.cells[Y] = TenthsText(piece.y);
                row.cells[Width] = TenthsText(piece.width);
                row.cells[Height] = TenthsText(piece.height);
                row.cells[Rotated] = piece.rotated ? "1" : "0";
                row.cells[Number] = std::to_string(piece.number);
                row.cells[PieceId] = DisplayText(piece.id);
                engine::Length fw = 0;
                engine::Length fh = 0;
                FinishedSize(p, piece, fw, fh);
                row.cells[FinishedWidth] = TenthsText(fw);
                row.cells[FinishedHeight] = TenthsText(fh);
                out += row.line();
            }
            for (const ResultOffcut& o : p.offcuts) {
                Row row = MaterialRow("offcut", r);
                PatternCells(row, p, i, firstPlate);
                row.cells[X] = TenthsText(o.x);
                row.cells[Y] = TenthsText(o.y);
                row.cells[Width] = TenthsText(o.width);
                row.cells[Height] = TenthsText(o.height);
                out += row.line();
            }
            firstPlate += p.count;
        }
    }
    return out;
}

std::string PlanJson(const Job& job, const std::vector<StoredMaterialResult>& results) {
    Json j;
    j.open('{');
    j.key("unit");
    j.text("mm");
    j.key("job");
    j.open('{');
    j.key("name");
    j.text(job.name);
    j.key("customer");
    j.text(job.customer);
    j.key("order");
    j.text(job.order);
    j.close('}');
    const bool complete = std::all_of(results.begin(), results.end(), [](const StoredMaterialResult& r) {
        return r.state == StoredResultState::Read;
    });
    j.key("complete");
    j.raw(complete ? "true" : "false");
    j.key("materials");
    j.open('[');
    for (const StoredMaterialResult& r : results) {
        j.open('{');
        j.key("run");
        j.number(r.run);
        j.key("serie");
        j.text(r.key.serie);
        j.key("code");
        j.text(r.key.code);
        j.key("treatment");
        j.text(r.key.treatment);
        j.key("status");
        j.text(StateKey(r.state));
        j.key("reason");
        j.text(OneLine(StoredResultProblem(r)));
        j.key("patterns");
        j.open('[');
        long firstPlate = 1;
        for (size_t i = 0; i < r.plan.patterns.size(); ++i) {
            PatternJson(j, r.plan.patterns[i], i, firstPlate);
            firstPlate += r.plan.patterns[i].count;
        }
        j.close(']');
        j.close('}');
    }
    j.close(']');
    j.close('}');
    return j.done();
}

}  // namespace tavrel
