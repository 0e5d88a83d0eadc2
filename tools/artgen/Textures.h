// Textures.h -- painters of every picture the game reads; each returns the picture top row first.
#pragma once

#include <array>

#include "Image.h"
#include "Text.h"

namespace artgen {

// Nature and stone (TexturesNature.cpp).
Image paintGround();             // 512 x 512 grass meadow, tiles seamlessly
Image paintGroundBorderGlow();   // 256 x 256 glowing fence band, post column at the left
Image paintLeafColour();         // 256 x 256 four leaf sprigs on a dark leafy ground
Image paintLeafAlpha();          // 256 x 256 the sprigs' cut-out mask (white, alpha 1) on black (alpha 0)
Image paintBark();               // 256 x 256 tiles seamlessly
Image paintStone(bool good);     // 256 x 256 wall blocks: warm sandstone or dark sickly stone; tiles seamlessly
Image paintMoai();               // 256 x 256 tuff with the face and the carved arms

// Figures and the grenade (TexturesFigures.cpp).
Image paintPerson(bool good);    // 256 x 256 atlas of Atlas.h
Image paintGrenade(bool glowing);  // 256 x 256 atlas of Atlas.h; the glowing variant is for the indicator

// Effects and sky (TexturesEffects.cpp).
// Lightning bolt along v (tiles vertically), 64 x 256; colour and mask carry the same alpha.
// smite: the left-click bolt (white-violet); otherwise the right-click bolt (gold).
Image paintLightning(bool smite);
Image paintLightningAlpha(bool smite);
Image paintProjection(bool smite);  // 256 x 256 glowing mark framed in black
// Sky-box faces in the order +x, -x, +y, -y, +z, -z, each size x size, laid out as OpenGL samples
// cube-map faces (file row 0 is t = 0).
std::array<Image, 6> paintSky(int size);

// Info panels (TexturesPanels.cpp), 1024 x 1024, upright when stored bottom-up.
Image paintControlsPanel(const Font& regular, const Font& bold);
Image paintWinPanel(const Font& regular, const Font& bold);
Image paintLosePanel(const Font& regular, const Font& bold);

}  // namespace artgen
