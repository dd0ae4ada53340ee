#include "common/Messages.h"

namespace tavrel {

namespace {
const MessageCatalogue* g_catalogue = nullptr;
}  // namespace

void SetCurrentCatalogue(const MessageCatalogue* catalogue) { g_catalogue = catalogue; }
const MessageCatalogue* CurrentCatalogue() { return g_catalogue; }

std::string Msg(const std::string& id) { return g_catalogue ? g_catalogue->Message(id) : id; }

}  // namespace tavrel
