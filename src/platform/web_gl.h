// The fixed-function OpenGL 1.1 the demo draws with, completed on top of Emscripten's legacy GL
// emulation for the browser build.
//
// The emulation turns immediate mode, the matrix stacks, fog, textures and blending into
// WebGL, but it has no display lists and no attribute stack, knows one directional light and no
// emission or spot lights, draws no wireframe and no quad strips, and takes neither 32-bit
// texels nor BGRA read-back. The web build includes this header ahead of every source file
// (the compiler's -include option), so the calls below reach the functions here instead; the
// scenes keep their code. Every other call goes to the emulation unchanged.
//
//   - Display lists: glNewList records the calls that follow (GL_COMPILE, or
//     GL_COMPILE_AND_EXECUTE which also runs them); glCallList, glCallLists and glListBase
//     replay them as OpenGL would, lists calling lists included.
//   - glPushAttrib / glPopAttrib: the enables, blend, depth, scissor, viewport, fog, lighting,
//     polygon, line, texture binding, list base and current values, restored by mask group.
//   - Lighting: with GL_LIGHTING on, each vertex is lit on the CPU by the OpenGL 1.1 lighting
//     equation (eight lights, positional and directional, spot cone and exponent, attenuation,
//     material ambient, diffuse, specular, emission and shininess, the light model's ambient),
//     in eye space as the fixed pipeline does it, and handed on as a coloured vertex.
//   - Primitives: polygons of every kind are handed on as triangles (quad strips included);
//     with glPolygonMode GL_LINE their edges are handed on as lines, edge flags and face
//     culling observed.
//   - Textures: any name may be bound, as in OpenGL 1.1 (WebGL binds only names it made: each
//     name gets a WebGL texture when first bound, name 0 included); GL_UNSIGNED_INT texels
//     become bytes, numeric internal formats become the format itself, as WebGL asks;
//     glTexEnvf reaches the emulation as glTexEnvi, the form it understands.
//   - Read-back: glReadPixels answers GL_BGRA and GL_RGB from an RGBA read; glReadBuffer
//     (GL_FRONT) reads the drawing buffer, which holds the frame just shown (the page keeps
//     it with preserveDrawingBuffer).
//
// The native build compiles this unit too (it is plain OpenGL 1.1), but never includes the
// header ahead of its sources, so native code calls the driver directly.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

void webGlNewList(GLuint list, GLenum mode);
void webGlEndList();
void webGlCallList(GLuint list);
void webGlCallLists(GLsizei count, GLenum type, const GLvoid* lists);
void webGlListBase(GLuint base);
GLuint webGlGenLists(GLsizei range);
void webGlDeleteLists(GLuint list, GLsizei range);

void webGlPushAttrib(GLbitfield mask);
void webGlPopAttrib();
void webGlEnable(GLenum cap);
void webGlDisable(GLenum cap);
GLboolean webGlIsEnabled(GLenum cap);

void webGlBegin(GLenum mode);
void webGlEnd();
void webGlVertex2f(GLfloat x, GLfloat y);
void webGlVertex3f(GLfloat x, GLfloat y, GLfloat z);
void webGlVertex3dv(const GLdouble* v);
void webGlNormal3f(GLfloat x, GLfloat y, GLfloat z);
void webGlTexCoord2f(GLfloat s, GLfloat t);
void webGlColor3f(GLfloat r, GLfloat g, GLfloat b);
void webGlColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void webGlEdgeFlag(GLboolean flag);
void webGlPolygonMode(GLenum face, GLenum mode);
void webGlCullFace(GLenum mode);
void webGlFrontFace(GLenum mode);
void webGlShadeModel(GLenum mode);
void webGlLineWidth(GLfloat width);

void webGlLightf(GLenum light, GLenum name, GLfloat value);
void webGlLightfv(GLenum light, GLenum name, const GLfloat* value);
void webGlLightModelfv(GLenum name, const GLfloat* value);
void webGlMaterialf(GLenum face, GLenum name, GLfloat value);
void webGlMateriali(GLenum face, GLenum name, GLint value);
void webGlMaterialfv(GLenum face, GLenum name, const GLfloat* value);

void webGlBlendFunc(GLenum source, GLenum destination);
void webGlDepthFunc(GLenum func);
void webGlDepthMask(GLboolean flag);
void webGlColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a);
void webGlClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
void webGlClear(GLbitfield mask);
void webGlViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void webGlScissor(GLint x, GLint y, GLsizei width, GLsizei height);
void webGlDepthRange(GLclampd nearValue, GLclampd farValue);
void webGlFogf(GLenum name, GLfloat value);
void webGlFogi(GLenum name, GLint value);
void webGlFogfv(GLenum name, const GLfloat* value);
void webGlHint(GLenum target, GLenum mode);
void webGlBindTexture(GLenum target, GLuint texture);
void webGlGenTextures(GLsizei count, GLuint* names);
void webGlDeleteTextures(GLsizei count, const GLuint* names);
void webGlTexEnvf(GLenum target, GLenum name, GLfloat value);
void webGlReadBuffer(GLenum mode);
// glFramebufferTexture2D with the program's texture name (platform/gl_framebuffer.cpp hands this
// out in the browser, where framebuffer objects take WebGL's names).
void webGlFramebufferTexture2D(GLenum target, GLenum attachment, GLenum textureTarget,
                               GLuint texture, GLint level);
void webGlTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                     GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels);
void webGlCopyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y,
                         GLsizei width, GLsizei height, GLint border);
void webGlPixelStorei(GLenum name, GLint value);
void webGlReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                     GLvoid* pixels);

void webGlMatrixMode(GLenum mode);
void webGlLoadIdentity();
void webGlPushMatrix();
void webGlPopMatrix();
void webGlTranslatef(GLfloat x, GLfloat y, GLfloat z);
void webGlTranslated(GLdouble x, GLdouble y, GLdouble z);
void webGlRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void webGlScalef(GLfloat x, GLfloat y, GLfloat z);
void webGlOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearValue,
                GLdouble farValue);

#ifndef DEMOTORVA_WEB_GL_SELF
#define glNewList webGlNewList
#define glEndList webGlEndList
#define glCallList webGlCallList
#define glCallLists webGlCallLists
#define glListBase webGlListBase
#define glGenLists webGlGenLists
#define glDeleteLists webGlDeleteLists
#define glPushAttrib webGlPushAttrib
#define glPopAttrib webGlPopAttrib
#define glEnable webGlEnable
#define glDisable webGlDisable
#define glIsEnabled webGlIsEnabled
#define glBegin webGlBegin
#define glEnd webGlEnd
#define glVertex2f webGlVertex2f
#define glVertex3f webGlVertex3f
#define glVertex3dv webGlVertex3dv
#define glNormal3f webGlNormal3f
#define glTexCoord2f webGlTexCoord2f
#define glColor3f webGlColor3f
#define glColor4f webGlColor4f
#define glEdgeFlag webGlEdgeFlag
#define glPolygonMode webGlPolygonMode
#define glCullFace webGlCullFace
#define glFrontFace webGlFrontFace
#define glShadeModel webGlShadeModel
#define glLineWidth webGlLineWidth
#define glLightf webGlLightf
#define glLightfv webGlLightfv
#define glLightModelfv webGlLightModelfv
#define glMaterialf webGlMaterialf
#define glMateriali webGlMateriali
#define glMaterialfv webGlMaterialfv
#define glBlendFunc webGlBlendFunc
#define glDepthFunc webGlDepthFunc
#define glDepthMask webGlDepthMask
#define glColorMask webGlColorMask
#define glClearColor webGlClearColor
#define glClear webGlClear
#define glViewport webGlViewport
#define glScissor webGlScissor
#define glDepthRange webGlDepthRange
#define glFogf webGlFogf
#define glFogi webGlFogi
#define glFogfv webGlFogfv
#define glHint webGlHint
#define glBindTexture webGlBindTexture
#define glGenTextures webGlGenTextures
#define glDeleteTextures webGlDeleteTextures
#define glTexEnvf webGlTexEnvf
#define glReadBuffer webGlReadBuffer
#define glTexImage2D webGlTexImage2D
#define glCopyTexImage2D webGlCopyTexImage2D
#define glPixelStorei webGlPixelStorei
#define glReadPixels webGlReadPixels
#define glMatrixMode webGlMatrixMode
#define glLoadIdentity webGlLoadIdentity
#define glPushMatrix webGlPushMatrix
#define glPopMatrix webGlPopMatrix
#define glTranslatef webGlTranslatef
#define glTranslated webGlTranslated
#define glRotatef webGlRotatef
#define glScalef webGlScalef
#define glOrtho webGlOrtho
#endif
