// GlDiagnosticsTest.cpp -- the OpenGL info lines and the per-frame error report, on a real context.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include "assets/GlDiagnostics.h"
#include "support/GlContext.h"

namespace {

class GlDiagnostics : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(omxtest::ensureGlContext()) << omxtest::glContextFailure();
        while (glGetError() != GL_NO_ERROR) {
        }
    }
};

std::string reportOneError() {
    testing::internal::CaptureStderr();
    checkGLError();
    return testing::internal::GetCapturedStderr();
}

TEST_F(GlDiagnostics, PrintsVersionAndCoreProfile) {
    testing::internal::CaptureStdout();
    printGLInfo();
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    EXPECT_EQ(out, "OpenGL Version: " + version + "\nHaving a core-profile\n");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GlDiagnostics, NoErrorPrintsNothing) { EXPECT_EQ(reportOneError(), ""); }

TEST_F(GlDiagnostics, RealErrorsGetTheirMessages) {
    glEnable(0x1234);  // not a capability
    EXPECT_EQ(reportOneError(), "GL: enum argument out of range.\n");
    glViewport(0, 0, -1, 10);
    EXPECT_EQ(reportOneError(), "GL: Numeric argument out of range.\n");
    glBindBuffer(GL_ARRAY_BUFFER, 987654);  // a name never generated
    EXPECT_EQ(reportOneError(), "GL: Operation illegal in current state.\n");

    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);  // no attachments: incomplete
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(reportOneError(), "GL: Framebuffer object is not complete.\n");
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
}

TEST_F(GlDiagnostics, EachCallReadsOneCodeAndClearsIt) {
    glEnable(0x1234);
    EXPECT_EQ(reportOneError(), "GL: enum argument out of range.\n");
    EXPECT_EQ(reportOneError(), "");
    EXPECT_EQ(checkGLError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST(GlErrorMessages, CodesWithoutAProvokableCauseStillHaveTheirText) {
    EXPECT_STREQ(glErrorMessage(GL_OUT_OF_MEMORY), "GL: Not enough memory left to execute command.");
    EXPECT_STREQ(glErrorMessage(0x0503), "GL: Unknown error.");
    EXPECT_STREQ(glErrorMessage(0x0504), "GL: Unknown error.");
    EXPECT_STREQ(glErrorMessage(GL_NO_ERROR), "");
}

}  // namespace
