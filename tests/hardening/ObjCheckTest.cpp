// ObjCheckTest.cpp -- the strict model check: what it lets through, what it refuses and why, and that a refused
// file reaches neither the importer nor the graphics card.
#include <gtest/gtest.h>

#include "HardeningFiles.h"
#include "assets/Model.h"
#include "assets/ObjCheck.h"
#include "assets/ShaderProgram.h"
#include "support/GlContext.h"

using hardening::scratchFile;

namespace {

const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\n";

std::string reasonFor(const std::string& text) {
    std::string reason;
    EXPECT_FALSE(checkObjText(text.data(), text.size(), reason)) << text;
    EXPECT_EQ(reason.find('\n'), std::string::npos);
    return reason;
}

bool passes(const std::string& text) {
    std::string reason;
    const bool ok = checkObjText(text.data(), text.size(), reason);
    EXPECT_TRUE(ok) << text << " -> " << reason;
    return ok;
}

std::vector<std::string> gameModelPaths() {
    const std::string folder = std::string(OMNIVEX_BINARY_DIR) + "/resources/models/";
    std::vector<std::string> paths;
    for (const std::string& name : hardening::filesIn(folder))
        if (name.size() > 4 && name.substr(name.size() - 4) == ".obj") paths.push_back(folder + name);
    return paths;
}

}  // namespace

TEST(ObjCheck, AcceptsEveryFormThatAModelUses) {
    passes(triangle + "f 1/1/1 2/2/1 3/3/1\n");
    passes(triangle + "f 1 2 3\n");
    passes(triangle + "f 1/1 2/2 3/3\n");
    passes(triangle + "f 1//1 2//1 3//1\n");
    passes(triangle + "f -3/-3/-1 -2/-2/-1 -1/-1/-1\n");
    passes("# made by hand \xc3\xa9\r\n\r\nmtllib box.mtl\no box\ng a b\ns off\nusemtl stone\n" + triangle +
           "s 1\nf 1 2 3\n");
    passes("v 1.5e-3 -2. +0.25\nv 1E+2 0 0 1\nv 0 1 0\nvt 0.5 0.5 0\nf 1 2 3\n");
    passes("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n");
    passes("# only vertices and no faces\nv 0 0 0\n");
}

TEST(ObjCheck, RefusesStatementsAModelDoesNotNeed) {
    EXPECT_EQ(reasonFor(triangle + "l 1 2\n"), "line 8: unknown statement 'l'");
    reasonFor(triangle + "p 1\n");
    reasonFor(triangle + "foo 1 2 3\n");
    reasonFor("vp 0.5\n");
    reasonFor("call other.obj\n");
    reasonFor("curv 0 1 1 2\n");
    reasonFor("mtllib ../../etc/passwd\n");
    reasonFor("mtllib -s.mtl\n");
    reasonFor("mtllib a.mtl b.mtl\n");
    reasonFor("usemtl\n");
    reasonFor("o\n");
    reasonFor("s maybe\n");
}

TEST(ObjCheck, RefusesNumbersThatAreNotPlainFiniteOrSaneInSize) {
    for (const char* number : {"nan", "inf", "-inf", "0x10", "1e400", "2e6", "-1000001", "1..2", "1e", "+", ".", ".5", "-.5",
                               "1,5", "1e1234", "12345678901234567890123456789012345678901"}) {
        const std::string reason = reasonFor(std::string("v 0 0 ") + number + "\n");
        EXPECT_EQ(reason, "line 1: a vertex needs 3 numbers and an optional weight of sane size") << number;
    }
    reasonFor("v 0 0\n");
    reasonFor("v 0 0 0 0\n");  // a zero weight divides by zero
    reasonFor("v 0 0 0 1 1 1\n");
    reasonFor("vn 0 1\n");
    reasonFor("vt 0.5\n");
    reasonFor("vt 0 0 0 0\n");
}

TEST(ObjCheck, RefusesFacesWithFewCornersBadIndicesOrMixedForms) {
    EXPECT_EQ(reasonFor(triangle + "f 1 2\n"), "line 8: a face needs 3 to 64 corners, not 2");
    EXPECT_EQ(reasonFor(triangle + "f 1 2 4\n"), "line 8: corner '4' names an element that is not defined above it");
    reasonFor(triangle + "f 0 1 2\n");
    reasonFor(triangle + "f -4 1 2\n");
    reasonFor(triangle + "f 1/4 2/1 3/1\n");
    reasonFor(triangle + "f 1//2 2//1 3//1\n");
    reasonFor("f 1 2 3\nv 0 0 0\nv 1 0 0\nv 0 1 0\n");  // no looking ahead
    reasonFor(triangle + "f 1/1/1 2/2/1 3\n");
    reasonFor(triangle + "f 1/1/1 2/2/1 3/3/1\nf 1 2 3\n");
    reasonFor(triangle + "f 1/ 2/ 3/\n");
    reasonFor(triangle + "f 1/1/1/1 2/2/1 3/3/1\n");
    reasonFor(triangle + "f /1 2 3\n");
    reasonFor(triangle + "f 1 2 +3\n");
    reasonFor(triangle + "f 1 2 3a\n");
    reasonFor(triangle + "f 1 2 99999999999999999999\n");
    reasonFor(triangle + "f 01 2 3\n");
    reasonFor(triangle + "f 1 2 -01\n");
    std::string big = "f";
    for (int i = 0; i < 65; ++i) big += " 1";
    reasonFor(triangle + big + "\n");
}

TEST(ObjCheck, RefusesBytesAndLayoutsTheImporterReadsDifferently) {
    reasonFor(std::string());
    reasonFor(std::string("v 0 0 0\0\n", 9));
    reasonFor("v 0 0 0\rf 1 1 1\n");
    reasonFor("v 0 0 \\\n0\n");
    reasonFor("# a comment that goes on \\\nf 1 2 3\n");
    reasonFor(" v 0 0 0\n");
    reasonFor("\tv 0 0 0\n");
    reasonFor("v  0 0 0\n");
    reasonFor("v 0 0 0 \n");
    reasonFor("o caf\xc3\xa9\n");
    reasonFor("v 0 0 0 # trailing\n");
    reasonFor("v 0 0 0\x1b\n");
    reasonFor(std::string(objlimits::maxLineBytes + 1, '#') + "\n");
}

TEST(ObjCheck, MaterialLibrariesNextToTheModelAreCheckedToo) {
    scratchFile("good.mtl", "newmtl stone\nKd 0.5 0.5 0.5\nNs 10\nmap_Kd stone.tga\n");
    std::string reason;
    EXPECT_TRUE(checkObjFile(scratchFile("withgood.obj", "mtllib good.mtl\n" + triangle + "f 1 2 3\n"), reason))
        << reason;
    EXPECT_TRUE(checkObjFile(scratchFile("withmissing.obj", "mtllib absent.mtl\n" + triangle + "f 1 2 3\n"), reason))
        << reason;
    scratchFile("bad.mtl", "newmtl stone\nmap_Kd -bm 9e999 /etc/passwd\n");
    EXPECT_FALSE(checkObjFile(scratchFile("withbad.obj", "mtllib bad.mtl\n" + triangle + "f 1 2 3\n"), reason));
    EXPECT_EQ(reason, "material library bad.mtl: line 2: a texture map needs one plain file name");
    const std::string mtl = "Kd 1 1\n";
    EXPECT_FALSE(checkMtlText(mtl.data(), mtl.size(), reason));
}

TEST(ObjCheck, EveryGeneratedGameModelPasses) {
    const std::vector<std::string> paths = gameModelPaths();
    ASSERT_EQ(paths.size(), 8u) << "the generated models are missing from the build folder";
    for (const std::string& path : paths) {
        std::string reason;
        EXPECT_TRUE(checkObjFile(path, reason)) << path << ": " << reason;
    }
}

TEST(ObjCheck, RefusedFilesGiveTheLoadFailureLineAndAnEmptyModel) {
    MeshArrays arrays;
    std::string reason;
    EXPECT_FALSE(importMeshArrays(scratchFile("lines.obj", triangle + "l 1 2\n"), arrays, reason));
    EXPECT_EQ(reason, "line 8: unknown statement 'l'");
    EXPECT_EQ(arrays.vertexCount(), 0);

    ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
    ShaderProgram program(std::string(OMNIVEX_BINARY_DIR) + "/shaders/blinnphongshader");
    ASSERT_TRUE(program.valid);
    const std::string path = scratchFile("outofrange.obj", triangle + "f 1 2 3\nf 1 2 7\n");
    Model model;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    loadModel(model, path, program);
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "model load failed: " + path +
                       ": line 9: corner '7' names an element that is not defined above it\n");
    EXPECT_EQ(model.meshCount, 0);
    EXPECT_EQ(model.vao, 0u);

    for (const std::string& gamePath : gameModelPaths()) {
        Model gameModel;
        testing::internal::CaptureStdout();
        loadModel(gameModel, gamePath, program);
        const std::string line = testing::internal::GetCapturedStdout();
        EXPECT_GT(gameModel.meshCount, 0) << gamePath;
        EXPECT_EQ(line.rfind("Loading: " + gamePath + " needed time: ", 0), 0u) << line;
        EXPECT_EQ(line.find(" mesh count: 0"), std::string::npos) << line;
    }
}
