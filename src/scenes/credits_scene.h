// The credits scene: a glowing chain of ten logo-bar links that curls up slowly in the middle
// of the screen, and two pages of three credit captions that slide in from the sides.
#pragma once

#include <cstdint>

#include "assets/ase_model.h"
#include "core/scene.h"

// Texture names of the scene's pictures, a fixed block.
enum CreditsTexture : TextureId {
    CreditsFloorTexture = 4001,  // loaded, never drawn
    Credits3dTexture = 4002,
    Credits2dTexture = 4003,
    CreditsCodeTexture = 4004,
    CreditsMusicTexture = 4005,
    CreditsCorvaneTexture = 4006,
    CreditsQzrTexture = 4007,
};

constexpr float creditsEndTime = 130.0f;
constexpr int creditsCaptionCount = 6;
constexpr int32_t creditsMaxBars = 10;

// One credit caption: a picture at z = -4.99 in front of the eye, shown strictly inside its
// window, sliding from its start towards its stop and resting there; after the window it
// drifts back the way it came.
struct CreditsCaption {
    TextureId texture;
    float y;
    float width, height;
    float windowStart, windowEnd;  // shown while windowStart < t < windowEnd
    float startX;                  // x at program start
    float direction;               // +1 slides rightwards, -1 leftwards
    float speed;                   // units per second
    float stopX;
};
extern const CreditsCaption creditsCaptions[creditsCaptionCount];

// The scene's animated values. One record for the whole run; nothing resets it.
struct CreditsState {
    int32_t barCount = 0;    // chain links drawn this frame, one more each frame up to 10
    float barSpin = 0.0f;    // turn of each link against the previous one, degrees
    float barAlpha = 0.1f;   // opacity of the next link drawn, carried across links and frames
    float captionX[creditsCaptionCount] = {-9.0f, -9.0f, 3.0f, 3.0f, 3.0f, 3.0f};
};

extern CreditsState creditsState;
extern AseModel logoBarModel;  // "models/logobar.ase"

// Draws one chain link on top of the previous link's transform and steps the opacity cycle.
void drawLogoBar();

bool loadCreditsScene();
bool initCreditsScene();
bool drawCreditsScene(float t);
void cleanupCreditsScene();

extern const Scene creditsScene;
