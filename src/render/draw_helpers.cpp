// Shared drawing helpers.
//
// The fade multiplies what is already in the frame (blend GL_DST_COLOR, GL_ZERO); the flash adds
// to it (GL_DST_ALPHA, GL_ONE). Both draw the screen quad with lighting, texturing and depth
// testing off for the moment, so only the level colours the quad and nothing hides it.
#include "render/draw_helpers.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {
// The screen quad's corners are those of a 4:3 rectangle 0.1 in front of the eye, pushed back
// along the lines of sight by this factor. The picture is the same under any perspective
// projection, but a projection whose near plane is exactly 0.1 no longer clips the quad away
// by rounding: it lies a hundred-thousandth of its distance behind that plane.
constexpr float screenQuadDepthFactor = 1.0001f;
constexpr float screenQuadHalfWidth = 0.05518f * screenQuadDepthFactor;
constexpr float screenQuadHalfHeight = 0.041385f * screenQuadDepthFactor;
constexpr float screenQuadDepth = -0.1f * screenQuadDepthFactor;

// What a fade or flash switched off, to switch on again.
struct SavedState {
    bool texturing = false;
    bool lighting = false;
    bool depthTest = false;
};

SavedState beginOverlayQuad(GLenum source, GLenum destination)
{
    SavedState saved;
    saved.texturing = glIsEnabled(GL_TEXTURE_2D);
    if (saved.texturing) glDisable(GL_TEXTURE_2D);
    saved.lighting = glIsEnabled(GL_LIGHTING);
    if (saved.lighting) glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(source, destination);
    saved.depthTest = glIsEnabled(GL_DEPTH_TEST);
    if (saved.depthTest) glDisable(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    return saved;
}

void endOverlayQuad(const SavedState& saved)
{
    if (saved.depthTest) glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    if (saved.lighting) glEnable(GL_LIGHTING);
    if (saved.texturing) glEnable(GL_TEXTURE_2D);
}

void drawLevelQuad(float level, GLenum source, GLenum destination)
{
    const SavedState saved = beginOverlayQuad(source, destination);
    glColor4f(level, level, level, 1.0f);
    drawScreenQuad();
    endOverlayQuad(saved);
}
}  // namespace

void drawScreenQuad()
{
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    glVertex3f(-screenQuadHalfWidth, -screenQuadHalfHeight, screenQuadDepth);
    glVertex3f(screenQuadHalfWidth, -screenQuadHalfHeight, screenQuadDepth);
    glVertex3f(screenQuadHalfWidth, screenQuadHalfHeight, screenQuadDepth);
    glVertex3f(-screenQuadHalfWidth, screenQuadHalfHeight, screenQuadDepth);
    glEnd();
    glPopMatrix();
}

void fadeScreen(int direction, float start, float end, float time)
{
    if (time < start || time > end) return;
    const float reciprocal = 1.0f / (end - start);
    float level = (time - start) * reciprocal;
    if (direction == FadeOut) level = 1.0f - level;
    drawLevelQuad(level, GL_DST_COLOR, GL_ZERO);
}

void flashScreen(float start, float end, float time, float peak)
{
    if (time < start || time > end) return;
    const float elapsed = time - start;
    const float length = end - start;
    const float slope = 2.0f * peak / length;
    float level = elapsed <= length / 2.0f ? slope * elapsed : 2.0f * peak - slope * elapsed;
    // Rounding at the middle of the window must not lift the level past the peak.
    if (level > peak) level = peak;
    drawLevelQuad(level, GL_DST_ALPHA, GL_ONE);
}

void createBlankTexture(TextureId* names, int size, int components, unsigned int format, int index)
{
    if (!names || index < 0) return;
    // Four bytes per component: the pixel type is GL_UNSIGNED_INT. A negative size or component
    // count, or a byte count past what can be addressed, cannot be had, like a failed allocation.
    void* zeros = nullptr;
    if (size > 0 && components > 0) {
        const uint64_t side = uint64_t(size);
        const uint64_t perTexel = uint64_t(components) * 4;
        if (side <= SIZE_MAX / side && side * side <= SIZE_MAX / perTexel)
            zeros = std::calloc(size_t(side * side), size_t(perTexel));
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    names[index] = name;
    glBindTexture(GL_TEXTURE_2D, name);
    if (zeros)
        glTexImage2D(GL_TEXTURE_2D, 0, components, size, size, 0, format, GL_UNSIGNED_INT, zeros);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    std::free(zeros);
}

void drawTexturedQuad(float x, float y, float z, float width, float height, float sMax, float tMax)
{
    glPushMatrix();
    glTranslatef(x, y, z);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glTexCoord2f(sMax, 0.0f);
    glVertex3f(width, 0.0f, 0.0f);
    glTexCoord2f(sMax, tMax);
    glVertex3f(width, height, 0.0f);
    glTexCoord2f(0.0f, tMax);
    glVertex3f(0.0f, height, 0.0f);
    glEnd();
    glPopMatrix();
}

void setPerspective(double fovy, double aspect, double zNear, double zFar)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovy, aspect, zNear, zFar);
    glMatrixMode(GL_MODELVIEW);
}

float frameLineWidth(int frameHeight)
{
    return frameHeight > 600 ? static_cast<float>(frameHeight) / 600.0f : 1.0f;
}

int frameCopySize(int base, int frameWidth, int frameHeight)
{
    int size = base;
    while (frameHeight >= 600 * (size / base) * 2) size *= 2;
    GLint largestTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largestTexture);
    const int shorterSide = std::min(frameWidth, frameHeight);
    while (size > 1 && (size > shorterSide || (largestTexture > 0 && size > largestTexture))) size /= 2;
    return size;
}
