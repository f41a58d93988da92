// The browser's GL layer, textures and read-back: OpenGL 1.1's texture names on WebGL's, the
// texel types and formats WebGL refuses, and the read-back formats it lacks (see web_gl.h).
#include "platform/web_gl_state.h"

#include <cstdint>
#include <unordered_map>

// Core in WebGL 2, but absent from the desktop gl.h the browser build compiles with.
extern "C" void glFramebufferTexture2D(GLenum target, GLenum attachment, GLenum textureTarget,
                                       GLuint texture, GLint level);

namespace {
int packAlignment = 4;
std::unordered_map<GLuint, GLuint> textureNames;  // the program's names to WebGL's
GLuint nextGeneratedName = 0x10000;               // above the names the program picks itself

GLuint webGlTextureOf(GLuint name)
{
    auto found = textureNames.find(name);
    if (found != textureNames.end()) return found->second;
    GLuint made = 0;
    glGenTextures(1, &made);
    textureNames[name] = made;
    return made;
}
}  // namespace

void webGlBindTexture(GLenum target, GLuint texture)
{
    WEB_GL_RECORD(webGlBindTexture(target, texture));
    if (target == GL_TEXTURE_2D) webGlState.texture = texture;
    glBindTexture(target, webGlTextureOf(texture));
}

void webGlGenTextures(GLsizei count, GLuint* names)
{
    for (GLsizei i = 0; i < count && names; ++i) {
        while (textureNames.count(nextGeneratedName)) ++nextGeneratedName;
        names[i] = nextGeneratedName++;
        webGlTextureOf(names[i]);
    }
}

void webGlDeleteTextures(GLsizei count, const GLuint* names)
{
    for (GLsizei i = 0; i < count && names; ++i) {
        auto found = textureNames.find(names[i]);
        if (found == textureNames.end()) continue;
        glDeleteTextures(1, &found->second);
        textureNames.erase(found);
        // A deleted texture that was bound leaves name 0 bound, as in OpenGL.
        if (webGlState.texture == names[i]) webGlBindTexture(GL_TEXTURE_2D, 0);
    }
}

void webGlTexEnvf(GLenum target, GLenum name, GLfloat value)
{
    WEB_GL_RECORD(webGlTexEnvf(target, name, value));
    glTexEnvi(target, name, static_cast<GLint>(value));
}

void webGlFramebufferTexture2D(GLenum target, GLenum attachment, GLenum textureTarget,
                               GLuint texture, GLint level)
{
    glFramebufferTexture2D(target, attachment, textureTarget, texture ? webGlTextureOf(texture) : 0,
                           level);
}

void webGlReadBuffer(GLenum mode)
{
    GLint framebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &framebuffer);
    if (framebuffer == 0 && (mode == GL_FRONT || mode == GL_FRONT_LEFT || mode == GL_BACK_LEFT))
        mode = GL_BACK;
    else if (framebuffer != 0 && (mode == GL_FRONT || mode == GL_BACK))
        mode = GL_COLOR_ATTACHMENT0;
    glReadBuffer(mode);
}

namespace {
// WebGL takes an unsized internal format equal to the pixel format.
GLint unsizedFormat(GLint internalFormat, GLenum format)
{
    if (format == GL_RGB || format == GL_RGBA || format == GL_ALPHA || format == GL_LUMINANCE ||
        format == GL_LUMINANCE_ALPHA)
        return static_cast<GLint>(format);
    return internalFormat;
}

int componentsOf(GLenum format)
{
    switch (format) {
        case GL_RGBA: return 4;
        case GL_RGB: return 3;
        case GL_LUMINANCE_ALPHA: return 2;
        default: return 1;
    }
}
}  // namespace

void webGlTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                     GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels)
{
    const GLint internal = unsizedFormat(internalFormat, format);
    if (type == GL_UNSIGNED_INT && width > 0 && height > 0) {
        // Each 32-bit component to its top byte, as OpenGL scales it to the 8-bit texture.
        const size_t count = size_t(width) * size_t(height) * size_t(componentsOf(format));
        std::vector<uint8_t> bytes(count, 0);
        if (pixels) {
            const GLuint* words = static_cast<const GLuint*>(pixels);
            for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(words[i] >> 24);
        }
        glTexImage2D(target, level, internal, width, height, border, format, GL_UNSIGNED_BYTE,
                     bytes.data());
        return;
    }
    glTexImage2D(target, level, internal, width, height, border, format, type, pixels);
}

void webGlCopyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y,
                         GLsizei width, GLsizei height, GLint border)
{
    GLenum internal = internalFormat;
    if (internal == 3 || internal == GL_RGB8) internal = GL_RGB;
    if (internal == 4 || internal == GL_RGBA8) internal = GL_RGBA;
    glCopyTexImage2D(target, level, internal, x, y, width, height, border);
}

void webGlPixelStorei(GLenum name, GLint value)
{
    if (name == GL_PACK_ALIGNMENT) packAlignment = value;
    glPixelStorei(name, value);
}

void webGlReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                     GLvoid* pixels)
{
    const bool converted = type == GL_UNSIGNED_BYTE && (format == GL_BGRA || format == GL_RGB);
    if (!converted || width <= 0 || height <= 0 || !pixels) {
        glReadPixels(x, y, width, height, format, type, pixels);
        return;
    }
    std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    const int channels = format == GL_BGRA ? 4 : 3;
    const size_t align = packAlignment > 0 ? size_t(packAlignment) : 1;
    const size_t stride = (size_t(width) * channels + align - 1) / align * align;
    uint8_t* out = static_cast<uint8_t*>(pixels);
    for (GLsizei row = 0; row < height; ++row) {
        const uint8_t* from = rgba.data() + size_t(row) * size_t(width) * 4;
        uint8_t* to = out + size_t(row) * stride;
        for (GLsizei i = 0; i < width; ++i, from += 4, to += channels) {
            if (channels == 4) {
                to[0] = from[2];
                to[1] = from[1];
                to[2] = from[0];
                to[3] = from[3];
            } else {
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
            }
        }
    }
}

