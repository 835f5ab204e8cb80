// Fonts of the drawing layer: the LOGFONT description the items and dialogs
// keep, and the font made from it (our value in place of a font handle).
#pragma once

#include <QFont>
#include <cstdint>
#include <optional>
#include <string>

constexpr int FW_DONTCARE = 0;
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;

constexpr std::uint8_t DEFAULT_QUALITY = 0;
constexpr std::uint8_t NONANTIALIASED_QUALITY = 3;
constexpr std::uint8_t ANTIALIASED_QUALITY = 4;

// In memory the face name is UTF-8; the archives' 60-byte record with its
// Shift-JIS face is converted at their boundary.
struct LOGFONT
{
    // > 0: cell height (ascent + descent); < 0: character height; 0: default.
    std::int32_t lfHeight = 0;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0; // tenths of a degree, anticlockwise
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 0;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0; // ANTIALIASED_QUALITY asks for smoothed glyphs
    std::uint8_t lfPitchAndFamily = 0;
    std::string lfFaceName;

    bool operator==(const LOGFONT&) const = default;
};

// A font made from a LOGFONT. Glyphs are drawn without smoothing unless the
// LOGFONT asks for it, so that colour keys and masks made from text stay exact.
class CImageFont
{
public:
    CImageFont() = default; // the default font of a fresh drawing context
    explicit CImageFont(const LOGFONT& logFont) : m_logFont(logFont), m_valid(true) {}

    bool IsNull() const { return !m_valid; }
    const LOGFONT& GetLogFont() const { return m_logFont; }
    // Escapement in tenths of a degree, anticlockwise.
    int GetEscapement() const { return m_logFont.lfEscapement; }
    bool IsAntialiased() const { return m_logFont.lfQuality == ANTIALIASED_QUALITY; }
    // The Qt font at the LOGFONT's height, weight, slant and face (the
    // application's default font for a null font). Needs a GUI application.
    QFont GetQFont() const;

private:
    LOGFONT m_logFont;
    mutable std::optional<QFont> m_font; // made on first use: fonts need the GUI application
    bool m_valid = false;
};
