#pragma once
// Read-only access to the parts of a zip file held in memory, for the .xlsx and .ods readers.
// Built on libzip so that no zip code of our own has to survive broken archives.

#include <string>

struct zip;

namespace tavrel {

class ZipArchive {
public:
    ZipArchive() = default;
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Opens the archive in `bytes` (which must outlive this object). False with the reason in
    // `error` when it is no zip file or a broken one.
    bool open(const std::string& bytes, std::string& error);
    bool has(const std::string& name) const;
    // Unpacks one part whole, refusing more than `limit` bytes whatever the archive claims.
    bool read(const std::string& name, std::string& content, std::string& error, long long limit) const;

private:
    zip* archive_ = nullptr;
};

// True when the bytes start as a zip file does.
bool LooksLikeZip(const std::string& bytes);

}  // namespace tavrel
