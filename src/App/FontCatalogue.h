// The fonts a text of a document may name: what the builders ask of the
// system's fonts, behind an interface so that tests can fake the system.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class IFontCatalogue
{
public:
    virtual ~IFontCatalogue() = default;
    virtual bool HasOutlineFamily(std::string_view face) = 0;
    // In any form, outline or not.
    virtual bool HasFamily(std::string_view face) = 0;
    virtual std::string DefaultInterfaceFace() = 0;
    // Sorted without regard to case, without duplicates.
    virtual std::vector<std::string> SortedOutlineNames() = 0;
};

// The system's fonts unless a catalogue is installed; not owned, null
// restores the system's.
void SetFontCatalogue(IFontCatalogue* catalogue);
IFontCatalogue& GetFontCatalogue();
