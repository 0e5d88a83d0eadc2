// WindowIcon.h -- the game's icon for its window, read from the PNG files the art generator makes.
#pragma once

#include <string>
#include <vector>

struct IconImage {
    int size = 0;                     // width and height in pixels
    std::vector<unsigned char> rgba;  // size * size * 4 bytes, rows from the top
};

// The sizes offered to the window system, whose window manager picks the ones it shows.
const std::vector<int>& windowIconSizes();

// The icon theme file of one size below an icon folder: "<folder>hicolor/<N>x<N>/apps/omnivex.png".
std::string iconFile(const std::string& iconFolder, int size);

// Reads a PNG file of exactly size x size pixels; false, with `image` untouched, for anything else (missing,
// damaged, not a PNG, another size). Prints nothing.
bool readIconPng(const std::string& path, int size, IconImage& image);

// The icon at each of windowIconSizes() that can be read, from the first folder that holds any: "icons/" in
// the data folder (a build folder) or "../icons/" beside it (an install keeps them in share/icons, its data in
// share/omnivex). Empty when there is none: the window then simply has no icon.
std::vector<IconImage> loadWindowIcons(const std::string& dataFolder);
