// GlDiagnosticsTest.cpp -- the OpenGL info lines and the per-frame error report, on a real context.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include "assets/GlDiagnostics.h"
#include "support/Files.h"
#include "support/GlContext.h"

namespace {

TEST(GlDiagnostics, PrintsVersionAndCoreProfileAndAnErrorWithItsMessageOnce) {
    ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
    while (glGetError() != GL_NO_ERROR) {
    }
    const std::string version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    EXPECT_EQ(omxtest::capturedStdout(printGLInfo), "OpenGL Version: " + version + "\nHaving a core-profile\n");
    const auto report = [] { return omxtest::capturedStderr([] { checkGLError(); }); };
    EXPECT_EQ(report(), "");
    glViewport(0, 0, -1, 10);
    EXPECT_EQ(report() + report(), "GL: Numeric argument out of range.\n") << "each report reads and clears one code";
}

TEST(GlErrorMessages, EachCodeHasItsText) {
    const std::pair<GLenum, const char*> cases[] = {
        {GL_INVALID_ENUM, "GL: enum argument out of range."},
        {GL_INVALID_VALUE, "GL: Numeric argument out of range."},
        {GL_INVALID_OPERATION, "GL: Operation illegal in current state."},
        {GL_OUT_OF_MEMORY, "GL: Not enough memory left to execute command."},
        {GL_INVALID_FRAMEBUFFER_OPERATION, "GL: Framebuffer object is not complete."},
        {GL_STACK_OVERFLOW, "GL: Unknown error."},
    };
    for (const auto& [code, text] : cases) EXPECT_STREQ(glErrorMessage(code), text) << code;
}

}  // namespace
