// The browser's GL layer, state side: display lists, the attribute stack, capabilities and
// the setters whose values glPopAttrib puts back. Primitives and lighting are in
// web_gl_primitives.cpp, textures and read-back in web_gl_textures.cpp.
#include "platform/web_gl_state.h"

#include <array>
#include <cstring>
#include <unordered_map>

namespace {
// OpenGL's initial state where it differs from a plain record: the first light is white.
WebGlState initialState()
{
    WebGlState state;
    for (int c = 0; c < 4; ++c) {
        state.lights[0].diffuse[c] = 1.0f;
        state.lights[0].specular[c] = 1.0f;
    }
    state.enabled[CapDepthTest] = false;
    return state;
}
}  // namespace

WebGlState webGlState = initialState();

namespace {
using Commands = std::vector<std::function<void()>>;
std::unordered_map<GLuint, Commands> lists;
GLuint compiling = 0;       // the list being recorded, 0 when none
GLenum compileMode = GL_COMPILE;
int executing = 0;          // depth of lists (or compile-and-execute calls) being run
GLuint nextList = 1;

struct SavedAttributes {
    GLbitfield mask;
    WebGlState state;
};
std::vector<SavedAttributes> attributeStack;

constexpr GLenum followedCaps[CapCount] = {
    GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4, GL_LIGHT5, GL_LIGHT6,
    GL_LIGHT7, GL_CULL_FACE, GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST, GL_FOG, GL_SCISSOR_TEST,
    GL_NORMALIZE};

// Lighting is done by the layer itself; only the drawing capabilities reach the emulation.
bool emulationDrawsWith(int index) { return index >= CapCullFace && index != CapNormalize; }

void setCap(int index, bool on)
{
    webGlState.enabled[index] = on;
    if (!emulationDrawsWith(index)) return;
    if (on) glEnable(followedCaps[index]);
    else glDisable(followedCaps[index]);
}

void copy4(float* to, const float* from) { std::memcpy(to, from, 4 * sizeof(float)); }
}  // namespace

int webGlCapIndex(GLenum cap)
{
    for (int i = 0; i < CapCount; ++i)
        if (followedCaps[i] == cap) return i;
    return -1;
}

bool webGlRecord(std::function<void()> fn)
{
    if (compiling == 0 || executing > 0) return false;
    if (compileMode == GL_COMPILE_AND_EXECUTE) {
        ++executing;
        fn();
        --executing;
    }
    lists[compiling].push_back(std::move(fn));
    return true;
}


// --- Display lists ---------------------------------------------------------------------------

void webGlNewList(GLuint list, GLenum mode)
{
    if (list == 0 || compiling != 0) return;  // GL_INVALID_VALUE, GL_INVALID_OPERATION
    compiling = list;
    compileMode = mode;
    lists[list].clear();
}

void webGlEndList() { compiling = 0; }

void webGlCallList(GLuint list)
{
    WEB_GL_RECORD(webGlCallList(list));
    auto found = lists.find(list);
    if (found == lists.end() || executing > 64) return;  // OpenGL's nesting limit is 64
    // A copy: a list may delete or redefine lists while it runs.
    const Commands commands = found->second;
    ++executing;
    for (const auto& command : commands) command();
    --executing;
}

void webGlCallLists(GLsizei count, GLenum type, const GLvoid* names)
{
    if (count <= 0 || !names) return;
    std::vector<GLuint> ids(static_cast<size_t>(count));
    for (GLsizei i = 0; i < count; ++i) {
        switch (type) {
            case GL_BYTE: ids[i] = static_cast<GLuint>(static_cast<const GLbyte*>(names)[i]); break;
            case GL_UNSIGNED_BYTE: ids[i] = static_cast<const GLubyte*>(names)[i]; break;
            case GL_SHORT: ids[i] = static_cast<GLuint>(static_cast<const GLshort*>(names)[i]); break;
            case GL_UNSIGNED_SHORT: ids[i] = static_cast<const GLushort*>(names)[i]; break;
            case GL_INT: ids[i] = static_cast<GLuint>(static_cast<const GLint*>(names)[i]); break;
            case GL_UNSIGNED_INT: ids[i] = static_cast<const GLuint*>(names)[i]; break;
            case GL_FLOAT: ids[i] = static_cast<GLuint>(static_cast<const GLfloat*>(names)[i]); break;
            default: return;  // GL_INVALID_ENUM
        }
    }
    // The list base in force when the call runs, not when it was recorded.
    WEB_GL_RECORD(for (GLuint id : ids) webGlCallList(webGlState.listBase + id));
    for (GLuint id : ids) webGlCallList(webGlState.listBase + id);
}

void webGlListBase(GLuint base)
{
    WEB_GL_RECORD(webGlListBase(base));
    webGlState.listBase = base;
}

GLuint webGlGenLists(GLsizei range)
{
    if (range <= 0) return 0;
    const GLuint first = nextList;
    nextList += static_cast<GLuint>(range);
    for (GLsizei i = 0; i < range; ++i) lists[first + i];
    return first;
}

void webGlDeleteLists(GLuint list, GLsizei range)
{
    for (GLsizei i = 0; i < range; ++i) lists.erase(list + static_cast<GLuint>(i));
}

// --- Capabilities ----------------------------------------------------------------------------

void webGlEnable(GLenum cap)
{
    WEB_GL_RECORD(webGlEnable(cap));
    const int index = webGlCapIndex(cap);
    if (index >= 0) setCap(index, true);
    else glEnable(cap);
}

void webGlDisable(GLenum cap)
{
    WEB_GL_RECORD(webGlDisable(cap));
    const int index = webGlCapIndex(cap);
    if (index >= 0) setCap(index, false);
    else glDisable(cap);
}

GLboolean webGlIsEnabled(GLenum cap)
{
    const int index = webGlCapIndex(cap);
    if (index >= 0) return webGlState.enabled[index] ? GL_TRUE : GL_FALSE;
    return glIsEnabled(cap);
}

// --- Setters ---------------------------------------------------------------------------------

void webGlBlendFunc(GLenum source, GLenum destination)
{
    WEB_GL_RECORD(webGlBlendFunc(source, destination));
    webGlState.blendSource = source;
    webGlState.blendDestination = destination;
    glBlendFunc(source, destination);
}

void webGlDepthFunc(GLenum func)
{
    WEB_GL_RECORD(webGlDepthFunc(func));
    webGlState.depthFunc = func;
    glDepthFunc(func);
}

void webGlDepthMask(GLboolean flag)
{
    WEB_GL_RECORD(webGlDepthMask(flag));
    webGlState.depthMask = flag != GL_FALSE;
    glDepthMask(flag);
}

void webGlColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a)
{
    WEB_GL_RECORD(webGlColorMask(r, g, b, a));
    webGlState.colorMask[0] = r != GL_FALSE;
    webGlState.colorMask[1] = g != GL_FALSE;
    webGlState.colorMask[2] = b != GL_FALSE;
    webGlState.colorMask[3] = a != GL_FALSE;
    glColorMask(r, g, b, a);
}

void webGlClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a)
{
    WEB_GL_RECORD(webGlClearColor(r, g, b, a));
    const float colour[4] = {r, g, b, a};
    copy4(webGlState.clearColor, colour);
    glClearColor(r, g, b, a);
}

void webGlClear(GLbitfield mask)
{
    WEB_GL_RECORD(webGlClear(mask));
    glClear(mask);
}

void webGlViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    WEB_GL_RECORD(webGlViewport(x, y, width, height));
    glViewport(x, y, width, height);
}

void webGlScissor(GLint x, GLint y, GLsizei width, GLsizei height)
{
    WEB_GL_RECORD(webGlScissor(x, y, width, height));
    glScissor(x, y, width, height);
}

void webGlDepthRange(GLclampd nearValue, GLclampd farValue)
{
    WEB_GL_RECORD(webGlDepthRange(nearValue, farValue));
    webGlState.depthRange[0] = nearValue;
    webGlState.depthRange[1] = farValue;
    glDepthRange(nearValue, farValue);
}

void webGlFogf(GLenum name, GLfloat value)
{
    WEB_GL_RECORD(webGlFogf(name, value));
    if (name == GL_FOG_DENSITY) webGlState.fogDensity = value;
    else if (name == GL_FOG_START) webGlState.fogStart = value;
    else if (name == GL_FOG_END) webGlState.fogEnd = value;
    else if (name == GL_FOG_MODE) webGlState.fogMode = static_cast<GLint>(value);
    glFogf(name, value);
}

void webGlFogi(GLenum name, GLint value)
{
    WEB_GL_RECORD(webGlFogi(name, value));
    if (name == GL_FOG_MODE) webGlState.fogMode = value;
    else if (name == GL_FOG_DENSITY) webGlState.fogDensity = static_cast<float>(value);
    glFogi(name, value);
}

void webGlFogfv(GLenum name, const GLfloat* value)
{
    if (!value) return;
    if (name == GL_FOG_COLOR) {
        const std::array<float, 4> colour{value[0], value[1], value[2], value[3]};
        WEB_GL_RECORD(webGlFogfv(name, colour.data()));
        copy4(webGlState.fogColor, value);
        glFogfv(name, value);
        return;
    }
    webGlFogf(name, value[0]);
}

// Rendering hints are not WebGL's: the emulation answers them with an error.
void webGlHint(GLenum, GLenum) {}

void webGlLineWidth(GLfloat width)
{
    WEB_GL_RECORD(webGlLineWidth(width));
    webGlState.lineWidth = width;
    glLineWidth(width);
}

void webGlShadeModel(GLenum mode)
{
    WEB_GL_RECORD(webGlShadeModel(mode));
    webGlState.shadeModel = mode;
}

void webGlPolygonMode(GLenum face, GLenum mode)
{
    WEB_GL_RECORD(webGlPolygonMode(face, mode));
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK) webGlState.polygonFront = mode;
    if (face == GL_BACK || face == GL_FRONT_AND_BACK) webGlState.polygonBack = mode;
}

void webGlCullFace(GLenum mode)
{
    WEB_GL_RECORD(webGlCullFace(mode));
    webGlState.cullFace = mode;
    glCullFace(mode);
}

void webGlFrontFace(GLenum mode)
{
    WEB_GL_RECORD(webGlFrontFace(mode));
    webGlState.frontFace = mode;
    glFrontFace(mode);
}

// --- Matrices: recorded in lists, otherwise the emulation's own --------------------------------

void webGlMatrixMode(GLenum mode)
{
    WEB_GL_RECORD(webGlMatrixMode(mode));
    webGlState.matrixMode = mode;
    glMatrixMode(mode);
}
void webGlLoadIdentity()
{
    WEB_GL_RECORD(webGlLoadIdentity());
    glLoadIdentity();
}
void webGlPushMatrix()
{
    WEB_GL_RECORD(webGlPushMatrix());
    glPushMatrix();
}
void webGlPopMatrix()
{
    WEB_GL_RECORD(webGlPopMatrix());
    glPopMatrix();
}
void webGlTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    WEB_GL_RECORD(webGlTranslatef(x, y, z));
    glTranslatef(x, y, z);
}
void webGlTranslated(GLdouble x, GLdouble y, GLdouble z)
{
    WEB_GL_RECORD(webGlTranslated(x, y, z));
    glTranslatef(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}
void webGlRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    WEB_GL_RECORD(webGlRotatef(angle, x, y, z));
    glRotatef(angle, x, y, z);
}
void webGlScalef(GLfloat x, GLfloat y, GLfloat z)
{
    WEB_GL_RECORD(webGlScalef(x, y, z));
    glScalef(x, y, z);
}
void webGlOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearValue,
                GLdouble farValue)
{
    WEB_GL_RECORD(webGlOrtho(left, right, bottom, top, nearValue, farValue));
    glOrtho(left, right, bottom, top, nearValue, farValue);
}

// --- The attribute stack ---------------------------------------------------------------------

void webGlPushAttrib(GLbitfield mask)
{
    WEB_GL_RECORD(webGlPushAttrib(mask));
    // The viewport and scissor box are read back: the window set them before any call here.
    glGetIntegerv(GL_VIEWPORT, webGlState.viewport);
    glGetIntegerv(GL_SCISSOR_BOX, webGlState.scissor);
    attributeStack.push_back({mask, webGlState});
}

void webGlPopAttrib()
{
    WEB_GL_RECORD(webGlPopAttrib());
    if (attributeStack.empty()) return;  // GL_STACK_UNDERFLOW
    const SavedAttributes saved = attributeStack.back();
    attributeStack.pop_back();
    const WebGlState& s = saved.state;
    WebGlState& now = webGlState;
    const GLbitfield m = saved.mask;
    auto restoreCap = [&](int index) {
        if (now.enabled[index] != s.enabled[index]) setCap(index, s.enabled[index]);
    };
    if (m & GL_ENABLE_BIT)
        for (int i = 0; i < CapCount; ++i) restoreCap(i);
    if (m & GL_CURRENT_BIT) {
        copy4(now.color, s.color);
        std::memcpy(now.normal, s.normal, sizeof now.normal);
        std::memcpy(now.texCoord, s.texCoord, sizeof now.texCoord);
        now.edgeFlag = s.edgeFlag;
        glColor4f(s.color[0], s.color[1], s.color[2], s.color[3]);
    }
    if (m & GL_COLOR_BUFFER_BIT) {
        restoreCap(CapBlend);
        webGlBlendFunc(s.blendSource, s.blendDestination);
        webGlColorMask(s.colorMask[0], s.colorMask[1], s.colorMask[2], s.colorMask[3]);
        webGlClearColor(s.clearColor[0], s.clearColor[1], s.clearColor[2], s.clearColor[3]);
    }
    if (m & GL_DEPTH_BUFFER_BIT) {
        restoreCap(CapDepthTest);
        webGlDepthFunc(s.depthFunc);
        webGlDepthMask(s.depthMask);
    }
    if (m & GL_VIEWPORT_BIT) {
        glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
        webGlDepthRange(s.depthRange[0], s.depthRange[1]);
    }
    if (m & GL_SCISSOR_BIT) {
        restoreCap(CapScissorTest);
        glScissor(s.scissor[0], s.scissor[1], s.scissor[2], s.scissor[3]);
    }
    if (m & GL_FOG_BIT) {
        restoreCap(CapFog);
        webGlFogi(GL_FOG_MODE, s.fogMode);
        webGlFogf(GL_FOG_DENSITY, s.fogDensity);
        webGlFogf(GL_FOG_START, s.fogStart);
        webGlFogf(GL_FOG_END, s.fogEnd);
        webGlFogfv(GL_FOG_COLOR, s.fogColor);
    }
    if (m & GL_LIGHTING_BIT) {
        restoreCap(CapLighting);
        for (int i = 0; i < webGlLightCount; ++i) restoreCap(CapLight0 + i);
        std::memcpy(now.lights, s.lights, sizeof now.lights);
        copy4(now.modelAmbient, s.modelAmbient);
        now.material = s.material;
        now.shadeModel = s.shadeModel;
    }
    if (m & GL_POLYGON_BIT) {
        restoreCap(CapCullFace);
        now.polygonFront = s.polygonFront;
        now.polygonBack = s.polygonBack;
        webGlCullFace(s.cullFace);
        webGlFrontFace(s.frontFace);
    }
    if (m & GL_LINE_BIT) webGlLineWidth(s.lineWidth);
    if (m & GL_TEXTURE_BIT) {
        restoreCap(CapTexture2D);
        webGlBindTexture(GL_TEXTURE_2D, s.texture);
    }
    if (m & GL_LIST_BIT) now.listBase = s.listBase;
    if (m & GL_TRANSFORM_BIT) {
        restoreCap(CapNormalize);
        webGlMatrixMode(s.matrixMode);
    }
}
