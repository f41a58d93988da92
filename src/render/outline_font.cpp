// Outline font and overlays.
//
// The overlays are placed in eye coordinates 0.1 in front of the eye, scaled so that with the
// demo's 45-degree, 4:3 projection the glyphs are about 36 pixels to the em at 800 x 600. They
// leave the projection alone. Depth testing is off while they draw: 0.1 from the eye is not in
// front of everything (the temple passes closer, and its depth hid all but the first letters),
// and a read-out must always be on top. Texturing, blending and depth testing are switched off
// for the text and back on afterwards.
#include "render/outline_font.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/glyph_outlines.h"
#include "render/frame_rate_meter.h"

OutlineFont outlineFont;

namespace {
constexpr const char* fontFace = "Arial Narrow";
constexpr int fontHeight = 24;   // character height in logical units
constexpr int fontWeight = 400;  // normal

// What an overlay saved before drawing.
struct OverlayState {
    bool texturing = false;
    bool blending = false;
    bool depthTesting = false;
};

// What both overlays do before printing: push the modelview matrix and load the identity,
// switch texturing, blending and depth testing off (remembering which were on), set the flat green
// colour, and move to the given place 0.1 in front of the eye at the overlay's scale.
OverlayState beginOverlay(float x, float y)
{
    OverlayState saved;
    glPushMatrix();
    glLoadIdentity();
    saved.texturing = glIsEnabled(GL_TEXTURE_2D);
    if (saved.texturing) glDisable(GL_TEXTURE_2D);
    saved.blending = glIsEnabled(GL_BLEND);
    if (saved.blending) glDisable(GL_BLEND);
    saved.depthTesting = glIsEnabled(GL_DEPTH_TEST);
    if (saved.depthTesting) glDisable(GL_DEPTH_TEST);
    glColor3f(0.1f, 0.8f, 0.1f);
    glTranslatef(x, y, -0.1f);
    glScalef(0.005f, 0.005f, 1.0f);
    return saved;
}

void endOverlay(const OverlayState& saved)
{
    if (saved.texturing) glEnable(GL_TEXTURE_2D);
    if (saved.blending) glEnable(GL_BLEND);
    if (saved.depthTesting) glEnable(GL_DEPTH_TEST);
    glPopMatrix();
}
}  // namespace

void createOutlineFont()
{
    outlineFont = OutlineFont{};
    outlineFont.listBase = glGenLists(outlineFontGlyphCount);
    if (outlineFont.listBase == 0) return;
    buildGlyphOutlines(fontFace, fontHeight, fontWeight, outlineFont.listBase, 0,
                       outlineFontGlyphCount, outlineFont.advances);
}

void deleteOutlineFont()
{
    // Without the guard a second delete, or one after a failed create, would delete lists that
    // by then belong to someone else.
    if (outlineFont.listBase != 0) glDeleteLists(outlineFont.listBase, outlineFontGlyphCount);
    outlineFont = OutlineFont{};
}

void printCentred(const char* format, ...)
{
    if (!format) return;
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (written < 0) return;
    const size_t length = std::strlen(text);

    float width = 0.0f;
    for (size_t i = 0; i < length; ++i) width += outlineFont.advances[static_cast<unsigned char>(text[i])];
    glTranslatef(-width / 2.0f, 0.0f, 0.0f);
    if (outlineFont.listBase == 0) return;

    glPushAttrib(GL_LIST_BIT);
    glListBase(outlineFont.listBase);
    glCallLists(static_cast<GLsizei>(length), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}

void drawTimeOverlay(float time)
{
    const OverlayState saved = beginOverlay(0.0f, 0.037f);
    const int minutes = static_cast<int>(time / 60.0f);
    const float seconds = time - 60.0f * static_cast<float>(minutes);
    if (seconds < 10.0f)
        printCentred("Time  0%i:0%.2f", minutes, seconds);
    else
        printCentred("Time  0%i:%.2f", minutes, seconds);
    endOverlay(saved);
}

void drawFpsOverlay()
{
    const OverlayState saved = beginOverlay(0.047f, -0.04f);
    printCentred("fps: %.1f", frameRateMeter.framesPerSecond);
    endOverlay(saved);
}
