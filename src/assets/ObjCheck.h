// ObjCheck.h -- the strict check a Wavefront OBJ model (and its material library) must pass before the importer
// reads it.
#pragma once

#include <cstddef>
#include <string>

// Limits of what a model file may hold; the game's own models stay far below them.
namespace objlimits {
constexpr size_t maxFileBytes = 64u * 1024u * 1024u;
constexpr size_t maxLineBytes = 4096;
constexpr size_t maxElements = 2'000'000;       // of each kind: v, vn, vt, f
constexpr size_t maxTriangleCorners = 6'000'000;  // corners after the polygons are split into triangles
constexpr size_t maxFaceCorners = 64;
constexpr double maxMagnitude = 1.0e6;          // of any coordinate
}  // namespace objlimits

// True when `size` bytes at `text` use only what a model needs: comments, blank lines and the statements
// v (3 numbers, or 4 with a weight of sane size), vn (3), vt (2 or 3), f (3 to 64 corners, every corner of
// the file written the same way: v, v/t, v//n or v/t/n, indices 1-based or negative counting back, all
// naming elements defined above, no leading zeros), o, g, s, usemtl and mtllib (plain file names). Numbers are
// plain decimals with a digit before any point, finite and at most objlimits::maxMagnitude in size. Otherwise
// false with a one-line printable reason that names the line. mtllib names are checked; the library files
// are not read here.
bool checkObjText(const char* text, size_t size, std::string& reason);

// The whole file at `path` through checkObjText, and every material library it names that exists next to it
// through checkMtlText. False, with a reason, when the file cannot be read or a check fails.
bool checkObjFile(const std::string& path, std::string& reason);

// True when a material library holds only comments, blank lines, newmtl, the colour and scalar statements
// (Ka Kd Ks Ke Tf: 1 or 3 numbers; Ns Ni d Tr illum sharpness: 1 number) and texture maps naming a plain file.
bool checkMtlText(const char* text, size_t size, std::string& reason);
