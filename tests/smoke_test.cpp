// The offscreen context the GL suites rely on can be opened and drawn into.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "support/gl_context.h"

TEST(OffscreenContext, ClearsToTheRequestedColour)
{
    ASSERT_TRUE(openTestGlContext());
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const Rgb p = readPixel(400, 300);
    EXPECT_EQ(p.r, 255);
    EXPECT_EQ(p.g, 0);
}
