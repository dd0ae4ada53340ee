#include "pieces/PiecesEditor.h"

#include <algorithm>
#include <cmath>

#include "common/FileUtils.h"
#include "common/Messages.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "materials/MaterialsFile.h"
#include "materials/ModifyFieldTable.h"
#include "model/RecordText.h"
#include "model/ShapeSections.h"
#include "optimise/EngineInput.h"
#include "pieces/NextPieceId.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

bool SameLimit(double typed, double stored) {
    // A limit not above 0 is no limit, whatever negative value a file may hold.
    if (!(typed > 0.0) && !(stored > 0.0)) return true;
    return NearlyEqual(typed, stored);
}

std::vector<std::string> PieceIds(const PieceList& pieces) {
    std::vector<std::string> ids;
    ids.reserve(size_t(pieces.count()));
    for (const Piece& p : pieces) ids.push_back(p.pieceId);
    return ids;
}

}  // namespace

void PlateLimit::open(double value) {
    on_ = value > 0.0;
    value_ = on_ ? value : 0.0;
}

void PlateLimit::toggle(const std::string& typed) {
    if (on_) {
        const double value = ParseReal(typed);
        if (value > 0.0 && std::isfinite(value)) value_ = value;
    }
    on_ = !on_;
}

PlateLimit::View PlateLimit::view() const {
    View v;
    v.checked = on_;
    v.icon = on_;
    v.readOnly = !on_;
    if (on_) {
        v.checkText = Msg("00172");
        v.editText = FormatNumber(LengthFormat(1), std::max(0.0, value_));
    } else {
        v.checkText = Format("[ %s ]", Msg("00173").c_str());
        v.editText = Msg("00171");
    }
    return v;
}

double LimitValue(bool on, const std::string& typed) {
    if (!on) return 0.0;
    const double value = ParseReal(typed);
    return std::isfinite(value) ? value : 0.0;
}

ModifyFieldTable PiecesModifyTable() {
    ModifyFieldTable table;
    table.Add(Msg("00137") + ", " + Msg("00138") + ", " + Msg("00139"), "M");
    table.Add(Msg("00161"), "%ld");
    table.Add(Msg("00135"), LengthFormat(1));
    table.Add(Msg("00136"), LengthFormat(1));
    table.Add(Msg("00141"), "%s", true);
    table.Add(Msg("00142"), "%s", true);
    return table;
}

std::string CheckPieceModify(const ModifyFieldTable& table) {
    if (table.count() < PieceModifyFields) return std::string();
    const ModifyField& quantity = table.at(ModifyPieceQuantity);
    if (quantity.changed) {
        const long q = ToLong(quantity.value);
        if (q < 1 || q > 2147483647L) return "00095";
    }
    for (int f : {int(ModifyPieceWidth), int(ModifyPieceHeight)}) {
        const ModifyField& size = table.at(f);
        if (!size.changed) continue;
        const double v = ParseReal(size.value);
        if (!(v > 0.0) || !std::isfinite(v)) return "00095";
    }
    return std::string();
}

void ApplyPieceModify(const ModifyFieldTable& table, Piece& piece) {
    if (table.count() < PieceModifyFields) return;
    auto changed = [&table](PieceModifyField f) { return table.at(int(f)).changed; };
    auto value = [&table](PieceModifyField f) { return table.at(int(f)).value; };
    std::string serie = piece.serie, code = piece.code, treatment = piece.treatment;
    if (changed(ModifyPieceMaterial)) SplitMaterialValue(value(ModifyPieceMaterial), serie, code, treatment);
    const int quantity =
        changed(ModifyPieceQuantity) ? int(ToLong(value(ModifyPieceQuantity))) : piece.quantity;
    const double width = changed(ModifyPieceWidth) ? ParseReal(value(ModifyPieceWidth)) : piece.width;
    const double height = changed(ModifyPieceHeight) ? ParseReal(value(ModifyPieceHeight)) : piece.height;
    std::string text2 = changed(ModifyPieceText2) ? Trim(value(ModifyPieceText2)) : piece.text2;
    std::string text3 = changed(ModifyPieceText3) ? Trim(value(ModifyPieceText3)) : piece.text3;
    // Rebuilt through the constructor, so the material texts are cleaned and the engine key set
    // as for a piece typed in the data window.
    Piece edited(serie, code, treatment, width, height, quantity, piece.pieceId, piece.text1, text2, text3);
    edited.internalId = piece.internalId;
    edited.stored = piece.stored;
    piece = edited;
}

PiecesEditor::PiecesEditor(AppSettings& settings)
    : settings_(settings), backup_(settings.mrFolder, settings.tempFolder) {}

void PiecesEditor::open(Job job, std::string jobPath, bool fromFile) {
    job_ = std::move(job);
    jobPath_ = std::move(jobPath);
    catalogue_.load(MaterialsFile::pathIn(settings_.dataFolder), settings_.current);
    rows_.Fill(job_.pieces, catalogue_);
    headerChanged_ = false;
    piecesChanged_ = !fromFile;
    resultsPresent_ = false;
    clipboardIds_.clear();
    if (!jobPath_.empty()) backup_.backUp(jobPath_, int(job_.materials.count()));
}

bool PiecesEditor::hasResultFile() const {
    return !jobPath_.empty() && Platform::IsFile(JoinPath(settings_.mrFolder, RunFileName(jobPath_, 1)));
}

bool PiecesEditor::headerDiffers(const PiecesHeader& h) const {
    return !EqualsNoCase(Trim(h.name), Trim(job_.name)) ||
           !EqualsNoCase(Trim(h.customer), Trim(job_.customer)) ||
           !EqualsNoCase(Trim(h.order), Trim(job_.order)) ||
           !SameLimit(LimitValue(h.widthOn, h.widthText), job_.maxPlateWidth) ||
           !SameLimit(LimitValue(h.heightOn, h.heightText), job_.maxPlateHeight) ||
           (h.preferOffcuts != 0) != (job_.preferOffcuts != 0) ||
           (h.preferLargePlates != 0) != (job_.preferLargePlates != 0) ||
           (h.preferPlentifulPlates != 0) != (job_.preferPlentifulPlates != 0);
}

void PiecesEditor::headerEdited(const PiecesHeader& header) {
    // The whole header is compared, not only the field just edited: typing a name back as it
    // was must not hide a customer text that still differs.
    headerChanged_ = headerDiffers(header);
}

PiecesEditor::Indicator PiecesEditor::indicator() const {
    Indicator i;
    i.shown = headerChanged_ || piecesChanged_;
    i.resultsLabel = i.shown ? "[*] " + Msg("00049") : Msg("00049");
    return i;
}

Piece PiecesEditor::newPiece() const {
    std::string last;
    if (rows_.count() > 0) {
        const int index = rows_.at(rows_.count() - 1).itemData;
        if (index >= 0 && index < job_.pieces.count()) last = job_.pieces.at(index).pieceId;
    }
    Piece piece;
    piece.pieceId = NextFreePieceId(last, PieceIds(job_.pieces));
    return piece;
}

int PiecesEditor::addPiece(const Piece& piece) {
    const int index = job_.pieces.append(piece);
    rows_.Append(job_.pieces, catalogue_, index);
    piecesChanged_ = true;
    return rows_.count() - 1;
}

int PiecesEditor::pieceIndex(int row) const {
    if (row < 0 || row >= rows_.count()) return -1;
    const int index = rows_.at(row).itemData;
    return index >= 0 && index < job_.pieces.count() ? index : -1;
}

void PiecesEditor::pieceChanged(int row) {
    rows_.Refill(row, job_.pieces, catalogue_);
    piecesChanged_ = true;
}

void PiecesEditor::applyModify(const ModifyFieldTable& table, const std::vector<int>& rows) {
    for (int row : rows) {
        const int index = pieceIndex(row);
        if (index < 0) continue;
        ApplyPieceModify(table, job_.pieces.at(index));
        rows_.Refill(row, job_.pieces, catalogue_);
    }
    piecesChanged_ = true;
}

int PiecesEditor::deleteRows(const std::vector<int>& rows) {
    const int select = DeletePieces(job_, rows_, rows, ShapeSections(job_));
    piecesChanged_ = true;
    return select;
}

void PiecesEditor::copyRows(const std::vector<int>& rows) {
    clipboardIds_.clear();
    for (int row : rows) {
        const int index = pieceIndex(row);
        if (index < 0) continue;
        // Indices move when pieces are deleted; the internal identifiers do not, so paste takes
        // a deleted piece for gone instead of copying whichever piece moved into its place.
        clipboardIds_.push_back(job_.pieces.at(index).internalId);
    }
}

std::vector<int> PiecesEditor::paste() {
    std::vector<int> added;
    const ShapeSections shapes(job_);
    for (const std::string& internalId : clipboardIds_) {
        int index = -1;
        for (int i = 0; i < job_.pieces.count(); ++i)
            if (job_.pieces.at(i).internalId == internalId) index = i;
        if (index < 0) continue;
        Piece copy = job_.pieces.at(index).duplicate();
        copy.pieceId = NextFreePieceId(job_.pieces.at(index).pieceId, PieceIds(job_.pieces));
        const std::string from = job_.pieces.at(index).pieceId;
        added.push_back(addPiece(copy));
        shapes.copyShapes(from, copy.pieceId);
    }
    return added;
}

void PiecesEditor::reloadCatalogue() {
    catalogue_ = MaterialList();
    catalogue_.load(MaterialsFile::pathIn(settings_.dataFolder), settings_.current);
    for (int row = 0; row < rows_.count(); ++row) rows_.Refill(row, job_.pieces, catalogue_);
}

SaveStepAnswer PiecesEditor::saveStep(const PiecesHeader& header, UserPrompt& prompt,
                                      const SavePathChooser& choose, SaveStepFocus* focus) {
    if (focus) *focus = SaveStepFocus::None;
    const auto refuseLimit = [&](SaveStepFocus which) {
        Warn(prompt, "00095");
        if (focus) *focus = which;
        return SaveStepAnswer::Refused;
    };
    if (header.widthOn && !(LimitValue(true, header.widthText) > 0.0))
        return refuseLimit(SaveStepFocus::Width);
    if (header.heightOn && !(LimitValue(true, header.heightText) > 0.0))
        return refuseLimit(SaveStepFocus::Height);

    if (!headerDiffers(header)) {
        if (job_.pieces.empty()) {
            Warn(prompt, "00107");
            piecesChanged_ = true;
        }
    } else {
        job_.name = Trim(header.name);
        job_.customer = Trim(header.customer);
        job_.order = Trim(header.order);
        job_.maxPlateWidth = LimitValue(header.widthOn, header.widthText);
        job_.maxPlateHeight = LimitValue(header.heightOn, header.heightText);
        job_.preferOffcuts = header.preferOffcuts ? 1 : 0;
        job_.preferLargePlates = header.preferLargePlates ? 1 : 0;
        job_.preferPlentifulPlates = header.preferPlentifulPlates ? 1 : 0;
        piecesChanged_ = true;
    }
    if (!piecesChanged_) return SaveStepAnswer::Saved;

    const PromptAnswer answer =
        prompt.ask(Msg("00108"), "00073", PromptIcon::Question, PromptButtons::YesNoCancel, 2);
    if (answer == PromptAnswer::No) return SaveStepAnswer::NotSaved;
    if (answer != PromptAnswer::Yes) return SaveStepAnswer::Refused;
    const std::string path = choose ? choose(settings_.jobFolder, jobPath_) : std::string();
    if (path.empty()) return SaveStepAnswer::Refused;
    return save(path, prompt) ? SaveStepAnswer::Saved : SaveStepAnswer::Refused;
}

void PiecesEditor::deleteResultFiles(const std::string& path) {
    const std::string base = JobBaseName(path);
    if (!base.empty()) DeleteMatching(settings_.mrFolder, base + "*");
    const std::string aux = JoinPath(settings_.tempFolder, "_AUX_OPTIMIZED_.TMP");
    if (PathExists(aux)) Platform::DeleteFile(aux);
}

bool PiecesEditor::save(const std::string& path, UserPrompt& prompt) {
    // Results made in this session belong to the job being saved; any others under the target's
    // name belong to the job as it was and would be taken for this one's. The results of a job
    // saved under another name stay: its file on disk is not changed.
    if (!resultsPresent_) deleteResultFiles(path);
    if (!job_.save(path, settings_.current)) {
        Warn(prompt, "00106", "\n" + path);
        return false;
    }
    if (path == jobPath_) {
        backup_.discard(jobPath_);
        backup_.backUp(jobPath_, int(job_.materials.count()));
    } else if (piecesChanged_ && !jobPath_.empty()) {
        if (!backup_.restore(jobPath_)) Warn(prompt, "00340", "\n" + settings_.tempFolder);
    }
    jobPath_ = path;
    headerChanged_ = false;
    piecesChanged_ = false;
    return true;
}

void PiecesEditor::close(SaveStepAnswer answer, UserPrompt& prompt) {
    if (jobPath_.empty()) return;
    if (answer == SaveStepAnswer::NotSaved) {
        if (backup_.count() > 0 && !backup_.restore(jobPath_))
            Warn(prompt, "00340", "\n" + settings_.tempFolder);
    } else if (answer == SaveStepAnswer::Saved) {
        backup_.discard(jobPath_);
    }
}

PerimeterOption ReadPerimeterOption(const AppSettings& settings) {
    PerimeterOption option;
    const int value = ReadPrintPiecesPerimeter(settings);
    option.shown = value == 0 || value == 1;
    option.checked = value == 1;
    return option;
}

}  // namespace tavrel
