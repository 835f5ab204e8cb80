// The tool box's three-line page information: paper, orientation, and the
// margin kind or, on a roll paper, the roll length in the display unit.
#pragma once

#include <string>

class CLocalizeScript;
class CZAVEditorDoc;

// What the block is made of; -1 for a paper or margin that is not known.
struct PageInfoSource
{
    int paperIndex = -1;
    int marginMode = -1;
    int orientation = -1;
    int rollLength = 0;
};

// From the active document: a camera layout takes paper and border from its
// edit mode's row of the paper-mode table (none in modes 0 and 1).
PageInfoSource GetPageInfoSource(CZAVEditorDoc& document);

struct PageInfoTexts
{
    std::string labels;     // three lines
    std::string separators; // three lines
    std::string values;     // "paper\norientation\nthird"
    std::string paperName;
    std::string orientation;
    std::string third;
};

// The third value: margin text by paper and margin, or the roll length.
std::string PageInfoThirdValue(const PageInfoSource& source, int unit, const CLocalizeScript& texts);
// Without a document (null) every text is empty.
PageInfoTexts MakePageInfoTexts(const PageInfoSource* source, int unit, const CLocalizeScript& texts);
