#pragma once
// The material catalogue in memory: entries in file order, at most one per key (the first one
// added wins).

#include <optional>
#include <string>
#include <vector>

#include "model/Material.h"
#include "model/OwningList.h"

namespace tavrel {

struct CurrentUnit;
struct ReadReport;

class MaterialList : public OwningList<Material> {
public:
    // Appends unless an entry with the same key is present (then the offered one is dropped and
    // the result is false).
    bool add(Material material);
    // Adds every entry of `other` with add(); `other` is consumed.
    void addAll(MaterialList&& other);
    // Adds a plain entry (no data, flag on) for every key of `keys`; `keys` is consumed.
    void addMissing(MaterialKeyList&& keys);

    std::optional<Material> find(const std::string& serie, const std::string& code,
                                 const std::string& treatment) const;
    int indexOf(const std::string& serie, const std::string& code, const std::string& treatment) const;
    int indexOfTreatment(const std::string& treatment) const;
    bool containsTreatment(const std::string& treatment) const;
    bool contains(const std::string& serie, const std::string& code) const;
    // Copies of every entry of the group.
    MaterialList subset(const std::string& serie, const std::string& code) const;

    void removeAll(const std::string& serie, const std::string& code);
    void removeAllWithTreatment(const std::string& treatment);
    MaterialList copy() const { return *this; }

    // Ascending by treatment alone, or by serie+code+treatment; equal keys keep their order.
    void sort(bool byTreatment);

    // The entry's label; the text of message "00197" for an index outside the list.
    std::string labelFor(int index) const;
    std::string labelFor(const std::string& serie, const std::string& code,
                         const std::string& treatment) const;

    // Materials.dat, converted into and from `unit`: see materials/MaterialsFile.h. load()
    // empties the list first and returns false when the file cannot be read or has no positive
    // version (the list stays empty).
    bool load(const std::string& path, const CurrentUnit& unit, ReadReport* report = nullptr);
    // Makes the texts storable in place (MaterialsFile::clean), then rewrites the whole file
    // through a temporary file; false when it could not be written (the old file then stays as
    // it was).
    [[nodiscard]] bool save(const std::string& path, const CurrentUnit& unit);

    bool operator==(const MaterialList& other) const = default;

private:
    friend class MaterialsFile;
    friend class PieceList;
    // Appends without the duplicate check, for readers that checked with an index already.
    void appendUnchecked(Material material) { items_.push_back(std::move(material)); }
};

}  // namespace tavrel
