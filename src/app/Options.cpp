// Options.cpp -- reading the command line, and the help and version texts.
#include "app/Options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <ostream>

#ifndef OMNIVEX_VERSION
#define OMNIVEX_VERSION "0.0.0"
#endif

namespace {

// Splits "--name=value" into its name and value; `hasValue` tells "--name=" (empty value) from "--name".
void splitOption(const std::string& argument, std::string& name, std::string& value, bool& hasValue) {
    const size_t equals = argument.find('=');
    hasValue = equals != std::string::npos;
    name = hasValue ? argument.substr(0, equals) : argument;
    value = hasValue ? argument.substr(equals + 1) : std::string();
}

// A seed is a plain decimal number that fits the generator's seed (no sign, no blanks).
bool readSeed(const std::string& text, unsigned& seed) {
    if (text.empty() || text.size() > 10) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (value > std::numeric_limits<unsigned>::max()) return false;
    seed = static_cast<unsigned>(value);
    return true;
}

void readWord(const char* word, CommandLine& line) {
    if (std::strcmp(word, "fullscreen") == 0) line.fullscreenRequested = true;
    if (std::strcmp(word, "highestframerate") == 0) line.highestFrameRate = true;
}

}  // namespace

CommandLine readCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    bool optionsEnded = false;
    for (int i = 0; i < argc; ++i) {
        const char* word = argv[i] ? argv[i] : "";
        // The program path is never an option, and "-" alone is a word.
        if (i == 0 || optionsEnded || word[0] != '-' || word[1] == '\0') {
            readWord(word, line);
            continue;
        }
        if (std::strcmp(word, "--") == 0) {
            optionsEnded = true;
            continue;
        }
        std::string name, value;
        bool hasValue = false;
        splitOption(word, name, value, hasValue);
        if (name == "--help" && !hasValue) {
            line.showHelp = true;
        } else if (name == "--version" && !hasValue) {
            line.showVersion = true;
        } else if (name == "--seed" || name == "--data") {
            if (!hasValue) {
                if (i + 1 >= argc || !argv[i + 1]) {
                    line.error = "option '" + name + "' needs " + (name == "--seed" ? "a number" : "a folder");
                    return line;
                }
                value = argv[++i];
            }
            if (name == "--seed") {
                if (!readSeed(value, line.seed)) {
                    line.error = "option '--seed' takes a whole number from 0 to 4294967295, not '" + value + "'";
                    return line;
                }
                line.seedGiven = true;
            } else {
                if (value.empty()) {
                    line.error = "option '--data' needs a folder";
                    return line;
                }
                line.dataFolder = value;
            }
        } else if (name == "--render-scale") {
            // Its value is read once the renderer is known (renderScaleFromCommandLine, which names a bad
            // one); here it is only kept from being read as a play word.
            if (!hasValue && i + 1 < argc) ++i;
        } else {
            line.error = "unknown option '" + std::string(word) + "'";
            return line;
        }
    }
    return line;
}

void echoCommandLine(int argc, const char* const* argv, std::ostream& out) {
    for (int i = 0; i < argc; ++i) out << (argv[i] ? argv[i] : "") << std::endl;
}

CommandLine parseCommandLine(int argc, const char* const* argv, std::ostream& out) {
    echoCommandLine(argc, argv, out);
    return readCommandLine(argc, argv);
}

std::string programName(int argc, const char* const* argv) {
    const std::string path = argc > 0 && argv[0] ? argv[0] : "";
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() ? "omnivex" : name;
}

const char* gameVersion() { return OMNIVEX_VERSION; }

int answerWithoutPlaying(const CommandLine& line, const std::string& program, std::ostream& out, std::ostream& err) {
    if (!line.error.empty()) {
        err << program << ": " << line.error << std::endl;
        err << "Try '" << program << " --help' for more information." << std::endl;
        return 2;
    }
    if (line.showHelp) {
        out << "Usage: " << program << " [OPTION]... [fullscreen] [highestframerate]\n"
            << "Omnivex, a small real-time 3D god game: look down on five settlements, keep their people\n"
            << "good, and win three of them by throwing their holy grenades at the trees of temptation.\n"
            << "\n"
            << "  fullscreen          play on the whole screen\n"
            << "  highestframerate    draw frames as fast as possible (no waiting for the display)\n"
            << "  --seed N            build the world from the number N (0 to 4294967295) instead of\n"
            << "                      the clock: the same seed starts the same world\n"
            << "  --data DIR          read shaders/ and resources/ from the folder DIR\n"
            << "  --render-scale S    draw the 3D world at S (0.5 to 1) of the window's size and scale it\n"
            << "                      up, or with S auto follow the frame times (the default on software\n"
            << "                      renderers)\n"
            << "  --help              print this help and exit\n"
            << "  --version           print the version and exit\n"
            << "\n"
            << "Without --data the game reads its data from the working folder when that holds\n"
            << "shaders/ and resources/, and otherwise from ../share/omnivex beside its program.\n"
            << "Every start prints the seed in use, so any world can be played again.\n"
            << "\n"
            << "Controls:\n"
            << "  W / Up, S / Down        fly forward / back\n"
            << "  A / Left, D / Right     turn left / right\n"
            << "  Space, C or left Ctrl   fly up / down\n"
            << "  mouse wheel             tilt the view up / down\n"
            << "  left click              lightning: smite a person, or throw a finished grenade\n"
            << "  right click             send a wanderer to work on the grenade, or fly to a tree\n"
            << "  right Ctrl + keypad + / - / 0   game faster / slower / normal speed\n"
            << "  P                       pause and resume (the game also pauses when its window\n"
            << "                          loses the focus)\n"
            << "  F1                      overview with the controls panel\n"
            << "  F2 frame rate, F3 wireframe, F4 / F5 texture filtering, F8 culling counts,\n"
            << "  F9 transparency, F10 mute, F11 night mode, F print the view direction\n"
            << "  Escape                  quit\n";
        out.flush();
        return 0;
    }
    if (line.showVersion) {
        out << "omnivex " << gameVersion() << std::endl;
        return 0;
    }
    return -1;
}
