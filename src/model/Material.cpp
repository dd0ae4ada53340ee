#include "model/Material.h"

namespace tavrel {

std::string Material::label() const { return isComposite() ? "( " + treatment + " )" : treatment; }

}  // namespace tavrel
