// Frame.cpp -- one frame: the colour pass into the scene target and from there onto the window, then the
// object-id pass into the id target.
#include <algorithm>
#include <cmath>

#include <epoxy/gl.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "game/ClickTarget.h"
#include "game/Game.h"
#include "game/Settlement.h"
#include "game/WorldConstants.h"
#include "math/Conventions.h"
#include "render/FramePasses.h"
#include "render/Renderer.h"
#include "render/UniformCache.h"

namespace {

// Texture units of the colour pass; unit 0 keeps the sky box's cube map.
constexpr int colorUnit = 1;
constexpr int alphaUnit = 2;
constexpr int projectionUnit = 3;

void bindTexture(int unit, uint32_t texture) {
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
    glBindTexture(GL_TEXTURE_2D, texture);
}

void setInt(const ShaderProgram& program, Uniform uniform, int value) {
    glUniform1i(uniformLocation(program.program, uniform), value);
}

bool treePresent(const Settlement& settlement) {
    return settlement.tree && !settlement.tree->gone && settlement.standing();
}

// The projected picture is read without mipmaps or anisotropy, black outside its square: its coordinates
// change steeply across the ground and the texture's own filtering would be needlessly costly there.
GLuint projectionSampler() {
    static GLuint sampler = 0;
    if (sampler == 0 || !glIsSampler(sampler)) {
        const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        glGenSamplers(1, &sampler);
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
        glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, black);
    }
    return sampler;
}

// The strike's picture projected on the ground: 30 degrees wide, mapped to [0, 1] texture coordinates.
const glm::mat4& projectorMatrix() {
    static const glm::mat4 matrix = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f, 0.5f, 0.0f)) *
                                    glm::scale(glm::mat4(1.0f), glm::vec3(0.5f, 0.5f, 1.0f)) *
                                    omx::perspectiveDegrees(30.0f, 1.0f, 1.0f, 10.0f);
    return matrix;
}

// The info panel's picture for the state of the game: the controls while playing, then the win or lose picture.
uint32_t infoPanelPicture(const Model& panel, GameState state) {
    switch (state) {
    case GameState::Playing: return modelTexture(panel, InfoPanelTexture::Controls);
    case GameState::Won: return modelTexture(panel, InfoPanelTexture::Win);
    case GameState::Lost: return modelTexture(panel, InfoPanelTexture::Lose);
    default: return 0;
    }
}

// Makes the program current, unless it already is.
void useLit(Renderer& r, const LitPrograms& lit, ShaderProgram* program) {
    if (r.activeProgram() != program) useLitProgram(r, *program, lit.texMatrix);
}

// The program that draws a model in texture mode `mode` (as the object uniforms turn it).
ShaderProgram* litProgramFor(const Renderer& r, const LitPrograms& lit, const Model& model, TextureMode mode) {
    if (model.useLight != 1) return lit.general;
    if (!r.settings.transparency && mode == TextureMode::Leaves) mode = TextureMode::Texture;
    if (mode == TextureMode::Texture) return lit.textured;
    if (mode == TextureMode::Leaves) return lit.leaves;
    return lit.general;
}

void useLitFor(Renderer& r, const LitPrograms& lit, const Model& model) {
    useLit(r, lit, litProgramFor(r, lit, model, model.useTexture));
}

// How much of their own colours the people keep when the mood darkens the world (0 nothing, 1 all): enough to
// stay in sight on the darkened grass, not so much that they look pasted on.
constexpr float peopleKeepColour = 0.7f;
// The shadow under a person: its radius in units of the person's scale, and how far (world units) the person's
// feet may be off the ground for it to show.
constexpr float shadowRadius = 1.3f;
constexpr float shadowGroundTolerance = 1.0f;

void setKeepColour(const Renderer& r, float keep) {
    if (r.activeProgram()) glUniform1f(uniformLocation(r.activeProgram()->program, Uniform::KeepColour), keep);
}

// Soft round shadows on the ground under the people who stand on it, blended over what lies there before the
// people are drawn: a dark patch that sets each little figure off from the grass and its flowers. They are
// see-through, so they are left out with transparency off. They write no depth, and are pulled a little towards
// the camera so that the ground they lie on does not hide them.
void drawPeopleShadows(Renderer& r) {
    ShaderProgram* program = r.programs().shadow;
    if (!program || !r.settings.transparency) return;
    const bool blending = glIsEnabled(GL_BLEND) == GL_TRUE;
    glDisable(GL_CULL_FACE);  // a flat patch on the ground, whichever way it is wound
    r.useProgram(program);
    glBindVertexArray(r.models().ground.vao);
    setBlending(true);
    glDepthMask(GL_FALSE);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glEnable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(-1.0f, -2.0f);
    const ViewVolume& view = r.frameView();
    const GLint mvpAt = uniformLocation(program->program, Uniform::MvpMatrix);
    const GLint mvAt = uniformLocation(program->program, Uniform::MvMatrix);
    for (const Settlement* s : r.world().settlements)
        for (const std::vector<SceneObject*>* people : {&s->goodPeople, &s->badPeople})
            for (const SceneObject* person : *people) {
                if (!person || person->personState == PersonState::Gone) continue;
                if (std::fabs(person->position.y) > shadowGroundTolerance) continue;
                const float radius = shadowRadius * std::fabs(person->scale.x);
                const glm::vec3 centre(person->position.x, 0.0f, person->position.z);
                if (r.skipOutsideView && !view.reaches(centre, radius)) continue;
                const glm::mat4 m = glm::scale(glm::translate(glm::mat4(1.0f), centre), glm::vec3(radius, 1.0f, radius));
                const glm::mat4 mv = view.viewMatrix * m;
                const glm::mat4 mvp = view.projectionMatrix * mv;
                glUniformMatrix4fv(mvpAt, 1, GL_FALSE, glm::value_ptr(mvp));
                glUniformMatrix4fv(mvAt, 1, GL_FALSE, glm::value_ptr(mv));
                glDrawArrays(GL_TRIANGLES, 0, 6);
            }
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_POLYGON_OFFSET_LINE);
    glDepthMask(GL_TRUE);
    setBlending(blending);
}

// The closed models (every one but the leaf cards and the flat or inside-seen shapes: ground, sky box, info
// panel, light marker, bolt) are wound counter-clockwise seen from outside, so the faces turned away from the
// camera lie behind their own front faces: they are left out before they are shaded. In wireframe every edge
// stays drawn.
void cullBackFaces(const Renderer& r, bool closedModel) {
    if (closedModel && !r.settings.wireframe) {
        glEnable(GL_CULL_FACE);
    } else {
        glDisable(GL_CULL_FACE);
    }
}

// The people of one kind, then the monument that stands for the settlement once it is decided.
void drawPeople(Renderer& r, const Settlement& s, const std::vector<SceneObject*>& people, const Model& model,
                bool showMonument) {
    for (const SceneObject* person : people) {
        if (!person || person->personState == PersonState::Gone || r.leftOut(*person)) continue;
        r.setObjectUniforms(*person, &s, model);
        drawMeshes(model);
    }
    if (showMonument && s.monument) {
        r.setObjectUniforms(*s.monument, &s, model);
        drawMeshes(model);
    }
}

}  // namespace

void beginColourPass(const Renderer& r) {
    glEnable(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, r.settings.wireframe ? GL_LINE : GL_FILL);
    glDisable(GL_BLEND);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glDisable(GL_CULL_FACE);
}

void setBlending(bool on) {
    if (on) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
}

glm::mat4 prepareLitTextures(Renderer& r) {
    // The lit program reads its alpha and projection units for every pixel whatever the texture mode (the
    // software rasterizer runs every side of a branch), and reading nothing is much cheaper than reading a
    // texture: the units hold a texture only while a draw needs it. The leaves and the bolt bind their own.
    bindTexture(alphaUnit, 0);
    bindTexture(projectionUnit, 0);

    // The strike's picture is projected from a point that slides back along the bolt.
    glm::mat4 texMatrix(1.0f);
    const Game& g = r.world();
    const SceneObject& strike = *g.strike;
    if (strike.visible) {
        const LightningTexture picture =
            g.strikeKind == StrikeKind::Pick ? LightningTexture::PickProjection : LightningTexture::ShootProjection;
        bindTexture(projectionUnit, modelTexture(r.models().lightning, picture));
        glBindSampler(projectionUnit, projectionSampler());
        const int k = static_cast<int>(g.strikeTimer * 400.0f + 10.0f) % 210;
        const glm::vec3 eye = strike.position - static_cast<float>(k) * strike.direction;
        const glm::mat4 projectorView = glm::lookAt(eye, eye + strike.direction, glm::vec3(0.0f, 1.0f, 0.0f));
        texMatrix = projectorMatrix() * projectorView;
    }
    return texMatrix;
}

void useLitProgram(Renderer& r, ShaderProgram& program, const glm::mat4& texMatrix) {
    r.useProgram(&program);
    setInt(program, Uniform::ColorTexture, colorUnit);
    setInt(program, Uniform::AlphaTexture, alphaUnit);
    glUniform1f(uniformLocation(program.program, Uniform::GlowTime), r.world().glowTime);
    if (r.world().strike->visible) setInt(program, Uniform::ProjTexture, projectionUnit);
    glUniformMatrix4fv(uniformLocation(program.program, Uniform::TexMatrix), 1, GL_FALSE, glm::value_ptr(texMatrix));
}

void drawSkyBox(Renderer& r) {
    cullBackFaces(r, false);  // seen from inside
    r.useProgram(r.programs().skybox);
    glBindVertexArray(r.models().skybox.vao);
    r.setObjectUniforms(*r.world().skybox, nullptr, r.models().skybox);
    glDrawArrays(GL_TRIANGLES, 0, 36);
}

void drawGround(Renderer& r) {
    const Model& ground = r.models().ground;
    glBindVertexArray(ground.vao);
    bindTexture(colorUnit, modelTexture(ground, 0));
    for (const SceneObject* tile : r.world().groundTiles) {
        if (r.leftOut(*tile)) continue;
        r.setObjectUniforms(*tile, nullptr, ground);
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }
}

void drawWorldProps(Renderer& r, const LitPrograms& lit) {
    const Game& g = r.world();
    const WorldModels& m = r.models();
    useLitFor(r, lit, m.groundBorder);
    glBindVertexArray(m.groundBorder.vao);
    bindTexture(colorUnit, modelTexture(m.groundBorder, 0));
    cullBackFaces(r, true);
    for (const SceneObject* border : g.borders) {
        r.setObjectUniforms(*border, nullptr, m.groundBorder);
        drawMeshes(m.groundBorder);
    }
    cullBackFaces(r, false);

    if (g.infoPanel->visible) {
        useLitFor(r, lit, m.infoPanel);
        glBindVertexArray(m.infoPanel.vao);
        bindTexture(colorUnit, infoPanelPicture(m.infoPanel, g.state));
        r.setObjectUniforms(*g.infoPanel, nullptr, m.infoPanel);
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }

    if (!g.nightMode) {
        useLitFor(r, lit, m.lightMarker);
        glBindVertexArray(m.lightMarker.vao);
        r.setObjectUniforms(*g.light, nullptr, m.lightMarker);
        glDrawArrays(GL_TRIANGLES, 0, 12);
    }
}

void drawSettlements(Renderer& r, const LitPrograms& lit) {
    const Game& g = r.world();
    const WorldModels& m = r.models();
    cullBackFaces(r, true);
    useLitFor(r, lit, m.wall);
    glBindVertexArray(m.wall.vao);
    for (const Settlement* s : g.settlements) {
        bindTexture(colorUnit, modelTexture(m.wall, s->mood == -1 ? WallTexture::Good : WallTexture::Bad));
        r.setObjectUniforms(*s->wall, s, m.wall);
        drawMeshes(m.wall);
    }

    useLitFor(r, lit, m.moai);
    glBindVertexArray(m.moai.vao);
    bindTexture(colorUnit, modelTexture(m.moai, 0));
    for (const Settlement* s : g.settlements) {
        if (!s->standing() || r.leftOut(*s->moai)) continue;
        r.setObjectUniforms(*s->moai, s, m.moai);
        drawMeshes(m.moai);
    }

    // Each tree is tested once; its leaves (cut out) are drawn first, then its trunk in plain texture mode.
    std::array<bool, 5> treeShown{};
    for (std::size_t i = 0; i < g.settlements.size(); ++i)
        treeShown[i] = treePresent(*g.settlements[i]) && !r.leftOut(*g.settlements[i]->tree);
    useLitFor(r, lit, m.tree);
    glBindVertexArray(m.tree.vao);
    bindTexture(colorUnit, modelTexture(m.tree, TreeTexture::Leaves));
    bindTexture(alphaUnit, modelTexture(m.tree, TreeTexture::LeafAlpha));
    cullBackFaces(r, false);  // the leaf cards are seen from both sides
    for (std::size_t i = 0; i < g.settlements.size(); ++i) {
        if (!treeShown[i]) continue;
        const Settlement* s = g.settlements[i];
        r.setObjectUniforms(*s->tree, s, m.tree);
        drawMeshes(m.tree, MeshSelection::AllBut, treeTrunkMesh);
    }
    bindTexture(colorUnit, modelTexture(m.tree, TreeTexture::Bark));
    bindTexture(alphaUnit, 0);  // nothing before the bolt reads it (see prepareLitTextures)
    useLit(r, lit, litProgramFor(r, lit, m.tree, TextureMode::Texture));
    cullBackFaces(r, true);
    for (std::size_t i = 0; i < g.settlements.size(); ++i) {
        if (!treeShown[i]) continue;
        const Settlement* s = g.settlements[i];
        r.setObjectUniforms(*s->tree, s, m.tree, TextureMode::Texture);
        drawMeshes(m.tree, MeshSelection::Only, treeTrunkMesh);
    }

    // A grenade glows once it is finished; its circling indicator glows with it.
    useLit(r, lit, lit.general);
    glBindVertexArray(m.grenade.vao);
    bindTexture(colorUnit, modelTexture(m.grenade, GrenadeTexture::Body));
    for (const Settlement* s : g.settlements) {
        const SceneObject& grenade = *s->grenade;
        if (grenade.grenadeState == GrenadeState::Gone || r.leftOut(grenade)) continue;
        r.setObjectUniforms(grenade, s, m.grenade, grenadeTextureMode(grenade.grenadeState));
        drawMeshes(m.grenade);
    }
    bindTexture(colorUnit, modelTexture(m.grenade, GrenadeTexture::Indicator));
    for (const Settlement* s : g.settlements) {
        if (s->grenade->grenadeState != GrenadeState::Ready && s->grenade->grenadeState != GrenadeState::Rolling) continue;
        r.setObjectUniforms(*s->grenadeIndicator, s, m.grenade, grenadeTextureMode(s->grenade->grenadeState));
        drawMeshes(m.grenade);
    }

    useLitFor(r, lit, m.grenadeBorder);
    glBindVertexArray(m.grenadeBorder.vao);
    for (const Settlement* s : g.settlements) {
        if (s->grenadeBorder->gone || !s->standing()) continue;
        r.setObjectUniforms(*s->grenadeBorder, s, m.grenadeBorder);
        drawMeshes(m.grenadeBorder);
    }

    drawPeopleShadows(r);
    cullBackFaces(r, true);  // the people and monuments are closed

    // The good, then the bad, each group with its monument: a won settlement's stands in good people's clothes,
    // a lost one's in bad people's.
    for (const bool good : {true, false}) {
        const Model& model = good ? m.goodPerson : m.badPerson;
        useLitFor(r, lit, model);
        setKeepColour(r, peopleKeepColour);
        glBindVertexArray(model.vao);
        bindTexture(colorUnit, modelTexture(model, 0));
        const SettlementStatus monumentShown = good ? SettlementStatus::Won : SettlementStatus::Lost;
        for (const Settlement* s : g.settlements)
            drawPeople(r, *s, good ? s->goodPeople : s->badPeople, model, s->status == monumentShown);
        setKeepColour(r, 0.0f);
    }
    cullBackFaces(r, false);
}

void drawStrike(Renderer& r) {
    const Model& bolt = r.models().lightning;
    const SceneObject& strike = *r.world().strike;
    if (!strike.visible || bolt.vao == 0) return;
    const bool pick = r.world().strikeKind == StrikeKind::Pick;
    glBindVertexArray(bolt.vao);
    r.setObjectUniforms(strike, nullptr, bolt);
    bindTexture(colorUnit, modelTexture(bolt, pick ? LightningTexture::Pick : LightningTexture::Shoot));
    bindTexture(alphaUnit, modelTexture(bolt, pick ? LightningTexture::PickAlpha : LightningTexture::ShootAlpha));
    glDrawArrays(GL_TRIANGLES, 0, 6);
}

namespace {

// The sky box, a box around the origin, in world coordinates: false when it is turned (never, today).
bool skyBoxBounds(const Game& g, glm::vec3& low, glm::vec3& high) {
    if (g.skybox->rotation != glm::vec3(0.0f) || g.skybox->identityTransform) return false;
    glm::vec3 extent(0.0f);
    for (std::size_t v = 0; v + 3 < skyboxVertices.size(); v += 4)
        extent = glm::max(extent, glm::abs(glm::vec3(skyboxVertices[v], skyboxVertices[v + 1], skyboxVertices[v + 2])));
    extent *= glm::abs(g.skybox->scale);
    low = g.skybox->position - extent;
    high = g.skybox->position + extent;
    return true;
}

bool cameraInsideSkyBox(const Game& g) {
    glm::vec3 low, high;
    if (!skyBoxBounds(g, low, high)) return false;
    const glm::vec3 eye = g.camera->position;
    return glm::all(glm::greaterThan(eye, low + 1.0f)) && glm::all(glm::lessThan(eye, high - 1.0f));
}

}  // namespace

// Every pixel of the window sees the filled ground inside the sky box, nearer than the box and between the
// near and far planes: then the sky box, drawn after the world, would not change a pixel. The screen-to-
// ground map is projective while every corner ray goes down to the ground, so the window's four corner rays
// meeting the ground inside the box's square (convex, like the ground under it) and in the depth range are
// enough. The ground tiles reach past the box on every side.
bool groundCoversWindow(const Renderer& r) {
    const Game& g = r.world();
    if (r.settings.wireframe) return false;
    glm::vec3 low, high;
    if (!skyBoxBounds(g, low, high)) return false;
    const glm::dvec3 eye(g.camera->position);
    constexpr double margin = 1.0;
    if (eye.y <= margin || eye.y >= high.y - margin) return false;
    if (eye.x <= low.x + margin || eye.x >= high.x - margin || eye.z <= low.z + margin || eye.z >= high.z - margin)
        return false;
    const glm::dmat4 toWorld = glm::inverse(glm::dmat4(g.projectionMatrix) * glm::dmat4(g.camera->viewMatrix));
    const glm::dmat4 view(g.camera->viewMatrix);
    for (int corner = 0; corner < 4; ++corner) {
        const double nx = (corner & 1) ? 1.0 : -1.0, ny = (corner & 2) ? 1.0 : -1.0;
        const glm::dvec4 far = toWorld * glm::dvec4(nx, ny, 1.0, 1.0);
        const glm::dvec3 ray = glm::dvec3(far) / far.w - eye;
        if (!(ray.y < 0.0)) return false;
        const glm::dvec3 hit = eye + ray * (-eye.y / ray.y);
        if (hit.x <= low.x + margin || hit.x >= high.x - margin || hit.z <= low.z + margin || hit.z >= high.z - margin)
            return false;
        const double depth = -(view * glm::dvec4(hit, 1.0)).z;
        if (!(depth > 2.0 * margin && depth < 0.99 * static_cast<double>(farDistance))) return false;
    }
    return true;
}

void Renderer::drawFrame() {
    if (!beginFrame()) return;
    const Game& g = *game;
    const WorldPrograms& p = worldPrograms;
    uploadStrike();
    beginColourPass(*this);
    const glm::mat4 texMatrix = prepareLitTextures(*this);
    // Only the bolt is drawn with alpha below one: everything else is opaque and drawn without blending, the
    // world first and then the sky box behind it, where the depth test lets it through; the bolt last, blended
    // over both. From outside the sky box its near and far faces overlap: there it goes first, as it always did.
    const bool skyFirst = !cameraInsideSkyBox(g);
    if (skyFirst) drawSkyBox(*this);
    // The ground's own programs leave out the highlight, which a material factor of 0 makes nothing.
    ShaderProgram* ground = g.strike->visible ? p.groundStrike : p.ground;
    if (worldModels.ground.materialFactor != 0.0f) ground = p.phong;
    useLitProgram(*this, *ground, texMatrix);
    drawGround(*this);
    // A software rasterizer shades nothing until it is flushed, and then shades on every core while the
    // program waits. Flushed here, it shades the ground, the most pixels of the frame, while the many small
    // draws of the settlements are being prepared.
    if (software) glFlush();
    const LitPrograms lit{p.phong, g.strike->visible ? p.texturedStrike : p.textured,
                          g.strike->visible ? p.leavesStrike : p.leaves, texMatrix};
    drawWorldProps(*this, lit);
    drawSettlements(*this, lit);
    if (!skyFirst && !groundCoversWindow(*this)) {
        // Where the sky and the world meet at the same depth the sky showed, drawn first: it still does.
        // From inside the box one face of it lies behind each pixel, so it never meets itself there.
        glDepthFunc(GL_LEQUAL);
        drawSkyBox(*this);
        glDepthFunc(GL_LESS);
    }
    if (g.strike->visible) {
        useLitProgram(*this, *p.phong, texMatrix);
        setBlending(settings.transparency);
        drawStrike(*this);
        setBlending(false);
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    presentScene();
    drawOverlay();

    // The pixels a click reads: the square around the cursor in which it finds people (the cursor's row
    // counted from the bottom either way round); a read anywhere else draws its own pixels first.
    useProgram(p.id);
    if (!id.complete) return;
    const int row = g.windowHeight - 1 - g.mouse.y;
    const int reach = nearbyPersonRadius(g.windowHeight);
    drawIdPass(g.mouse.x - reach, row - reach, g.mouse.x + reach + 1, row + reach + 2);
}
