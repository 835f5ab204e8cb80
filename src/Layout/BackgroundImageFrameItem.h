// CBackgroundImageFrameItem: a background or frame picture, usually with
// transparent parts given by its mask. It always fills its frame.
#pragma once

#include "Layout/ImageFrameItem.h"

class CBackgroundImageFrameItem : public CImageFrameItem
{
public:
    CBackgroundImageFrameItem();

    void Serialize(CArchive& archive) override;
    bool Draw(CImage* canvas, float scale, const POINT* origin, bool force) override;
    // Background pictures always fill their frame: 0 is stored whatever is given.
    void SetImagePlacement(int placement) override;
    int LoadImage(const std::string& path) override;
    // The pixels written as a 32-bit bitmap whose fourth byte is the mask value.
    bool ExportImage(const std::string& path, const std::uint8_t* pixels, int width, int height) override;

    virtual bool IsAspectFixed() const { return m_aspectFixed != 0; }
    virtual void SetAspectFixed(bool fixed) { m_aspectFixed = fixed ? 1 : 0; }

    CBackgroundImageFrameItem* CopyFrom(const CBackgroundImageFrameItem& other);

private:
    int m_aspectFixed = 0;
};
