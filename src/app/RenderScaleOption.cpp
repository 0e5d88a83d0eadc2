// RenderScaleOption.cpp -- the --render-scale option of the command line.
#include "app/RenderScaleOption.h"

#include <cstring>
#include <ostream>
#include <string>

RenderScaleSetting renderScaleFromCommandLine(int argc, const char* const* argv, std::ostream& err) {
    static const char option[] = "--render-scale";
    const std::size_t optionLength = sizeof option - 1;
    RenderScaleSetting setting;
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i] ? argv[i] : "";
        const char* value = nullptr;
        if (std::strcmp(word, option) == 0) {
            value = i + 1 < argc && argv[i + 1] ? argv[++i] : "";
        } else if (std::strncmp(word, option, optionLength) == 0 && word[optionLength] == '=') {
            value = word + optionLength + 1;
        } else {
            continue;
        }
        if (!parseRenderScale(value, setting))
            err << "Invalid render scale \"" << value << "\": give a number from 0.5 to 1, or auto." << std::endl;
    }
    return setting;
}
