// Atlas.h -- where each model part lives in its texture; shared by the model builders and the painters.
#pragma once

#include "Mesh.h"

namespace artgen::atlas {

// People (256 x 256). Lofted parts wrap around their column: the front (+x) is the middle of the rectangle.
constexpr UvRect personHead{0.0f, 0.0f, 0.5f, 0.5f};
constexpr UvRect personBody{0.5f, 0.0f, 1.0f, 0.5f};
constexpr UvRect personArm{0.0f, 0.5f, 0.25f, 1.0f};
constexpr UvRect personLeg{0.25f, 0.5f, 0.5f, 1.0f};
constexpr UvRect personExtra{0.5f, 0.5f, 0.75f, 0.75f};  // horns, spikes
constexpr UvRect personRobeCap{0.5f, 0.75f, 0.75f, 1.0f};  // plain robe cloth: the robe's shoulders and hem, sleeve ends
constexpr UvRect personSole{0.25f, 0.87f, 0.5f, 1.0f};     // shoe leather: the soles (and the hidden top of the legs)
constexpr UvRect personNeck{0.0f, 0.4f, 0.5f, 0.5f};       // plain skin under the face

// Holy grenade (256 x 256): the orb wraps the top three quarters, trimmings share the bottom strip.
constexpr UvRect grenadeOrb{0.0f, 0.0f, 1.0f, 0.75f};
constexpr UvRect grenadeCollar{0.0f, 0.75f, 0.5f, 0.875f};
constexpr UvRect grenadeJewel{0.0f, 0.875f, 0.5f, 1.0f};
constexpr UvRect grenadeCross{0.5f, 0.75f, 1.0f, 1.0f};

// Leaf cards pick one of four sprigs in the leaf picture.
constexpr UvRect leafSprig[4] = {
    {0.0f, 0.0f, 0.5f, 0.5f}, {0.5f, 0.0f, 1.0f, 0.5f}, {0.0f, 0.5f, 0.5f, 1.0f}, {0.5f, 0.5f, 1.0f, 1.0f}};

// Moai (256 x 256): one cylindrical wrap, front (+x) at u = 0.5, top of the head at v = 0; the top of
// the head maps into the picture's top-left corner.
constexpr UvRect moaiWrap{0.0f, 0.0f, 1.0f, 1.0f};
constexpr UvRect moaiTop{0.0f, 0.0f, 0.12f, 0.12f};
constexpr float moaiHeight = 150.0f;

// Ground border (256 x 256): a bright post column at the left edge, repeated once per unit of length.
constexpr float borderPostWidth = 0.09f;

}  // namespace artgen::atlas
