// GlDiagnosticsTest.cpp -- the OpenGL info lines and the per-frame error report, on a real context.
#include <gtest/gtest.h>

#include <functional>

#include <epoxy/gl.h>

#include "assets/GlDiagnostics.h"
#include "support/Files.h"
#include "support/GlContext.h"

namespace {

std::string reportOneError() { return omxtest::capturedStderr([] { checkGLError(); }); }

TEST(GlDiagnostics, PrintsVersionAndCoreProfileAndEachRealErrorWithItsMessageOnce) {
    ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
    while (glGetError() != GL_NO_ERROR) {
    }
    const std::string version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    EXPECT_EQ(omxtest::capturedStdout(printGLInfo), "OpenGL Version: " + version + "\nHaving a core-profile\n");
    EXPECT_EQ(reportOneError(), "");

    GLuint fbo = 0;
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[] { glEnable(0x1234); }, "GL: enum argument out of range.\n"},  // not a capability
        {[] { glViewport(0, 0, -1, 10); }, "GL: Numeric argument out of range.\n"},
        {[] { glBindBuffer(GL_ARRAY_BUFFER, 987654); }, "GL: Operation illegal in current state.\n"},  // never made
        {[&fbo] {
             glGenFramebuffers(1, &fbo);
             glBindFramebuffer(GL_FRAMEBUFFER, fbo);  // no attachments: incomplete
             glClear(GL_COLOR_BUFFER_BIT);
         },
         "GL: Framebuffer object is not complete.\n"},
    };
    for (const auto& [provoke, message] : cases) {
        provoke();
        EXPECT_EQ(reportOneError(), message);
        // Each call reads one code and clears it.
        EXPECT_EQ(reportOneError(), "") << message;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
    EXPECT_EQ(checkGLError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST(GlErrorMessages, CodesWithoutAProvokableCauseStillHaveTheirText) {
    EXPECT_STREQ(glErrorMessage(GL_OUT_OF_MEMORY), "GL: Not enough memory left to execute command.");
    EXPECT_STREQ(glErrorMessage(GL_STACK_OVERFLOW), "GL: Unknown error.");
}

}  // namespace
