// App.cpp -- command line, window and context, the frame loop with its statistics, and shutdown.
#include "app/App.h"

#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include <epoxy/gl.h>

#include "app/GlDiagnostics.h"
#include "app/Platform.h"
#include "app/RenderScaleOption.h"
#include "game/Game.h"

bool showFps = false;

CommandLine parseCommandLine(int argc, const char* const* argv, std::ostream& out) {
    CommandLine line;
    for (int i = 0; i < argc; ++i) {
        const char* word = argv[i] ? argv[i] : "";
        out << word << std::endl;
        if (std::strcmp(word, "fullscreen") == 0) line.fullscreenRequested = true;
        if (std::strcmp(word, "highestframerate") == 0) line.highestFrameRate = true;
    }
    return line;
}

bool acceptGLVersion(int major, int minor, std::ostream& err) {
    if (major > 3 || (major == 3 && minor >= 3)) return true;
    err << "Error: OpenGL version 3.3 not supported." << std::endl;
    err << "       Your version is " << major << "." << minor << "." << std::endl;
    err << "       Try updating your graphics driver." << std::endl;
    return false;
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
    const CommandLine line = parseCommandLine(argc, argv, std::cout);
    const bool initialised = platform::init();

    int width = 1200, height = 800;
    if (line.fullscreenRequested) {
        platform::desktopSize(width, height);
        std::cout << width << " " << height << std::endl;
    }
    if (!initialised || !platform::openWindow(width, height, line.fullscreenRequested)) {
        std::cerr << "Failed to initialize OpenGL window." << std::endl;
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
        const RenderScaleSetting scale = chooseRenderScale(renderScaleFromCommandLine(argc, argv, std::cerr),
                                                           renderer ? reinterpret_cast<const char*>(renderer) : "");
        game->setRenderScale(scale.automatic, scale.fixed);
    }

    platform::setTitle("Omnivex");
    platform::setWindowSizeCallback(windowSizeCallback);
    platform::setKeyCallback(keyCallback);
    platform::setMouseButtonCallback(mouseButtonCallback);
    if (line.highestFrameRate) platform::setSwapInterval(0);

    double previousTime = 0.0;
    FrameStatistics statistics;
    for (;;) {
        const double now = platform::time();
        const double frameTime = now - previousTime;
        previousTime = now;
        game->update(game->timeScale * static_cast<float>(frameTime));
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
