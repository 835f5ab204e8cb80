// The page's item list as the layout model keeps it: front first, each item owned.
#pragma once

#include <list>
#include <memory>

class CLayoutItem;

using LayoutItemList = std::list<std::unique_ptr<CLayoutItem>>;
