#include "JpegReference.h"

#include "LibJpegJump.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace {

// Plain C frames only between setjmp and longjmp: nothing here has a destructor.
bool EncodeRaw(const uint8_t* pixels, uint32_t width, uint32_t height,
               const JpegReferenceEncodeOptions* options, unsigned char** out, unsigned long* outSize)
{
    jpeg_compress_struct info;
    LibJpegJump error;
    info.err = UseLibJpegJump(error, true);
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = width;
    info.image_height = height;
    info.input_components = options->cmyk ? 4 : 3;
    info.in_color_space = options->cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    if (options->cmyk)
        jpeg_set_colorspace(&info, JCS_CMYK);
    jpeg_set_quality(&info, options->quality, TRUE);
    info.dct_method = JDCT_ISLOW;
    info.comp_info[0].h_samp_factor = options->hSampling;
    info.comp_info[0].v_samp_factor = options->vSampling;
    for (int c = 1; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    if (options->cmyk) {
        info.comp_info[3].h_samp_factor = options->hSampling;
        info.comp_info[3].v_samp_factor = options->vSampling;
    }
    info.restart_interval = options->restartInterval;
    info.write_JFIF_header = options->jfif ? TRUE : FALSE;
    jpeg_start_compress(&info, TRUE);
    WriteLibJpegRows(info, pixels, width * info.input_components, height);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

bool DecodeRaw(const uint8_t* stream, size_t size, bool fancy, uint32_t* width, uint32_t* height,
               int* components, uint8_t** pixels)
{
    jpeg_decompress_struct info;
    LibJpegJump error;
    info.err = UseLibJpegJump(error, true);
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, stream, size);
    jpeg_read_header(&info, TRUE);
    info.dct_method = JDCT_ISLOW;
    info.do_fancy_upsampling = fancy ? TRUE : FALSE;
    if (info.jpeg_color_space == JCS_YCbCr)
        info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *width = info.output_width;
    *height = info.output_height;
    *components = info.output_components;
    const size_t rowBytes = size_t(info.output_width) * info.output_components;
    *pixels = static_cast<uint8_t*>(std::malloc(rowBytes * info.output_height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = *pixels + size_t(info.output_scanline) * rowBytes;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

bool JpegReferenceEncode(const uint8_t* pixels, uint32_t width, uint32_t height,
                         const JpegReferenceEncodeOptions& options, std::vector<uint8_t>& stream)
{
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const bool ok = EncodeRaw(pixels, width, height, &options, &out, &outSize);
    return TakeLibJpegOutput(ok, out, outSize, stream);
}

bool JpegReferenceEncodeInto(const uint8_t* pixels, uint32_t width, uint32_t height,
                             const JpegReferenceEncodeOptions& options, uint8_t* buffer, size_t capacity,
                             size_t& written)
{
    unsigned char* out = buffer;
    unsigned long outSize = capacity;
    const bool ok = EncodeRaw(pixels, width, height, &options, &out, &outSize);
    written = outSize;
    if (out != buffer) { // libjpeg grew its own buffer: it did not fit
        std::free(out);
        return false;
    }
    return ok;
}

bool JpegReferenceDecode(const uint8_t* stream, size_t size, bool fancyUpsampling, JpegReferenceImage& image)
{
    uint8_t* pixels = nullptr;
    uint32_t width = 0, height = 0;
    int components = 0;
    const bool ok = DecodeRaw(stream, size, fancyUpsampling, &width, &height, &components, &pixels);
    if (ok) {
        image.width = width;
        image.height = height;
        image.components = components;
        image.pixels.assign(pixels, pixels + size_t(width) * height * components);
    }
    std::free(pixels);
    return ok;
}

namespace {

bool QuantRaw(int quality, uint16_t* luminance, uint16_t* chrominance)
{
    jpeg_compress_struct info;
    LibJpegJump error;
    info.err = UseLibJpegJump(error, true);
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    info.in_color_space = JCS_RGB;
    info.input_components = 3;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    for (int i = 0; i < 64; ++i) {
        luminance[i] = info.quant_tbl_ptrs[0]->quantval[i];
        chrominance[i] = info.quant_tbl_ptrs[1]->quantval[i];
    }
    jpeg_destroy_compress(&info);
    return true;
}

bool EncodeRgbRaw(const uint8_t* rgb, uint32_t width, uint32_t height, int quality, bool adobeMarker,
                  unsigned char** out, unsigned long* outSize)
{
    jpeg_compress_struct info;
    LibJpegJump error;
    info.err = UseLibJpegJump(error, true);
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, JCS_RGB);
    jpeg_set_quality(&info, quality, TRUE);
    info.dct_method = JDCT_ISLOW;
    info.write_JFIF_header = FALSE;
    info.write_Adobe_marker = adobeMarker ? TRUE : FALSE;
    jpeg_start_compress(&info, TRUE);
    WriteLibJpegRows(info, rgb, size_t(width) * 3, height);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

bool JpegReferenceQuantTables(int quality, uint16_t luminance[64], uint16_t chrominance[64])
{
    return QuantRaw(quality, luminance, chrominance);
}

bool JpegReferenceEncodeRgbComponents(const uint8_t* rgb, uint32_t width, uint32_t height, int quality,
                                      std::vector<uint8_t>& stream, bool adobeMarker)
{
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const bool ok = EncodeRgbRaw(rgb, width, height, quality, adobeMarker, &out, &outSize);
    return TakeLibJpegOutput(ok, out, outSize, stream);
}
