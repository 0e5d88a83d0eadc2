// StatusDisplay.cpp -- the status display's content, layout, mark hit test and message log (no GL).
#include "game/StatusDisplay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Sizes in pixels at scale 1 (a 1200 x 800 window).
constexpr float margin = 14.0f;
constexpr float mapSide = 200.0f;
constexpr float platePadding = 10.0f;
constexpr float markRadius = 12.0f;
constexpr float markGap = 4.0f;  // least space between two marks

// Share of the map's side: the least distance between two mark centres, and from a centre to the map's edge.
constexpr float markSpacing = (2.0f * markRadius + markGap) / mapSide;
constexpr float markInset = (markRadius + 2.0f) / mapSide;

// World units left around the settlements on the map, and the least area it shows.
constexpr float areaMargin = 1200.0f;
constexpr float smallestArea = 4000.0f;

const glm::vec4 white(1.0f, 1.0f, 1.0f, 1.0f);
const glm::vec4 gold(1.0f, 0.78f, 0.2f, 1.0f);
const glm::vec4 darkText(0.12f, 0.09f, 0.02f, 1.0f);

// Ascent of the overlay font as a share of its pixel height: the baseline sits this far below a line's top.
constexpr float ascentShare = 0.8f;

void styleMark(MapMark& mark, const SettlementInput& settlement) {
    mark.status = settlement.status;
    mark.progress = std::isfinite(settlement.progress) ? std::clamp(settlement.progress, 0.0f, 1.0f) : 0.0f;
    switch (settlement.status) {
        case MarkStatus::BeingBuilt:
            mark.fill = glm::vec4(0.14f, 0.18f, 0.24f, 0.95f);
            mark.border = glm::vec4(0.62f, 0.68f, 0.75f, 0.95f);
            mark.showsProgress = true;
            mark.progressColour = gold;
            break;
        case MarkStatus::Warning:
            mark.fill = settlement.blinkOn ? glm::vec4(0.85f, 0.1f, 0.08f, 1.0f) : glm::vec4(0.38f, 0.05f, 0.05f, 0.95f);
            mark.border = settlement.blinkOn ? glm::vec4(1.0f, 0.55f, 0.45f, 1.0f) : glm::vec4(0.7f, 0.2f, 0.15f, 0.95f);
            mark.showsProgress = true;
            mark.progressColour = gold;
            mark.halo = settlement.blinkOn;
            mark.haloColour = glm::vec4(1.0f, 0.25f, 0.15f, 0.9f);
            break;
        case MarkStatus::ReadyToThrow:
            mark.fill = gold;
            mark.border = white;
            mark.numberColour = darkText;
            mark.halo = true;
            mark.haloColour = glm::vec4(1.0f, 0.86f, 0.35f, 0.9f);
            mark.progress = 1.0f;
            break;
        case MarkStatus::Thrown:
            mark.fill = glm::vec4(0.8f, 0.55f, 0.12f, 1.0f);
            mark.border = white;
            mark.numberColour = darkText;
            mark.progress = 1.0f;
            break;
        case MarkStatus::Won:
            mark.shape = MarkShape::Square;
            mark.fill = glm::vec4(0.16f, 0.62f, 0.27f, 1.0f);
            mark.border = glm::vec4(0.8f, 1.0f, 0.82f, 1.0f);
            break;
        case MarkStatus::Lost:
            mark.shape = MarkShape::Square;
            mark.fill = glm::vec4(0.2f, 0.2f, 0.22f, 0.95f);
            mark.border = glm::vec4(0.55f, 0.18f, 0.16f, 0.95f);
            mark.numberColour = glm::vec4(0.72f, 0.72f, 0.72f, 1.0f);
            break;
    }
}

// Moves marks closer than markSpacing apart, symmetrically, keeping them inside the map; a few rounds settle it.
void separateMarks(std::array<MapMark, 5>& marks) {
    for (int round = 0; round < 24; ++round) {
        bool moved = false;
        for (std::size_t i = 0; i < marks.size(); ++i)
            for (std::size_t j = i + 1; j < marks.size(); ++j) {
                glm::vec2 apart = marks[j].place - marks[i].place;
                float distance = glm::length(apart);
                if (distance >= markSpacing * 0.999f) continue;
                if (distance < 1e-6f) {  // on top of each other: part along a direction of their own
                    const float angle = static_cast<float>(i * 5 + j) * 1.2566371f;
                    apart = glm::vec2(std::cos(angle), std::sin(angle));
                    distance = 0.0f;
                } else {
                    apart /= distance;
                }
                const glm::vec2 push = apart * ((markSpacing - distance) * 0.5f);
                marks[i].place -= push;
                marks[j].place += push;
                moved = true;
            }
        for (MapMark& mark : marks) mark.place = glm::clamp(mark.place, glm::vec2(markInset), glm::vec2(1.0f - markInset));
        if (!moved) break;
    }
}

}  // namespace

std::string speedText(float speed) {
    if (!std::isfinite(speed)) return std::string();
    const float tenths = std::round(speed * 10.0f);
    if (tenths == 10.0f) return std::string();
    char number[32];
    std::snprintf(number, sizeof number, "%.1f", static_cast<double>(tenths / 10.0f));
    std::string text = number;
    if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0) text.resize(text.size() - 2);
    if (text == "-0") text = "0";
    return "Speed " + text + "×";
}

StatusView statusView(const StatusInput& input) {
    StatusView view;
    glm::vec2 low(0.0f), high(0.0f);
    bool first = true;
    for (const SettlementInput& settlement : input.settlements) {
        if (!std::isfinite(settlement.position.x) || !std::isfinite(settlement.position.y)) continue;
        low = first ? settlement.position : glm::min(low, settlement.position);
        high = first ? settlement.position : glm::max(high, settlement.position);
        first = false;
    }
    const glm::vec2 centre = (low + high) * 0.5f;
    view.areaSize = std::max(std::max(high.x - low.x, high.y - low.y) + 2.0f * areaMargin, smallestArea);
    view.areaCorner = centre - glm::vec2(view.areaSize * 0.5f);

    for (std::size_t i = 0; i < view.marks.size(); ++i) {
        MapMark& mark = view.marks[i];
        const SettlementInput& settlement = input.settlements[i];
        mark.number = static_cast<int>(i) + 1;
        const glm::vec2 place = (settlement.position - view.areaCorner) / view.areaSize;
        mark.place = std::isfinite(place.x) && std::isfinite(place.y) ? place : glm::vec2(0.5f);
        styleMark(mark, settlement);
    }
    separateMarks(view.marks);

    const glm::vec2 cameraPlace = (input.cameraPosition - view.areaCorner) / view.areaSize;
    if (std::isfinite(cameraPlace.x) && std::isfinite(cameraPlace.y)) {
        view.camera.place = glm::clamp(cameraPlace, glm::vec2(0.0f), glm::vec2(1.0f));
        view.camera.outside = view.camera.place != cameraPlace;
    }
    const float length = glm::length(input.cameraDirection);
    if (std::isfinite(length) && length > 1e-6f) view.camera.direction = input.cameraDirection / length;

    view.counts = "Won " + std::to_string(input.wonCount) + "/3 · Lost " + std::to_string(input.lostCount) + "/3";
    view.speed = speedText(input.speed);
    if (input.paused) {
        view.paused = "Paused";
        view.pausedHint = "Press P to resume";
    }
    if (input.intro) view.introHint = "Press F1 to skip the intro";
    return view;
}

bool PixelRect::contains(const glm::vec2& pixel) const {
    return pixel.x >= x && pixel.x < x + width && pixel.y >= y && pixel.y < y + height;
}

StatusLayout statusLayout(int windowWidth, int windowHeight) {
    StatusLayout layout;
    layout.windowWidth = windowWidth;
    layout.windowHeight = windowHeight;
    const float width = static_cast<float>(std::max(windowWidth, 1));
    const float height = static_cast<float>(std::max(windowHeight, 1));
    const float s = std::max(0.75f, std::min(width / 1200.0f, height / 800.0f));
    layout.scale = s;

    layout.countsSize = 16.0f * s;
    const float pad = platePadding * s;
    layout.plate.width = mapSide * s + 2.0f * pad;
    layout.plate.height = mapSide * s + 2.0f * pad + layout.countsSize * 1.2f + pad * 0.5f;
    layout.plate.x = width - margin * s - layout.plate.width;
    layout.plate.y = margin * s;
    layout.map = {layout.plate.x + pad, layout.plate.y + pad, mapSide * s, mapSide * s};
    layout.markRadius = markRadius * s;
    layout.numberSize = 16.0f * s;
    layout.cameraSize = 16.0f * s;
    layout.countsAnchor = glm::vec2(layout.map.x + layout.map.width * 0.5f,
                                    layout.map.y + layout.map.height + pad + layout.countsSize * ascentShare);

    layout.textPadding = 8.0f * s;
    layout.pausedSize = 30.0f * s;
    layout.pausedAnchor = glm::vec2(width * 0.5f, (margin + 4.0f) * s + layout.pausedSize * ascentShare);
    layout.hintSize = 16.0f * s;
    layout.hintAnchor = layout.pausedAnchor + glm::vec2(0.0f, 30.0f * s);
    layout.speedSize = 18.0f * s;
    layout.speedAnchor = layout.hintAnchor + glm::vec2(0.0f, 30.0f * s);

    layout.messageSize = 18.0f * s;
    layout.messageSpacing = 32.0f * s;
    layout.messageAnchor = glm::vec2(width * 0.5f, height - (margin + 12.0f) * s);
    return layout;
}

glm::vec2 markCentre(const StatusLayout& layout, const MapMark& mark) {
    return glm::vec2(layout.map.x, layout.map.y) + mark.place * layout.map.width;
}

int markAt(const StatusLayout& layout, const StatusView& view, const glm::vec2& pixel) {
    // A little more than the mark itself, so the ring and its halo count; where two reach, the nearer wins.
    const float reach = layout.markRadius * 1.25f;
    int found = -1;
    float nearest = reach;
    for (std::size_t i = 0; i < view.marks.size(); ++i) {
        const float distance = glm::length(pixel - markCentre(layout, view.marks[i]));
        if (distance <= nearest) {
            nearest = distance;
            found = static_cast<int>(i);
        }
    }
    return found;
}

float StatusMessage::opacity() const {
    const float left = duration - age;
    return std::clamp(left / MessageLog::fadeSeconds, 0.0f, 1.0f);
}

std::string messageText(MessageKind kind, int settlement) {
    const std::string name = "Settlement " + std::to_string(settlement + 1);
    switch (kind) {
        case MessageKind::Warning: return name + " is in danger: nobody is working on its grenade";
        case MessageKind::Lost: return name + " is lost: its grenade has sunk";
        case MessageKind::Ready: return name + "'s grenade is ready: left-click it to throw it";
        case MessageKind::Won: return name + " is won";
        case MessageKind::GameWon: return "You have won the game: three settlements are won";
        case MessageKind::GameLost: return "You have lost the game: three settlements are lost";
    }
    return std::string();
}

glm::vec4 messageColour(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning: return glm::vec4(1.0f, 0.62f, 0.3f, 1.0f);
        case MessageKind::Lost:
        case MessageKind::GameLost: return glm::vec4(1.0f, 0.42f, 0.38f, 1.0f);
        case MessageKind::Ready: return glm::vec4(1.0f, 0.85f, 0.35f, 1.0f);
        case MessageKind::Won:
        case MessageKind::GameWon: return glm::vec4(0.5f, 1.0f, 0.55f, 1.0f);
    }
    return white;
}

void MessageLog::update(const StatusInput& previous, const StatusInput& current, float realSeconds) {
    const float dt = std::isfinite(realSeconds) && realSeconds > 0.0f ? realSeconds : 0.0f;
    clock += dt;
    for (StatusMessage& message : shown) message.age += dt;
    shown.erase(std::remove_if(shown.begin(), shown.end(),
                               [](const StatusMessage& message) { return message.age >= message.duration; }),
                shown.end());

    for (int i = 0; i < 5; ++i) {
        const MarkStatus before = previous.settlements[static_cast<std::size_t>(i)].status;
        const MarkStatus now = current.settlements[static_cast<std::size_t>(i)].status;
        if (now == before) continue;
        switch (now) {
            case MarkStatus::Warning: add(MessageKind::Warning, i); break;
            case MarkStatus::Lost: add(MessageKind::Lost, i); break;
            case MarkStatus::ReadyToThrow: add(MessageKind::Ready, i); break;
            case MarkStatus::Won: add(MessageKind::Won, i); break;
            case MarkStatus::BeingBuilt:
            case MarkStatus::Thrown: break;
        }
    }
    if (previous.outcome == GameOutcome::Playing && current.outcome == GameOutcome::Won) add(MessageKind::GameWon, -1);
    if (previous.outcome == GameOutcome::Playing && current.outcome == GameOutcome::Lost) add(MessageKind::GameLost, -1);
}

void MessageLog::add(MessageKind kind, int settlement) {
    float& last = lastAdded[static_cast<std::size_t>(settlement < 0 ? 5 : settlement)][static_cast<std::size_t>(kind)];
    if (clock - last < repeatSeconds) return;
    last = clock;
    StatusMessage message;
    message.kind = kind;
    message.settlement = settlement;
    message.text = messageText(kind, settlement);
    message.duration = settlement < 0 ? gameEndSeconds : shownSeconds;
    shown.push_back(message);
    while (shown.size() > mostShown) shown.erase(shown.begin());
}
