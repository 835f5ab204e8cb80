// A layout's items as the tests compare them: each item's class and
// rectangle, in the layout's order.
#pragma once

#include <string>
#include <vector>

class CLayoutManager;

// "<class> left,top,right,bottom" an item; with markHidden, a hidden item's
// row ends in " hidden".
std::vector<std::string> LayoutShape(CLayoutManager& layout, bool markHidden = false);
