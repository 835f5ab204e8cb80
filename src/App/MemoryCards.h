// Memory cards are the mounted removable volumes.
#pragma once

#include <string>
#include <vector>

// The roots of the mounted removable volumes, each ending in "/".
std::vector<std::string> MountedRemovableRoots();
