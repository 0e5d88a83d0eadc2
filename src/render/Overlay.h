// Overlay.h -- flat drawing over a finished frame, in window pixels from the top-left corner (y down): rounded
// backplates, discs, rings and arcs for marks, triangles, and outlined text in the baked font. Shapes are
// collected between begin() and end(), and end() blends them over what the framebuffer holds, layer by layer;
// within a layer, rectangles first, then arcs, triangles and text, each kind in the order given. So a layer's
// text always lies over its plates, and shapes of different kinds that must cover each other another way go in
// different layers. Each kind has a small program of its own and each run of one kind is one draw call: a
// software rasterizer runs that several times faster than one program for all kinds or one draw per shape.
// The overlay owns its programs, atlas texture and buffers: init() makes them and destroy() frees them, both with
// the context current. Without its programs it draws nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <glm/glm.hpp>

struct TextStyle {
    glm::vec4 colour = glm::vec4(1.0f);                            // straight alpha, as every colour here
    glm::vec4 outlineColour = glm::vec4(0.0f, 0.0f, 0.0f, 0.85f);  // around the letters, for any background
    float outlineWidth = -1.0f;  // pixels; below 0: a twelfth of the size, at least 1 (at most 8 baked pixels)
};

enum class TextAlign { Left, Centre, Right };

class Overlay {
public:
    Overlay() = default;
    ~Overlay() = default;  // makes no GL call: destroy() first
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;

    // Builds the programs from <shaderFolder>overlayshader.vert and .frag, the font atlas texture and the vertex
    // buffers. Returns false, holding nothing, when a program cannot be built (its message is printed); the
    // overlay then draws nothing. A second call first frees what the first made.
    bool init(const std::string& shaderFolder);
    // Frees every GL object (none are left when init failed); safe to call twice.
    void destroy();
    bool ready() const { return programs[0] != 0; }

    // Starts a batch for a framebuffer of width x height pixels, in layer 0.
    void begin(int width, int height);
    // The layer of the shapes added from now on; higher layers are drawn over lower ones.
    void layer(int number) { currentLayer = number; }
    // A rectangle with rounded corners (radius 0: square ones).
    void rect(const glm::vec2& topLeft, const glm::vec2& size, const glm::vec4& colour, float cornerRadius = 0.0f);
    void disc(const glm::vec2& centre, float radius, const glm::vec4& colour);
    // A ring whose outer edge has `radius`.
    void ring(const glm::vec2& centre, float radius, float thickness, const glm::vec4& colour);
    // Part of a ring (thickness >= radius: of a disc, a pie), from `startTurns` clockwise over `sweepTurns`,
    // both in turns from the top (0.25 is the right).
    void arc(const glm::vec2& centre, float radius, float thickness, float startTurns, float sweepTurns,
             const glm::vec4& colour);
    void triangle(const glm::vec2& a, const glm::vec2& b, const glm::vec2& c, const glm::vec4& colour);
    // Text, '\n' starting a new line; the first baseline is at anchor.y, and anchor.x is each line's left end,
    // middle or right end by `align`. Returns the widest line's width.
    float text(std::string_view utf8, const glm::vec2& anchor, float pixelSize, const TextStyle& style,
               TextAlign align = TextAlign::Left);
    // Draws the batch into the framebuffer bound now, over its whole size, and empties the batch. It leaves the
    // program, vertex array, buffer, texture bindings, blending, depth test, face culling, polygon mode and
    // viewport as it found them.
    void end();

    // Vertices collected since begin(), six a shape or letter.
    std::size_t vertexCount() const { return vertices.size(); }

private:
    struct Vertex {
        float x, y;       // window pixels
        float u, v;       // shape coordinates: pixels from the centre, or the atlas position for text
        float colour[4];
        float colour2[4];  // the outline colour of text
        float shape[4];    // per kind: sizes, radii, turns, edge distances or text scales
        float kind;        // 0 rectangle, 1 arc, 2 triangle, 3 text: picks the program
        int layer;
    };
    void quad(const glm::vec2& topLeft, const glm::vec2& bottomRight, const glm::vec2& localTopLeft,
              const glm::vec2& localBottomRight, const glm::vec4& colour, const glm::vec4& colour2,
              const glm::vec4& shape, float kind);

    static constexpr int kindCount = 4;
    uint32_t programs[kindCount] = {0, 0, 0, 0};  // by kind; all or none
    uint32_t shaders[2 * kindCount] = {0, 0, 0, 0, 0, 0, 0, 0};
    int viewportLocations[kindCount] = {-1, -1, -1, -1};
    int atlasLocation = -1;  // in the text program
    uint32_t atlasTexture = 0;
    uint32_t vertexArray = 0;
    uint32_t vertexBuffer = 0;
    int width = 0;
    int height = 0;
    int currentLayer = 0;
    std::vector<Vertex> vertices;
};
