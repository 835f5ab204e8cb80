// CStringItem: a free text on the page in a chosen font and colour, with an
// optional drop shadow and background fill, written in one of four
// directions. Text is drawn through a colour key so that only its ink covers
// the page.
#pragma once

#include "ImageProcessing/ImageFont.h"
#include "Layout/LayoutItem.h"

#include <string>

class CStringItem : public CLayoutItem
{
public:
    void Serialize(CArchive& archive) override;
    // RenderText at most 800 x 800 working pixels.
    bool Draw(CImage* canvas, float scale, const POINT* origin, bool force) override;

    virtual std::string GetText() const { return m_text; }
    virtual void SetText(const std::string& text) { m_text = text; }
    // False (nothing copied) for a missing font.
    virtual bool GetLogFont(LOGFONT* out) const;
    virtual bool SetLogFont(const LOGFONT* font);
    virtual COLORREF GetTextColor() const { return m_textColor; }
    virtual void SetTextColor(COLORREF color) { m_textColor = color; }
    virtual POINT GetShadowOffset() const { return m_shadowOffset; }
    virtual void SetShadowOffset(POINT offset) { m_shadowOffset = offset; }
    virtual COLORREF GetShadowColor() const { return m_shadowColor; }
    virtual void SetShadowColor(COLORREF color) { m_shadowColor = color; }
    virtual bool HasShadow() const { return m_shadowOn != 0; }
    virtual void SetShadow(bool on) { m_shadowOn = on ? 1 : 0; }
    virtual COLORREF GetBackColor() const { return m_backColor; }
    virtual void SetBackColor(COLORREF color) { m_backColor = color; }
    virtual bool HasBackColor() const { return m_backColorOn != 0; }
    virtual void SetBackColorOn(bool on) { m_backColorOn = on ? 1 : 0; }
    virtual bool IsVerticalText() const { return m_verticalText != 0; }
    virtual void SetVerticalText(bool vertical) { m_verticalText = vertical ? 1 : 0; }
    virtual int GetDirection() const { return m_direction; }
    virtual void SetDirection(int direction) { m_direction = direction; }
    // A quarter turn clockwise or back; a direction outside 0..3 is left alone.
    virtual void Rotate(bool clockwise);
    virtual bool RenderText(CImage* canvas, float scale, int maxWidth, int maxHeight, const POINT* origin,
                            bool force);
    // The text at its working size as an EFF picture with a mask; false when it cannot be written.
    virtual bool SaveTextImage(const std::string& path);

    CStringItem* CopyFrom(const CStringItem& other);

private:
    // The lines to draw, shortened to the available length, with their
    // unturned extents in the working font.
    struct PreparedLine
    {
        std::string text; // empty: keeps its place only
        SIZE extent;
    };
    std::vector<PreparedLine> PrepareLines(const LOGFONT& workingFont, int available) const;
    LOGFONT WorkingFont(double factor) const;

    std::string m_text;
    LOGFONT m_font;
    COLORREF m_textColor = 0;
    POINT m_shadowOffset{0, 0};
    COLORREF m_shadowColor = 0;
    int m_shadowOn = 0;
    COLORREF m_backColor = 0xFFFFFF;
    int m_backColorOn = 0;
    int m_verticalText = 0;
    int m_direction = 0;
};
