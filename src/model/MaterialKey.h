#pragma once
// The identity of a material (serie, code, treatment) and the ordered list of such keys that
// laminates, pieces filters and the job's optimised materials use.

#include <string>
#include <vector>

#include "model/OwningList.h"

namespace tavrel {

struct MaterialKey {
    MaterialKey() = default;
    MaterialKey(std::string serieText, std::string codeText, std::string treatmentText)
        : serie(std::move(serieText)), code(std::move(codeText)), treatment(std::move(treatmentText)) {}

    std::string serie;
    std::string code;
    std::string treatment;  // empty for the base entry of a serie/code group
    int position = -1;      // given by the owning list; never part of a comparison

    bool matches(const std::string& s, const std::string& c, const std::string& t) const {
        return serie == s && code == c && treatment == t;
    }
    // The sort key: the three texts joined without a separator.
    std::string sortKey() const { return serie + code + treatment; }
};

// Equal when the three texts are equal (case-sensitive); the position is ignored.
bool operator==(const MaterialKey& a, const MaterialKey& b);

// An ordered list of keys. It holds its keys by value; references stay valid until the list
// changes.
class MaterialKeyList : public OwningList<MaterialKey> {
public:
    // With `rejectDuplicate`, a key equal to one already present is dropped (returns false).
    // Otherwise the key is appended with `position`, or with its new index when `position` < 0.
    bool add(MaterialKey key, bool rejectDuplicate, int position = -1);
    bool contains(const std::string& serie, const std::string& code, const std::string& treatment) const;
    int indexOf(const std::string& serie, const std::string& code, const std::string& treatment) const;
    // Removes the first equal key only.
    void remove(const std::string& serie, const std::string& code, const std::string& treatment);
    // A copy whose keys take their index as position.
    MaterialKeyList copy() const;
    // Ascending by serie+code+treatment, byte by byte; equal keys keep their order.
    void sort();

    bool operator==(const MaterialKeyList& other) const = default;
};

}  // namespace tavrel
