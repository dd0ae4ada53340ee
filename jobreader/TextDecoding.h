#pragma once
// The two encodings a job-list file may come in (UTF-8, or Windows-1252 from an older Windows
// station) turned into the UTF-8 the records carry, and cutting texts to a field's size without
// leaving half a character behind.

#include <cstddef>
#include <string>
#include <string_view>

namespace jobreader {

// True when every byte sequence of `text` is well-formed UTF-8 (no overlong forms, surrogates or
// code points above U+10FFFF).
bool IsUtf8(std::string_view text);

// Windows-1252 bytes as UTF-8. The five bytes the code page leaves undefined become '?'.
std::string FromWindows1252(std::string_view text);

// A whole file's bytes as UTF-8: a UTF-8 byte order mark is dropped; the file is UTF-8 when all
// of it is, and Windows-1252 otherwise (a file is never read half in one and half in the other).
std::string DecodeFileText(std::string_view bytes, bool* windows1252 = nullptr);

// The longest start of the UTF-8 `text` of at most `maxBytes` bytes that ends on a character
// boundary.
std::string_view CutToBytes(std::string_view text, std::size_t maxBytes);

}  // namespace jobreader
