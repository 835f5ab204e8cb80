// Points TMPDIR, under which the editor keeps its temporary folders, at a
// folder of the test's own while the object lives, and then puts back what was
// there before (unset when it was unset). Declared before the objects under
// test, it outlives them, so that their destructors still see the folder.
#pragma once

#include "Core/support/ScopedEnv.h"

#include <string>

class ScopedTmpDir : public ScopedEnv
{
public:
    explicit ScopedTmpDir(const std::string& folder) : ScopedEnv("TMPDIR", folder) {}
};
