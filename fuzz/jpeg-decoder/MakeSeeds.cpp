// Writes the seed streams of the decoder's fuzz corpus: our own streams in every
// sampling mode (plain and EFF), libjpeg's in 4:4:4, 4:2:2 and 4:2:0 with every
// kind of restart interval, four-component and RGB-coded streams.
#include "ImageProcessing/JpegEncoder.h"
#include "support/JpegReference.h"
#include "support/JpegStreamBytes.h"
#include "support/JpegTestSupport.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string g_folder;
int g_count = 0;

void Write(const std::string& name, const std::vector<uint8_t>& stream)
{
    std::ofstream out(g_folder + "/" + name + ".jpg", std::ios::binary);
    out.write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
    ++g_count;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    g_folder = argv[1];
    const auto rgb = JpegTestPhoto(40, 24, 4);
    const auto plane = JpegTestPlane(40, 24);
    for (uint32_t mode = 0; mode <= 2; ++mode) {
        Write("ours-mode" + std::to_string(mode),
              JpegEncodeOurs(rgb, nullptr, 40, 24, mode, 75, false).stream);
        Write("ours-eff-mode" + std::to_string(mode),
              JpegEncodeOurs(rgb, plane.data(), 40, 24, mode, 75, true).stream);
    }
    const std::vector<uint8_t> pixel = {9, 99, 199};
    const uint8_t alpha = 128;
    Write("ours-1x1-mode2", JpegEncodeOurs(pixel, nullptr, 1, 1, 2, 90, false).stream);
    Write("ours-eff-1x1-mode2", JpegEncodeOurs(pixel, &alpha, 1, 1, 2, 90, true).stream);
    const auto tall = JpegTestPhoto(40, 17, 2);
    Write("ours-17rows-mode2", JpegEncodeOurs(tall, nullptr, 40, 17, 2, 90, false).stream);
    const auto row = JpegTestPhoto(100, 8, 3);
    auto oneRow = JpegEncodeOurs(row, nullptr, 100, 8, 0, 60, false).stream;
    Write("ours-one-row-mode0", oneRow);
    oneRow[580] = 1; // as written before the interval covered the whole row
    Write("ours-one-row-interval1", oneRow);

    const auto wide = JpegTestPhoto(56, 24, 6);
    const int samplings[3][2] = {{1, 1}, {2, 1}, {2, 2}};
    const char* names[3] = {"444", "422", "420"};
    for (int s = 0; s < 3; ++s) {
        const int mcusPerRow = (56 + 8 * samplings[s][0] - 1) / (8 * samplings[s][0]);
        for (int interval : {0, 1, 3, mcusPerRow}) {
            JpegReferenceEncodeOptions options;
            options.quality = 80;
            options.hSampling = samplings[s][0];
            options.vSampling = samplings[s][1];
            options.restartInterval = interval;
            std::vector<uint8_t> stream;
            if (JpegReferenceEncode(wide.data(), 56, 24, options, stream))
                Write(std::string("libjpeg-") + names[s] + "-restart" +
                          (interval == mcusPerRow ? std::string("-row") : std::to_string(interval)),
                      stream);
        }
    }
    std::vector<uint8_t> cmyk(rgb.begin(), rgb.end());
    cmyk.resize(size_t(24) * 16 * 4);
    for (int h : {1, 2}) {
        JpegReferenceEncodeOptions options;
        options.cmyk = true;
        options.jfif = false;
        options.hSampling = h;
        options.vSampling = h;
        std::vector<uint8_t> stream;
        if (JpegReferenceEncode(cmyk.data(), 24, 16, options, stream))
            Write("libjpeg-cmyk-" + std::to_string(h) + "x" + std::to_string(h), stream);
    }
    std::vector<uint8_t> coded;
    if (JpegReferenceEncodeRgbComponents(rgb.data(), 40, 24, 90, coded)) {
        std::vector<uint8_t> marked = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x07, 'V', 'L', 'M', 'O', 0x00};
        marked.insert(marked.end(), coded.begin() + 2, coded.end());
        Write("libjpeg-rgb-vlmo", marked);
    }
    std::printf("%d seeds\n", g_count);
    return 0;
}
