// main.cpp -- omnivex_contactsheet: every model from three angles and every texture flat, in one PNG.
// Run from the build folder (it reads resources/ like the game) under Xvfb; see README.md.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <epoxy/gl.h>
#include <GLFW/glfw3.h>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <stb/stb_image_write.h>

#include "Image.h"
#include "Text.h"
#include "assets/Model.h"
#include "assets/ShaderProgram.h"
#include "assets/Texture.h"

namespace {

constexpr int tile = 224;
constexpr int columns = 8;
constexpr int labelHeight = 20;
const std::string models = "resources/models/";
const std::string textures = "resources/textures/";

struct Renderer {
    const ShaderProgram& program;
    int tileIndex = 0;
    int sheetHeight = 0;
    std::vector<std::string> labels;

    void uniform(const char* name, int value) const { glUniform1i(glGetUniformLocation(program.program, name), value); }
    void uniform(const char* name, const glm::vec2& v) const { glUniform2fv(glGetUniformLocation(program.program, name), 1, glm::value_ptr(v)); }
    void uniform(const char* name, const glm::vec3& v) const { glUniform3fv(glGetUniformLocation(program.program, name), 1, glm::value_ptr(v)); }
    void uniform(const char* name, const glm::vec4& v) const { glUniform4fv(glGetUniformLocation(program.program, name), 1, glm::value_ptr(v)); }
    void uniform(const char* name, const glm::mat4& m) const {
        glUniformMatrix4fv(glGetUniformLocation(program.program, name), 1, GL_FALSE, glm::value_ptr(m));
    }

    // Selects the next tile (left to right, top to bottom) as the viewport; its label goes below it.
    void nextTile(const std::string& label) {
        const int column = tileIndex % columns, row = tileIndex / columns;
        const int y = sheetHeight - row * (tile + labelHeight) - tile;
        glViewport(column * tile, y, tile, tile);
        glEnable(GL_SCISSOR_TEST);
        glScissor(column * tile, y, tile, tile);
        glClearColor(0.16f, 0.17f, 0.2f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        labels.push_back(label);
        ++tileIndex;
    }
};

void bindTexture(int unit, GLenum target, uint32_t name) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(target, name);
}

// A model from three angles. Each mesh gets a mode and textures from `meshStyle`.
struct MeshStyle {
    int mode;
    uint32_t colour, alpha;
    glm::vec4 diffuse{0.7f, 0.5f, 0.3f, 1.0f};
};

void drawModel(Renderer& r, const std::string& file, const std::vector<MeshStyle>& styles, const std::string& label) {
    Model model;
    loadModel(model, models + file, r.program);
    MeshArrays arrays;
    std::string reason;
    importMeshArrays(models + file, arrays, reason);
    glm::vec3 lo(1e30f), hi(-1e30f);
    for (size_t v = 0; v < arrays.positions.size(); v += 4) {
        const glm::vec3 p(arrays.positions[v], arrays.positions[v + 1], arrays.positions[v + 2]);
        lo = glm::min(lo, p);
        hi = glm::max(hi, p);
    }
    const glm::vec3 centre = (lo + hi) * 0.5f;
    const float radius = std::max(glm::length(hi - lo) * 0.5f, 1e-3f);
    const glm::vec3 views[3] = {glm::normalize(glm::vec3(1.0f, 0.3f, 0.2f)), glm::normalize(glm::vec3(-0.7f, 0.45f, 1.0f)),
                                glm::normalize(glm::vec3(0.35f, 1.6f, 0.5f))};
    const char* viewNames[3] = {" front", " back", " above"};
    for (int v = 0; v < 3; ++v) {
        r.nextTile(label + viewNames[v]);
        const glm::vec3 eye = centre + views[v] * radius * 2.7f;
        const glm::vec3 up = std::fabs(views[v].y) > 0.9f ? glm::vec3(1, 0, 0) : glm::vec3(0, 1, 0);
        const glm::mat4 mvp = glm::perspective(glm::radians(42.0f), 1.0f, radius * 0.1f, radius * 10.0f) *
                              glm::lookAt(eye, centre, up);
        r.uniform("mvpMatrix", mvp);
        r.uniform("uvScale", glm::vec2(1.0f));
        r.uniform("lit", 1);
        r.uniform("lightDirection", glm::normalize(glm::vec3(0.5f, 0.8f, 0.3f)));
        glBindVertexArray(model.vao);
        int first = 0;
        for (int m = 0; m < model.meshCount; ++m) {
            const MeshStyle& s = styles[std::min<size_t>(static_cast<size_t>(m), styles.size() - 1)];
            r.uniform("mode", s.mode);
            r.uniform("diffuseColor", s.diffuse);
            bindTexture(1, GL_TEXTURE_2D, s.colour);
            bindTexture(2, GL_TEXTURE_2D, s.alpha);
            const int count = static_cast<int>(model.meshVertexCounts[static_cast<size_t>(m)]);
            glDrawArrays(GL_TRIANGLES, first, count);
            first += count;
        }
        glBindVertexArray(0);
    }
}

// A texture flat on the tile; tiling pictures are shown 2 x 2 so seams would show.
void drawFlat(Renderer& r, Model& quad, const std::string& file, int mode, uint32_t alpha, float repeat) {
    const uint32_t colour = loadTexture(textures + file, false);
    const TgaImage header = readTga(textures + file);
    r.nextTile(file + " " + std::to_string(header.width) + "x" + std::to_string(header.height) +
               (repeat > 1.0f ? " (2x2)" : ""));
    r.uniform("mvpMatrix", glm::mat4(1.0f));
    r.uniform("uvScale", glm::vec2(repeat));
    r.uniform("lit", 0);
    r.uniform("mode", mode);
    bindTexture(1, GL_TEXTURE_2D, colour);
    bindTexture(2, GL_TEXTURE_2D, alpha ? alpha : colour);
    glBindVertexArray(quad.vao);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glBindVertexArray(0);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string output = argc > 1 ? argv[1] : "contactsheet.png";
    if (!glfwInit()) {
        std::fprintf(stderr, "omnivex_contactsheet: no display (run it under xvfb-run)\n");
        return 1;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(64, 64, "omnivex-contactsheet", nullptr, nullptr);
    if (!window) {
        std::fprintf(stderr, "omnivex_contactsheet: could not create an OpenGL 3.3 core context\n");
        return 1;
    }
    glfwMakeContextCurrent(window);

    const int rows = 7;  // 54 tiles: 10 models x 3 views, 21 flat pictures, 3 sky views
    const int width = columns * tile, height = rows * (tile + labelHeight);
    GLuint framebuffer = 0, colour = 0, depth = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::fprintf(stderr, "omnivex_contactsheet: framebuffer incomplete\n");
        return 1;
    }
    glViewport(0, 0, width, height);
    glClearColor(0.08f, 0.08f, 0.1f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);

    ShaderProgram program(CONTACTSHEET_SHADER);
    if (program.program == 0) return 1;
    glUseProgram(program.program);
    Renderer r{program, 0, height, {}};
    r.uniform("colorTexture", 1);
    r.uniform("alphaTexture", 2);
    r.uniform("skyTexture", 0);

    const auto tex = [](const std::string& file) { return loadTexture(textures + file, false); };
    const uint32_t leaves = tex("tree/leaf3.tga"), leafAlpha = tex("tree/leafalpha.tga"), bark = tex("tree/bark.tga");
    std::vector<MeshStyle> tree(15, MeshStyle{2, leaves, leafAlpha});
    tree.push_back(MeshStyle{1, bark, bark});
    drawModel(r, "goodbobob2.obj", {{1, tex("peoplegood/goodbobob.tga"), 0}}, "good person");
    drawModel(r, "badbobob3.obj", {{1, tex("peoplebad/badbobob2.tga"), 0}}, "bad person");
    drawModel(r, "MediumPolyTree2.obj", tree, "tree");
    drawModel(r, "moai_duplicated.obj", {{1, tex("moai/moai.tga"), 0}}, "moai");
    drawModel(r, "holygrenade2.obj", {{1, tex("holygrenade/holygrenade2.tga"), 0}}, "grenade");
    drawModel(r, "holygrenade2.obj", {{1, tex("holygrenade/holygrenade3.tga"), 0}}, "indicator");
    drawModel(r, "wall7.obj", {{1, tex("stonewall/stonegood3.tga"), 0}}, "wall good");
    drawModel(r, "wall7.obj", {{1, tex("stonewall/stonebad3.tga"), 0}}, "wall bad");
    drawModel(r, "groundborder.obj", {{1, tex("ground/groundborderglow.tga"), 0}}, "ground border");
    drawModel(r, "holygrenadeborder2.obj", {{0, 0, 0, {0.7f, 0.5f, 0.3f, 1.0f}}}, "grenade border");

    // Flat pictures on a quad filling the tile, t = 0 at the bottom like every quad of the game.
    Model quad;
    const float positions[24] = {-1, -1, 0, 1, 1, -1, 0, 1, -1, 1, 0, 1, 1, -1, 0, 1, 1, 1, 0, 1, -1, 1, 0, 1};
    const float normals[18] = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
    const float uvs[12] = {0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 1};
    uploadGeometry(quad, program, positions, normals, uvs, sizeof positions, GeometryUsage::Static, false);
    for (const char* file : {"ground/ground2halfglow.tga", "tree/bark.tga", "stonewall/stonegood3.tga", "stonewall/stonebad3.tga"})
        drawFlat(r, quad, file, 1, 0, 2.0f);
    for (const char* file : {"ground/groundborderglow.tga", "tree/leaf3.tga", "peoplegood/goodbobob.tga", "peoplebad/badbobob2.tga",
                             "moai/moai.tga", "holygrenade/holygrenade2.tga", "holygrenade/holygrenade3.tga",
                             "projection/projection1.tga", "projection/projection2.tga", "infopanel/infocontrols.tga",
                             "infopanel/infowin.tga", "infopanel/infolose.tga"})
        drawFlat(r, quad, file, 1, 0, 1.0f);
    for (const char* file : {"tree/leafalpha.tga", "lightning/lightning5.tga", "lightning/lightning2.tga",
                             "lightning/lightningalpha5.tga", "lightning/lightningalpha2.tga"})
        drawFlat(r, quad, file, 3, 0, 1.0f);
    // The sky box as a cube map, looked at from inside across two of its edges.
    const std::string sky = textures + "skyboxgood/";
    const uint32_t cube = loadCubeMap({sky + "xpos.tga", sky + "xneg.tga", sky + "ypos.tga", sky + "yneg.tga", sky + "zpos.tga", sky + "zneg.tga"});
    Model box;
    std::vector<float> cubePositions;
    const int cubeFaces[6][4][3] = {{{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}},     {{-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}},
                                    {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},     {{-1, -1, 1}, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}},
                                    {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},     {{1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}}};
    for (const auto& face : cubeFaces)
        for (int k : {0, 1, 2, 0, 2, 3}) cubePositions.insert(cubePositions.end(), {float(face[k][0]), float(face[k][1]), float(face[k][2]), 1.0f});
    uploadGeometry(box, program, cubePositions.data(), nullptr, nullptr, static_cast<int32_t>(cubePositions.size() * sizeof(float)),
                   GeometryUsage::Static, false);
    const glm::vec3 looks[3] = {{1.0f, 0.05f, 1.0f}, {-1.0f, 0.4f, -1.0f}, {0.2f, 1.0f, 0.1f}};
    for (const glm::vec3& look : looks) {
        r.nextTile("sky cube map");
        const glm::vec3 up = look.y > 0.9f ? glm::vec3(1, 0, 0) : glm::vec3(0, 1, 0);
        r.uniform("mvpMatrix", glm::perspective(glm::radians(100.0f), 1.0f, 0.05f, 10.0f) * glm::lookAt(glm::vec3(0.0f), look, up));
        r.uniform("mode", 4);
        r.uniform("lit", 0);
        bindTexture(0, GL_TEXTURE_CUBE_MAP, cube);
        glBindVertexArray(box.vao);
        glDrawArrays(GL_TRIANGLES, 0, 36);
        glBindVertexArray(0);
    }

    // Read back (bottom-up), write labels under each tile, store the PNG top row first.
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    artgen::Image sheet(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &pixels[(static_cast<size_t>(height - 1 - y) * width + x) * 4];
            sheet.at(x, y) = artgen::rgb(p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f);
        }
    const artgen::Font font("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    for (size_t i = 0; i < r.labels.size(); ++i) {
        const float x = static_cast<float>((i % columns) * tile) + 4.0f;
        const float y = static_cast<float>((i / columns) * (tile + labelHeight) + tile) + 15.0f;
        font.draw(sheet, r.labels[i], x, y, 12.0f, artgen::rgb(0.9f, 0.9f, 0.9f));
    }
    std::vector<unsigned char> png(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < sheet.pixels.size(); ++i) {
        const artgen::Color& c = sheet.pixels[i];
        png[3 * i] = static_cast<unsigned char>(artgen::clamp01(c.r) * 255.0f + 0.5f);
        png[3 * i + 1] = static_cast<unsigned char>(artgen::clamp01(c.g) * 255.0f + 0.5f);
        png[3 * i + 2] = static_cast<unsigned char>(artgen::clamp01(c.b) * 255.0f + 0.5f);
    }
    if (!stbi_write_png(output.c_str(), width, height, 3, png.data(), width * 3)) {
        std::fprintf(stderr, "omnivex_contactsheet: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("omnivex_contactsheet: %d tiles written to %s\n", r.tileIndex, output.c_str());
    glfwTerminate();
    return 0;
}
