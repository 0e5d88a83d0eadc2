// Report.h -- everything one benchmark run measured, printed as one table and written as JSON.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "FrameTiming.h"
#include "UpdateBench.h"

// Seconds from process start to the first presented frame, by phase.
struct StartupResult {
    double beforeMain = 0.0;  // exec to main, from the kernel's process start time (10 ms steps)
    double window = 0.0;      // window system, window and GL context, version check
    double shaders = 0.0, models = 0.0, textures = 0.0, sounds = 0.0;
    double world = 0.0;       // the rest of the world construction
    double firstFrame = 0.0;  // resize, first update, render and present
    double total = 0.0;
    double cpuSeconds = 0.0;  // processor time of the process (all threads) up to the first frame
    double mipmapGeneration = 0.0, textureUpload = 0.0;  // parts of `textures`
    double soundDecoding = 0.0;                          // part of `sounds`
    // Resident-set growth of each phase in megabytes (same order as the times; beforeMain and window
    // together in `window`).
    double windowMemory = 0.0, shadersMemory = 0.0, modelsMemory = 0.0, texturesMemory = 0.0,
           soundsMemory = 0.0, worldMemory = 0.0, firstFrameMemory = 0.0;
};

struct Machine {
    std::string cpu;
    int cores = 0;
    std::string glRenderer;
    std::string glVersion;
    std::string loadBefore;  // /proc/loadavg when the run started
    std::string loadAfter;
    std::string date;
};

struct BenchReport {
    Machine machine;
    StartupResult startup;
    std::vector<ViewResult> views;
    std::vector<TracePoint> trace;  // the automatic render scale, second by second (--trace)
    double residentAfterViews = 0.0;  // megabytes, once every view has been drawn
    double anonymousAfterViews = 0.0;  // of which heap and driver memory (RssAnon)
    double fileAfterViews = 0.0;       // of which mapped files, mostly library code (RssFile)
    UpdateResult update;
    double peakMemoryMegabytes = 0.0;  // ru_maxrss, the whole run
    // ru_maxrss of a child that plays as the game does (full population, the play view, the default scale),
    // without the plain frames and extra programs the comparisons above hold; 0 when not measured.
    double gamePeakMemoryMegabytes = 0.0;
    std::string whatIf;                // a change the frames were measured under ("" for the game as it is)
};

// The targets the numbers are held against.
constexpr double startupTargetSeconds = 0.5;
constexpr double updateTargetMicroseconds = 100.0;
constexpr double memoryTargetMegabytes = 175.0;

Machine describeMachine();
std::string loadAverage();
void printTable(const BenchReport& report, std::ostream& out);
void writeJson(const BenchReport& report, std::ostream& out);
