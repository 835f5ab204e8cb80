// The image-file readers take paths: each input is written to one scratch file
// of the process, which the harness then reads through every entry point.
#pragma once

#include "ImageProcessing/ImageFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The scratch file holding exactly `data`; its name ends in `extension`.
const std::string& FileFuzzInput(const std::uint8_t* data, std::size_t size, const char* extension);

// Runs the buffer read with a maximum that keeps each picture small enough for
// the fuzzer's memory limit, then, when that succeeded, the other reads.
void FileFuzzReadAll(CImageFile& file, const std::string& path, bool scaled);
