// Shared drawing helpers: the screen quad, timed fades and flashes, the blank copy-target
// texture and textured rectangles.
//
// Small immediate-mode operations without state of their own, run inside a scene's draw (the
// blank texture inside a load) with the rendering context current.
#pragma once

#include "assets/tga_loader.h"

enum FadeDirection : int {
    FadeIn = 0,
    FadeOut = 1,
};

// A 4:3 quad 0.1 in front of the eye that covers the viewport under a 45-degree, 4:3
// perspective projection, also one whose near plane lies exactly 0.1 in front of the eye.
// Loads the identity into the current (modelview) matrix for the quad and restores it; sends
// no colour, normal or texture coordinate.
void drawScreenQuad();
// Multiplies the frame by a level that runs from 0 to 1 (FadeIn) or 1 to 0 (FadeOut) between
// start and end, both inclusive; outside that window makes no GL call. Texturing, lighting and
// depth testing are kept; blending is left off, the polygon mode GL_FILL, the colour the level.
void fadeScreen(int direction, float start, float end, float time);
// Adds a white flash whose level rises from 0 at start to peak halfway and falls to 0 at end
// (scaled by destination alpha, which reads as 1 without alpha planes). State as fadeScreen.
void flashScreen(float start, float end, float time, float peak);
// Generates a texture name into names[index] and gives it a black size x size image of the
// given components and format, linear filters, left bound. When the zero image cannot be had
// (no memory, or a size that cannot be allocated) the name is still generated and bound, with
// no image.
void createBlankTexture(TextureId* names, int size, int components, unsigned int format, int index);
// A width x height rectangle with its lower-left corner at (x, y, z), texture coordinates from
// (0, 0) to (sMax, tMax); binds nothing and sets no state.
void drawTexturedQuad(float x, float y, float z, float width, float height, float sMax, float tMax);
// Loads a perspective of fovy degrees for a frame of the given aspect (width / height) into the
// projection matrix, then makes the modelview matrix current again (its contents untouched).
void setPerspective(double fovy, double aspect, double zNear, double zFar);

// Pixel sizes written for a 600-line frame, scaled to the frame they are given (the shell's
// frame size) so the picture keeps its proportions at any size.
//
// The width lines are drawn with: 1 at 600 lines, the height's share of 600 above (2 at 1200).
float frameLineWidth(int frameHeight);
// Edge of a square pass and its copy texture given as base pixels at 600 lines: doubled for
// each doubling of the frame height (512: 1024 from 1200 lines, 2048 from 2400), halved while
// it does not fit inside the frame, and never larger than the driver's largest texture.
int frameCopySize(int base, int frameWidth, int frameHeight);
