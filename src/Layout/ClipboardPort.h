// The clipboard as the layout manager uses it: one private format carrying
// the block of copied items. The system one rests on Qt's clipboard, where
// the format is a MIME type of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

inline constexpr char kLayoutClipboardFormat[] = "ZAVD_LayoutManager";

class IClipboardPort
{
public:
    virtual ~IClipboardPort() = default;
    virtual bool HasAnyFormat() = 0;
    virtual bool HasLayoutFormat() = 0;
    // True when the clipboard holds the block afterwards.
    virtual bool Put(const std::vector<std::uint8_t>& block) = 0;
    // The block in the layout format, if there is one.
    virtual std::optional<std::vector<std::uint8_t>> Get() = 0;
};

// Qt's clipboard (needs a QGuiApplication; without one it holds nothing and takes nothing).
IClipboardPort& GetSystemClipboardPort();
