// DrawCounting.h -- draw calls and triangles of each frame, per pass and per vertex array, counted by
// standing in for the GL entry points the renderer calls.
#pragma once

#include <cstdint>
#include <map>
#include <utility>

enum class Pass { Colour = 0, ObjectId = 1 };

struct DrawTally {
    long draws = 0;
    long triangles = 0;  // GL_TRIANGLES vertex counts / 3 (the renderer draws nothing else)
};

struct FrameDraws {
    DrawTally passes[2];
    std::map<std::pair<int, uint32_t>, DrawTally> byArray;  // (pass, vertex array) -> tally
};

// While counting is on, every glDrawArrays is tallied under the current pass (the object-id pass is
// the id target being bound) and the bound vertex array. `skipArray`, when not 0, drops
// the draws of that vertex array instead of issuing them: the frame then shows what the rest costs.
void startDrawCounting(uint32_t skipArray = 0);
FrameDraws stopDrawCounting();
