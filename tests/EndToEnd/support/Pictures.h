// Pictures the end-to-end tests make, each alone in a folder of its own so
// that the picture choice lists just it.
#pragma once

#include <string>

// A BMP with fine detail (which a second encoding would change) at
// FOLDER/NAME.bmp; returns the folder.
std::string MakeDetailedPicture(const std::string& parent, const std::string& name, int width, int height,
                                unsigned seed);
