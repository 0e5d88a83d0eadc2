// ObjCheck.cpp -- the strict OBJ and MTL check: one pass over the text, line by line, counting what is defined.
#include "assets/ObjCheck.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <vector>

namespace {

constexpr size_t maxMtlBytes = 1024u * 1024u;
constexpr size_t maxNumberChars = 40;
constexpr size_t maxIndexDigits = 9;
constexpr size_t maxShownChars = 16;

using Tokens = std::vector<std::string_view>;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A token for a reason: printable already (lines are checked first), cut short.
std::string shown(std::string_view token) {
    std::string text(token.substr(0, maxShownChars));
    if (token.size() > maxShownChars) text += "...";
    return "'" + text + "'";
}

// Splits a statement line at single spaces or tabs. A line must not start or end with a separator and
// must not hold two in a row: the importer counts components by its own rules, so both readings must agree.
bool splitTokens(std::string_view line, Tokens& tokens) {
    tokens.clear();
    size_t start = 0;
    for (size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == ' ' || line[i] == '\t') {
            if (i == start) return false;
            tokens.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    return true;
}

// A plain decimal: [+-] digits [. digits] [e [+-] 1-3 digits], with a digit before any point (the importer does
// not count ".5" as a number and then reads the line differently). The value must be finite and within
// objlimits::maxMagnitude.
bool parseNumber(std::string_view token, double& value) {
    if (token.empty() || token.size() > maxNumberChars) return false;
    size_t i = 0;
    if (token[i] == '+' || token[i] == '-') ++i;
    size_t integerDigits = 0;
    while (i < token.size() && isDigit(token[i])) ++i, ++integerDigits;
    if (integerDigits == 0) return false;
    if (i < token.size() && token[i] == '.') {
        ++i;
        while (i < token.size() && isDigit(token[i])) ++i;
    }
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
        size_t exponentDigits = 0;
        while (i < token.size() && isDigit(token[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0 || exponentDigits > 3) return false;
    }
    if (i != token.size()) return false;
    std::array<char, maxNumberChars + 1> buffer{};
    token.copy(buffer.data(), token.size());
    value = std::strtod(buffer.data(), nullptr);
    return std::isfinite(value) && std::fabs(value) <= objlimits::maxMagnitude;
}

bool allNumbers(const Tokens& tokens, size_t first, std::array<double, 4>& values) {
    for (size_t i = first; i < tokens.size(); ++i)
        if (!parseNumber(tokens[i], values[i - first])) return false;
    return true;
}

// A 1-based index or a negative one counting back from the last element defined; 0 is no index, and a leading
// zero is refused (the importer reads "010" otherwise). True when it names one of the `defined` elements.
bool namesDefined(std::string_view token, size_t defined) {
    if (!token.empty() && token[0] == '-') token.remove_prefix(1);
    if (token.empty() || token.size() > maxIndexDigits || token[0] == '0') return false;
    size_t value = 0;
    for (char c : token) {
        if (!isDigit(c)) return false;
        value = value * 10 + static_cast<size_t>(c - '0');
    }
    return value != 0 && value <= defined;
}

// A file name the importer may open next to the model: no folders, no options, nothing hidden.
bool isPlainFileName(std::string_view name) {
    if (name.empty() || name.size() > 255 || name[0] == '.' || name[0] == '-') return false;
    for (char c : name) {
        const bool ok = isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '_' ||
                        c == '-';
        if (!ok) return false;
    }
    return true;
}

// Walks the text line by line. Each line is checked for its bytes, then handed to `statement` unless it is
// blank or a comment. Lines end with "\n" or "\r\n"; a lone "\r", a NUL, a backslash (which joins lines in
// the importer) or any other control byte is refused, as is a line starting with a separator (the importer
// skips those, so counts would differ). Comments may hold bytes above 127.
template <typename Statement>
bool walkLines(const char* text, size_t size, size_t maxBytes, std::string& reason, Statement statement) {
    if (size == 0) {
        reason = "the file is empty";
        return false;
    }
    if (size > maxBytes) {
        reason = "the file is larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    size_t lineNumber = 0;
    size_t start = 0;
    while (start < size) {
        ++lineNumber;
        size_t end = start;
        while (end < size && text[end] != '\n') ++end;
        const size_t next = end + 1;
        if (end > start && text[end - 1] == '\r') --end;
        std::string_view line(text + start, end - start);
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (line.size() > objlimits::maxLineBytes) {
            reason = where + "longer than " + std::to_string(objlimits::maxLineBytes) + " bytes";
            return false;
        }
        const bool comment = !line.empty() && line[0] == '#';
        for (char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            const bool allowed = (byte >= 0x20 && byte < 0x7f && c != '\\') || c == '\t' || (comment && byte >= 0x80);
            if (!allowed) {
                reason = where + "holds a byte that has no place in the file (" + std::to_string(byte) + ")";
                return false;
            }
        }
        if (!line.empty() && !comment) {
            if (line[0] == ' ' || line[0] == '\t') {
                reason = where + "starts with a space or tab";
                return false;
            }
            Tokens tokens;
            if (!splitTokens(line, tokens)) {
                reason = where + "has separators in a row or at its end";
                return false;
            }
            std::string what;
            if (!statement(tokens, what)) {
                reason = where + what;
                return false;
            }
        }
        start = next;
    }
    return true;
}

// Counts and corner form of a model file while it is being checked.
struct ObjCounts {
    size_t vertices = 0;
    size_t normals = 0;
    size_t texCoords = 0;
    size_t faces = 0;
    size_t triangleCorners = 0;
    int cornerForm = -1;  // 0: v, 1: v/t, 2: v//n, 3: v/t/n; -1 before the first face
    std::vector<std::string> libraries;
};

bool checkFace(const Tokens& tokens, ObjCounts& counts, std::string& what) {
    const size_t corners = tokens.size() - 1;
    if (corners < 3 || corners > objlimits::maxFaceCorners) {
        what = "a face needs 3 to " + std::to_string(objlimits::maxFaceCorners) + " corners, not " +
               std::to_string(corners);
        return false;
    }
    for (size_t c = 1; c < tokens.size(); ++c) {
        std::array<std::string_view, 3> parts{};
        size_t partCount = 0;
        std::string_view rest = tokens[c];
        for (;;) {
            const size_t slash = rest.find('/');
            if (partCount == 3) {
                what = "corner " + shown(tokens[c]) + " has too many parts";
                return false;
            }
            parts[partCount++] = rest.substr(0, slash);
            if (slash == std::string_view::npos) break;
            rest.remove_prefix(slash + 1);
        }
        const bool hasTex = partCount >= 2 && !parts[1].empty();
        const bool hasNormal = partCount == 3;
        const int form = (hasTex ? 1 : 0) + (hasNormal ? 2 : 0);
        if ((partCount == 2 && !hasTex) || (counts.cornerForm >= 0 && form != counts.cornerForm)) {
            what = "corner " + shown(tokens[c]) + " is not written like the corners before it";
            return false;
        }
        counts.cornerForm = form;
        if (!namesDefined(parts[0], counts.vertices) || (hasTex && !namesDefined(parts[1], counts.texCoords)) ||
            (hasNormal && !namesDefined(parts[2], counts.normals))) {
            what = "corner " + shown(tokens[c]) + " names an element that is not defined above it";
            return false;
        }
    }
    counts.triangleCorners += (corners - 2) * 3;
    if (++counts.faces > objlimits::maxElements || counts.triangleCorners > objlimits::maxTriangleCorners) {
        what = "too many faces";
        return false;
    }
    return true;
}

bool checkObjStatement(const Tokens& tokens, ObjCounts& counts, std::string& what) {
    const std::string_view keyword = tokens[0];
    const size_t arguments = tokens.size() - 1;
    std::array<double, 4> values{};
    const auto countElement = [&what](size_t& count) {
        if (++count <= objlimits::maxElements) return true;
        what = "too many elements";
        return false;
    };
    if (keyword == "v") {
        if ((arguments != 3 && arguments != 4) || !allNumbers(tokens, 1, values) ||
            (arguments == 4 && std::fabs(values[3]) < 1.0e-3)) {
            what = "a vertex needs 3 numbers and an optional weight of sane size";
            return false;
        }
        return countElement(counts.vertices);
    }
    if (keyword == "vn") {
        if (arguments != 3 || !allNumbers(tokens, 1, values)) {
            what = "a normal needs 3 numbers";
            return false;
        }
        return countElement(counts.normals);
    }
    if (keyword == "vt") {
        if ((arguments != 2 && arguments != 3) || !allNumbers(tokens, 1, values)) {
            what = "a texture coordinate needs 2 or 3 numbers";
            return false;
        }
        return countElement(counts.texCoords);
    }
    if (keyword == "f") return checkFace(tokens, counts, what);
    if (keyword == "o" || keyword == "g") {
        if (arguments == 0) what = "a name is missing";
        return arguments > 0;
    }
    if (keyword == "s") {
        const std::string_view group = arguments == 1 ? tokens[1] : std::string_view();
        bool number = !group.empty() && group.size() <= maxIndexDigits;
        for (char c : group) number = number && isDigit(c);
        if (number || group == "off" || group == "on") return true;
        what = "a smoothing group is a number, on or off";
        return false;
    }
    if (keyword == "usemtl") {
        if (arguments != 1) what = "a material needs one name";
        return arguments == 1;
    }
    if (keyword == "mtllib") {
        if (arguments != 1 || !isPlainFileName(tokens[1])) {
            what = "a material library needs one plain file name";
            return false;
        }
        counts.libraries.emplace_back(tokens[1]);
        return true;
    }
    what = "unknown statement " + shown(keyword);
    return false;
}

bool checkObj(const char* text, size_t size, std::string& reason, ObjCounts& counts) {
    return walkLines(text, size, objlimits::maxFileBytes, reason,
                     [&counts](const Tokens& tokens, std::string& what) {
                         return checkObjStatement(tokens, counts, what);
                     });
}

bool readWholeFile(const std::string& path, size_t maxBytes, std::string& bytes, std::string& reason) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        reason = "the file cannot be opened";
        return false;
    }
    const std::streamoff size = file.tellg();
    if (size < 0) {
        reason = "the file's size cannot be read";
        return false;
    }
    if (static_cast<uint64_t>(size) > maxBytes) {
        reason = "the file is larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    bytes.resize(static_cast<size_t>(size));
    file.seekg(0);
    if (!file.read(bytes.data(), size)) {
        reason = "the file cannot be read";
        return false;
    }
    return true;
}

}  // namespace

bool checkObjText(const char* text, size_t size, std::string& reason) {
    ObjCounts counts;
    return checkObj(text, size, reason, counts);
}

bool checkMtlText(const char* text, size_t size, std::string& reason) {
    return walkLines(text, size, maxMtlBytes, reason, [](const Tokens& tokens, std::string& what) {
        const std::string_view keyword = tokens[0];
        const size_t arguments = tokens.size() - 1;
        std::array<double, 4> values{};
        if (keyword == "newmtl") {
            if (arguments != 1) what = "a material needs one name";
            return arguments == 1;
        }
        if (keyword == "Ka" || keyword == "Kd" || keyword == "Ks" || keyword == "Ke" || keyword == "Tf") {
            if ((arguments == 1 || arguments == 3) && allNumbers(tokens, 1, values)) return true;
            what = "a colour needs 1 or 3 numbers";
            return false;
        }
        if (keyword == "Ns" || keyword == "Ni" || keyword == "d" || keyword == "Tr" || keyword == "illum" ||
            keyword == "sharpness") {
            if (arguments == 1 && allNumbers(tokens, 1, values)) return true;
            what = "a material value needs 1 number";
            return false;
        }
        if (keyword == "map_Ka" || keyword == "map_Kd" || keyword == "map_Ks" || keyword == "map_Ke" ||
            keyword == "map_d" || keyword == "map_Ns" || keyword == "map_bump" || keyword == "map_Bump" ||
            keyword == "bump" || keyword == "disp") {
            if (arguments == 1 && isPlainFileName(tokens[1])) return true;
            what = "a texture map needs one plain file name";
            return false;
        }
        what = "unknown statement " + shown(keyword);
        return false;
    });
}

bool checkObjFile(const std::string& path, std::string& reason) {
    std::string bytes;
    if (!readWholeFile(path, objlimits::maxFileBytes, bytes, reason)) return false;
    ObjCounts counts;
    if (!checkObj(bytes.data(), bytes.size(), reason, counts)) return false;
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    for (const std::string& library : counts.libraries) {
        const std::string libraryPath = folder + library;
        if (!std::ifstream(libraryPath, std::ios::binary)) continue;  // the importer goes on without it
        std::string libraryBytes;
        if (!readWholeFile(libraryPath, maxMtlBytes, libraryBytes, reason) ||
            !checkMtlText(libraryBytes.data(), libraryBytes.size(), reason)) {
            reason = "material library " + library + ": " + reason;
            return false;
        }
    }
    return true;
}
