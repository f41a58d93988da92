// Drawing straight into a texture through a framebuffer object.
#include "render/texture_target.h"

#include <GL/gl.h>

#include "platform/gl_framebuffer.h"

bool createTextureTarget(TextureTarget& target, TextureId texture, int size)
{
    deleteTextureTarget(target);
    if (size <= 0 || (!glFramebufferApi.genFramebuffers && !loadGlFramebufferApi())) return false;
    const GlFramebufferApi& gl = glFramebufferApi;
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    gl.genRenderbuffers(1, &target.depthBuffer);
    gl.bindRenderbuffer(GL_RENDERBUFFER, target.depthBuffer);
    // The frame's own depth precision, so that the picture is the one the frame would hold.
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, size, size);
    gl.bindRenderbuffer(GL_RENDERBUFFER, 0);
    gl.genFramebuffers(1, &target.framebuffer);
    gl.bindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    gl.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, target.depthBuffer);
    const bool complete = gl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    gl.bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    if (!complete) {
        deleteTextureTarget(target);
        return false;
    }
    target.size = size;
    return true;
}

void deleteTextureTarget(TextureTarget& target)
{
    const GlFramebufferApi& gl = glFramebufferApi;
    if (target.framebuffer && gl.deleteFramebuffers) gl.deleteFramebuffers(1, &target.framebuffer);
    if (target.depthBuffer && gl.deleteRenderbuffers) gl.deleteRenderbuffers(1, &target.depthBuffer);
    target = TextureTarget{};
}

bool textureTargetReady(const TextureTarget& target) { return target.framebuffer != 0; }

void beginTextureTarget(TextureTarget& target)
{
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    target.previousFramebuffer = previous;
    glFramebufferApi.bindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    glViewport(0, 0, target.size, target.size);
}

void endTextureTarget(TextureTarget& target)
{
    glFramebufferApi.bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(target.previousFramebuffer));
}
