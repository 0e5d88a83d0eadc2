// UpdateBench.cpp -- Game::update with a fixed step on a world without graphics, at full population.
#include "UpdateBench.h"

#include <algorithm>
#include <iostream>
#include <vector>

#include <benchmark/benchmark.h>

#include "PlaySetup.h"
#include "SilentSound.h"
#include "game/Game.h"

namespace {

constexpr float updateStep = 1.0f / 60.0f;
// Each repetition builds its own world and times this many steps (10 s of play): long enough to be
// timed well, short enough that no settlement is decided and the population stays full.
constexpr long timedUpdates = 600;
constexpr float warmupSeconds = 1.0f;
constexpr int repetitions = 9;

void updateAtFullPopulation(benchmark::State& state) {
    SilentSound silence;
    // The settlement lines that every world prints would bury Google Benchmark's table.
    std::streambuf* const console = std::cout.rdbuf(nullptr);
    GameOptions options;
    options.sound = &silence;
    options.seedFromClock = false;
    options.seed = 7;
    Game world(options);
    std::cout.rdbuf(console);
    enterPlay(world);
    world.update(updateStep);  // the first step is replaced by a tiny one
    fillSettlements(world);
    for (float t = 0.0f; t < warmupSeconds; t += updateStep) world.update(updateStep);

    const int peopleBefore = livingPeople(world);
    for (auto _ : state) world.update(updateStep);
    state.counters["people"] = 0.5 * (peopleBefore + livingPeople(world));
}

// Keeps the per-repetition results that the console reporter prints.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    std::vector<double> meansMicroseconds;
    std::vector<double> people;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            meansMicroseconds.push_back(run.real_accumulated_time / static_cast<double>(run.iterations) * 1e6);
            const auto found = run.counters.find("people");
            if (found != run.counters.end()) people.push_back(found->second.value);
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

UpdateResult runUpdateBenchmark(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("Game::update, 250 people, dt 1/60 s", updateAtFullPopulation)
        ->Iterations(timedUpdates)
        ->Repetitions(repetitions)
        ->Unit(benchmark::kMicrosecond);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    UpdateResult result;
    result.updates = timedUpdates;
    result.repetitions = static_cast<int>(reporter.meansMicroseconds.size());
    if (reporter.meansMicroseconds.empty()) return result;
    std::vector<double> means = reporter.meansMicroseconds;
    std::sort(means.begin(), means.end());
    result.meanMicroseconds = means[means.size() / 2];
    result.bestMicroseconds = means.front();
    double peopleTotal = 0.0;
    for (double p : reporter.people) peopleTotal += p;
    if (!reporter.people.empty()) result.people = peopleTotal / static_cast<double>(reporter.people.size());
    return result;
}
