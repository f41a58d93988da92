// Framebuffer-object entry points of the OpenGL driver.
//
// The demo draws with OpenGL 1.1, which has no offscreen framebuffers. Where the driver offers
// them (OpenGL 3.0, ARB_framebuffer_object, or EXT_framebuffer_object with
// EXT_framebuffer_blit) they let the frame be drawn at its own size and shown scaled to any
// window. The entry points are looked up from the current context's driver at run time, so the
// program still starts on a driver without them. The enumerants have the same values in every
// variant (GL_FRAMEBUFFER, GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, ...).
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

struct GlFramebufferApi {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
};

// The entry points of the latest successful loadGlFramebufferApi.
extern GlFramebufferApi glFramebufferApi;

// Looks the entry points up for the current context. False (and every entry null) when the
// driver lacks them, when no context is current, or when they are switched off: by
// setGlFramebufferDisabled, or by the environment variable DEMOTORVA_NO_FRAMEBUFFER set to
// anything but "0" (to play as on a driver without them).
bool loadGlFramebufferApi();
void setGlFramebufferDisabled(bool disabled);
