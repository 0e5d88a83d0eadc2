// UpdateBench.h -- the world's update step alone, at full population, under Google Benchmark.
#pragma once

struct UpdateResult {
    double meanMicroseconds = 0.0;  // median over the repetitions of the mean time per update
    double bestMicroseconds = 0.0;  // lowest repetition mean
    double people = 0.0;            // living people, mean of before and after the timed updates
    long updates = 0;               // timed updates per repetition
    int repetitions = 0;
};

// Registers and runs the benchmark on a world built without graphics and with a silent sound manager.
// argc and argv carry Google Benchmark's own flags (--benchmark_...); Google Benchmark prints its table.
UpdateResult runUpdateBenchmark(int& argc, char** argv);
