// What a build tells the user once at its end, and the paper check behind
// the last of its messages.
#pragma once

#include <string>

struct BuildMessages
{
    bool corrected = false;
    bool fontReplaced = false;
    bool paperRefused = false;
    // Through the active view, each at most once: 169, 208, then 240.
    void Show() const;
};

// Whether the editor offers the margin mode on the paper (the paper rules);
// a paper without a display name is not offered.
bool IsPaperOffered(const std::string& displayName, int paperIndex, int marginMode);
