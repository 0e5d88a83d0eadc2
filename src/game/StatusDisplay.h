// StatusDisplay.h -- what the status display over the world shows, worked out from plain values without GL or
// the game: the map with a mark per settlement and the camera, the won and lost counts, the speed and pause
// lines, short messages for the moments that matter, and where each part sits in a window of a given size.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <glm/glm.hpp>

// A settlement as its mark shows it. Thrown covers a grenade on its way to the tree and its explosion.
enum class MarkStatus { BeingBuilt, Warning, ReadyToThrow, Thrown, Won, Lost };
enum class GameOutcome { Playing, Won, Lost };

struct SettlementInput {
    glm::vec2 position = glm::vec2(0.0f);  // world x and z
    MarkStatus status = MarkStatus::BeingBuilt;
    bool blinkOn = false;   // Warning: the wall's blink is lit in this frame
    float progress = 0.0f;  // the grenade's share finished, 0..1 (clamped)
};

// One frame of the world as the display needs it; filled by the caller from the game.
struct StatusInput {
    std::array<SettlementInput, 5> settlements{};
    glm::vec2 cameraPosition = glm::vec2(0.0f);          // world x and z
    glm::vec2 cameraDirection = glm::vec2(0.0f, -1.0f);  // horizontal view direction (x, z), any length
    int wonCount = 0;
    int lostCount = 0;
    GameOutcome outcome = GameOutcome::Playing;
    float speed = 1.0f;  // the game's time scale
    bool paused = false;
    bool intro = false;  // the intro flies the camera in: the display only says how to skip it
};

enum class MarkShape { Round, Square };

// One settlement's mark. Colours have straight alpha. The map's unit square has (0, 0) at its top-left corner,
// which is the smallest world x and z it shows: x runs right with world x, y runs down with world z.
struct MapMark {
    int number = 1;  // 1..5, written in the mark
    glm::vec2 place = glm::vec2(0.5f);
    MarkStatus status = MarkStatus::BeingBuilt;
    MarkShape shape = MarkShape::Round;  // open settlements round, decided ones square
    glm::vec4 fill = glm::vec4(0.0f);
    glm::vec4 border = glm::vec4(0.0f);
    glm::vec4 numberColour = glm::vec4(1.0f);
    bool showsProgress = false;  // an arc over the border, clockwise from the top, over `progress` of a turn
    float progress = 0.0f;
    glm::vec4 progressColour = glm::vec4(0.0f);
    bool halo = false;  // a ring around the mark: a grenade ready to throw, a warning while its wall is lit
    glm::vec4 haloColour = glm::vec4(0.0f);
};

// The camera on the map: where it is (kept on the map's edge when it is beyond it) and where it looks.
struct CameraMark {
    glm::vec2 place = glm::vec2(0.5f);
    glm::vec2 direction = glm::vec2(0.0f, -1.0f);  // unit, in the map's axes
    bool outside = false;
};

struct StatusView {
    std::array<MapMark, 5> marks{};
    CameraMark camera;
    glm::vec2 areaCorner = glm::vec2(0.0f);  // world x, z at the map's top-left corner
    float areaSize = 1.0f;                   // world units across the map
    std::string counts;  // "Won 1/3 · Lost 0/3"
    std::string speed;   // "Speed 3×"; empty at normal speed
    std::string paused;  // "Paused"; empty while the game runs
    std::string pausedHint;  // how to resume; empty while the game runs
    std::string introHint;   // how to skip the intro, during the intro only
};

// The map shows a square of the world around the settlements, with room around them; marks that would
// overlap are moved apart just enough to be read and clicked.
StatusView statusView(const StatusInput& input);

// "Speed 3×", "Speed 0.5×": the time scale to one decimal, empty when that reads as 1 (or is not a number).
std::string speedText(float speed);

// Where the display's parts sit in a window, in pixels from the top-left corner (y down). Everything scales with
// the window: `scale` is 1 at 1200 x 800 and grows with the smaller of width / 1200 and height / 800 (so a
// HiDPI framebuffer of twice the size gets everything twice as large), never below 0.75.
struct PixelRect {
    float x = 0.0f, y = 0.0f, width = 0.0f, height = 0.0f;
    bool contains(const glm::vec2& pixel) const;
};

struct StatusLayout {
    int windowWidth = 0;
    int windowHeight = 0;
    float scale = 1.0f;
    PixelRect plate;     // backplate of the map and the counts, in the top-right corner
    PixelRect map;       // the map's square
    float markRadius = 0.0f;
    float numberSize = 0.0f;   // pixel height of the numbers in the marks
    float cameraSize = 0.0f;   // length of the camera's arrow
    float countsSize = 0.0f;
    glm::vec2 countsAnchor = glm::vec2(0.0f);  // baseline centre of the counts, under the map
    float pausedSize = 0.0f;
    glm::vec2 pausedAnchor = glm::vec2(0.0f);  // baseline centre of "Paused", at the top of the window
    float hintSize = 0.0f;
    glm::vec2 hintAnchor = glm::vec2(0.0f);    // baseline centre of the resume hint, under "Paused"
    float speedSize = 0.0f;
    glm::vec2 speedAnchor = glm::vec2(0.0f);   // baseline centre of the speed, under the hint
    float messageSize = 0.0f;
    float messageSpacing = 0.0f;               // baseline to baseline
    glm::vec2 messageAnchor = glm::vec2(0.0f); // baseline centre of the newest message, at the bottom; older above
    float textPadding = 0.0f;                  // backplate margin around a line of text
};

StatusLayout statusLayout(int windowWidth, int windowHeight);

// The centre of a mark in window pixels.
glm::vec2 markCentre(const StatusLayout& layout, const MapMark& mark);

// The settlement (0..4) whose mark is under the window pixel (from the top-left corner, in framebuffer pixels),
// the nearest when marks touch; -1 for none. The rest of the display is not a target: clicks there go to the world.
int markAt(const StatusLayout& layout, const StatusView& view, const glm::vec2& pixel);

// Messages for the moments that matter, each shown for a few seconds of real time.
enum class MessageKind { Warning, Lost, Ready, Won, GameWon, GameLost };

struct StatusMessage {
    MessageKind kind = MessageKind::Warning;
    int settlement = -1;  // 0..4, -1 for the game's end
    std::string text;
    float age = 0.0f;       // real seconds since it came
    float duration = 0.0f;  // real seconds it is shown
    // 1 while shown in full, down to 0 over its last second.
    float opacity() const;
};

// "Settlement 3 is in danger: nobody is working on its grenade", "You have won the game: ..." (settlement 0..4).
std::string messageText(MessageKind kind, int settlement);
glm::vec4 messageColour(MessageKind kind);

class MessageLog {
public:
    static constexpr float shownSeconds = 6.0f;      // a settlement's message
    static constexpr float gameEndSeconds = 10.0f;   // the game's end
    static constexpr float fadeSeconds = 1.0f;
    static constexpr float repeatSeconds = 20.0f;    // the same news about the same settlement is not repeated sooner
    static constexpr std::size_t mostShown = 4;      // older messages give way to newer ones

    // One frame: ages the messages by `realSeconds`, drops the expired ones, then adds one for each change from
    // `previous` to `current` that matters (a settlement warns, is lost, has its grenade ready, is won; the game
    // is won or lost). The first frame passes the same input twice.
    void update(const StatusInput& previous, const StatusInput& current, float realSeconds);

    // Oldest first.
    const std::vector<StatusMessage>& messages() const { return shown; }

private:
    void add(MessageKind kind, int settlement);

    std::vector<StatusMessage> shown;
    float clock = 0.0f;
    // When each settlement (and, at index 5, the game) last got each kind of message, on `clock`.
    static constexpr float never = -1.0e9f;
    std::array<std::array<float, 6>, 6> lastAdded = {{{never, never, never, never, never, never},
                                                      {never, never, never, never, never, never},
                                                      {never, never, never, never, never, never},
                                                      {never, never, never, never, never, never},
                                                      {never, never, never, never, never, never},
                                                      {never, never, never, never, never, never}}};
};
