#include "model/Names.h"

#include "common/TextUtils.h"

namespace tavrel {

const char* const kSerieCodeForbidden = " '\"|,.+*;:~$&%/^?!@#[]{}()\\";
const char* const kTreatmentForbidden = "'\";|,:";

std::string CleanSerieOrCode(std::string text) {
    ReplaceChars(text, kSerieCodeForbidden, '_');
    return text;
}

std::string CleanTreatment(std::string text) {
    ReplaceChars(text, kTreatmentForbidden, '_');
    return text;
}

std::string InternalPieceId(long number) { return Format("INT_ID_%09ld", number); }

std::string GeneratedPieceId(long number) { return Format("PZ_%-13ld", number); }

std::string SuffixedPieceId(const std::string& id, long k) {
    static const char* const kAlphabet = "abcdefghijklmnopqrstuvwxyz";
    const std::string d = Trim(id);
    // Long identifiers lose the underscore first, to keep as much of the identifier as fits.
    const bool compact = d.size() > 14;
    std::string suffix = compact ? "" : "_";
    if (k >= 0 && k < 26)
        suffix += kAlphabet[k];
    else
        suffix += Format("%ld", k - 25);
    std::string result = d + suffix;
    if (result.size() > kMaxPieceIdLength) {
        const long keep = 15 - static_cast<long>(suffix.size());
        result = "@" + (keep > 0 ? LeadingBytes(d, static_cast<std::size_t>(keep)) : std::string()) + suffix;
        if (result.size() > kMaxPieceIdLength) result = result.substr(result.size() - kMaxPieceIdLength);
    }
    return result;
}

std::string PieceIdKey(const std::string& id) { return ToLower(Trim(id)); }

bool SamePieceId(const std::string& a, const std::string& b) { return EqualsNoCase(Trim(a), Trim(b)); }

}  // namespace tavrel
