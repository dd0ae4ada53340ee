#pragma once
// One entry of the material catalogue. Lengths are in the user's unit while in memory.

#include <array>
#include <string>

#include "model/MaterialKey.h"
#include "model/StoredNumbers.h"

namespace tavrel {

struct Material {
    std::string serie;
    std::string code;
    std::string description;                // free text, shared by the whole serie/code group
    std::string treatment;                  // empty for the group's base entry
    double thickness = 0.0;                 // kept to hundredths
    double weight = 0.0;                    // in the weight unit
    std::array<double, 7> cutParameters{};  // lengths handed to the engine
    int engineFlag = 1;                     // 0 or 1; new entries start on
    MaterialKeyList components;             // layers of a laminate; empty for a plain material
    double maxPlateWidth = 0.0;             // 0: no limit
    double maxPlateHeight = 0.0;

    // The numbers as Materials.dat held them (see StoredNumbers.h), in these slots.
    enum StoredSlot : std::size_t {
        StoredThickness = 0,
        StoredWeight = 1,
        StoredCut = 2,
        StoredMaxWidth = 9,
        StoredMaxHeight = 10,
        StoredSlots = 11
    };
    StoredNumbers<StoredSlots> stored;

    Material() = default;
    Material(std::string serieText, std::string codeText, std::string treatmentText)
        : serie(std::move(serieText)), code(std::move(codeText)), treatment(std::move(treatmentText)) {}

    MaterialKey key() const { return MaterialKey(serie, code, treatment); }
    bool hasKey(const std::string& s, const std::string& c, const std::string& t) const {
        return serie == s && code == c && treatment == t;
    }
    bool isComposite() const { return !components.empty(); }
    // The treatment, in "( ... )" for a laminate: what list columns show.
    std::string label() const;

    bool operator==(const Material& other) const = default;
};

}  // namespace tavrel
