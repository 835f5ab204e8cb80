#include "App/support/LayoutShape.h"

#include "Layout/LayoutItem.h"
#include "Layout/LayoutManager.h"

#include <typeinfo>

std::vector<std::string> LayoutShape(CLayoutManager& layout, bool markHidden)
{
    std::vector<std::string> shape;
    for (const auto& item : layout.GetItems()) {
        RECT r{};
        item->GetRect(&r, false);
        const auto& object = *item;
        shape.push_back(std::string(typeid(object).name()) + " " + std::to_string(r.left) + "," +
                        std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                        std::to_string(r.bottom) + (markHidden && !item->IsVisible() ? " hidden" : ""));
    }
    return shape;
}
