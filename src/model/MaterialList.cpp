#include "model/MaterialList.h"

#include <algorithm>

#include "materials/MaterialsFile.h"
#include "model/SortByText.h"
#include "settings/AppSettings.h"

namespace tavrel {

bool MaterialList::add(Material material) {
    if (indexOf(material.serie, material.code, material.treatment) >= 0) return false;
    items_.push_back(std::move(material));
    return true;
}

void MaterialList::addAll(MaterialList&& other) {
    // Moving out of `other` is safe even when it is this very list: the moved-from vector is
    // taken first.
    std::vector<Material> incoming = std::move(other.items_);
    other.items_.clear();
    for (Material& material : incoming) add(std::move(material));
}

void MaterialList::addMissing(MaterialKeyList&& keys) {
    for (const MaterialKey& key : keys) add(Material(key.serie, key.code, key.treatment));
    keys.clear();
}

std::optional<Material> MaterialList::find(const std::string& serie, const std::string& code,
                                           const std::string& treatment) const {
    const int index = indexOf(serie, code, treatment);
    if (index < 0) return std::nullopt;
    return at(index);
}

int MaterialList::indexOf(const std::string& serie, const std::string& code,
                          const std::string& treatment) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].hasKey(serie, code, treatment)) return static_cast<int>(i);
    return -1;
}

int MaterialList::indexOfTreatment(const std::string& treatment) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].treatment == treatment) return static_cast<int>(i);
    return -1;
}

bool MaterialList::containsTreatment(const std::string& treatment) const {
    return indexOfTreatment(treatment) >= 0;
}

bool MaterialList::contains(const std::string& serie, const std::string& code) const {
    return std::any_of(items_.begin(), items_.end(),
                       [&](const Material& m) { return m.serie == serie && m.code == code; });
}

MaterialList MaterialList::subset(const std::string& serie, const std::string& code) const {
    MaterialList result;
    for (const Material& m : items_)
        if (m.serie == serie && m.code == code) result.items_.push_back(m);
    return result;
}

void MaterialList::removeAll(const std::string& serie, const std::string& code) {
    std::erase_if(items_, [&](const Material& m) { return m.serie == serie && m.code == code; });
}

void MaterialList::removeAllWithTreatment(const std::string& treatment) {
    std::erase_if(items_, [&](const Material& m) { return m.treatment == treatment; });
}

void MaterialList::sort(bool byTreatment) {
    if (byTreatment)
        SortByText(items_, [](const Material& m) { return m.treatment; });
    else
        SortByText(items_, [](const Material& m) { return m.serie + m.code + m.treatment; });
}

std::string MaterialList::labelFor(int index) const {
    if (index < 0 || index >= count()) return Msg("00197");
    return at(index).label();
}

std::string MaterialList::labelFor(const std::string& serie, const std::string& code,
                                   const std::string& treatment) const {
    return labelFor(indexOf(serie, code, treatment));
}

bool MaterialList::load(const std::string& path, const CurrentUnit& unit, ReadReport* report) {
    return MaterialsFile::load(path, *this, unit, report);
}

bool MaterialList::save(const std::string& path, const CurrentUnit& unit) {
    MaterialsFile::clean(*this);
    return MaterialsFile::save(path, *this, unit);
}

}  // namespace tavrel
