#pragma once
// Every text the user sees is a five-digit message ID looked up in a catalogue. The core asks for
// texts through this small interface; the suite's catalogue reader implements it, and tests may
// register a catalogue of their own.

#include <string>

namespace tavrel {

class MessageCatalogue {
public:
    virtual ~MessageCatalogue() = default;
    // The text of a message ID; anything that is not a known ID comes back unchanged.
    virtual std::string Message(const std::string& id) const = 0;
};

// The catalogue of the run (one thread). Registering nullptr clears it. The caller keeps
// ownership and unregisters before destroying it.
void SetCurrentCatalogue(const MessageCatalogue* catalogue);
const MessageCatalogue* CurrentCatalogue();

// The catalogue text of a message ID, or the text itself when no catalogue is registered or the
// ID is unknown. Fragments that are not IDs come back unchanged.
std::string Msg(const std::string& id);

}  // namespace tavrel
