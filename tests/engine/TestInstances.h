#pragma once
// Small helpers to build instances and hand-made plans in the tests.

#include <gtest/gtest.h>

#include "cutting/InstanceBuilder.h"
#include "cutting/Solution.h"

namespace enginetest {

inline engine::PlateType Plate(engine::Length w, engine::Length h, int quantity = -1,
                               engine::FirstCut cut = engine::FirstCut::Either, int position = 1) {
    engine::PlateType p;
    p.width = w;
    p.height = h;
    p.quantity = quantity;
    p.firstCut = cut;
    p.position = position;
    return p;
}

inline engine::ItemType Item(engine::Length w, engine::Length h, int quantity = 1, bool rotatable = false,
                             const std::string& id = "P") {
    engine::ItemType i;
    i.width = w;
    i.height = h;
    i.quantity = quantity;
    i.rotatable = rotatable;
    i.identifier = id;
    return i;
}

inline engine::Instance Build(engine::InstanceBuilder& b) {
    engine::Instance inst;
    std::string why;
    EXPECT_TRUE(b.build(inst, &why)) << why;
    return inst;
}

inline engine::PlacedPiece At(int item, engine::Length x, engine::Length y, bool rotated = false) {
    return engine::PlacedPiece{item, x, y, rotated};
}

}  // namespace enginetest
