// The end scene: a fogged wireframe tile wall turns slowly while the camera backs away from it,
// and the closing text rises in front of it. When it is over the demo is over.
#pragma once

#include "assets/tga_loader.h"
#include "core/scene.h"
#include "render/vector3.h"

constexpr TextureId EndTexture = 5001;  // "maps/text/end.tga"
constexpr float endSceneEndTime = 188.0f;

// The scene's animated values. One record for the whole run; nothing resets it.
struct EndState {
    Vector3 endEye;          // camera eye
    float wallSpin = 0.0f;   // turn of the wall about (-10, -1, 0), degrees
    float scrollY = -8.5f;   // lower edge of the closing-text picture
};

extern EndState endState;

bool loadEndScene();
bool initEndScene();
bool drawEndScene(float t);
void cleanupEndScene();

extern const Scene endScene;
