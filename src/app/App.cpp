// App.cpp -- command line, window and context, the frame loop with its statistics, and shutdown.
#include "app/App.h"

#include <ctime>
#include <iostream>
#include <memory>
#include <string>

#include <epoxy/gl.h>

#include "app/DataFolder.h"
#include "assets/GlDiagnostics.h"
#include "app/Platform.h"
#include "game/Game.h"
#include "game/WorldConstants.h"
#include "render/Renderer.h"
#include "sound/SoundManager.h"

DebugSwitches debugSwitches;
PlayerSwitches playerSwitches;
Game* game = nullptr;

bool acceptGLVersion(int major, int minor, std::ostream& err) {
    if (major > 3 || (major == 3 && minor >= 3)) return true;
    err << "Error: OpenGL version 3.3 not supported." << std::endl;
    err << "       Your version is " << major << "." << minor << "." << std::endl;
    err << "       Try updating your graphics driver." << std::endl;
    return false;
}

float frameGameTime(double realFrameTime, float timeScale) {
    constexpr double longestFrame = 0.25;
    const double capped = realFrameTime > longestFrame ? longestFrame : realFrameTime;
    return timeScale * static_cast<float>(capped > 0.0 ? capped : 0.0);
}

void FrameStatistics::addFrame(double frameTime, bool showFpsLine, bool frustumCulling, int drawnCount,
                               int culledCount, std::ostream& out) {
    fpsAccumulator += frameTime;
    frameCount += 1;
    if (fpsAccumulator > 1.0) {
        if (showFpsLine) out << "Fps: " << frameCount << std::endl;
        if (frustumCulling)
            out << "Drawn Objects: " << drawnCount / 2 << ", Culled Objects: " << culledCount / 2 << std::endl;
        frameCount = 0;
        fpsAccumulator = 0.0;
    }
}

int runGame(int argc, const char* const* argv) {
    const CommandLine line = readCommandLine(argc, argv);
    const int answered = answerWithoutPlaying(line, programName(argc, argv), std::cout, std::cerr);
    if (answered >= 0) return answered;
    echoCommandLine(argc, argv, std::cout);
    const unsigned seed = line.seedGiven ? line.seed : static_cast<unsigned>(std::time(nullptr));
    std::cout << "Seed: " << seed << std::endl;
    if (!useDataFolder(line.dataFolder, std::cerr)) return 1;

    // The audio device is looked for while the window is made.
    startAudioDeviceSearch();
    const bool initialised = platform::init();

    int width = 1200, height = 800;
    if (line.fullscreenRequested) {
        platform::desktopSize(width, height);
        std::cout << width << " " << height << std::endl;
    }
    if (!initialised || !platform::openWindow(width, height, line.fullscreenRequested)) {
        std::cerr << "Failed to initialize OpenGL window." << std::endl;
        std::cerr << windowFailureLine(platform::windowFailure()) << std::endl;
        platform::terminate();
        return 1;
    }

    int major = 0, minor = 0;
    platform::glVersion(major, minor);
    if (!acceptGLVersion(major, minor, std::cerr)) {
        std::cerr << "Error: initializing flextGL" << std::endl;
        platform::terminate();
        return 1;
    }
    glGetError();
    printGLInfo();

    // The programs first: the world cannot be drawn without them, and then is not built (the reason has been
    // printed).
    auto renderer = std::make_unique<Renderer>();
    if (!renderer->ready()) {
        renderer.reset();
        platform::terminate();
        return 1;
    }
    platform::WindowInput input;
    GameOptions options;
    options.input = &input;
    options.seedFromClock = false;
    options.seed = seed;
    auto theGame = std::make_unique<Game>(options);
    renderer->loadWorld(*theGame);
    game = theGame.get();
    game->setView(renderer.get());
    {
        const GLubyte* name = glGetString(GL_RENDERER);
        const RenderScaleSetting scale =
            chooseRenderScale(line.renderScale, name ? reinterpret_cast<const char*>(name) : "");
        renderer->setRenderScale(scale.automatic, scale.fixed);
        std::cout << (scale.automatic ? "Render scale: auto" : renderScaleLine(renderer->renderScale())) << std::endl;
    }

    platform::setTitle("Omnivex");
    platform::setWindowIcon(loadWindowIcons(basePath));
    platform::setWindowSizeCallback(windowSizeCallback);
    platform::setKeyCallback(keyCallback);
    platform::setMouseButtonCallback(mouseButtonCallback);
    platform::setFocusCallback(focusCallback);
    if (line.highestFrameRate) platform::setSwapInterval(0);

    double previousTime = 0.0;
    FrameStatistics statistics;
    for (;;) {
        const double now = platform::time();
        const double frameTime = now - previousTime;
        previousTime = now;
        game->update(frameGameTime(frameTime, game->timeScale));
        renderer->settings = debugSwitches.render;
        renderer->settings.statusDisplay = playerSwitches.statusDisplay;
        game->render();
        platform::swapBuffers();
        checkGLError();
        const FrameCounts counts = renderer->counts();
        statistics.addFrame(frameTime, debugSwitches.showFps, debugSwitches.render.frustumCulling, counts.drawn,
                            counts.culled, std::cout);
        if (platform::keyDown(Key::Escape)) break;
        if (!platform::windowOpen()) break;
    }

    game = nullptr;
    renderer.reset();
    theGame.reset();
    platform::terminate();
    return 0;
}
