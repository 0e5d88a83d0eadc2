// ClickTarget.cpp -- the object a click acts on, chosen from the ids around the cursor.
#include "game/ClickTarget.h"

#include <algorithm>

namespace {

// The radius at the window height the game opens with.
constexpr int baseRadius = 8;
constexpr int baseHeight = 800;
// No window is taller than 6400 pixels; the bound keeps the square read back small whatever the size says.
constexpr int largestRadius = 64;

}  // namespace

int IdSquare::at(int dx, int dy) const {
    if (dx < -radius || dx > radius || dy < -radius || dy > radius) return 0;
    const int side = 2 * radius + 1;
    const std::size_t index = static_cast<std::size_t>((dy + radius) * side + (dx + radius));
    return index < ids.size() ? ids[index] : 0;
}

int nearbyPersonRadius(int windowHeight) {
    // Rounded to the nearest pixel.
    const long scaled = (static_cast<long>(baseRadius) * windowHeight + baseHeight / 2) / baseHeight;
    return static_cast<int>(std::clamp<long>(scaled, baseRadius, largestRadius));
}

int chooseClickTarget(const IdSquare& square, const std::function<bool(int)>& nearbyTarget) {
    const int under = square.at(0, 0);
    if (under != 0) return under;
    const int r = square.radius;
    int best = 0;
    int bestDistance = r * r + 1;  // squared, in pixels
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
            const int d = dx * dx + dy * dy;
            if (d >= bestDistance) continue;
            const int id = square.at(dx, dy);
            if (id == 0 || !nearbyTarget(id)) continue;
            best = id;
            bestDistance = d;
        }
    }
    return best;
}
