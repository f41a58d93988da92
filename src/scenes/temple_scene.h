// The temple scene: one textured, lit temple model seen through a camera that glides along four
// straight legs while it looks at the origin, in grey fog, with six word pictures fading in and
// out one after another in the upper half of the screen. It opens with a fade in and a white
// flash and starts a fade to black shortly before it ends at 55.6 s.
#pragma once

#include "assets/ase_model.h"
#include "core/scene.h"
#include "render/vector3.h"

// Texture names of the scene's pictures, a fixed block.
enum TempleTexture : TextureId {
    TempleGlowTexture = 3001,  // "maps/destello.tga", loaded, not drawn here
    TempleWord1Texture = 3002,
    TempleWord2Texture = 3003,
    TempleWord3Texture = 3004,
    TempleWord4Texture = 3005,
    TempleWord5Texture = 3006,
    TempleWord6Texture = 3007,
};

// Ends of the camera's legs; the leg is the number of entries the time exceeds.
constexpr float templeLegEnds[4] = {40.0f, 45.0f, 50.0f, 55.6f};

// The scene's animated values. One record for the whole run; nothing resets it, the scene runs
// once.
struct TempleState {
    Vector3 templeEye{-2.0f, 0.0f, 30.0f};  // camera eye in the model's scaled world
    float wordAlpha[6] = {0, 0, 0, 0, 0, 0};  // opacity of words 1 to 6, within 0..1
};

// One word picture: where it lies (lower-left corner, eye space at z = -4.99) and the window in
// which it rises; it falls from the window's end on.
struct TempleWord {
    TextureId texture;
    const char* file;
    float x, y, width, height;
    float riseStart, riseEnd;
};
extern const TempleWord templeWords[6];

extern TempleState templeState;
extern AseModel templeModel;  // "models/templo01/templo01.ase"; released by the cleanup

// 0 to 3 while the scene runs, 4 once the time is past its last leg.
int templeLeg(float t);

bool loadTempleScene();
bool initTempleScene();
bool drawTempleScene(float t);
void cleanupTempleScene();

extern const Scene templeScene;
