// Pictures and whole-stream loops over our codec, shared by the codec's tests
// and benchmarks.
#pragma once

#include "ImageProcessing/EffFormat.h"

#include <cstdint>
#include <vector>

// A deterministic picture with smooth areas, texture, edges and noise.
std::vector<uint8_t> JpegTestPhoto(uint32_t width, uint32_t height, uint32_t seed = 1);
// A transparency plane with soft and hard transitions.
std::vector<uint8_t> JpegTestPlane(uint32_t width, uint32_t height);

class JpegFixedClock : public CEffClock
{
public:
    explicit JpegFixedClock(EffDateTime when) : m_when(when) {}
    EffDateTime Now() const override { return m_when; }

private:
    EffDateTime m_when;
};

struct JpegOursEncodeResult
{
    int headerStatus = -1;
    int lastStatus = -1;
    std::vector<uint8_t> stream;
};

// Header call and 32-row batches as the file classes make them.
JpegOursEncodeResult JpegEncodeOurs(const std::vector<uint8_t>& rgb, const uint8_t* plane, uint32_t width,
                                    uint32_t height, uint32_t mode, uint32_t quality, bool eff,
                                    uint32_t outBlock = 400000);

struct JpegOursDecodeResult
{
    int status = -1;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t rowWidth = 0;
    std::vector<uint8_t> pixels;
    int calls = 0;
};

// Feeds the stream in chunks of chunkSize bytes, as the file classes do.
JpegOursDecodeResult JpegDecodeOurs(const std::vector<uint8_t>& stream, size_t chunkSize = 5000,
                                    uint32_t outBlock = 307200);

// PSNR over every byte of two RGB pictures of equal size (the first `channels`
// of every `stride` bytes of b).
double JpegPsnr(const uint8_t* a, const uint8_t* b, size_t pixels, int strideA, int strideB);
