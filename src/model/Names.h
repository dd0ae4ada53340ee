#pragma once
// Cleaning of material texts and the shapes of the identifiers that pieces carry. The material
// texts of a piece become parts of section names and fixed-width engine fields, so characters
// that would break either are replaced.

#include <string>

namespace tavrel {

// Characters replaced by '_' in a serie or a code (the space among them).
extern const char* const kSerieCodeForbidden;
// Characters replaced by '_' in a treatment.
extern const char* const kTreatmentForbidden;

std::string CleanSerieOrCode(std::string text);
std::string CleanTreatment(std::string text);

// "INT_ID_%09ld": what a piece list gives every piece it appends.
std::string InternalPieceId(long number);
// "PZ_%-13ld": a generated piece identifier, 16 characters with its trailing spaces.
std::string GeneratedPieceId(long number);
// The identifier the k-th (from 0) of several pieces sharing the identifier `id` receives: a
// letter suffix for the first 26, then a number, with the underscore dropped for identifiers
// longer than 14 characters, shortened to 16 characters behind an "@" when longer. `id` is taken
// trimmed.
std::string SuffixedPieceId(const std::string& id, long k);
// Piece identifiers are compared trimmed and without regard to letter case.
bool SamePieceId(const std::string& a, const std::string& b);
// The form under which SamePieceId compares (trimmed, lower case), for indexing.
std::string PieceIdKey(const std::string& id);

// Maximum length of a piece identifier after the suffix rule.
constexpr std::size_t kMaxPieceIdLength = 16;

}  // namespace tavrel
