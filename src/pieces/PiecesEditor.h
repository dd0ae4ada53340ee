#pragma once
// The pieces editor's state and rules: the job with its list rows, whether the header or the
// pieces differ from the job file, add, change, bulk change, delete, copy and paste, the plate
// limits as the window shows them, the save step every way out of the editor and the optimise
// command take, and the result backup that lets a user leave without saving and still find the
// results that belong to the job file. The window shows this state and passes it the texts the
// user typed.

#include <functional>
#include <string>
#include <vector>

#include "model/Job.h"
#include "model/MaterialList.h"
#include "pieces/PieceRows.h"
#include "pieces/ResultBackup.h"

namespace tavrel {

struct AppSettings;
class ModifyFieldTable;
class UserPrompt;

// The header fields as the window holds them.
struct PiecesHeader {
    std::string name;
    std::string customer;
    std::string order;
    bool widthOn = false;
    std::string widthText;
    bool heightOn = false;
    std::string heightText;
    int preferOffcuts = 0;
    int preferLargePlates = 0;
    int preferPlentifulPlates = 0;
};

// One plate limit (width or height) as its check box, edit and icon show it.
class PlateLimit {
public:
    struct View {
        bool checked = false;
        bool icon = false;
        bool readOnly = true;
        std::string checkText;
        std::string editText;
    };
    // A value not above 0 is no limit.
    void open(double value);
    bool on() const { return on_; }
    // The check box clicked with `typed` in the edit: off remembers a positive typed value, on
    // shows the remembered one again.
    void toggle(const std::string& typed);
    View view() const;

private:
    bool on_ = false;
    double value_ = 0.0;
};

// The limit of a header: the typed number when on, 0 (no limit) when off.
double LimitValue(bool on, const std::string& typed);

enum class SaveStepAnswer { Refused, Saved, NotSaved };
enum class SaveStepFocus { None, Width, Height };

// The six fields of the bulk change of pieces, in the order the window lists them.
enum PieceModifyField {
    ModifyPieceMaterial,
    ModifyPieceQuantity,
    ModifyPieceWidth,
    ModifyPieceHeight,
    ModifyPieceText2,
    ModifyPieceText3,
    PieceModifyFields
};
ModifyFieldTable PiecesModifyTable();
// "00095" when a ticked quantity is below 1 or a ticked size not above 0 (nothing is applied
// then), else empty.
std::string CheckPieceModify(const ModifyFieldTable& table);
void ApplyPieceModify(const ModifyFieldTable& table, Piece& piece);

class PiecesEditor {
public:
    // Picks the save path: the job folder to start in and the current path; empty: cancelled.
    using SavePathChooser = std::function<std::string(const std::string& folder, const std::string& current)>;

    explicit PiecesEditor(AppSettings& settings);

    // Takes the job as built by the caller. `fromFile` false for a new or imported job, which
    // counts as changed until it is saved. Loads the catalogue, fills the rows and backs up the
    // job's current result files.
    void open(Job job, std::string jobPath, bool fromFile);

    Job& job() { return job_; }
    const Job& job() const { return job_; }
    const std::string& jobPath() const { return jobPath_; }
    const PieceRows& rows() const { return rows_; }
    PieceRows& rows() { return rows_; }
    const MaterialList& catalogue() const { return catalogue_; }
    const AppSettings& settings() const { return settings_; }

    bool headerChanged() const { return headerChanged_; }
    bool piecesChanged() const { return piecesChanged_; }
    bool resultsPresent() const { return resultsPresent_; }
    void setResultsPresent(bool present) { resultsPresent_ = present; }
    const ResultBackup& backup() const { return backup_; }
    // The first result of the job exists.
    bool hasResultFile() const;

    // A header field was edited: whether the header now differs from the job.
    void headerEdited(const PiecesHeader& header);
    bool headerDiffers(const PiecesHeader& header) const;
    // The modified indicator: shown or not, and the results button's text.
    struct Indicator {
        bool shown = false;
        std::string resultsLabel;
    };
    Indicator indicator() const;

    // A new piece for the add command: its identifier the next free one after the last row's.
    Piece newPiece() const;
    // Appends the piece; returns its row.
    int addPiece(const Piece& piece);
    // The piece of `row` was changed in place: its row is rewritten.
    void pieceChanged(int row);
    int pieceIndex(int row) const;
    // The bulk change: every piece of the rows gets the ticked values.
    void applyModify(const ModifyFieldTable& table, const std::vector<int>& rows);
    // Deletes the pieces of the rows with their shape sections; returns the row to select.
    int deleteRows(const std::vector<int>& rows);
    // Remembers the rows and their pieces for paste.
    void copyRows(const std::vector<int>& rows);
    // A copy of every remembered piece still there, each with the next free identifier after
    // its own and a copy of its shape sections. Returns the new rows.
    std::vector<int> paste();
    // The catalogue changed on disk: reload it and relabel the rows.
    void reloadCatalogue();
    // The list sorted by a column; the rows keep their piece indices.
    void sortByColumn(int column) { rows_.SortByColumn(column); }

    PieceTotals totals() const { return TotalsOf(job_.pieces); }

    // The save step: limits checked ("00095", `focus` names the edit), the header committed,
    // "00107" for an unchanged empty job, then "00108" (save, go on unsaved, or stay).
    SaveStepAnswer saveStep(const PiecesHeader& header, UserPrompt& prompt, const SavePathChooser& choose,
                            SaveStepFocus* focus = nullptr);
    // Writes the job to `path` (telling the user "00106" when it cannot) and takes it as the job's
    // path; without results of this session the target's old result files go first.
    bool save(const std::string& path, UserPrompt& prompt);
    // The editor closes after the save step: an unsaved job gets its backed-up results back
    // ("00340" when they cannot all be put back), a saved one drops the copies.
    void close(SaveStepAnswer answer, UserPrompt& prompt);

private:
    void deleteResultFiles(const std::string& path);

    AppSettings& settings_;
    Job job_;
    std::string jobPath_;
    MaterialList catalogue_;
    PieceRows rows_;
    ResultBackup backup_;
    bool headerChanged_ = false;
    bool piecesChanged_ = false;
    bool resultsPresent_ = false;
    std::vector<std::string> clipboardIds_;  // internal identifiers of the copied pieces
};

// The print-perimeter check box: shown only when the options file holds the key with a value.
struct PerimeterOption {
    bool shown = false;
    bool checked = false;
};
PerimeterOption ReadPerimeterOption(const AppSettings& settings);

}  // namespace tavrel
