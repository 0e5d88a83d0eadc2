// ClickTarget.h -- which object a click acts on: the one under the cursor or, over bare ground, the person
// whose pixels come nearest the cursor within a few pixels. People are small and walk; a click a moment late
// or a pixel wide still finds the one the player aimed at.
#pragma once

#include <functional>
#include <vector>

// The object ids of the square of window pixels around the cursor, as the last frame drew the world: side
// 2 * radius + 1, rows from the bottom, the cursor's pixel in the middle; 0 where no object is and outside
// the window.
struct IdSquare {
    int radius = 0;
    std::vector<int> ids;

    // The id at (dx, dy) pixels from the cursor; 0 outside the square.
    int at(int dx, int dy) const;
};

// Pixels around the cursor within which a click still finds a person: 8 in a window 800 pixels high, in
// proportion to the height in taller windows, never fewer than 8.
int nearbyPersonRadius(int windowHeight);

// The id a click acts on: the object under the cursor if there is one; otherwise, of the pixels no farther
// than the square's radius from the cursor (between pixel centres), the nearest one whose id `nearbyTarget`
// accepts (on equal distances the first from the bottom row up, left to right); 0 when there is none.
int chooseClickTarget(const IdSquare& square, const std::function<bool(int)>& nearbyTarget);
