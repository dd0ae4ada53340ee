#pragma once
// The material catalogue in memory: entries in file order, at most one per key (the first one
// added wins).

#include <optional>
#include <string>
#include <vector>

#include "model/Material.h"

struct ReadReport;

class MaterialList {
public:
    int count() const { return static_cast<int>(items_.size()); }
    bool empty() const { return items_.empty(); }
    const Material& at(int index) const { return items_[static_cast<std::size_t>(index)]; }
    Material& at(int index) { return items_[static_cast<std::size_t>(index)]; }
    std::vector<Material>::const_iterator begin() const { return items_.begin(); }
    std::vector<Material>::const_iterator end() const { return items_.end(); }

    // Appends unless an entry with the same key is present (then the offered one is dropped and
    // the result is false).
    bool add(Material material);
    // Adds every entry of `other` with add(); `other` is consumed.
    void addAll(MaterialList&& other);
    // Adds a plain entry (no data, flag on) for every key of `keys`; `keys` is consumed.
    void addMissing(MaterialKeyList&& keys);

    std::optional<Material> find(const std::string& serie, const std::string& code,
                                 const std::string& treatment) const;
    int indexOf(const std::string& serie, const std::string& code,
                const std::string& treatment) const;
    int indexOfTreatment(const std::string& treatment) const;
    bool containsTreatment(const std::string& treatment) const;
    bool contains(const std::string& serie, const std::string& code) const;
    // Copies of every entry of the group.
    MaterialList subset(const std::string& serie, const std::string& code) const;

    void removeAt(int index);  // ignored outside the list
    void removeAll(const std::string& serie, const std::string& code);
    void removeAllWithTreatment(const std::string& treatment);
    void clear() { items_.clear(); }
    MaterialList copy() const { return *this; }

    // Ascending by treatment alone, or by serie+code+treatment; equal keys keep their order.
    void sort(bool byTreatment);

    // The entry's label; the text of message "00197" for an index outside the list.
    std::string labelFor(int index) const;
    std::string labelFor(const std::string& serie, const std::string& code,
                         const std::string& treatment) const;

    // Materials.dat: see materials/MaterialsFile.h. load() empties the list first and returns
    // false when the file cannot be read or has no positive version (the list stays empty).
    bool load(const std::string& path, ReadReport* report = nullptr);
    // Rewrites the whole file through a temporary file; false when it could not be written (the
    // old file then stays as it was). Texts the format cannot hold are made storable in place.
    bool save(const std::string& path);

    bool operator==(const MaterialList& other) const = default;

private:
    friend class MaterialsFile;
    friend class PieceList;
    // Appends without the duplicate check, for readers that checked with an index already.
    void appendUnchecked(Material material) { items_.push_back(std::move(material)); }

    std::vector<Material> items_;
};
