// StatusOverlay.cpp -- the status display's shapes and lines, in the order they cover each other.
#include "render/StatusOverlay.h"

#include <cmath>
#include <string>

#include "render/Overlay.h"
#include "render/TextLayout.h"

namespace {

const glm::vec4 plateColour(0.03f, 0.05f, 0.08f, 0.62f);
const glm::vec4 mapColour(0.12f, 0.17f, 0.14f, 0.55f);
const glm::vec4 shadowColour(0.0f, 0.0f, 0.0f, 0.8f);
const glm::vec4 white(1.0f);

// Half the camera's view across, in turns (about 80 degrees across for a window of 3 : 2).
constexpr float viewHalfTurns = 0.11f;

glm::vec4 faded(glm::vec4 colour, float opacity) {
    colour.a *= opacity;
    return colour;
}

// A line of text centred on `anchor` (x the middle, y the baseline) on a plate of its own, the plate in layer 0
// with the others (one draw for all plates) and the line in layer 2.
void plateLine(Overlay& overlay, const std::string& text, const glm::vec2& anchor, float size, float padding,
               const glm::vec4& colour, float opacity) {
    const float width = textWidth(text, size);
    const float top = anchor.y - textAscent(size) - padding * 0.5f;
    const float bottom = anchor.y + textDescent(size) + padding * 0.5f;
    overlay.layer(0);
    overlay.rect(glm::vec2(anchor.x - width * 0.5f - padding, top), glm::vec2(width + 2.0f * padding, bottom - top),
                 faded(plateColour, opacity), padding);
    overlay.layer(2);
    TextStyle style;
    style.colour = faded(colour, opacity);
    style.outlineColour = faded(style.outlineColour, opacity);
    overlay.text(text, anchor, size, style, TextAlign::Centre);
}

void drawCamera(Overlay& overlay, const StatusLayout& layout, const CameraMark& camera) {
    const glm::vec2 centre = glm::vec2(layout.map.x, layout.map.y) + camera.place * layout.map.width;
    const glm::vec2 direction = camera.direction;
    const glm::vec2 across(-direction.y, direction.x);
    const float size = layout.cameraSize;
    if (!camera.outside) {
        const float facing = std::atan2(direction.x, -direction.y) / 6.2831853f;
        overlay.arc(centre, size * 2.2f, size * 2.2f, facing - viewHalfTurns, 2.0f * viewHalfTurns,
                    glm::vec4(1.0f, 1.0f, 1.0f, 0.18f));
    }
    // An arrow along the view, dark under light so it shows on any mark or ground.
    const glm::vec2 tip = centre + direction * (size * 0.6f), back = centre - direction * (size * 0.4f);
    const float edge = layout.scale * 1.5f;
    overlay.triangle(tip + direction * edge * 1.8f, back - direction * edge + across * (size * 0.38f + edge * 1.6f),
                     back - direction * edge - across * (size * 0.38f + edge * 1.6f), shadowColour);
    overlay.triangle(tip, back + across * (size * 0.38f), back - across * (size * 0.38f), white);
}

void drawMarkShape(Overlay& overlay, const StatusLayout& layout, const MapMark& mark) {
    const glm::vec2 centre = markCentre(layout, mark);
    const float radius = layout.markRadius;
    const float line = 2.5f * layout.scale;
    if (mark.halo) overlay.ring(centre, radius * 1.45f, line, mark.haloColour);
    if (mark.shape == MarkShape::Round) {
        overlay.disc(centre, radius + layout.scale, shadowColour);
        overlay.disc(centre, radius, mark.fill);
        overlay.ring(centre, radius, line, mark.border);
        if (mark.showsProgress && mark.progress > 0.0f)
            overlay.arc(centre, radius + 0.5f * layout.scale, line + layout.scale, 0.0f, mark.progress, mark.progressColour);
    } else {
        const float half = radius * 0.92f;
        overlay.rect(centre - glm::vec2(half + layout.scale), glm::vec2(2.0f * (half + layout.scale)), shadowColour,
                     4.0f * layout.scale);
        overlay.rect(centre - glm::vec2(half), glm::vec2(2.0f * half), mark.border, 3.0f * layout.scale);
        overlay.rect(centre - glm::vec2(half - line), glm::vec2(2.0f * (half - line)), mark.fill, 2.0f * layout.scale);
    }
}

void drawMarkNumber(Overlay& overlay, const StatusLayout& layout, const MapMark& mark) {
    const glm::vec2 centre = markCentre(layout, mark);
    TextStyle style;
    style.colour = mark.numberColour;
    const bool darkNumber = mark.numberColour.r + mark.numberColour.g + mark.numberColour.b < 1.5f;
    style.outlineWidth = darkNumber ? 0.0f : layout.scale;
    const float size = layout.numberSize;
    overlay.text(std::to_string(mark.number), glm::vec2(centre.x, centre.y + capitalHeight(size) * 0.5f), size, style,
                 TextAlign::Centre);
}

}  // namespace

void drawStatusDisplay(Overlay& overlay, const StatusLayout& layout, const StatusView& view,
                       const std::vector<StatusMessage>& messages) {
    // The intro shows the world whole: only the line that says how to skip it, where the messages go.
    if (!view.introHint.empty()) {
        plateLine(overlay, view.introHint, layout.messageAnchor, layout.messageSize, layout.textPadding, white, 1.0f);
        overlay.layer(0);
        return;
    }
    const float s = layout.scale;
    overlay.rect(glm::vec2(layout.plate.x, layout.plate.y), glm::vec2(layout.plate.width, layout.plate.height),
                 plateColour, 8.0f * s);
    overlay.rect(glm::vec2(layout.map.x, layout.map.y), glm::vec2(layout.map.width, layout.map.height), mapColour,
                 4.0f * s);
    // Plates in layer 0, marks in 1, every letter in 2, and the camera over all: you see where you are.
    overlay.layer(1);
    for (const MapMark& mark : view.marks) drawMarkShape(overlay, layout, mark);
    overlay.layer(3);
    drawCamera(overlay, layout, view.camera);
    overlay.layer(2);
    for (const MapMark& mark : view.marks) drawMarkNumber(overlay, layout, mark);
    TextStyle counts;
    overlay.text(view.counts, layout.countsAnchor, layout.countsSize, counts, TextAlign::Centre);

    if (!view.paused.empty()) {
        plateLine(overlay, view.paused, layout.pausedAnchor, layout.pausedSize, layout.textPadding, white, 1.0f);
        plateLine(overlay, view.pausedHint, layout.hintAnchor, layout.hintSize, layout.textPadding,
                  glm::vec4(0.85f, 0.9f, 1.0f, 1.0f), 1.0f);
    }
    if (!view.speed.empty()) {
        // Under the pause lines, or in their place, top aligned with them, while the game runs.
        const glm::vec2 anchor =
            view.paused.empty()
                ? glm::vec2(layout.pausedAnchor.x,
                            layout.pausedAnchor.y - textAscent(layout.pausedSize) + textAscent(layout.speedSize))
                : layout.speedAnchor;
        plateLine(overlay, view.speed, anchor, layout.speedSize, layout.textPadding, glm::vec4(1.0f, 0.9f, 0.6f, 1.0f),
                  1.0f);
    }

    // The newest message at the bottom, older ones above it.
    for (std::size_t k = 0; k < messages.size(); ++k) {
        const StatusMessage& message = messages[messages.size() - 1 - k];
        const glm::vec2 anchor = layout.messageAnchor - glm::vec2(0.0f, layout.messageSpacing * static_cast<float>(k));
        plateLine(overlay, message.text, anchor, layout.messageSize, layout.textPadding, messageColour(message.kind),
                  message.opacity());
    }
    overlay.layer(0);
}
