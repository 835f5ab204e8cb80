// Targa files built byte by byte from the fixture pattern.
#pragma once

#include "ImageProcessing/support/FixtureFiles.h"

#include <cstdint>
#include <vector>

struct FixtureTargaOptions
{
    int width = 5;
    int height = 3;
    int depth = 24;          // 24 or 32
    bool runLength = false;  // type 10 instead of 2
    bool topFirst = false;   // descriptor bit 5
    bool rightFirst = false; // descriptor bit 4: each row stored from its right end
    int alphaBits = 0;       // low four bits of the descriptor
    int fourthByte = -1;     // a fixed fourth byte for every pixel; -1: varying
};

// Pixel (x, y), y = 0 the top row: groups of three consecutive pixels (in
// top-first order, so some groups span two rows) share a colour, so that the
// run-length form has real runs; `a` is the fourth byte the file stores.
FixturePixel FixtureTargaPixel(const FixtureTargaOptions& options, int x, int y);
std::vector<std::uint8_t> FixtureTarga(const FixtureTargaOptions& options);
