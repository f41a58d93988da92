// Helpers for the scene suites: steady frames of a scene through its real draw on the
// demo clock's 1/70 s steps, and small synthetic models and textures to draw with.
#pragma once

#include <functional>

#include "assets/ase_model.h"

// Draws the frames of a run at fps frames per second whose demo times lie in (from, to], each
// with the time the demo clock gives it, previousFrameTime starting at the frame before the
// first. afterFrame, when given, sees every frame's time right after its draw. Stops early when
// a frame sets sceneDone. Returns the time of the last frame drawn.
float playFrames(bool (*draw)(float), float from, float to, int fps,
                 const std::function<void(float)>& afterFrame = {});

// A closed cube of textured squares, half-edge h, centred on the origin, in renderer axes, its
// one material bound to texture: whatever the camera inside it looks at, it sees a face.
AseModel texturedCube(float h, TextureId texture);
// A 2 x 2 texture of one colour under the given name, nearest filtering.
void solidTexture(TextureId name, unsigned char r, unsigned char g, unsigned char b);
