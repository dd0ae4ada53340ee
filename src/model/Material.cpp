#include "model/Material.h"

std::string Material::label() const
{
    return isComposite() ? "( " + treatment + " )" : treatment;
}
