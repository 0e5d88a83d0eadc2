// PlainFrame.h -- the frame drawn the straightforward way, as the reference the game's own frame is held against.
#pragma once

class Renderer;

namespace omxtest {

// Draws the world the plain way: the sky box first, every draw blended (with transparency on), one lit program
// for everything, nothing left out for lying outside the view, and the whole id image. The renderer's own frame
// must give the same pixels, the same ids and the same culling counts.
void drawPlainFrame(Renderer& renderer);

}  // namespace omxtest
