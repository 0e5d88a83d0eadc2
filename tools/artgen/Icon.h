// Icon.h -- the application icon in the desktop's icon theme sizes.
#pragma once

#include <string>
#include <vector>

#include "Image.h"

namespace artgen {

// size x size, transparent outside a rounded tile.
Image paintIcon(int size);
// Writes an 8-bit RGBA PNG; false when the file cannot be written.
bool writePng(const std::string& path, const Image& image);
// The sizes of the hicolor theme that get an icon.
const std::vector<int>& iconSizes();
// Writes <folder>/hicolor/<N>x<N>/apps/omnivex.png for every size; false when one cannot be written.
bool writeIcons(const std::string& folder);

}  // namespace artgen
