// CLocalizeScript: the reader of Localize.ini, the file beside the program
// that holds every text the user sees, the fonts, the paper names and the
// sizes of dialogs and controls. Made wherever a text is needed; nothing is
// cached, so an edit of the file takes effect at the next read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct LocalizeFontInfo
{
    int pointSize = 0;
    std::string faceName; // at most 31 bytes in Shift-JIS
    std::uint8_t charSet = 0;
};

struct PaperSizeEntry
{
    int paperId = 0;
    std::string name;
};

class CLocalizeScript
{
public:
    explicit CLocalizeScript(std::string path);
    virtual ~CLocalizeScript() = default;

    const std::string& GetPath() const { return m_path; }

    // Section and key: the dialog id. Value: caption id, client width, height.
    // On a malformed value the fields read before the fault keep their new
    // values; this holds for every reader below.
    bool GetDialogInfo(int dialogId, int& captionId, int& width, int& height) const;
    // Section: the dialog id; key: the control id. Value: caption id, x, y,
    // width, height in pixels of the dialog's client area.
    bool GetControlInfo(int dialogId, int controlId, int& captionId, int& x, int& y, int& width,
                        int& height) const;
    // Section "Font": point size, face name, character set. A face name longer
    // than 31 bytes is refused.
    bool GetFont(int fontId, LocalizeFontInfo& font) const;
    // Section "Caption", with the escapes "\r" and "\n" turned into control
    // characters. "None" gives an empty text and true; a missing or empty
    // value an empty text and false.
    bool GetCaption(int textId, std::string& text) const;
    // Section "PaperSizeString", keys 1, 2, ... up to the first missing one.
    // On a malformed entry the list is left empty and the result is false.
    bool GetPaperSizeString(std::vector<PaperSizeEntry>& list) const;
    // Section "Menu_<id>", or "PopupMenu_<low 16 bits>" for ids of 0x10000 and
    // more; key: the entry's position. Value: flag, text (the text as stored).
    bool GetMenuItem(std::uint32_t menuId, int position, int& flag, std::string& text) const;
    // Section "DrawStringFont": a face name of at most 31 bytes in Shift-JIS.
    bool GetDrawStringFont(std::string_view key, std::string& face) const;
    // Section "DefaultRollPaperLength" for the roll papers 6 ("R89") to 10
    // ("R5IN"); false for any other paper without reading.
    bool GetDefaultRollPaperLength(int paperIndex, int& length) const;
    // Section "DSCPaperFlag": the flag when it is 1 or more, else -1 (also when
    // missing).
    int GetDSCPaperFlag(std::string_view paperName) const;

private:
    std::string Read(std::string_view section, std::string_view key, std::size_t maxBytes = 4095) const;

    std::string m_path;
};
