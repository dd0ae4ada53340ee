#pragma once
// Makes a folder behave as one the user cannot write, for as long as the object lives. Root
// ignores permission bits, so tests of read-only installations use the platform's seam instead.

#include <string>

#include "platform/Platform.h"

using namespace tavrel;

class WriteProtected {
public:
    explicit WriteProtected(const std::string& folder) { Platform::SetWriteProtectedForTests(folder); }
    ~WriteProtected() { Platform::SetWriteProtectedForTests(""); }
    WriteProtected(const WriteProtected&) = delete;
    WriteProtected& operator=(const WriteProtected&) = delete;
};
