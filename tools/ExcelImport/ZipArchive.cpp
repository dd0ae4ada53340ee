#include "ZipArchive.h"

#include <zip.h>

namespace tavrel {

ZipArchive::~ZipArchive() {
    if (archive_) zip_discard(archive_);
}

bool ZipArchive::open(const std::string& bytes, std::string& error) {
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &zipError);
    if (!source) {
        error = zip_error_strerror(&zipError);
        zip_error_fini(&zipError);
        return false;
    }
    // ZIP_CHECKCONS makes libzip compare the central directory with the local headers, so a
    // truncated or patched archive is refused here rather than half read later.
    archive_ = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zipError);
    if (!archive_) {
        error = zip_error_strerror(&zipError);
        zip_source_free(source);
        zip_error_fini(&zipError);
        return false;
    }
    zip_error_fini(&zipError);
    return true;
}

bool ZipArchive::has(const std::string& name) const {
    return archive_ && zip_name_locate(archive_, name.c_str(), 0) >= 0;
}

bool ZipArchive::read(const std::string& name, std::string& content, std::string& error,
                      long long limit) const {
    content.clear();
    if (!archive_) {
        error = "no archive open";
        return false;
    }
    const zip_int64_t index = zip_name_locate(archive_, name.c_str(), 0);
    if (index < 0) {
        error = "the part " + name + " is missing";
        return false;
    }
    zip_file_t* file = zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
    if (!file) {
        error = "the part " + name + " cannot be unpacked: " + zip_strerror(archive_);
        return false;
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
        if (n < 0) {
            error = "the part " + name + " is damaged: " + zip_file_strerror(file);
            ok = false;
            break;
        }
        if (n == 0) break;
        if (static_cast<long long>(content.size()) + n > limit) {
            error =
                "the part " + name + " unpacks to more than " + std::to_string(limit / (1024 * 1024)) + " MB";
            ok = false;
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    // Closing checks the part's checksum: damaged data that unpacked without complaint is still
    // refused.
    if (zip_fclose(file) != 0 && ok) {
        error = "the part " + name + " is damaged (checksum)";
        ok = false;
    }
    if (!ok) content.clear();
    return ok;
}

bool LooksLikeZip(const std::string& bytes) { return bytes.size() >= 4 && bytes.compare(0, 2, "PK") == 0; }

}  // namespace tavrel
