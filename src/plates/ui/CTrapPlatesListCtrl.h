#pragma once
// The plates list: the catalogue windows' list control, whose copy, paste and delete keys the
// plates window takes as its copy, series-from-the-selected-plate and delete commands.

#include "materials/ui/CTrapListCtrl.h"

namespace tavrel {

class CTrapPlatesListCtrl : public CTrapListCtrl {
    Q_OBJECT
public:
    using CTrapListCtrl::CTrapListCtrl;
};

}  // namespace tavrel
