// Offscreen frame and its scaled blit onto the window.
#include "shell/frame_scaler.h"

#include <GL/gl.h>

#include <cstdint>

#include "platform/gl_framebuffer.h"

FrameScaler frameScaler;

FrameRect fitFrame(int frameWidth, int frameHeight, int outputWidth, int outputHeight)
{
    FrameRect rect;
    if (frameWidth <= 0 || frameHeight <= 0 || outputWidth <= 0 || outputHeight <= 0) return rect;
    const int64_t fw = frameWidth, fh = frameHeight, ow = outputWidth, oh = outputHeight;
    if (ow * fh >= oh * fw) {
        // As wide as or wider than the frame: full height, bars left and right.
        rect.height = outputHeight;
        rect.width = static_cast<int>((oh * fw * 2 + fh) / (fh * 2));
    } else {
        rect.width = outputWidth;
        rect.height = static_cast<int>((ow * fh * 2 + fw) / (fw * 2));
    }
    if (rect.width > outputWidth) rect.width = outputWidth;
    if (rect.height > outputHeight) rect.height = outputHeight;
    rect.x = (outputWidth - rect.width) / 2;
    rect.y = (outputHeight - rect.height) / 2;
    return rect;
}

void destroyFrameScaler()
{
    const GlFramebufferApi& gl = glFramebufferApi;
    if (gl.bindFramebuffer) gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    if (frameScaler.framebuffer && gl.deleteFramebuffers) gl.deleteFramebuffers(1, &frameScaler.framebuffer);
    if (frameScaler.colourBuffer && gl.deleteRenderbuffers) gl.deleteRenderbuffers(1, &frameScaler.colourBuffer);
    if (frameScaler.depthBuffer && gl.deleteRenderbuffers) gl.deleteRenderbuffers(1, &frameScaler.depthBuffer);
    frameScaler = FrameScaler{};
}

bool createFrameScaler(int width, int height)
{
    destroyFrameScaler();
    if (width <= 0 || height <= 0 || !loadGlFramebufferApi()) return false;
    const GlFramebufferApi& gl = glFramebufferApi;
    frameScaler.width = width;
    frameScaler.height = height;
    gl.genRenderbuffers(1, &frameScaler.colourBuffer);
    gl.bindRenderbuffer(GL_RENDERBUFFER, frameScaler.colourBuffer);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGB8, width, height);
    gl.genRenderbuffers(1, &frameScaler.depthBuffer);
    gl.bindRenderbuffer(GL_RENDERBUFFER, frameScaler.depthBuffer);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);  // as the window's
    gl.bindRenderbuffer(GL_RENDERBUFFER, 0);
    gl.genFramebuffers(1, &frameScaler.framebuffer);
    gl.bindFramebuffer(GL_FRAMEBUFFER, frameScaler.framebuffer);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, frameScaler.colourBuffer);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, frameScaler.depthBuffer);
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        destroyFrameScaler();
        while (glGetError() != GL_NO_ERROR) {
        }
        return false;
    }
    // The frame starts black, as a fresh window does, so a first swap before any drawing
    // shows no leftover memory.
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPopAttrib();
    return true;
}

void bindScaledFrame()
{
    if (frameScaler.framebuffer) glFramebufferApi.bindFramebuffer(GL_FRAMEBUFFER, frameScaler.framebuffer);
}

void presentScaledFrame(int outputWidth, int outputHeight)
{
    if (!frameScaler.framebuffer) return;
    const GlFramebufferApi& gl = glFramebufferApi;
    const FrameRect rect = fitFrame(frameScaler.width, frameScaler.height, outputWidth, outputHeight);
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, frameScaler.framebuffer);
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    // Clear and blit obey the scissor test and (clear) the colour mask; the scenes' values
    // come back with the attribute stack.
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (rect.width > 0 && rect.height > 0) {
        // Pixel for pixel when the frame fits exactly; smoothly filtered otherwise.
        const bool exact = rect.width == frameScaler.width && rect.height == frameScaler.height;
        gl.blitFramebuffer(0, 0, frameScaler.width, frameScaler.height, rect.x, rect.y, rect.x + rect.width,
                           rect.y + rect.height, GL_COLOR_BUFFER_BIT, exact ? GL_NEAREST : GL_LINEAR);
    }
    glPopAttrib();
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
}
