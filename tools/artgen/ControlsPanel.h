// ControlsPanel.h -- what the controls panel says: the rules in a few lines, then the player's keys. The art
// generator draws it; the art tests hold the keys against the game's --help. The developers' switches are
// listed in --help, the README and the manual page, not here.
#pragma once

#include <array>

namespace artgen {

struct PanelKey {
    const char* keys;    // as --help names them under "Playing:"
    const char* action;  // one line, or two split at '\n'
};

// One rule a line; a rule may run onto a second line at '\n'.
inline constexpr std::array<const char*, 6> controlsPanelRules = {
    "Good people are born at the statue and work on the holy grenade.",
    "The more workers, the faster the grenade grows out of the ground.",
    "The tree turns good people bad; bad people drag workers to it.",
    "A finished grenade glows: left-click it to throw it at the tree,\nwhich it blows up: the settlement is won.",
    "A grenade left alone decays: the settlement warns, then is lost.",
    "Win three settlements to win the game; lose three and you lose.",
};

// The mouse, full width, each with a second line.
inline constexpr std::array<PanelKey, 2> controlsPanelMouse = {{
    {"Left click", "Lightning: smite a person (a good one too, so aim),\nor throw a finished, glowing grenade"},
    {"Right click", "Send a wandering good person to work on the grenade,\nor fly to a tree"},
}};

// The keyboard, in two columns: flying, then the switches.
inline constexpr std::array<PanelKey, 6> controlsPanelFlying = {{
    {"W / S", "Fly forward / back"},
    {"A / D", "Turn left / right"},
    {"Arrow keys", "Like W / S and A / D"},
    {"Space / C", "Fly up / down"},
    {"Mouse wheel", "Tilt the view"},
    {"1-5", "Fly to settlement 1–5"},
}};
inline constexpr std::array<PanelKey, 6> controlsPanelSwitches = {{
    {"H", "Status display on / off"},
    {"P", "Pause / resume"},
    {"F1", "This panel on / off"},
    {"F10", "Mute / sound on"},
    {"F11", "Night mode"},
    {"Escape", "Quit"},
}};

}  // namespace artgen
