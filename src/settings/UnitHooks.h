#pragma once
#include <functional>

namespace tavrel {

// Called after a successful unit change, so the owner of the engine library can reload it.
void SetUnitChangedHook(std::function<void()> hook);

}  // namespace tavrel
