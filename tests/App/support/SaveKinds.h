// What the save tests share: the two document kinds a photo layout is saved
// as, and a umask held for a scope.
#pragma once

#include "App/ZAVEditorDoc.h"

#include <sys/stat.h>

#include <functional>
#include <string>

struct SaveKind
{
    const char* extension;
    std::function<int(CZAVEditorDoc&, const std::string&)> save;
};

inline const SaveKind kSaveKinds[] = {
    {".zvd", [](CZAVEditorDoc& d, const std::string& p) { return d.SaveZvdDocument(p); }},
    {".usd", [](CZAVEditorDoc& d, const std::string& p) { return d.SaveUsdLayout(p, 0); }},
};

// Sets the umask while it lives.
class ScopedUmask
{
public:
    explicit ScopedUmask(mode_t mask) : m_saved(::umask(mask)) {}
    ~ScopedUmask() { ::umask(m_saved); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t m_saved;
};
