// Framebuffer-object entry points, looked up through SDL from the current context's driver.
#include "platform/gl_framebuffer.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

GlFramebufferApi glFramebufferApi;

namespace {
bool disabledByCaller = false;

bool disabledByEnvironment()
{
    const char* value = std::getenv("DEMOTORVA_NO_FRAMEBUFFER");
    return value && *value && std::strcmp(value, "0") != 0;
}

// Major version of the context, 0 when it cannot be read.
int contextMajorVersion()
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (!version) return 0;
    return std::atoi(version);
}

template <typename Entry>
bool lookUp(Entry& entry, const char* name, const char* suffix)
{
    char full[64];
    SDL_snprintf(full, sizeof full, "%s%s", name, suffix);
    entry = reinterpret_cast<Entry>(SDL_GL_GetProcAddress(full));
    return entry != nullptr;
}

bool lookUpAll(GlFramebufferApi& api, const char* suffix)
{
    bool all = true;
    all &= lookUp(api.genFramebuffers, "glGenFramebuffers", suffix);
    all &= lookUp(api.deleteFramebuffers, "glDeleteFramebuffers", suffix);
    all &= lookUp(api.bindFramebuffer, "glBindFramebuffer", suffix);
    all &= lookUp(api.checkFramebufferStatus, "glCheckFramebufferStatus", suffix);
    all &= lookUp(api.genRenderbuffers, "glGenRenderbuffers", suffix);
    all &= lookUp(api.deleteRenderbuffers, "glDeleteRenderbuffers", suffix);
    all &= lookUp(api.bindRenderbuffer, "glBindRenderbuffer", suffix);
    all &= lookUp(api.renderbufferStorage, "glRenderbufferStorage", suffix);
    all &= lookUp(api.framebufferRenderbuffer, "glFramebufferRenderbuffer", suffix);
    all &= lookUp(api.framebufferTexture2D, "glFramebufferTexture2D", suffix);
    all &= lookUp(api.blitFramebuffer, "glBlitFramebuffer", suffix);
    return all;
}
}  // namespace

bool loadGlFramebufferApi()
{
    glFramebufferApi = GlFramebufferApi{};
    if (disabledByCaller || disabledByEnvironment()) return false;
    if (!SDL_GL_GetCurrentContext()) return false;
    GlFramebufferApi api;
    // An entry point found by name proves nothing (GLX hands out addresses for any name), so
    // the version or the extension decides which names the driver really implements.
    bool loaded = false;
#ifdef __EMSCRIPTEN__
    // WebGL 2 has framebuffer objects and blits of its own; its version string ("OpenGL ES
    // 3.0 (WebGL 2.0)") starts with no number and it names no desktop extensions.
    loaded = lookUpAll(api, "");
    api.framebufferTexture2D = webGlFramebufferTexture2D;  // the program's texture names
#endif
    if (!loaded && (contextMajorVersion() >= 3 || SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object")))
        loaded = lookUpAll(api, "");
    if (!loaded && SDL_GL_ExtensionSupported("GL_EXT_framebuffer_object") &&
        SDL_GL_ExtensionSupported("GL_EXT_framebuffer_blit"))
        loaded = lookUpAll(api, "EXT");
    if (!loaded) return false;
    glFramebufferApi = api;
    return true;
}

void setGlFramebufferDisabled(bool disabled) { disabledByCaller = disabled; }
