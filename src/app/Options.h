// Options.h -- the command line: the two play words, the options, --help and --version.
#pragma once

#include <iosfwd>
#include <string>

struct CommandLine {
    bool fullscreenRequested = false;
    bool highestFrameRate = false;
    bool showHelp = false;
    bool showVersion = false;
    bool seedGiven = false;
    unsigned seed = 0;
    std::string dataFolder;  // "" when --data was not given
    std::string error;       // why the command line cannot be used ("" when it can)
};

// Reads the command line without printing anything. The words "fullscreen" and "highestframerate" are
// exact and case-sensitive and may stand anywhere, the program path included; other bare words are
// ignored. Options: --help, --version, --seed N, --data DIR, --render-scale S (a value may also follow '=';
// the render scale's is read by renderScaleFromCommandLine); "--" ends the options. The first unusable option stops the reading and sets `error`.
CommandLine readCommandLine(int argc, const char* const* argv);

// Prints every argument (the program path included) on a line of its own.
void echoCommandLine(int argc, const char* const* argv, std::ostream& out);

// Echoes the command line and reads it, as the game does before it starts.
CommandLine parseCommandLine(int argc, const char* const* argv, std::ostream& out);

// Answers --help, --version and an unusable command line: prints the help or version to `out`, or the
// error with a hint to `err`, and returns the exit status (0, or 2 for an error). Returns -1 when the
// game is to start.
int answerWithoutPlaying(const CommandLine& line, const std::string& programName, std::ostream& out,
                         std::ostream& err);

// The program's name as the user typed it, without its folder ("omnivex" when there is none).
std::string programName(int argc, const char* const* argv);

// "1.0.0"
const char* gameVersion();
