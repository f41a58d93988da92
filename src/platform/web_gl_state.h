// The fixed-function state the browser's GL layer keeps itself (see web_gl.h): what the
// emulation cannot hold (lights, materials, polygon modes, edge flags, display lists) and what
// glPushAttrib must be able to put back. Shared by the layer's units only.
#pragma once

#define DEMOTORVA_WEB_GL_SELF
#include "platform/web_gl.h"

#include <functional>
#include <vector>

constexpr int webGlLightCount = 8;

struct WebGlLight {
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};
    float specular[4] = {0, 0, 0, 1};
    float position[4] = {0, 0, 1, 0};       // in eye space, as glLightfv transformed it
    float spotDirection[3] = {0, 0, -1};    // in eye space
    float spotExponent = 0.0f;
    float spotCutoff = 180.0f;
    float attenuation[3] = {1, 0, 0};       // constant, linear, quadratic
};

struct WebGlMaterial {
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    float specular[4] = {0, 0, 0, 1};
    float emission[4] = {0, 0, 0, 1};
    float shininess = 0.0f;
};

// The capabilities the layer follows; the emulation sees those it draws with.
enum WebGlCap : int {
    CapLighting, CapLight0, CapCullFace = CapLight0 + webGlLightCount, CapTexture2D, CapBlend,
    CapDepthTest, CapFog, CapScissorTest, CapNormalize, CapCount
};

// Everything glPushAttrib saves.
struct WebGlState {
    bool enabled[CapCount] = {};
    float color[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    float texCoord[2] = {0, 0};
    bool edgeFlag = true;
    GLenum blendSource = GL_ONE, blendDestination = GL_ZERO;
    bool colorMask[4] = {true, true, true, true};
    float clearColor[4] = {0, 0, 0, 0};
    GLenum depthFunc = GL_LESS;
    bool depthMask = true;
    GLint viewport[4] = {0, 0, 0, 0};
    GLint scissor[4] = {0, 0, 0, 0};
    double depthRange[2] = {0, 1};
    GLint fogMode = GL_EXP;
    float fogDensity = 1.0f, fogStart = 0.0f, fogEnd = 1.0f;
    float fogColor[4] = {0, 0, 0, 0};
    WebGlLight lights[webGlLightCount];
    float modelAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
    WebGlMaterial material;
    GLenum shadeModel = GL_SMOOTH;
    GLenum polygonFront = GL_FILL, polygonBack = GL_FILL;
    GLenum cullFace = GL_BACK, frontFace = GL_CCW;
    float lineWidth = 1.0f;
    GLuint texture = 0;
    GLuint listBase = 0;
    GLenum matrixMode = GL_MODELVIEW;
};

extern WebGlState webGlState;

// True while glNewList records instead of drawing. The call is recorded as fn (which calls
// the public function again with the same arguments) and true is returned; with
// GL_COMPILE_AND_EXECUTE fn also runs at once.
bool webGlRecord(std::function<void()> fn);
// Opens a public function: while a list records, the call is recorded and the function returns.
#define WEB_GL_RECORD(call) \
    if (webGlRecord([=] { call; })) return

// Index of cap among the followed capabilities, or -1.
int webGlCapIndex(GLenum cap);
// The colour OpenGL's lighting gives a vertex at eye position eye (w = 1) with eye-space normal
// n (not normalised, as without GL_NORMALIZE), from the current lights and material.
void webGlLightVertex(const float eye[3], const float n[3], float colour[4]);
