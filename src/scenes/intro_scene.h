// The intro scene: a fly-over of a landscape, rendered each frame into a 512 x 512 corner of the
// frame buffer, copied into a texture and shown on a wall of raised tiles that swings into place
// in front of a turning box room; title bars and lines slide in over it, the production logo and
// the credit fade in, and the picture fades in from black, flashes once and fades out at 34.8 s.
#pragma once

#include "assets/ase_model.h"
#include "core/scene.h"
#include "render/texture_target.h"
#include "render/vector3.h"

// Texture names of the scene's pictures, a fixed block; the copy target's name is generated.
enum IntroTexture : TextureId {
    IntroLogoTexture = 1001,    // "maps/quibe.tga"
    IntroBoxTexture = 1002,     // "maps/blueBox.tga"
    IntroCreditTexture = 1003,  // "maps/by_torva.tga"
};

// Ends of the legs of the timeline; the leg is the number of entries the time exceeds.
constexpr float introLegEnds[4] = {8.0f, 16.3f, 25.5f, 34.8f};

// The scene's animated values. One record for the whole run; nothing resets it, the scene runs
// once.
struct IntroState {
    Vector3 landscapeEye{0.0f, 5.0f, -5.0f};  // eye of the landscape camera
    float tilt = 45.0f;          // main view's rotation about (-1, -1, 0), degrees
    float mainEyeY = 0.0f;       // main camera eye y; 1.7 from the end of the first frame on
    float mainEyeZ = 0.0f;       // main camera's distance from the wall plane
    float mainCentreX = 0.0f;    // main camera's look-at x; 2.3 from the end of the first frame on
    float boxAngle = 0.0f;       // phase of the box-room camera, radians
    float boxCentreX = 2.3f;     // box-room camera's look-at x, from the angle of the frame before
    float boxCentreY = 2.3f;
    float barOffset[4] = {4.0f, 4.0f, 4.0f, 4.0f};   // horizontal positions of bars B1..B4
    float lineLength[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // lengths of lines L1..L4
    float logoAlpha = 0.0f;
    float creditAlpha = 0.0f;
};

extern IntroState introState;
extern AseModel landscapeModel;      // "models/landscape/landscape.ase"
extern TextureId copyTexture[1];  // the 512 x 512 copy of the landscape pass
// Draws the landscape pass straight into copyTexture where the driver allows; not ready: the
// pass is drawn into the frame's corner and copied.
extern TextureTarget landscapeTarget;

// 0 to 3 while the scene runs, 4 once the time is past its last leg.
int introLeg(float t);

// The textured box room the main view turns in front of: five 10 x 10 faces (back wall at
// z = -10, side walls, floor and ceiling, open towards +z), the picture repeated 7 x 7 on each.
void drawBoxRoom();

bool loadIntroScene();
bool initIntroScene();
bool drawIntroScene(float t);
void cleanupIntroScene();

extern const Scene introScene;
