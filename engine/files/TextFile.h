#pragma once
// Whole-file reading and writing for the engine's files.

#include <cstddef>
#include <string>

// Writes through a temporary file in the same folder renamed into place, so a crash or a full
// disk never leaves half a file. False when it could not be written.
bool WriteTextFile(const std::string& path, const std::string& text);

namespace engine {
// The text without leading and trailing white space.
std::string Trim(const std::string& s);
}  // namespace engine

// Reads a whole file; false when it cannot be read or is larger than `maxBytes`.
bool ReadTextFile(const std::string& path, std::string& text, size_t maxBytes = 64u << 20);
