// Overlay.cpp -- the overlay's GL objects, its batch of shapes and letters, and the one draw that puts them on.
#include "render/Overlay.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include <epoxy/gl.h>

#include "assets/ShaderProgram.h"
#include "render/FontAtlas.h"
#include "render/TextLayout.h"

namespace {

// The atlas is bound on a unit of its own, away from the world's (0 to 3), and put back afterwards.
constexpr GLenum atlasUnit = GL_TEXTURE7;
constexpr int atlasUnitIndex = 7;

enum Kind { RectangleKind = 0, ArcKind = 1, TriangleKind = 2, TextKind = 3 };
const char* const kindDefines[] = {"#define RECTANGLE\n", "#define ARC\n", "#define TRIANGLE\n", "#define TEXT\n"};

// Each GL state that end() changes, read before and written back after.
struct SavedState {
    GLint program = 0, vertexArray = 0, arrayBuffer = 0, activeTexture = GL_TEXTURE0, texture = 0;
    GLint viewport[4] = {0, 0, 0, 0};
    GLint polygonMode[2] = {GL_FILL, GL_FILL};
    GLint blendSourceRgb = GL_ONE, blendDestinationRgb = GL_ZERO, blendSourceAlpha = GL_ONE,
          blendDestinationAlpha = GL_ZERO, blendEquationRgb = GL_FUNC_ADD, blendEquationAlpha = GL_FUNC_ADD;
    GLboolean blend = GL_FALSE, depthTest = GL_FALSE, cullFace = GL_FALSE;

    void read() {
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
        glActiveTexture(atlasUnit);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetIntegerv(GL_POLYGON_MODE, polygonMode);
        glGetIntegerv(GL_BLEND_SRC_RGB, &blendSourceRgb);
        glGetIntegerv(GL_BLEND_DST_RGB, &blendDestinationRgb);
        glGetIntegerv(GL_BLEND_SRC_ALPHA, &blendSourceAlpha);
        glGetIntegerv(GL_BLEND_DST_ALPHA, &blendDestinationAlpha);
        glGetIntegerv(GL_BLEND_EQUATION_RGB, &blendEquationRgb);
        glGetIntegerv(GL_BLEND_EQUATION_ALPHA, &blendEquationAlpha);
        blend = glIsEnabled(GL_BLEND);
        depthTest = glIsEnabled(GL_DEPTH_TEST);
        cullFace = glIsEnabled(GL_CULL_FACE);
    }

    void write() const {
        glUseProgram(static_cast<GLuint>(program));
        glBindVertexArray(static_cast<GLuint>(vertexArray));
        glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer));
        glActiveTexture(atlasUnit);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
        glActiveTexture(static_cast<GLenum>(activeTexture));
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
        // Core profiles keep one mode for both faces.
        glPolygonMode(GL_FRONT_AND_BACK, static_cast<GLenum>(polygonMode[0]));
        glBlendFuncSeparate(static_cast<GLenum>(blendSourceRgb), static_cast<GLenum>(blendDestinationRgb),
                            static_cast<GLenum>(blendSourceAlpha), static_cast<GLenum>(blendDestinationAlpha));
        glBlendEquationSeparate(static_cast<GLenum>(blendEquationRgb), static_cast<GLenum>(blendEquationAlpha));
        const auto enable = [](GLenum capability, GLboolean on) { on ? glEnable(capability) : glDisable(capability); };
        enable(GL_BLEND, blend);
        enable(GL_DEPTH_TEST, depthTest);
        enable(GL_CULL_FACE, cullFace);
    }
};

bool finite(const glm::vec2& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

}  // namespace

bool Overlay::init(const std::string& shaderFolder) {
    destroy();
    for (int kind = 0; kind < kindCount; ++kind) {
        const ShaderProgram built(shaderFolder + "overlayshader", kindDefines[kind]);
        shaders[2 * kind] = built.vertexShader;
        shaders[2 * kind + 1] = built.fragmentShader;
        programs[kind] = built.program;
        if (!built.valid || built.program == 0) {  // the first failure says why; the others would repeat it
            destroy();
            return false;
        }
        viewportLocations[kind] = glGetUniformLocation(built.program, "viewport");
    }
    atlasLocation = glGetUniformLocation(programs[TextKind], "atlas");

    // The atlas: one byte a texel, read bilinearly at every size (a distance field stays smooth when minified).
    GLint activeTexture = GL_TEXTURE0, boundTexture = 0, unpackAlignment = 4;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
    glActiveTexture(atlasUnit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
    glGenTextures(1, &atlasTexture);
    glBindTexture(GL_TEXTURE_2D, atlasTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, fontAtlas.width, fontAtlas.height, 0, GL_RED, GL_UNSIGNED_BYTE,
                 fontAtlas.pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    glActiveTexture(static_cast<GLenum>(activeTexture));

    GLint boundArray = 0, boundBuffer = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &boundArray);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &boundBuffer);
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    const GLsizei stride = sizeof(Vertex);
    const auto attribute = [stride](GLuint location, GLint size, std::size_t offset) {
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, size, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offset));
    };
    attribute(0, 2, offsetof(Vertex, x));
    attribute(1, 2, offsetof(Vertex, u));
    attribute(2, 4, offsetof(Vertex, colour));
    attribute(3, 4, offsetof(Vertex, colour2));
    attribute(4, 4, offsetof(Vertex, shape));
    glBindVertexArray(static_cast<GLuint>(boundArray));
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(boundBuffer));
    return true;
}

void Overlay::destroy() {
    if (vertexBuffer != 0) glDeleteBuffers(1, &vertexBuffer);
    if (vertexArray != 0) glDeleteVertexArrays(1, &vertexArray);
    if (atlasTexture != 0) glDeleteTextures(1, &atlasTexture);
    for (uint32_t& program : programs) {
        if (program != 0) glDeleteProgram(program);
        program = 0;
    }
    for (uint32_t& shader : shaders) {
        if (shader != 0) glDeleteShader(shader);
        shader = 0;
    }
    vertexBuffer = vertexArray = atlasTexture = 0;
    for (int& location : viewportLocations) location = -1;
    atlasLocation = -1;
    vertices.clear();
}

void Overlay::begin(int framebufferWidth, int framebufferHeight) {
    width = framebufferWidth;
    height = framebufferHeight;
    currentLayer = 0;
    vertices.clear();
}

void Overlay::quad(const glm::vec2& topLeft, const glm::vec2& bottomRight, const glm::vec2& localTopLeft,
                   const glm::vec2& localBottomRight, const glm::vec4& colour, const glm::vec4& colour2,
                   const glm::vec4& shape, float kind) {
    const auto vertex = [&](float x, float y, float u, float v) {
        vertices.push_back(Vertex{x, y, u, v, {colour.r, colour.g, colour.b, colour.a},
                                  {colour2.r, colour2.g, colour2.b, colour2.a}, {shape.x, shape.y, shape.z, shape.w}, kind,
                                  currentLayer});
    };
    vertex(topLeft.x, topLeft.y, localTopLeft.x, localTopLeft.y);
    vertex(bottomRight.x, topLeft.y, localBottomRight.x, localTopLeft.y);
    vertex(topLeft.x, bottomRight.y, localTopLeft.x, localBottomRight.y);
    vertex(topLeft.x, bottomRight.y, localTopLeft.x, localBottomRight.y);
    vertex(bottomRight.x, topLeft.y, localBottomRight.x, localTopLeft.y);
    vertex(bottomRight.x, bottomRight.y, localBottomRight.x, localBottomRight.y);
}

void Overlay::rect(const glm::vec2& topLeft, const glm::vec2& size, const glm::vec4& colour, float cornerRadius) {
    if (!finite(topLeft) || !finite(size) || size.x <= 0.0f || size.y <= 0.0f) return;
    const glm::vec2 half = size * 0.5f;
    const float radius = std::isfinite(cornerRadius) ? std::clamp(cornerRadius, 0.0f, std::min(half.x, half.y)) : 0.0f;
    // One pixel more on every side, for the smoothed edge.
    const glm::vec2 reach = half + glm::vec2(1.0f);
    const glm::vec2 centre = topLeft + half;
    quad(centre - reach, centre + reach, -reach, reach, colour, glm::vec4(0.0f), glm::vec4(half, radius, 0.0f),
         RectangleKind);
}

void Overlay::disc(const glm::vec2& centre, float radius, const glm::vec4& colour) {
    arc(centre, radius, radius, 0.0f, 1.0f, colour);
}

void Overlay::ring(const glm::vec2& centre, float radius, float thickness, const glm::vec4& colour) {
    arc(centre, radius, thickness, 0.0f, 1.0f, colour);
}

void Overlay::arc(const glm::vec2& centre, float radius, float thickness, float startTurns, float sweepTurns,
                  const glm::vec4& colour) {
    if (!finite(centre) || !std::isfinite(radius) || !std::isfinite(thickness) || !std::isfinite(startTurns) ||
        !std::isfinite(sweepTurns) || radius <= 0.0f || thickness <= 0.0f || sweepTurns <= 0.0f)
        return;
    const glm::vec2 reach(radius + 1.0f);
    const float inner = std::max(radius - thickness, 0.0f);
    quad(centre - reach, centre + reach, -reach, reach, colour, glm::vec4(0.0f),
         glm::vec4(radius, inner, startTurns - std::floor(startTurns), std::min(sweepTurns, 1.0f)), ArcKind);
}

void Overlay::triangle(const glm::vec2& a, const glm::vec2& b, const glm::vec2& c, const glm::vec4& colour) {
    if (!finite(a) || !finite(b) || !finite(c)) return;
    const glm::vec2 ab = b - a, ac = c - a;
    const float twiceArea = std::abs(ab.x * ac.y - ab.y * ac.x);
    if (twiceArea < 1e-3f) return;
    // Each corner lies its height away from the opposite edge and on the other two; in between, the
    // distances interpolate exactly.
    const glm::vec2 corners[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        const float opposite = glm::length(corners[(i + 2) % 3] - corners[(i + 1) % 3]);
        glm::vec4 distances(0.0f);
        distances[i] = twiceArea / opposite;
        vertices.push_back(Vertex{corners[i].x, corners[i].y, 0.0f, 0.0f, {colour.r, colour.g, colour.b, colour.a},
                                  {0.0f, 0.0f, 0.0f, 0.0f}, {distances.x, distances.y, distances.z, 0.0f},
                                  static_cast<float>(TriangleKind), currentLayer});
    }
}

float Overlay::text(std::string_view utf8, const glm::vec2& anchor, float pixelSize, const TextStyle& style,
                    TextAlign align) {
    if (!finite(anchor) || !std::isfinite(pixelSize) || pixelSize <= 0.0f) return 0.0f;
    const float scale = pixelSize / fontAtlas.bakedHeight;
    // The field reaches `padding` baked pixels beyond each outline: the outline stays a pixel short of that.
    const float widest = (static_cast<float>(fontAtlas.padding) - 1.0f) * scale;
    const float chosen = style.outlineWidth < 0.0f ? std::max(1.0f, pixelSize / 12.0f) : style.outlineWidth;
    const float outline = std::isfinite(chosen) ? std::clamp(chosen, 0.0f, widest) : 0.0f;
    const glm::vec4 shape(scale, outline, fontAtlas.stepsPerPixel, static_cast<float>(fontAtlas.onEdge) / 255.0f);

    float widestLine = 0.0f;
    float baseline = std::round(anchor.y);
    std::size_t start = 0;
    while (start <= utf8.size()) {
        std::size_t end = utf8.find('\n', start);
        if (end == std::string_view::npos) end = utf8.size();
        const std::string_view line = utf8.substr(start, end - start);
        const float lineWidth = textWidth(line, pixelSize);
        widestLine = std::max(widestLine, lineWidth);
        float left = anchor.x;
        if (align == TextAlign::Centre) left -= lineWidth * 0.5f;
        if (align == TextAlign::Right) left -= lineWidth;
        for (const GlyphQuad& glyph : layoutLine(line, glm::vec2(std::round(left), baseline), pixelSize))
            quad(glyph.topLeft, glyph.bottomRight, glyph.atlasTopLeft, glyph.atlasBottomRight, style.colour,
                 style.outlineColour, shape, TextKind);
        baseline += std::round(lineHeight(pixelSize));
        start = end + 1;
    }
    return widestLine;
}

void Overlay::end() {
    if (!ready() || vertices.empty() || width <= 0 || height <= 0) {
        vertices.clear();
        return;
    }
    // Layer by layer, each kind together; a shape's vertices share both, so they stay together and in order.
    std::stable_sort(vertices.begin(), vertices.end(), [](const Vertex& a, const Vertex& b) {
        return a.layer != b.layer ? a.layer < b.layer : a.kind < b.kind;
    });
    SavedState saved;
    saved.read();

    glViewport(0, 0, width, height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);  // the shader's colour is premultiplied
    for (int kind = 0; kind < kindCount; ++kind) {
        glUseProgram(programs[kind]);
        glUniform2f(viewportLocations[kind], static_cast<float>(width), static_cast<float>(height));
    }
    glUniform1i(atlasLocation, atlasUnitIndex);  // the text program is current
    glActiveTexture(atlasUnit);
    glBindTexture(GL_TEXTURE_2D, atlasTexture);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)), vertices.data(),
                 GL_STREAM_DRAW);
    // A draw for each run of one kind.
    std::size_t start = 0;
    while (start < vertices.size()) {
        const float kind = vertices[start].kind;
        std::size_t stop = start;
        while (stop < vertices.size() && vertices[stop].kind == kind) ++stop;
        glUseProgram(programs[static_cast<int>(kind)]);
        glDrawArrays(GL_TRIANGLES, static_cast<GLint>(start), static_cast<GLsizei>(stop - start));
        start = stop;
    }
    vertices.clear();

    saved.write();
}
