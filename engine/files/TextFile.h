#pragma once
// Whole-file reading and writing for the engine's files, on the program's own file helpers: a
// save goes through the one safe save (temporary file, flushed, renamed into place).

#include <cstddef>
#include <string>

// False when the file could not be written; the old file is then left as it was.
[[nodiscard]] bool WriteTextFile(const std::string& path, const std::string& text);

// Reads a whole file; false when it cannot be read or is larger than `maxBytes`.
bool ReadTextFile(const std::string& path, std::string& text, size_t maxBytes = 64u << 20);
// The same for the readers of the formats, which name the file in `error` when it fails.
bool ReadTextFile(const std::string& path, std::string& text, std::string* error);
