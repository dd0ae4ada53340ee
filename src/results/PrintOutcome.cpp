#include "results/PrintOutcome.h"

#include "common/Messages.h"
#include "common/TextUtils.h"
#include "optimise/OptimiseCommand.h"

namespace tavrel {

namespace {

std::string Identifiers(const std::vector<std::string>& ids) {
    std::string text;
    for (const std::string& id : ids) text += (text.empty() ? "" : ", ") + DisplayText(id);
    return text;
}

void AddUnread(std::string& text, const std::vector<StoredMaterialResult>& results) {
    const std::string unread = UnreadMaterialsText(results);
    if (!unread.empty()) text += "\n\n" + Msg("00462") + "\n" + unread;
}

}  // namespace

std::string UnreadMaterialsText(const std::vector<StoredMaterialResult>& results) {
    std::string text;
    for (const StoredMaterialResult& r : results) {
        if (r.state == StoredResultState::Read) continue;
        if (!text.empty()) text += "\n";
        text += DisplayText(MaterialText(r.key, KeyStyle::List)) + ": " +
                DisplayText(StoredResultProblem(r)) + "\n";
    }
    if (!text.empty()) text.pop_back();
    return text;
}

PrintMessage PrintOutcomeMessage(const PrintOutcome& outcome,
                                 const std::vector<StoredMaterialResult>& results) {
    PrintMessage message;
    if (!outcome.written) {
        // A writer that could not even make the PDF names only the file.
        const bool bare = outcome.error.empty() || outcome.error == outcome.path;
        message.text = bare ? Msg("00271") + "\n\n" + outcome.path : outcome.error;
        message.icon = PromptIcon::Exclamation;
        return message;
    }
    message.text = Msg("00461") + " " + std::to_string(outcome.pages) + "\n" + outcome.path;
    if (!outcome.noBarcode.empty())
        message.text += "\n\n" + Msg("00465") + "\n" + Identifiers(outcome.noBarcode);
    if (!outcome.narrowBarcode.empty())
        message.text += "\n\n" + Msg("00466") + "\n" + Identifiers(outcome.narrowBarcode);
    AddUnread(message.text, results);
    const bool whole =
        outcome.noBarcode.empty() && outcome.narrowBarcode.empty() && UnreadMaterialsText(results).empty();
    if (!whole) message.icon = PromptIcon::Exclamation;
    return message;
}

PrintMessage NoLabelsMessage(bool tooMany, long wanted, const std::vector<StoredMaterialResult>& results) {
    PrintMessage message;
    message.icon = PromptIcon::Exclamation;
    message.text = tooMany ? Msg("00464") + " " + std::to_string(wanted) : Msg("00463");
    AddUnread(message.text, results);
    return message;
}

bool AnyResultRead(const std::vector<StoredMaterialResult>& results) {
    for (const StoredMaterialResult& r : results)
        if (r.state == StoredResultState::Read) return true;
    return false;
}

PrintMessage NoSheetsMessage(const std::vector<StoredMaterialResult>& results) {
    PrintMessage message;
    message.icon = PromptIcon::Exclamation;
    message.text = Msg("00468");
    AddUnread(message.text, results);
    return message;
}

}  // namespace tavrel
