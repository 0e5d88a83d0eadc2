// Renderer.h -- draws one Game's world. It owns every GL object the picture needs (programs, models and their
// textures, the scene and id targets, the uniform cache) and reads the world through a const reference: what
// it learns while drawing (the counts of drawn and culled objects) it keeps itself.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include <glm/glm.hpp>

#include "game/SceneObject.h"
#include "game/WorldView.h"
#include "render/Overlay.h"
#include "render/ViewVolume.h"
#include "render/WorldAssets.h"

class Game;
class RenderScaleController;
class SceneObject;
class Settlement;

// The switches for looking inside the picture, owned by the shell and read at each frame.
struct RenderSettings {
    bool wireframe = false;       // polygons as lines
    bool transparency = true;     // leaves cut out and the bolt blended; off, both are drawn solid
    bool frustumCulling = false;  // leave out what lies outside the view, and count it
    bool statusDisplay = false;   // the status display over the world (the game's shell shows it from the start)
    bool sharpen = true;          // below render scale 1, sharpen the world before it is scaled up
};

// Objects that passed and failed the culling test in the last frame, counted once per object and pass.
struct FrameCounts {
    int drawn = 0;
    int culled = 0;
};

// The id image: one object number per window pixel, drawn for the pixels picking reads.
struct IdTarget {
    uint32_t framebuffer = 0;
    uint32_t texture = 0;
    uint32_t depthBuffer = 0;
    bool complete = false;  // picking reads 0 while the target is unusable
};

// What the last id pass drew: the view it saw and the window rectangle it covered (x0, y0, x1, y1, exclusive
// ends). A read outside the rectangle draws that pixel from the same view first.
struct IdPass {
    bool drawn = false;
    ViewVolume view;
    glm::ivec4 covered = glm::ivec4(0);
};

// The off-screen target the world is drawn into at the render scale, then put on the window.
struct SceneTarget {
    uint32_t framebuffer = 0;
    uint32_t colorTexture = 0;
    uint32_t depthBuffer = 0;
    int width = 0;
    int height = 0;
    int largestSide = 0;  // the driver's largest texture and renderbuffer side (0: not asked yet)
};

class Renderer : public WorldView {
public:
    // Builds the programs (needs a current GL context once the shader files are found). When a program the
    // world needs cannot be built, the reason is printed and ready() is false. When only the overlay's cannot,
    // the reason is printed and the world is drawn without the status display.
    Renderer();
    ~Renderer() override;
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    bool ready() const { return programsBuilt; }
    // Loads the models and textures and draws this world from now on; it must outlive the renderer's use.
    void loadWorld(const Game& world);

    // WorldView: the frame, a new window size, and the objects at and around a window pixel.
    void drawFrame() override;
    void resizeView(int width, int height) override;
    int objectIdAt(int x, int y) override;
    IdSquare objectIdsAround(int x, int y, int radius) override;

    RenderSettings settings;
    FrameCounts counts() const { return frameCounts; }

    // A fixed scale (0.5 .. 1), or automatic from 1.0 on.
    void setRenderScale(bool automatic, float fixed);
    float renderScale() const { return scale; }
    // True on Mesa's software rasterizers (known once the programs are built).
    bool softwareRasterizer() const { return software; }

    const WorldPrograms& programs() const { return worldPrograms; }
    const WorldModels& models() const { return worldModels; }
    const IdTarget& idTarget() const { return id; }
    const SceneTarget& sceneTarget() const { return scene; }
    // Draws the id pass into the id target for the window rectangle [x0, x1) x [y0, y1) only.
    void drawIdPass(int x0, int y0, int x1, int y1);
    // Limits the scene target's side, as a driver with smaller targets would (tests).
    void limitSceneSide(int largest) { scene.largestSide = largest; }

    // The pieces of a frame, for the frame's own composition and for tests that draw a frame another way.
    // Binds the scene target and clears it; false when the world cannot be drawn into it.
    bool beginFrame();
    // Puts the scene target on the window.
    void presentScene();
    // Draws the status display on the window, over the world put there, when it is switched on; never into the
    // id target, so picking sees the world under it.
    void drawOverlay();
    // True when the overlay's programs were built.
    bool overlayReady() const { return overlay.ready(); }
    // Fills the bolt's buffer from the strike as the rules last built it, while the strike shows.
    void uploadStrike();
    // True when the object is outside the view of the frame being drawn and culling (F8) is on; counts it.
    bool culled(const SceneObject& object);
    // The colour pass's one test of an object: true when it is culled (F8, counted as culled) or lies outside
    // the view; otherwise, with culling on, counted as drawn. One sphere test serves both.
    bool leftOut(const SceneObject& object);
    // Radius around the object's position that holds all of its model as drawn now.
    float reachOf(const SceneObject& object) const;
    // Makes the program current (0 with null).
    void useProgram(ShaderProgram* program);
    ShaderProgram* activeProgram() const { return active; }
    // Sets the per-object uniforms of the current program for one object drawn with `model`, in texture
    // mode `textureMode` (the model's own mode unless the draw says otherwise).
    void setObjectUniforms(const SceneObject& object, const Settlement* settlement, const Model& model,
                           TextureMode textureMode);
    void setObjectUniforms(const SceneObject& object, const Settlement* settlement, const Model& model);
    // The world, read only (loadWorld has given it).
    const Game& world() const { return *game; }
    // The view of the frame being drawn.
    const ViewVolume& frameView() const { return view; }
    // Leaves the always-on skip of what lies outside the view out of the draws (for frames that must draw
    // everything, such as a reference frame).
    bool skipOutsideView = true;

private:
    void adaptRenderScale();
    bool bindSceneTarget(int width, int height);
    // Binds the target the world is sharpened into before it is scaled up: a colour texture of the scene
    // target's size, made when first needed after the scene target was (re)made. False, with nothing bound,
    // when the driver cannot draw into it.
    bool bindSharpenTarget();
    // Draws the window rectangle [x0, x1) x [y0, y1) from the last id pass's view, unless that pass covered it
    // already (a read outside what it covered).
    void coverIdRectangle(int x0, int y0, int x1, int y1);

    const Game* game = nullptr;
    WorldPrograms worldPrograms;
    WorldModels worldModels;
    bool programsBuilt = false;
    bool software = false;
    ShaderProgram* active = nullptr;
    FrameCounts frameCounts;
    ViewVolume view;
    IdTarget id;
    IdPass idPass;
    SceneTarget scene;
    Overlay overlay;
    uint32_t sharpenFramebuffer = 0;  // the world sharpened, at the scene target's size, below scale 1
    uint32_t sharpenTexture = 0;
    uint32_t emptyVertexArray = 0;  // bound while the scale program draws (its quad needs no attributes)
    bool strikeBufferCreated = false;
    float scale = 1.0f;
    std::unique_ptr<RenderScaleController> scaleControl;
    double lastFrameStart = -1.0;  // steady-clock seconds of the last frame, for the controller
};

// Which meshes of a model a draw takes: all of them, all but one, or only that one.
enum class MeshSelection { All, AllBut, Only };
// Draws the chosen meshes of the bound model with whatever program and textures are current.
void drawMeshes(const Model& model, MeshSelection selection = MeshSelection::All, int mesh = -1);

// A finished, rolling or exploding grenade glows; a growing one shows its texture.
TextureMode grenadeTextureMode(GrenadeState state);

// True when the filled ground, inside the sky box, lies behind every pixel of the window (the sky box would
// change none); never in wireframe.
bool groundCoversWindow(const Renderer& renderer);

// Builds the off-screen id target of width x height: a GL_R32I colour texture and a depth renderbuffer. On
// failure prints "fbo init faiiiled!!! you are dooomed!!" and leaves `complete` false; framebuffer 0 stays bound.
IdTarget createIdTarget(int width, int height);
// Frees an id target's framebuffer, texture and depth buffer (0 names are skipped).
void deleteIdTarget(const IdTarget& target);
