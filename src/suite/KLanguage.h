#pragma once
// The message catalogue: every text the user sees is looked up here by its five-digit ID.
// File format: one "ID=text" line per message, UTF-8, "\n" (two characters) for a line break
// inside a text, lines starting with "#" are comments. A translation may lean on the English
// catalogue for the IDs it does not have yet.

#include <string>
#include <unordered_map>

#include "common/Messages.h"

namespace tavrel {

class KLanguage : public MessageCatalogue {
public:
    explicit KLanguage(std::string path);
    // The catalogue whose texts stand in for the IDs this one lacks; read by LoadStrings.
    void SetFallback(std::string path) { fallbackPath_ = std::move(path); }
    // Loads the catalogue (and its fallback); returns the number of messages read from the
    // catalogue itself (0 for a missing or unreadable file).
    int LoadStrings();
    // The text of a message ID; anything that is not a known ID comes back unchanged.
    std::string Message(const std::string& id) const override;
    bool Has(const std::string& id) const { return texts_.count(id) != 0; }
    size_t size() const { return texts_.size(); }
    const std::string& path() const { return path_; }

    static bool IsMessageId(const std::string& text);

private:
    int Read(const std::string& path);

    std::string path_;
    std::string fallbackPath_;
    std::unordered_map<std::string, std::string> texts_;
};

}  // namespace tavrel
