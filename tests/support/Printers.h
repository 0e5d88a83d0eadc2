// Printers.h -- the game's codes by name in test failures ("Struck (5)" rather than a row of bytes).
#pragma once

#include <array>
#include <ostream>

#include "assets/Model.h"
#include "game/SceneObject.h"
#include "game/Settlement.h"

namespace omxtest {

template <std::size_t N>
std::ostream& printCode(std::ostream& out, const std::array<const char*, N>& names, int code) {
    const char* name = code >= 0 && static_cast<std::size_t>(code) < N ? names[static_cast<std::size_t>(code)] : nullptr;
    return out << (name ? name : "unknown") << " (" << code << ")";
}

}  // namespace omxtest

inline std::ostream& operator<<(std::ostream& out, PersonState s) {
    static constexpr std::array<const char*, 7> names = {"Wandering", "Working", "Dragging", "Dragged",
                                                         "Sent",      "Struck",  "Gone"};
    return omxtest::printCode(out, names, static_cast<int>(s));
}
inline std::ostream& operator<<(std::ostream& out, GrenadeState s) {
    static constexpr std::array<const char*, 11> names = {nullptr, "Growing", nullptr, nullptr, nullptr, nullptr,
                                                          "Gone",  "Ready",   "Sunk",  "Rolling", "Exploding"};
    return omxtest::printCode(out, names, static_cast<int>(s));
}
inline std::ostream& operator<<(std::ostream& out, GameState s) {
    static constexpr std::array<const char*, 4> names = {"Playing", "Won", "Lost", "Intro"};
    return omxtest::printCode(out, names, static_cast<int>(s));
}
inline std::ostream& operator<<(std::ostream& out, SettlementStatus s) {
    static constexpr std::array<const char*, 4> names = {"Active", "Won", "Lost", "Warning"};
    return omxtest::printCode(out, names, static_cast<int>(s));
}
inline std::ostream& operator<<(std::ostream& out, ObjectType t) {
    static constexpr std::array<const char*, 7> names = {"GoodPerson", "BadPerson", "SettlementTree", "MoaiStatue",
                                                         "HolyGrenade", "GroundTile", "Prop"};
    return omxtest::printCode(out, names, static_cast<int>(t));
}
inline std::ostream& operator<<(std::ostream& out, StrikeKind k) {
    return out << (k == StrikeKind::Shoot ? "Shoot" : "Pick");
}
inline std::ostream& operator<<(std::ostream& out, TextureMode m) {
    static constexpr std::array<const char*, 6> names = {"Colour", "Texture", "Leaves", "Lightning", nullptr,
                                                         "GlowingGrenade"};
    return omxtest::printCode(out, names, static_cast<int>(m));
}
