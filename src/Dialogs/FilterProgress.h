// What the transparency editor's blur reports its progress to: the progress
// dialog, or a fake in the tests.
#pragma once
#include <string>

class IFilterProgress
{
public:
    virtual ~IFilterProgress() = default;
    virtual void SetText(const std::string& text) = 0;
    virtual void SetPos(int percent) = 0;
};
