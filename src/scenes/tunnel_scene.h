// The tunnel scene: a textured tunnel whose picture slides along it, seen from a camera that
// circles the tunnel's axis and then flies along it and back, a small spinning star that swoops
// in front of the viewer, and six word pictures placed in the tunnel's own world. It opens with
// a white flash and leaves fog switched on for the two scenes after it.
#pragma once

#include "assets/ase_model.h"
#include "core/scene.h"
#include "render/vector3.h"

// Texture names of the scene's pictures, a fixed block.
enum TunnelTexture : TextureId {
    TunnelGlowTexture = 2001,
    TunnelWord1Texture = 2002,
    TunnelWord2Texture = 2003,
    TunnelWord3Texture = 2004,
    TunnelLuckTexture = 2005,  // loaded, never drawn
    TunnelWord4Texture = 2006,
    TunnelWord5Texture = 2007,
    TunnelWord6Texture = 2008,
};

// Ends of the legs of the timeline; the leg is the number of entries the time exceeds.
constexpr float tunnelLegEnds[3] = {64.0f, 70.0f, 75.0f};

// The scene's animated values. One record for the whole run; nothing resets it, the scene runs
// once.
struct TunnelState {
    float orbitAngle = 0.0f;         // camera and star circle at 10 x this angle (radians)
    float driftStep = 0.0f;          // depth change per 1/60 s in legs 1 and 2
    float eyeDepth = 30.0f;          // z of the camera eye
    float targetDepth = 60.0f;       // z of the point the camera looks at
    float orbitEye[2] = {0.0f, 0.0f};  // x, y of the camera eye
    Vector3 starOffset;              // star position in eye space before its -10 in z
};

extern TunnelState tunnelState;
extern AseModel tunnelModel;  // "models/tunel01/tunel01.ase"; released by the cleanup
extern AseModel starModel;    // "models/star01.ase"

// 0 to 2 while the scene runs, 3 once the time is past its last leg.
int tunnelLeg(float t);

bool loadTunnelScene();
bool initTunnelScene();
bool drawTunnelScene(float t);
void cleanupTunnelScene();

extern const Scene tunnelScene;
