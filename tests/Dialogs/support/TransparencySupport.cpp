#include "Dialogs/support/TransparencySupport.h"

#include "ImageProcessing/BMPFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

std::unique_ptr<CBackgroundImageFrameItem> MakeAlphaItem(const QString& folder, const std::string& name,
                                                         int w, int h,
                                                         const std::function<int(int, int)>& alpha)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = static_cast<std::uint32_t>((x * 5) & 0xFF) |
                                    (static_cast<std::uint32_t>((y * 3) & 0xFF) << 8) | 0x400000u |
                                    (static_cast<std::uint32_t>(alpha(x, y)) << 24);
            std::memcpy(&pixels[(static_cast<std::size_t>(h - 1 - y) * w + x) * 4], &v, 4);
        }
    const std::string source = folder.toStdString() + "/" + name;
    EXPECT_EQ(CBMPFile().WriteBuffer(source, pixels.data(), nullptr, w, h), 0);
    auto item = std::make_unique<CBackgroundImageFrameItem>();
    EXPECT_EQ(item->LoadImage(source), ImageLoadOk);
    EXPECT_EQ(CBMPFile().WriteRaw32(item->GetImageFileName2(), pixels.data(), w, h), 0);
    return item;
}

int MaskByteAt(const CTransparencyMask& picture, int x, int y)
{
    return picture.GetMask()[static_cast<std::size_t>(picture.GetHeight() - 1 - y) * picture.GetStride() + x];
}
