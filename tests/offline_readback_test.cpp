// Frames are read back after their swap: the front buffer must hold the picture just drawn.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>

#include "support/gl_context.h"

TEST(OfflineReadback, FrontBufferAfterSwapHoldsTheFrame)
{
    ASSERT_TRUE(openTestGlContext());
    for (float red : {1.0f, 0.0f}) {
        glClearColor(red, 0.5f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(SDL_GL_GetCurrentWindow());
        unsigned char pixel[3] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_FRONT);
        glReadPixels(10, 10, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
        glReadBuffer(GL_BACK);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(pixel[0], red > 0 ? 255 : 0);
        EXPECT_NEAR(pixel[1], 128, 1);
    }
}
