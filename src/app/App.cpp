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
#include "sound/SoundManager.h"

bool showFps = false;

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

    platform::WindowInput input;
    GameOptions options;
    options.input = &input;
    options.seedFromClock = false;
    options.seed = seed;
    auto theGame = std::make_unique<Game>(options);
    if (!theGame->worldComplete) {
        // The world cannot be drawn without its shader programs: the reason has been printed.
        theGame.reset();
        platform::terminate();
        return 1;
    }
    game = theGame.get();
    {
        const GLubyte* renderer = glGetString(GL_RENDERER);
        const RenderScaleSetting scale =
            chooseRenderScale(line.renderScale, renderer ? reinterpret_cast<const char*>(renderer) : "");
        game->setRenderScale(scale.automatic, scale.fixed);
        std::cout << (scale.automatic ? "Render scale: auto" : renderScaleLine(game->renderScale)) << std::endl;
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
        game->render();
        platform::swapBuffers();
        checkGLError();
        statistics.addFrame(frameTime, showFps, game->frustumCulling, game->drawnCount, game->culledCount,
                            std::cout);
        if (platform::keyDown(Key::Escape)) break;
        if (!platform::windowOpen()) break;
    }

    game = nullptr;
    theGame.reset();
    platform::terminate();
    return 0;
}
