// One paper and border variant of a layout set: a paper code and a margin
// mode, as the layout script's header names them.
#pragma once

#include <cstdint>

struct DSCPaperVariant
{
    std::int32_t paperSize = 0;
    std::int32_t marginMode = 0;

    bool operator==(const DSCPaperVariant&) const = default;
};
