// ObjCheckTest.cpp -- the strict model check: what it lets through, and what it refuses and why.
#include <gtest/gtest.h>

#include "assets/ObjCheck.h"
#include "support/Files.h"

using omxtest::scratchFile;

namespace {

const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\n";

// Each text is refused with a one-line reason; where a reason is given, it is that one.
void expectRefused(const std::vector<std::pair<std::string, std::string>>& cases) {
    for (const auto& [text, expected] : cases) {
        std::string reason;
        EXPECT_FALSE(checkObjText(text.data(), text.size(), reason)) << text;
        EXPECT_EQ(reason.find('\n'), std::string::npos) << text;
        if (!expected.empty()) {
            EXPECT_EQ(reason, expected) << text;
        }
    }
}

}  // namespace

TEST(ObjCheck, AcceptsEveryFormThatAModelUses) {
    for (const std::string& text :
         {triangle + "f 1/1/1 2/2/1 3/3/1\n", triangle + "f 1 2 3\n", triangle + "f 1/1 2/2 3/3\n",
          triangle + "f 1//1 2//1 3//1\n", triangle + "f -3/-3/-1 -2/-2/-1 -1/-1/-1\n",
          "# made by hand \xc3\xa9\r\n\r\nmtllib box.mtl\no box\ng a b\ns off\nusemtl stone\n" + triangle +
              "s 1\nf 1 2 3\n",
          std::string("v 1.5e-3 -2. +0.25\nv 1E+2 0 0 1\nv 0 1 0\nvt 0.5 0.5 0\nf 1 2 3\n"),
          std::string("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n"), std::string("# no faces\nv 0 0 0\n")}) {
        std::string reason;
        EXPECT_TRUE(checkObjText(text.data(), text.size(), reason)) << text << " -> " << reason;
    }
}

TEST(ObjCheck, RefusesStatementsAModelDoesNotNeed) {
    expectRefused({{triangle + "l 1 2\n", "line 8: unknown statement 'l'"}, {"vp 0.5\n", ""},
                   {"mtllib ../../etc/passwd\n", ""}, {"mtllib -s.mtl\n", ""}, {"mtllib a.mtl b.mtl\n", ""},
                   {"usemtl\n", ""}, {"o\n", ""}, {"s maybe\n", ""}});
}

TEST(ObjCheck, RefusesNumbersThatAreNotPlainFiniteOrSaneInSize) {
    std::vector<std::pair<std::string, std::string>> cases;
    for (const char* number : {"nan", ".5", "0x10", "1e", "1e1234", "1e400", "2e6",
                               "12345678901234567890123456789012345678901"})
        cases.push_back({std::string("v 0 0 ") + number + "\n",
                         "line 1: a vertex needs 3 numbers and an optional weight of sane size"});
    // A zero weight divides by zero.
    for (const char* text : {"v 0 0\n", "v 0 0 0 0\n", "vn 0 1\n", "vt 0.5\n", "vt 0 0 0 0\n"})
        cases.push_back({text, ""});
    expectRefused(cases);
}

TEST(ObjCheck, RefusesFacesWithFewCornersBadIndicesOrMixedForms) {
    std::string big = "f";
    for (int i = 0; i < 65; ++i) big += " 1";
    std::vector<std::pair<std::string, std::string>> cases = {
        {triangle + "f 1 2\n", "line 8: a face needs 3 to 64 corners, not 2"},
        {triangle + "f 1 2 4\n", "line 8: corner '4' names an element that is not defined above it"},
        {"f 1 2 3\nv 0 0 0\nv 1 0 0\nv 0 1 0\n", ""},  // no looking ahead
    };
    for (const char* face : {"f 0 1 2", "f -4 1 2", "f 1/4 2/1 3/1", "f 1//2 2//1 3//1", "f 1/1/1 2/2/1 3",
                             "f 1/1/1 2/2/1 3/3/1\nf 1 2 3", "f 1/ 2/ 3/", "f 1/1/1/1 2/2/1 3/3/1", "f 1 2 3a",
                             "f 1 2 99999999999999999999", "f 01 2 3", big.c_str()})
        cases.push_back({triangle + face + "\n", ""});
    expectRefused(cases);
}

TEST(ObjCheck, RefusesBytesAndLayoutsTheImporterReadsDifferently) {
    std::vector<std::pair<std::string, std::string>> cases = {{"", ""}, {std::string("v 0 0 0\0\n", 9), ""}};
    for (const char* text : {"v 0 0 0\rf 1 1 1\n", "# a comment that goes on \\\nf 1 2 3\n", " v 0 0 0\n",
                             "v  0 0 0\n", "v 0 0 0 \n", "o caf\xc3\xa9\n"})
        cases.push_back({text, ""});
    cases.push_back({std::string(objlimits::maxLineBytes + 1, '#') + "\n", ""});
    expectRefused(cases);
}

TEST(ObjCheck, MaterialLibrariesNextToTheModelAreCheckedToo) {
    scratchFile("good.mtl", "newmtl stone\nKd 0.5 0.5 0.5\nNs 10\nmap_Kd stone.tga\n");
    scratchFile("bad.mtl", "newmtl stone\nmap_Kd -bm 9e999 /etc/passwd\n");
    const auto check = [](const std::string& library, std::string& reason) {
        return checkObjFile(scratchFile("with.obj", "mtllib " + library + "\n" + triangle + "f 1 2 3\n"), reason);
    };
    std::string reason;
    EXPECT_TRUE(check("good.mtl", reason)) << reason;
    EXPECT_TRUE(check("absent.mtl", reason)) << reason;
    EXPECT_FALSE(check("bad.mtl", reason));
    EXPECT_EQ(reason, "material library bad.mtl: line 2: a texture map needs one plain file name");
    EXPECT_FALSE(checkMtlText("Kd 1 1\n", 7, reason));
}
