// main.cpp -- omnivex_bench: start-up, frame times, draws, the update step and peak memory of the real
// game, in one run, printed as one table and written as JSON.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <epoxy/gl.h>

#include "Clock.h"
#include "FrameTiming.h"
#include "PlaySetup.h"
#include "Report.h"
#include "StartupPhases.h"
#include "UpdateBench.h"
#include "app/App.h"
#include "assets/GlDiagnostics.h"
#include "app/Platform.h"
#include "assets/Model.h"
#include "game/Game.h"
#include "render/Renderer.h"
#include "sound/SoundManager.h"

namespace {

struct Options {
    std::string jsonPath = "omnivex_bench.json";  // relative to the build folder
    int frames = 300;
    int warmup = 60;
    bool attribute = false;
    bool startupOnly = false;
    bool updateOnly = false;
    bool gameOnly = false;  // the child that measures the game's own peak memory
    float anisotropy = 0.0f;  // > 0: what-if, every 2D texture's maximum anisotropy set to this
    double traceSeconds = 0.0;  // > 0: the automatic render scale in the play view, second by second
    std::string only;  // not empty: only the views whose names contain it, and nothing else
};

const char* usage =
    "usage: omnivex_bench [--json=PATH] [--frames=N] [--warmup=N] [--attribute] [--anisotropy=A]\n"
    "                     [--trace=SECONDS] [--only=TEXT] [--startup-only | --update-only] [--benchmark_...]\n"
    "  Runs from the build folder (shaders/ and resources/ there). --attribute also times each model\n"
    "  in the play view by leaving its draws out. --anisotropy=A measures the frames as if every 2D\n"
    "  texture allowed at most A (a what-if: the game itself asks for the driver's largest). Flags\n"
    "  starting with --benchmark_ go to Google Benchmark. --startup-only stops after the first frame\n"
    "  (for timing start-up over many runs); --update-only runs only the update step (no window, e.g.\n"
    "  under callgrind). --trace=SECONDS plays the play view that long at the automatic render scale and\n"
    "  prints the scale and the median frame time of every second. --game-only plays the play view as the\n"
    "  game does and prints nothing: the run starts itself that way to measure the game's own peak memory.\n"
    "  --only=TEXT measures only the views whose names contain TEXT, without the update step and the\n"
    "  game's own peak memory (for trying a change quickly).\n";

// Takes the benchmark's own flags out of argv, leaving the program name and Google Benchmark's flags.
bool parseOptions(int& argc, char** argv, Options& options) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--json=", 0) == 0) {
            options.jsonPath = arg.substr(7);
        } else if (arg.rfind("--frames=", 0) == 0) {
            options.frames = std::atoi(arg.c_str() + 9);
        } else if (arg.rfind("--warmup=", 0) == 0) {
            options.warmup = std::atoi(arg.c_str() + 9);
        } else if (arg.rfind("--anisotropy=", 0) == 0) {
            options.anisotropy = static_cast<float>(std::atof(arg.c_str() + 13));
        } else if (arg.rfind("--trace=", 0) == 0) {
            options.traceSeconds = std::atof(arg.c_str() + 8);
        } else if (arg.rfind("--only=", 0) == 0) {
            options.only = arg.substr(7);
        } else if (arg == "--update-only") {
            options.updateOnly = true;
        } else if (arg == "--game-only") {
            options.gameOnly = true;
        } else if (arg == "--startup-only") {
            options.startupOnly = true;
        } else if (arg == "--attribute") {
            options.attribute = true;
        } else if (arg.rfind("--benchmark_", 0) == 0) {
            argv[kept++] = argv[i];
        } else {
            return false;
        }
    }
    argc = kept;
    return options.frames > 0 && options.warmup >= 0;
}

// Seconds between the kernel's start of this process and now (the start time comes in clock ticks).
double secondsSinceExec() {
    std::ifstream file("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t afterName = stat.rfind(')');
    if (afterName == std::string::npos) return 0.0;
    // Field 22 is the start time; fields 3.. follow the command name in parentheses.
    const char* p = stat.c_str() + afterName + 2;
    for (int field = 3; field < 22 && *p; ++field) {
        const char* space = std::strchr(p, ' ');
        p = space ? space + 1 : "";
    }
    const double started = std::strtod(p, nullptr) / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    const double since = static_cast<double>(boot.tv_sec) + boot.tv_nsec * 1e-9 - started;
    return since > 0.0 ? since : 0.0;
}

// The game reads shaders/ and resources/ from its working directory: when started elsewhere, run from
// the folder that holds the executable (the build folder).
void enterBuildFolder() {
    if (access("shaders", F_OK) == 0) return;
    std::vector<char> path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return;
    std::string folder(path.data(), static_cast<size_t>(length));
    folder = folder.substr(0, folder.rfind('/'));
    if (chdir(folder.c_str()) != 0) std::cerr << "cannot enter " << folder << std::endl;
}

// A "kB" line of /proc/self/status, in megabytes (0 when absent).
double statusMegabytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::atof(line.c_str() + std::strlen(field)) / 1024.0;
    }
    return 0.0;
}

double peakMemoryMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// The play view after the intro: the camera where the intro lands it, looking down at the centre.
View playView(const std::string& name, bool frustumCulling) {
    return {name, glm::vec3(0.0f, 576.0f, 576.0f), glm::normalize(glm::vec3(0.0f, -1.0f, -1.0f)),
            glm::vec3(0.0f, 1.0f, 0.0f), frustumCulling, false};
}

// Runs this benchmark again with --game-only and returns the child's peak memory (0 when it failed).
double gamePeakMemoryMegabytes(const Options& options) {
    const std::string frames = "--frames=" + std::to_string(options.frames);
    const pid_t child = fork();
    if (child == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execl("/proc/self/exe", "omnivex_bench", "--game-only", frames.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (child < 0) return 0.0;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return 0.0;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Peak memory and the load at the end, the table, the JSON file; closes the window system.
int finish(BenchReport& report, const Options& options) {
    report.peakMemoryMegabytes = peakMemoryMegabytes();
    report.machine.loadAfter = loadAverage();
    printTable(report, std::cout);
    std::ofstream json(options.jsonPath);
    writeJson(report, json);
    if (!json) {
        std::cerr << "cannot write " << options.jsonPath << std::endl;
    } else {
        std::cout << "\nJSON written to " << options.jsonPath << std::endl;
    }
    platform::terminate();
    return json ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const double mainStart = nowSeconds();
    BenchReport report;
    report.startup.beforeMain = secondsSinceExec();
    const std::string loadAtStart = loadAverage();

    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::cerr << usage;
        return 2;
    }
    enterBuildFolder();
    if (options.updateOnly) {
        report.update = runUpdateBenchmark(argc, argv);
        report.peakMemoryMegabytes = peakMemoryMegabytes();
        printTable(report, std::cout);
        return 0;
    }

    // Start-up as the game does it: window and context, the Game (world construction), then the first frame.
    startAudioDeviceSearch();
    if (!platform::init() || !platform::openWindow(1200, 800, false)) {
        std::cerr << "Failed to initialize OpenGL window." << std::endl;
        platform::terminate();
        return 1;
    }
    int major = 0, minor = 0;
    platform::glVersion(major, minor);
    if (!acceptGLVersion(major, minor, std::cerr)) {
        platform::terminate();
        return 1;
    }
    glGetError();
    printGLInfo();
    watchTextureCalls();
    const double windowOpen = nowSeconds();
    const double windowResident = residentMegabytes();

    platform::WindowInput input;
    GameOptions gameOptions;
    gameOptions.input = &input;
    gameOptions.seedFromClock = false;  // the same world in every run
    gameOptions.seed = 1;
    auto theRenderer = std::make_unique<Renderer>();
    if (!theRenderer->ready()) {
        std::cerr << "the world could not be built" << std::endl;
        theRenderer.reset();
        platform::terminate();
        return 1;
    }
    auto theGame = std::make_unique<Game>(gameOptions);
    theRenderer->loadWorld(*theGame);
    const double worldBuilt = nowSeconds();
    const StartupPhaseTimes phases = startupPhaseTimes();
    const double worldResident = residentMegabytes();
    game = theGame.get();
    benchRenderer = theRenderer.get();
    game->setView(benchRenderer);
    platform::setTitle("Omnivex");
    platform::setWindowSizeCallback(windowSizeCallback);
    platform::setSwapInterval(0);
    game->update(game->timeScale * static_cast<float>(platform::time()));
    game->render();
    platform::swapBuffers();
    checkGLError();
    glFinish();
    const double firstFrame = nowSeconds();
    const double firstFrameResident = residentMegabytes();
    const double startupCpu = processCpuSeconds();

    StartupResult& s = report.startup;
    s.window = windowOpen - mainStart;
    s.shaders = phases.shaders;
    s.models = phases.models;
    s.textures = phases.textures;
    s.sounds = phases.sounds;
    s.world = (worldBuilt - windowOpen) - (phases.shaders + phases.models + phases.textures + phases.sounds);
    s.firstFrame = firstFrame - worldBuilt;
    s.total = s.beforeMain + (firstFrame - mainStart);
    s.cpuSeconds = startupCpu;
    s.mipmapGeneration = phases.mipmapGeneration;
    s.textureUpload = phases.textureUpload;
    s.soundDecoding = phases.soundDecoding;
    s.windowMemory = windowResident;
    s.shadersMemory = phases.shadersMemory;
    s.modelsMemory = phases.modelsMemory;
    s.texturesMemory = phases.texturesMemory;
    s.soundsMemory = phases.soundsMemory;
    s.worldMemory = (worldResident - windowResident) -
                    (phases.shadersMemory + phases.modelsMemory + phases.texturesMemory + phases.soundsMemory);
    s.firstFrameMemory = firstFrameResident - worldResident;
    report.machine = describeMachine();
    report.machine.loadBefore = loadAtStart;
    if (options.gameOnly) {
        // As the game plays: full population, the play view, the renderer's default scale (automatic here).
        enterPlay(*game);
        fillSettlements(*game);
        View play = playView("play view", false);
        play.autoScale = true;
        settleRenderScale(*game, play);
        measureView(*game, play, 0, options.frames, false);
        game = nullptr;
        benchRenderer = nullptr;
        theRenderer.reset();
        theGame.reset();
        platform::terminate();
        return 0;
    }
    if (options.startupOnly) {
        game = nullptr;
        benchRenderer = nullptr;
        theRenderer.reset();
        theGame.reset();
        return finish(report, options);
    }

    if (options.anisotropy > 0.0f) {
        for (const Model* model : allModels) {
            for (const uint32_t texture : model->textures) {
                if (texture == 0 || model == &benchRenderer->models().skybox) continue;
                glBindTexture(GL_TEXTURE_2D, texture);
                glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, options.anisotropy);
            }
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        report.whatIf = "2D textures at most " + std::to_string(options.anisotropy) + " anisotropy";
    }

    // Full population, then the views, each drawn three ways: the plain frame as before, the quick frame
    // at render scale 1 (the two timed in alternating blocks), and the quick frame at the automatic scale
    // once it has settled.
    enterPlay(*game);
    fillSettlements(*game);
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    struct Place {
        View view;
        double targetAtOne, targetAuto;
    };
    const std::vector<Place> places = {
        {playView("play view", false), 40.0, 60.0},
        {playView("play view, culling on (F8)", true), 40.0, 60.0},
        // A moment of the intro's circling flight where the ground meets the horizon at a grazing angle.
        {{"intro flight, 1800 up", glm::vec3(-1344.5f, 1809.2f, -1210.6f),
          glm::normalize(glm::vec3(0.525f, -0.707f, 0.473f)), up, false, true}, 30.0, 60.0},
        // Every settlement in view across the world, with the sky above: nothing can be left out.
        {{"worst case: all across the world", glm::vec3(0.0f, 1500.0f, 4300.0f),
          glm::normalize(glm::vec3(0.0f, -0.28f, -1.0f)), up, false, true}, 30.0, 60.0},
        // Outside the sky box, whose top face hides the world (the former worst case).
        {{"outside the sky box, 10000 up", glm::vec3(0.0f, 10000.0f, 0.0f), glm::vec3(0.0f, -1.0f, 0.0f),
          glm::vec3(0.0f, 0.0f, -1.0f), false, true}, 30.0, 60.0},
    };
    for (const Place& place : places) {
        if (!options.only.empty() && place.view.name.find(options.only) == std::string::npos) continue;
        if (place.view.name.rfind("play", 0) == 0) enterPlay(*game);
        View before = place.view, atOne = place.view, automatic = place.view;
        before.name += ", before";
        before.plain = true;
        before.targetFps = place.targetAtOne;
        atOne.name += ", scale 1";
        atOne.targetFps = place.targetAtOne;
        automatic.name += ", auto";
        automatic.autoScale = true;
        automatic.targetFps = place.targetAuto;
        for (ViewResult& result : measureAlternating(*game, before, atOne, options.warmup, options.frames))
            report.views.push_back(result);
        // Costs by model only for the play view: each takes as long as the view itself.
        if (options.attribute && report.views.size() == 2)
            report.views.back().byModel = measureView(*game, atOne, 0, options.frames, true).byModel;
        const double settled = settleRenderScale(*game, automatic);
        report.views.push_back(measureView(*game, automatic, options.warmup, options.frames, false));
        report.views.back().settleSeconds = settled;
        // In the play view, what the sharpening of a scaled-up frame costs: at 0.5, without and with it.
        if (&place == &places.front()) {
            View plainly = place.view, sharpened = place.view;
            plainly.name += ", 0.5 scaled up plainly";
            sharpened.name += ", 0.5 sharpened";
            for (View* view : {&plainly, &sharpened}) {
                view->fixedScale = 0.5f;
                view->targetFps = place.targetAuto;
            }
            plainly.unsharpened = true;
            for (ViewResult& result : measureAlternating(*game, plainly, sharpened, options.warmup, options.frames))
                report.views.push_back(result);
        }
        for (std::size_t k = report.views.size() - (&place == &places.front() ? 5 : 3); k < report.views.size(); ++k)
            std::cout << report.views[k].view.name << ": median " << report.views[k].series.frameMedian << " ms"
                      << std::endl;
    }
    if (options.traceSeconds > 0.0) {
        enterPlay(*game);
        report.trace = traceRenderScale(*game, places.front().view, options.traceSeconds);
    }

    report.residentAfterViews = residentMegabytes();
    report.anonymousAfterViews = statusMegabytes("RssAnon:");
    report.fileAfterViews = statusMegabytes("RssFile:");
    game = nullptr;
    benchRenderer = nullptr;
    theRenderer.reset();  // its GL objects go while the context still exists
    theGame.reset();

    if (!options.only.empty()) return finish(report, options);
    report.update = runUpdateBenchmark(argc, argv);
    report.gamePeakMemoryMegabytes = gamePeakMemoryMegabytes(options);
    return finish(report, options);
}
