// WorldView.h -- the one door between the world's rules and its picture: the rules draw and resize through it,
// and ask it which objects the player sees at and around a window pixel. The renderer implements it; without one (the
// tests of the rules) nothing is drawn and no object is ever under the cursor.
#pragma once

#include "game/ClickTarget.h"

class WorldView {
public:
    virtual ~WorldView() = default;
    // Draws the world as it stands now: the picture on the window and what picking reads.
    virtual void drawFrame() = 0;
    // The window's framebuffer is now width x height pixels (both above 0).
    virtual void resizeView(int width, int height) = 0;
    // Number of the object shown at window pixel (x, y), y counted from the bottom, as the last frame drew
    // the world; 0 when no object is there or nothing has been drawn.
    virtual int objectIdAt(int x, int y) = 0;
    // The object numbers of the pixels within `radius` (0 or more) of (x, y) in either direction, read as
    // objectIdAt reads each one of them.
    virtual IdSquare objectIdsAround(int x, int y, int radius) = 0;
};
