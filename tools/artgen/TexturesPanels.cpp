// TexturesPanels.cpp -- the info panels: the controls card, the win picture and the lose picture.
#include "ControlsPanel.h"
#include "Noise.h"
#include "Textures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include <glm/gtc/constants.hpp>

namespace artgen {

namespace {

constexpr int panelSize = 1024;
constexpr float pi = glm::pi<float>();

// The widest action line of a list.
template <size_t N>
float widestAction(const Font& regular, const std::array<PanelKey, N>& keys, float size) {
    float widest = 0.0f;
    for (const PanelKey& key : keys) {
        const std::string action = key.action;
        for (size_t from = 0, to = 0; from <= action.size(); from = to + 1) {
            to = std::min(action.find('\n', from), action.size());
            widest = std::max(widest, regular.measure(action.substr(from, to - from), size));
        }
    }
    return widest;
}

// The largest size not above `pixelHeight` at which the line fits into maxWidth.
float fitSize(const Font& font, const std::string& text, float pixelHeight, float maxWidth) {
    while (pixelHeight > 8.0f && font.measure(text, pixelHeight) > maxWidth) pixelHeight -= 1.0f;
    return pixelHeight;
}

void drawCentred(Image& image, const Font& font, const std::string& text, float baseline, float pixelHeight,
                 const Color& colour, float maxWidth = 930.0f) {
    const float size = fitSize(font, text, pixelHeight, maxWidth);
    font.draw(image, text, (panelSize - font.measure(text, size)) * 0.5f, baseline, size, colour);
}

// Big text with a dark outline, so it reads on a busy background.
void drawOutlined(Image& image, const Font& font, const std::string& text, float baseline, float pixelHeight,
                  const Color& colour, const Color& outline) {
    const float size = fitSize(font, text, pixelHeight, 940.0f);
    const float x = (panelSize - font.measure(text, size)) * 0.5f;
    const float r = size * 0.035f;
    for (int k = 0; k < 12; ++k) {
        const float a = 2.0f * pi * k / 12.0f;
        font.draw(image, text, x + std::cos(a) * r, baseline + std::sin(a) * r, size, outline);
    }
    font.draw(image, text, x, baseline, size, colour);
}

void drawFrame(Image& image, const Color& colour) {
    const float m = 18.0f;
    for (float inset : {m, m + 10.0f}) {
        const float w = inset == m ? 5.0f : 2.0f;
        drawLine(image, inset, inset, panelSize - inset, inset, w, colour);
        drawLine(image, inset, panelSize - inset, panelSize - inset, panelSize - inset, w, colour);
        drawLine(image, inset, inset, inset, panelSize - inset, w, colour);
        drawLine(image, panelSize - inset, inset, panelSize - inset, panelSize - inset, w, colour);
    }
    for (float cx : {m + 5.0f, panelSize - m - 5.0f})
        for (float cy : {m + 5.0f, panelSize - m - 5.0f}) drawDisc(image, cx, cy, 10.0f, colour);
}

// One key label in its box, and what it does beside it; an action may run onto a second line.
// Returns the baseline of the next row.
float drawKeyRow(Image& image, const Font& regular, const Font& bold, const PanelKey& key, float x, float boxWidth,
                 float actionWidth, float baseline, float size, float lineStep, float actionSize) {
    fillRect(image, x - 8.0f, baseline - size * 0.95f, x + boxWidth - 8.0f, baseline + size * 0.33f,
             rgb(0.25f, 0.3f, 0.5f, 0.65f));
    bold.draw(image, key.keys, x, baseline, size, rgb(1.0f, 0.88f, 0.55f));  // paler than the title's gold
    std::string action = key.action;
    for (size_t line = action.find('\n'); ; line = action.find('\n')) {
        const std::string first = action.substr(0, line);
        regular.draw(image, first, x + boxWidth + 6.0f, baseline, fitSize(regular, first, actionSize, actionWidth),
                     rgb(0.95f, 0.96f, 1.0f));
        if (line == std::string::npos) break;
        action = action.substr(line + 1);
        baseline += size * 1.2f;
    }
    return baseline + lineStep;
}

// The widest key label of a list, with room for its box.
template <size_t N>
float keyBoxWidth(const Font& bold, const std::array<PanelKey, N>& keys, float size) {
    float widest = 0.0f;
    for (const PanelKey& key : keys) widest = std::max(widest, bold.measure(key.keys, size));
    return widest + 24.0f;
}

}  // namespace

// First how the game goes, then the player's keys; the developers' switches are left to --help.
Image paintControlsPanel(const Font& regular, const Font& bold) {
    Image image(panelSize, panelSize);
    for (int y = 0; y < panelSize; ++y)
        for (int x = 0; x < panelSize; ++x) {
            const float n = fbm2(x / 90.0f, y / 90.0f, 4, 0, 0, 111);
            const float vignette = 1.0f - 0.5f * std::pow(std::hypot(x - 512.0f, y - 512.0f) / 724.0f, 2.0f);
            image.at(x, y) = scale(mix(rgb(0.05f, 0.07f, 0.17f), rgb(0.13f, 0.16f, 0.32f), n), vignette);
        }
    const Color gold = rgb(1.0f, 0.8f, 0.35f), heading = rgb(0.55f, 0.85f, 1.0f), white = rgb(1, 1, 1);
    const float left = 62.0f, width = panelSize - 2.0f * left;
    drawFrame(image, gold);
    drawOutlined(image, bold, "OMNIVEX", 112.0f, 86.0f, gold, rgb(0.1f, 0.05f, 0.0f));

    bold.draw(image, "HOW THE GAME GOES", left, 164.0f, 27.0f, heading);
    std::vector<std::string> ruleLines;  // a rule's second line starts with '\n'
    for (const std::string rule : controlsPanelRules) {
        const size_t split = rule.find('\n');
        ruleLines.push_back(rule.substr(0, split));
        if (split != std::string::npos) ruleLines.push_back(rule.substr(split));
    }
    float ruleSize = 27.0f;
    for (const std::string& line : ruleLines) ruleSize = fitSize(regular, line, ruleSize, width - 28.0f);
    float y = 204.0f;
    for (const std::string& line : ruleLines) {
        const bool continued = line[0] == '\n';
        if (!continued) drawDisc(image, left + 6.0f, y - ruleSize * 0.35f, 4.5f, gold);
        regular.draw(image, continued ? line.substr(1) : line, left + 28.0f, y, ruleSize, white);
        y += ruleSize * 1.4f;
    }
    drawLine(image, 120.0f, y - 6.0f, 904.0f, y - 6.0f, 2.0f, rgb(gold.r, gold.g, gold.b, 0.6f));

    y += 34.0f;
    bold.draw(image, "CONTROLS", left, y, 27.0f, heading);
    const float keySize = 26.0f;
    y += 44.0f;
    const float mouseBox = keyBoxWidth(bold, controlsPanelMouse, keySize);
    for (const PanelKey& key : controlsPanelMouse)
        y = drawKeyRow(image, regular, bold, key, left + 8.0f, mouseBox, width - mouseBox - 8.0f, y, keySize, 44.0f,
                       keySize);

    // Each column as wide as its widest row; the actions of both at one size.
    const float columnGap = 40.0f;
    const float flyingBox = keyBoxWidth(bold, controlsPanelFlying, keySize);
    const float switchesBox = keyBoxWidth(bold, controlsPanelSwitches, keySize);
    float actionSize = keySize;
    float flyingWidth = 0.0f, switchesWidth = 0.0f;
    for (; actionSize > 12.0f; actionSize -= 1.0f) {
        flyingWidth = flyingBox + widestAction(regular, controlsPanelFlying, actionSize) + 6.0f;
        switchesWidth = switchesBox + widestAction(regular, controlsPanelSwitches, actionSize) + 6.0f;
        if (flyingWidth + columnGap + switchesWidth <= width - 8.0f) break;
    }
    float leftColumn = y, rightColumn = y;
    for (const PanelKey& key : controlsPanelFlying)
        leftColumn = drawKeyRow(image, regular, bold, key, left + 8.0f, flyingBox, flyingWidth - flyingBox,
                                leftColumn, keySize, 42.0f, actionSize);
    const float rightX = left + width - switchesWidth;
    for (const PanelKey& key : controlsPanelSwitches)
        rightColumn = drawKeyRow(image, regular, bold, key, rightX, switchesBox, switchesWidth - switchesBox,
                                 rightColumn, keySize, 42.0f, actionSize);

    drawCentred(image, regular, "Press F1 to close this panel. The developers' switches: omnivex --help", 972.0f, 22.0f,
                rgb(0.7f, 0.75f, 0.9f));
    return image;
}

Image paintWinPanel(const Font& regular, const Font& bold) {
    Image image(panelSize, panelSize);
    for (int y = 0; y < panelSize; ++y)
        for (int x = 0; x < panelSize; ++x) {
            const float dx = x - 512.0f, dy = y - 430.0f;
            const float r = std::hypot(dx, dy) / 724.0f;
            const float rays = 0.5f + 0.5f * std::sin(std::atan2(dy, dx) * 16.0f);
            const Color sky = mix(rgb(1.0f, 0.95f, 0.7f), rgb(0.95f, 0.6f, 0.15f), clamp01(r * 1.3f));
            image.at(x, y) = mix(sky, rgb(1.0f, 0.98f, 0.85f), rays * 0.25f * (1.0f - clamp01(r)));
        }
    // The holy grenade, shining.
    const float gx = 512.0f, gy = 560.0f;
    drawDisc(image, gx, gy, 120.0f, rgb(1.0f, 1.0f, 0.9f, 0.35f));
    drawDisc(image, gx, gy, 92.0f, rgb(0.55f, 0.35f, 0.05f));
    drawDisc(image, gx, gy, 86.0f, rgb(0.98f, 0.75f, 0.2f));
    drawDisc(image, gx - 28.0f, gy - 30.0f, 26.0f, rgb(1.0f, 0.95f, 0.7f, 0.6f));
    fillRect(image, gx - 86.0f, gy - 8.0f, gx + 86.0f, gy + 8.0f, rgb(0.75f, 0.45f, 0.1f));
    fillRect(image, gx - 24.0f, gy - 112.0f, gx + 24.0f, gy - 84.0f, rgb(0.8f, 0.55f, 0.15f));
    fillRect(image, gx - 8.0f, gy - 190.0f, gx + 8.0f, gy - 110.0f, rgb(0.98f, 0.78f, 0.25f));
    fillRect(image, gx - 34.0f, gy - 168.0f, gx + 34.0f, gy - 152.0f, rgb(0.98f, 0.78f, 0.25f));
    drawDisc(image, gx + 60.0f, gy, 9.0f, rgb(0.8f, 0.05f, 0.1f));
    drawFrame(image, rgb(0.6f, 0.35f, 0.05f));
    drawOutlined(image, bold, "YOU WIN!", 250.0f, 190.0f, rgb(1.0f, 1.0f, 1.0f), rgb(0.55f, 0.3f, 0.0f));
    drawCentred(image, bold, "Three settlements are saved.", 790.0f, 48.0f, rgb(0.35f, 0.18f, 0.0f));
    drawCentred(image, regular, "Their holy grenades blew the trees of temptation away,", 860.0f, 32.0f, rgb(0.3f, 0.15f, 0.0f));
    drawCentred(image, regular, "and the good people rise into the sky.", 904.0f, 32.0f, rgb(0.3f, 0.15f, 0.0f));
    return image;
}

Image paintLosePanel(const Font& regular, const Font& bold) {
    Image image(panelSize, panelSize);
    for (int y = 0; y < panelSize; ++y)
        for (int x = 0; x < panelSize; ++x) {
            const float n = fbm2(x / 70.0f, y / 70.0f, 5, 0, 0, 121);
            const float r = std::hypot(x - 512.0f, y - 520.0f) / 724.0f;
            image.at(x, y) = scale(mix(rgb(0.3f, 0.03f, 0.03f), rgb(0.05f, 0.02f, 0.03f), clamp01(r * 1.2f)), 0.7f + 0.5f * n);
        }
    // Cracks running out from the middle, as if the land itself broke.
    Rng rng(0xDEAD);
    for (int c = 0; c < 11; ++c) {
        float x = 512.0f, y = 560.0f;
        float angle = 2.0f * pi * c / 11.0f + rng.range(-0.2f, 0.2f);
        for (int s = 0; s < 26; ++s) {
            const float length = rng.range(14.0f, 30.0f);
            const float nx = x + std::cos(angle) * length, ny = y + std::sin(angle) * length;
            drawLine(image, x, y, nx, ny, std::max(1.0f, 7.0f - s * 0.25f), rgb(0.0f, 0.0f, 0.0f));
            drawLine(image, x, y, nx, ny, std::max(0.6f, 2.0f - s * 0.06f), rgb(1.0f, 0.35f, 0.1f, 0.7f));
            x = nx;
            y = ny;
            angle += rng.range(-0.5f, 0.5f);
        }
    }
    // A sunken wall with a dark horned figure rising behind it.
    drawDisc(image, 512.0f, 470.0f, 50.0f, rgb(0.05f, 0.03f, 0.05f));
    fillRect(image, 452.0f, 500.0f, 572.0f, 640.0f, rgb(0.05f, 0.03f, 0.05f));
    drawLine(image, 478.0f, 440.0f, 450.0f, 380.0f, 12.0f, rgb(0.05f, 0.03f, 0.05f));
    drawLine(image, 546.0f, 440.0f, 574.0f, 380.0f, 12.0f, rgb(0.05f, 0.03f, 0.05f));
    drawDisc(image, 494.0f, 468.0f, 8.0f, rgb(1.0f, 0.2f, 0.05f));
    drawDisc(image, 530.0f, 468.0f, 8.0f, rgb(1.0f, 0.2f, 0.05f));
    for (int b = 0; b < 8; ++b) {
        const float x = 300.0f + b * 55.0f;
        fillRect(image, x, 630.0f + (b % 2) * 8.0f, x + 50.0f, 680.0f, rgb(0.2f, 0.19f, 0.22f));
        fillRect(image, x, 676.0f, x + 50.0f, 680.0f, rgb(0.08f, 0.07f, 0.09f));
    }
    drawFrame(image, rgb(0.5f, 0.08f, 0.05f));
    drawOutlined(image, bold, "YOU LOSE", 250.0f, 190.0f, rgb(0.9f, 0.15f, 0.1f), rgb(0.0f, 0.0f, 0.0f));
    drawCentred(image, bold, "Three settlements were lost.", 790.0f, 48.0f, rgb(1.0f, 0.85f, 0.8f));
    drawCentred(image, regular, "Nobody worked on their holy grenades, temptation won,", 860.0f, 32.0f, rgb(0.95f, 0.75f, 0.7f));
    drawCentred(image, regular, "and the lost settlements sank into the ground.", 904.0f, 32.0f, rgb(0.95f, 0.75f, 0.7f));
    return image;
}

}  // namespace artgen
