// StatusOverlay.h -- the status display put on the overlay: the map with the settlements' marks and the camera,
// the won and lost counts, "Paused" with its hint, the speed and the messages, each where statusLayout puts it,
// on a translucent dark plate so it reads over a bright and a dark world.
#pragma once

#include <vector>

#include "game/StatusDisplay.h"

class Overlay;

// Adds the display to the overlay's batch in layers 0 to 3 (during the intro only the line that says how to skip
// it), and leaves the overlay in layer 0; call between Overlay::begin (with the layout's window size) and end.
void drawStatusDisplay(Overlay& overlay, const StatusLayout& layout, const StatusView& view,
                       const std::vector<StatusMessage>& messages);
